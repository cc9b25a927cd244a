#include "dsp/filters/BiquadFilter.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

using juce::frut::dsp::BiquadFilter;

namespace
{
constexpr double fs = 48000.0;

/** The key high-pass of the signature compressor: Q 0.707 at 100 Hz. */
void designHighPass (BiquadFilter& filter, double hz)
{
    const double w = 2.0 * FilterMeasure::pi * hz / fs;
    const double k = 0.7072135785;
    const double beta = 0.5 * (1.0 - k * std::sin (w)) / (1.0 + k * std::sin (w));
    const double gamma = (0.5 + beta) * std::cos (w);
    const double a0 = (0.5 + beta + gamma) / 2.0;
    filter.setCoefficients (a0, -(0.5 + beta + gamma), a0, -2.0 * gamma, 2.0 * beta);
}

double gainDb (BiquadFilter& filter, int channel, double hz)
{
    filter.resetDelays();
    return FilterMeasure::sineGainDb ([&] (double x) { return filter.processSample (channel, x); }, hz, fs);
}
} // namespace

TEST (FrutBiquadFilter, KeyHighPassRemovesLowsAndKeepsTheVoice)
{
    BiquadFilter filter (2);
    designHighPass (filter, 100.0);
    EXPECT_NEAR (gainDb (filter, 1, 100.0), -3.0, 0.1);
    EXPECT_NEAR (gainDb (filter, 1, 2000.0), 0.0, 0.05);
    EXPECT_LT (gainDb (filter, 0, 20.0), -27.0);
}

TEST (FrutBiquadFilter, DryShareMixesTheInputBackIn)
{
    BiquadFilter filter (1);
    designHighPass (filter, 100.0);
    filter.c0 = 0.5;
    filter.d0 = 0.5;
    // At DC the high-pass gives 0, so half the input remains.
    EXPECT_NEAR (gainDb (filter, 0, 1.0), 20.0 * std::log10 (0.5), 0.1);
}

TEST (FrutBiquadFilter, ResetDelaysClearsEveryChannelAndGrowsForNewOnes)
{
    BiquadFilter filter (1);
    designHighPass (filter, 100.0);
    for (int i = 0; i < 100; ++i)
        filter.processSample (0, 1.0);

    filter.setNumberOfChannels (3);
    EXPECT_EQ (filter.getNumberOfChannels(), 3);

    // Every channel, old and new, starts from silence: a step gives a0 first.
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_EQ (filter.processSample (channel, 1.0), filter.a0) << channel;

    filter.resetDelays();
    EXPECT_EQ (filter.getLastOutput (2), 0.0);
    EXPECT_EQ (filter.processSample (0, 1.0), filter.a0);
}
