#include "dsp/utility/TimeDelay.h"

#include <gtest/gtest.h>

#include <random>

TEST (TimeDelay, ImpulseComesOutDelaySamplesLaterAndFeedsBack)
{
    TimeDelay delay;
    delay.delaySamples = 70;
    delay.feedback = 0.5;

    std::vector<float> out;
    for (int n = 0; n < 300; ++n)
        out.push_back (delay.step (n == 10 ? 1.0f : 0.0f));

    for (int n = 0; n < 300; ++n)
    {
        const float expected = n == 80 ? 1.0f : n == 150 ? 0.5f : n == 220 ? 0.25f : n == 290 ? 0.125f : 0.0f;
        EXPECT_EQ (out[(size_t) n], expected) << n;
    }
    EXPECT_EQ (delay.lastOutput, 0.0);
}

TEST (TimeDelay, KeepsTheDelayAcrossTheEndOfTheLine)
{
    TimeDelay delay;
    delay.delaySamples = 374;
    const int start = delay.length - 100;
    for (int n = 0; n < start; ++n)
        delay.step (0.0f);

    std::vector<float> out;
    for (int n = 0; n < 600; ++n)
        out.push_back (delay.step (n == 0 ? 1.0f : 0.0f));
    EXPECT_EQ (out[374], 1.0f);
    EXPECT_EQ (std::count (out.begin(), out.end(), 0.0f), 599);
}

TEST (TimeDelay, ZeroDelayPassesTheInputAndLeavesTheLineAlone)
{
    TimeDelay delay;
    delay.delaySamples = 5;
    delay.step (0.75f);
    const int writeIndex = delay.writeIndex;

    delay.delaySamples = 0;
    EXPECT_EQ (delay.step (0.3f), 0.3f);
    EXPECT_EQ (delay.lastOutput, (double) 0.3f);
    EXPECT_EQ (delay.writeIndex, writeIndex);
    EXPECT_EQ (delay.buffer[(size_t) writeIndex], 0.75f);

    delay.clear();
    EXPECT_EQ (std::count (delay.buffer.begin(), delay.buffer.end(), 0.0f), delay.length);
}

// A line just one sample longer than its delay plays what the default, far longer line plays, feedback
// and all, also after many wraps of the short line.
TEST (TimeDelay, AShortLineMatchesTheDefaultOne)
{
    TimeDelay shortLine (374, 0.6, 44100, 0, 375), longLine (374, 0.6);
    std::mt19937 random (5);
    std::uniform_real_distribution<float> noise (-0.5f, 0.5f);
    int mismatches = 0;
    for (int n = 0; n < 20000; ++n)
    {
        const float x = noise (random);
        mismatches += shortLine.step (x) != longLine.step (x);
    }
    EXPECT_EQ (mismatches, 0);
    EXPECT_EQ (shortLine.length, 375);
}
