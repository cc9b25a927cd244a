#include "dsp/filters/MultiFilter.h"

#include "dsp/BlockSignals.h"

#include <gtest/gtest.h>

namespace
{
/** Level in dB that a stereo filter gives a 5 kHz sine at 44.1 kHz (left channel), after settling. */
double fiveKilohertzGainDb (juce::DualFilterBase& filter, float cutoff, bool highPass)
{
    const auto in = blocksignals::sine (5000.0, 44100.0, 44100);
    std::vector<float> out (in.size());
    for (size_t i = 0; i < in.size(); ++i)
    {
        float right = 0.0f;
        filter.Process (1.0f / 44100.0f, in[i], in[i], cutoff, out[i], right, highPass);
    }
    return blocksignals::gainDb (in, out, in.size() / 2);
}
} // namespace

TEST (DualFilter, OnePoleWithCutoffOnePassesEverything)
{
    for (const float sampleTime : { 1.0f / 44100.0f, 1.0f / 22050.0f })
    {
        juce::DualFilter<juce::OnePoleFilter> filter;
        float left = 0.0f, right = 0.0f;
        filter.Process (sampleTime, 0.7f, -0.2f, 1.0f, left, right, false);
        EXPECT_EQ (left, 0.7f);
        EXPECT_EQ (right, -0.2f);
        filter.Process (sampleTime, 0.4f, 0.1f, 1.0f, left, right, true);
        EXPECT_NEAR (left, 0.0f, 1.0e-7f);
        EXPECT_NEAR (right, 0.0f, 1.0e-7f);
    }
}

TEST (DualFilter, MorePolesCutHighFrequenciesHarder)
{
    juce::DualFilter<juce::OnePoleFilter> one;
    juce::DualFilter<juce::TwoPoleFilter> two;
    juce::DualFilter<juce::FourPoleFilter> four;

    const double oneDb = fiveKilohertzGainDb (one, 0.05f, false);
    const double twoDb = fiveKilohertzGainDb (two, 0.05f, false);
    const double fourDb = fiveKilohertzGainDb (four, 0.05f, false);
    EXPECT_LT (oneDb, -9.0);
    EXPECT_NEAR (twoDb, 2.0 * oneDb, 0.1); // identical stages add their losses
    EXPECT_NEAR (fourDb, 4.0 * oneDb, 0.2);

    juce::DualFilter<juce::OnePoleFilter> highPass;
    EXPECT_NEAR (fiveKilohertzGainDb (highPass, 0.05f, true), -0.5, 0.5);
}

TEST (DualFilter, StateVariableScalesItsInputAndHoldsWithZeroCutoff)
{
    juce::DualFilter<juce::StateVariableFilter> filter;
    filter.left.band = 0.1f;
    filter.left.low = 0.2f;

    float left = 0.0f, right = 0.0f;
    filter.Process (1.0f / 44100.0f, 0.5f, 0.5f, 0.0f, left, right, false);
    EXPECT_EQ (left, 0.2f);
    filter.Process (1.0f / 44100.0f, 0.5f, 0.5f, 0.0f, left, right, true);
    EXPECT_FLOAT_EQ (left, 0.45f - 0.2f - 0.1f);
    EXPECT_FLOAT_EQ (right, 0.45f);

    filter.Reset();
    EXPECT_EQ (filter.left.low, 0.0f);
    EXPECT_EQ (filter.left.band, 0.0f);
    EXPECT_FLOAT_EQ (filter.left.pi, juce::MathConstants<float>::pi);
}

TEST (MultiFilter, ChangeOfKindCrossfadesOverTenMillisecondsThenClearsTheOldFilter)
{
    juce::MultiFilter multi;
    EXPECT_EQ (multi.current, 0);
    EXPECT_EQ (multi.previous, 5);
    EXPECT_FALSE (multi.fading);
    EXPECT_EQ (multi.fade, 1.0f);

    multi.setFilterType (0);
    EXPECT_FALSE (multi.fading);
    multi.setFilterType (9);
    EXPECT_EQ (multi.current, 0);

    const float sampleTime = 1.0f / 48000.0f;
    const auto noise = blocksignals::noise (2000);
    size_t i = 0;
    for (; i < 1000; ++i)
    {
        float l = noise[i], r = noise[i];
        multi.Process (sampleTime, l, r, 0.1f, false);
    }

    multi.setFilterType (2);
    int samplesToFinish = 0;
    while (multi.fading)
    {
        float l = noise[i], r = noise[i];
        multi.Process (sampleTime, l, r, 0.1f, false);
        ++i;
        ++samplesToFinish;
    }
    EXPECT_EQ (samplesToFinish, 480);
    EXPECT_EQ (multi.fade, 1.0f);

    auto& old = dynamic_cast<juce::DualFilter<juce::OnePoleFilter>&> (*multi.filters[0]);
    EXPECT_EQ (old.left.state[0], 0.0f);
    EXPECT_EQ (old.right.state[0], 0.0f);
}

TEST (MultiFilter, CrossfadeIsContinuous)
{
    juce::MultiFilter multi;
    const float sampleTime = 1.0f / 44100.0f;
    const auto in = blocksignals::sine (200.0, 44100.0, 4410);
    float largestJump = 0.0f, last = 0.0f;

    for (size_t i = 0; i < in.size(); ++i)
    {
        if (i == 2000)
            multi.setFilterType (3);
        float l = in[i], r = in[i];
        multi.Process (sampleTime, l, r, 0.5f, false);
        if (i > 100)
            largestJump = std::max (largestJump, std::abs (l - last));
        last = l;
    }
    EXPECT_LT (largestJump, 0.05f);
}

// Every kind, low- and high-pass: a loud burst, then a long silence that must end in silence with no NaN
// or subnormal value on the way.
TEST (MultiFilter, LongSilenceAfterABurstEndsCleanlyForEveryKind)
{
    const float sampleTime = 1.0f / 48000.0f;
    const auto burst = blocksignals::noise (12000, 0.9f);

    for (int kind = 0; kind < 4; ++kind)
        for (bool highPass : { false, true })
        {
            juce::MultiFilter multi;
            multi.setFilterType (kind);
            int firstBad = -1;
            float lastSecondPeak = 0.0f;

            for (int i = 0; i < 8 * 48000; ++i)
            {
                float left = i < (int) burst.size() ? burst[(size_t) i] : 0.0f;
                float right = -left;
                multi.Process (sampleTime, left, right, 0.3f, highPass);

                for (float v : { left, right })
                {
                    const auto kindOfValue = std::fpclassify (v);
                    if (firstBad < 0 &&
                        (kindOfValue == FP_NAN || kindOfValue == FP_INFINITE || kindOfValue == FP_SUBNORMAL))
                        firstBad = i;
                    if (i >= 7 * 48000)
                        lastSecondPeak = std::max (lastSecondPeak, std::abs (v));
                }
            }
            EXPECT_EQ (firstBad, -1) << "kind " << kind << (highPass ? " high-pass" : " low-pass");
            EXPECT_LT (lastSecondPeak, 1.0e-6f) << "kind " << kind << (highPass ? " high-pass" : " low-pass");
        }
}
