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
