#include "dsp/base/TimeUtils.h"

#include <gtest/gtest.h>

#include <set>

using qel::TimeUtils;

TEST (TimeUtils, EveryNoteHasItsTextAndLengthInBeats)
{
    const struct
    {
        int note;
        const char* text;
        int beatsNumerator;
        int beatsDenominator;
    } notes[] = {
        { 1, "1/64T", 1, 24 }, { 2, "1/64", 1, 16 }, { 3, "1/64D", 3, 32 }, { 4, "1/32T", 1, 12 }, { 5, "1/32", 1, 8 },
        { 6, "1/32D", 3, 16 }, { 7, "1/16T", 1, 6 }, { 8, "1/16", 1, 4 },   { 9, "1/16D", 3, 8 },  { 10, "1/8T", 1, 3 },
        { 11, "1/8", 1, 2 },   { 12, "1/8D", 3, 4 }, { 13, "1/4T", 2, 3 },  { 14, "1/4", 1, 1 },   { 15, "1/4D", 3, 2 },
        { 16, "1/2T", 4, 3 },  { 17, "1/2", 2, 1 },  { 18, "1/2D", 3, 1 },  { 19, "1 Bar", 4, 1 },
    };

    ASSERT_EQ (TimeUtils::getNoteNames().size(), 19);

    for (const auto& n : notes)
    {
        EXPECT_EQ (TimeUtils::getNoteNames()[n.note - 1], n.text);

        for (const double bpm : { 120.0, 97.0, 60.0, 174.5 })
        {
            const double seconds = 60.0 / bpm * n.beatsNumerator / n.beatsDenominator;
            EXPECT_FLOAT_EQ (TimeUtils::noteToSeconds ((TimeUtils::TempoSyncTimes) n.note, bpm), (float) seconds)
                << n.text << " at " << bpm << " BPM";
        }
    }

    // Values quoted at 120 BPM, rounded once to single precision.
    EXPECT_EQ (TimeUtils::noteToSeconds (TimeUtils::sixtyFourthTriplet, 120.0), 0.0208333333f);
    EXPECT_EQ (TimeUtils::noteToSeconds (TimeUtils::halfTriplet, 120.0), 0.6666667f);
    EXPECT_EQ (TimeUtils::noteToSeconds (TimeUtils::bar, 120.0), 2.0f);
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
