#include "dsp/utility/GainProcessor.h"

#include "dsp/BlockSignals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
void prepare (QEL::GainProcessor& stage, double rate)
{
    stage.prepare ({ rate, 512, 2 });
}

/** Runs a block of ones through the stage, so each output sample is the factor applied to it. */
std::vector<float> factorsOverBlock (QEL::GainProcessor& stage, int numSamples)
{
    std::vector<float> ones ((size_t) numSamples, 1.0f);
    float* channels[] = { ones.data() };
    stage.process (channels, channels, numSamples, 1, 1);
    return ones;
}
} // namespace

TEST (GainProcessor, DecibelsGiveTheFactorAndMinusOneHundredIsSilence)
{
    const struct
    {
        float db;
        float factor;
    } cases[] = {
        { 0.0f, 1.0f },    { 6.0f, 1.9952623f }, { -20.0f, 0.1f }, { -99.9f, 1.0115795e-05f }, // 10^-4.995
        { -100.0f, 0.0f }, { -150.0f, 0.0f },
    };

    for (const auto& c : cases)
    {
        QEL::GainProcessor unprepared; // no ramp length yet: the new gain applies at once
        unprepared.setGainDb (c.db);

        const auto in = blocksignals::sine (1000.0, 44100.0, 1024);
        const auto out = blocksignals::processInBlocks (
            in, 256, [&] (float* const* ch, int n) { unprepared.process (ch, ch, n, 1, 1); });

        for (size_t i = 0; i < in.size(); ++i)
            ASSERT_NEAR (out[i], in[i] * c.factor, 1.0e-6f * std::abs (in[i]) + 1.0e-12f) << c.db << " dB at " << i;
    }
}

TEST (GainProcessor, ChangeRampsLinearlyOver479SamplesAt48k)
{
    QEL::GainProcessor stage;
    prepare (stage, 48000.0);
    stage.setGainDb (-6.0f);

    const float target = std::pow (10.0f, -6.0f / 20.0f);
    const auto factors = factorsOverBlock (stage, 600);

    EXPECT_NEAR (factors[0], 1.0f + (target - 1.0f) / 479.0f, 1.0e-6f);
    EXPECT_NEAR (factors[239], 1.0f + (target - 1.0f) * 240.0f / 479.0f, 1.0e-5f);
    EXPECT_NE (factors[477], target);
    EXPECT_EQ (factors[478], target); // the last step lands exactly on the target
    EXPECT_EQ (factors[599], target);
}

TEST (GainProcessor, SameValueChangesNothingAndPrepareOrResetEndsARunningChange)
{
    for (const bool byReset : { false, true })
    {
        QEL::GainProcessor stage;
        prepare (stage, 44100.0);
        stage.setGainDb (0.0f);
        factorsOverBlock (stage, 16);
        EXPECT_FALSE (stage.gainRamp.isSmoothing());

        stage.setGainDb (-12.0f);
        factorsOverBlock (stage, 100);
        ASSERT_TRUE (stage.gainRamp.isSmoothing());

        if (byReset)
            stage.reset();
        else
            prepare (stage, 44100.0);
        EXPECT_FALSE (stage.gainRamp.isSmoothing()) << (byReset ? "reset" : "prepare");
        EXPECT_EQ (factorsOverBlock (stage, 1)[0], std::pow (10.0f, -12.0f / 20.0f));
    }
}

TEST (GainProcessor, RampKeepsItsTimingWhenNoChannelIsPassed)
{
    QEL::GainProcessor stage;
    prepare (stage, 44100.0); // 440-sample ramps
    stage.setGainDb (-100.0f);

    stage.process (nullptr, nullptr, 300, 0, 0);
    EXPECT_EQ (stage.gainRamp.getCountdown(), 140);
}

TEST (GainProcessor, AmountScalesTheDepthAndDecibelModeRampsInDecibels)
{
    QEL::GainProcessor half;
    half.amount = 0.5f;
    half.setGainDb (-120.0f);
    EXPECT_FLOAT_EQ (factorsOverBlock (half, 4)[3], 0.5f);

    QEL::GainProcessor inDecibels;
    inDecibels.rampInDecibels = true;
    prepare (inDecibels, 48000.0);
    inDecibels.setGainDb (-40.0f);
    const auto factors = factorsOverBlock (inDecibels, 479);

    // Half-way through the ramp the gain is -20 dB, not the linear midpoint 0.505.
    EXPECT_NEAR (20.0f * std::log10 (factors[238]), -40.0f * 239.0f / 479.0f, 1.0e-3f);
    EXPECT_NEAR (factors[478], 0.01f, 1.0e-7f);
}
