#include "dsp/multiplier/SampleAndHoldProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
std::vector<float> draw (QEL::SampleAndHoldProcessor& generator, int count)
{
    std::vector<float> values ((std::size_t) count);

    for (auto& v : values)
        v = generator.generateSample();

    return values;
}

TEST (SampleAndHoldProcessor, HoldsZeroThenGlidesToEachNewValueOverHalfAMillisecond)
{
    // 10 ms at 48 kHz: 480 calls at 0, a draw on call 481 reached in a straight line over 24 samples,
    // held, and the next draw on call 962.
    QEL::SampleAndHoldProcessor generator (7);
    generator.setHoldTime (10.0f);
    generator.prepare (48000.0);

    const auto values = draw (generator, 1000);

    for (int i = 0; i < 480; ++i)
        ASSERT_EQ (values[(std::size_t) i], 0.0f) << i;

    const float first = values[480 + 23];
    EXPECT_NE (first, 0.0f);

    for (int j = 0; j < 24; ++j)
        EXPECT_NEAR (values[(std::size_t) (480 + j)], first * (float) (j + 1) / 24.0f, 1.0e-6f) << j;

    for (int i = 480 + 24; i < 961; ++i)
        ASSERT_EQ (values[(std::size_t) i], first) << i;

    EXPECT_NE (values[961], first);
}

TEST (SampleAndHoldProcessor, DrawsCoverTheRangeAndRepeatPerSeed)
{
    auto run = [] (juce::int64 seed)
    {
        QEL::SampleAndHoldProcessor generator (seed);
        generator.setHoldTime (1.0f); // 44 samples per value, longer than the glide
        generator.prepare (44100.0);
        return draw (generator, 20000);
    };

    const auto a = run (11), b = run (11), c = run (12);
    EXPECT_EQ (a, b);
    EXPECT_NE (a, c);

    const auto [low, high] = std::minmax_element (a.begin(), a.end());
    EXPECT_GE (*low, -0.125f);
    EXPECT_LT (*high, 0.125f);
    EXPECT_LT (*low, -0.12f);
    EXPECT_GT (*high, 0.12f);
}
} // namespace

// Skipping a run of samples lands exactly where generating them does: on a hold boundary, in a glide, and
// with a hold period that is not a whole number of samples.
TEST (SampleAndHoldProcessor, SkippingSamplesLandsExactlyWhereGeneratingThemDoes)
{
    struct Case
    {
        float holdMs;
        double rate;
        int run;
    };
    for (const auto& c : { Case { 10.0f, 48000.0, 1 }, Case { 10.0f, 48000.0, 481 }, Case { 10.0f, 48000.0, 500 },
                           Case { 0.7f, 44100.0, 64 }, Case { 500.0f, 48000.0, 512 } })
    {
        SCOPED_TRACE (testing::Message() << c.holdMs << " ms, runs of " << c.run);
        QEL::SampleAndHoldProcessor generated (9), skipped (9);
        for (auto* generator : { &generated, &skipped })
        {
            generator->setHoldTime (c.holdMs);
            generator->prepare (c.rate);
        }

        for (int runs = 0; runs < 200; ++runs)
        {
            draw (generated, c.run);
            skipped.skip (c.run);
            ASSERT_EQ (skipped.getLastValue(), generated.getLastValue()) << "after run " << runs;
        }
        ASSERT_EQ (skipped.generateSample(), generated.generateSample());
    }
}
