#include "dsp/utility/QELBitcrusherProcessor.h"

#include "dsp/BlockSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
std::vector<float> crush (juce::QELBitcrusherProcessor& crusher, std::vector<float> samples, int blockSize)
{
    return blocksignals::processInBlocks (std::move (samples), blockSize,
                                          [&] (float* const* ch, int n) { crusher.process (ch, ch, n, 1, 1); });
}
} // namespace

TEST (QELBitcrusherProcessor, QuantisesTowardsZeroInStepsOfTheBitDepth)
{
    juce::QELBitcrusherProcessor crusher;
    crusher.bitDepth = 4.0f; // step 1/16

    const auto out = crush (crusher, { 0.30f, -0.30f, 0.0624f, -0.0624f, 0.5f, 0.999f }, 64);
    const std::vector<float> expected { 0.25f, -0.25f, 0.0f, -0.0f, 0.5f, 0.9375f };
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_FLOAT_EQ (out[i], expected[i]) << i;
}

TEST (QELBitcrusherProcessor, DefaultsPassTheSignalAndMixBlendsCrushedWithDry)
{
    juce::QELBitcrusherProcessor crusher;
    const auto in = blocksignals::noise (1000);
    const auto out = crush (crusher, in, 128);
    for (size_t i = 0; i < in.size(); ++i)
        ASSERT_NEAR (out[i], in[i], std::ldexp (1.0f, -32)) << i;

    crusher.bitDepth = 1.0f;
    crusher.crushMix = 0.25f;
    EXPECT_FLOAT_EQ (crush (crusher, { 0.9f }, 1)[0], 0.5f * 0.25f + 0.9f * 0.75f);
}

TEST (QELBitcrusherProcessor, HoldGroupsRepeatTheFirstOutputAndRestartEachBlock)
{
    juce::QELBitcrusherProcessor crusher;
    crusher.bitDepth = 4.0f;
    crusher.downsampleFactor = 4;

    std::vector<float> ramp (10);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = 0.1f * (float) i;

    // One block:    0 0 0 0 | .375 .375 .375 .375 | .75 .75
    // Blocks of 6:  0 0 0 0 | .375 .375 | .5625 .5625 .5625 .5625   (the second block starts a new group at 0.6)
    EXPECT_EQ (crush (crusher, ramp, 64),
               (std::vector<float> { 0, 0, 0, 0, 0.375f, 0.375f, 0.375f, 0.375f, 0.75f, 0.75f }));
    EXPECT_EQ (crush (crusher, ramp, 6),
               (std::vector<float> { 0, 0, 0, 0, 0.375f, 0.375f, 0.5625f, 0.5625f, 0.5625f, 0.5625f }));
}

TEST (QELBitcrusherProcessor, DepthBeyondFloatRangeLeavesTheSignalFinite)
{
    juce::QELBitcrusherProcessor crusher;
    crusher.bitDepth = 200.0f;
    const auto out = crush (crusher, { 0.3f, -0.7f }, 2);
    EXPECT_EQ (out, (std::vector<float> { 0.3f, -0.7f }));
}

// Every sample leaves bit for bit as x - fmod (x, 2^-depth) leaves it, signed zeros included, for whole and
// fractional depths and for samples from far below the step to full scale.
TEST (QELBitcrusherProcessor, TruncationMatchesFmodBitForBit)
{
    juce::Random random (11);
    std::vector<float> samples { 0.0f, -0.0f, 1.0f, -1.0f, 1.0e-12f, -1.0e-12f, 3.0e-38f };
    for (int i = 0; i < 4000; ++i)
        samples.push_back ((random.nextFloat() * 2.0f - 1.0f) * std::pow (10.0f, -12.0f * random.nextFloat()));

    for (const float depth : { 1.0f, 8.0f, 16.0f, 24.0f, 32.0f, 40.0f, 7.5f })
    {
        juce::QELBitcrusherProcessor crusher;
        crusher.bitDepth = depth;
        const auto out = crush (crusher, samples, 64);

        const float step = 1.0f / std::pow (2.0f, depth);
        int mismatches = 0;
        for (size_t i = 0; i < samples.size(); ++i)
        {
            const float expected = samples[i] - std::fmod (samples[i], step);
            mismatches += std::memcmp (&out[i], &expected, sizeof (float)) != 0;
        }
        EXPECT_EQ (mismatches, 0) << "depth " << depth;
    }
}
