#include "dsp/dynamics/TimeUtils.h"

#include <gtest/gtest.h>

using qel::TimeUtils;

TEST (TimeUtils, NoteLengthsAtOneHundredTwentyBpm)
{
    const struct
    {
        int note;
        float seconds;
    } cases[] = {
        { TimeUtils::eighth, 0.25f },
        { TimeUtils::quarterDotted, 0.75f },
        { TimeUtils::bar, 2.0f },
        { TimeUtils::sixtyFourthTriplet, (float) (0.5 / 24.0) },
        { TimeUtils::halfTriplet, (float) (0.5 * 4.0 / 3.0) },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TimeUtils::noteToSeconds ((TimeUtils::TempoSyncTimes) c.note, 120.0), c.seconds) << c.note;
}

TEST (TimeUtils, ValuesThatNameNoNoteAndTempiThatAreNotPositiveGiveZero)
{
    EXPECT_EQ (TimeUtils::noteToSeconds ((TimeUtils::TempoSyncTimes) 0, 120.0), 0.0f);
    EXPECT_EQ (TimeUtils::noteToSeconds ((TimeUtils::TempoSyncTimes) 20, 120.0), 0.0f);
    EXPECT_EQ (TimeUtils::noteToSeconds (TimeUtils::quarter, 0.0), 0.0f);
    EXPECT_EQ (TimeUtils::noteToSeconds (TimeUtils::quarter, -90.0), 0.0f);
}

TEST (TimeUtils, EveryNoteHasItsOwnLengthAndTheBarIsLongest)
{
    std::set<float> seen;
    for (int note = 1; note <= 19; ++note)
    {
        const auto seconds = TimeUtils::noteToSeconds ((TimeUtils::TempoSyncTimes) note, 97.0);
        EXPECT_TRUE (seen.insert (seconds).second) << note;
        EXPECT_LE (seconds, TimeUtils::noteToSeconds (TimeUtils::bar, 97.0));
    }
    EXPECT_EQ (TimeUtils::getNoteNames().size(), 19);
    EXPECT_EQ (TimeUtils::getNoteNames()[10], "1/8");
}
