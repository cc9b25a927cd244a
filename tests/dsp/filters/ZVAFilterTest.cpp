#include "dsp/filters/ZVAFilter.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

using QEL::ZVAFilter;
using QEL::ZVAFilterParameters;

namespace
{
constexpr double fs = 48000.0;

ZVAFilterParameters settings (int algorithm, double fc, double Q)
{
    ZVAFilterParameters p;
    p.algorithm = algorithm;
    p.fc = fc;
    p.Q = Q;
    return p;
}

double gainDb (ZVAFilter& filter, double hz)
{
    filter.reset();
    return FilterMeasure::sineGainDb ([&] (double x) { return filter.processAudioSample (x); }, hz, fs);
}

double prewarpedG (double fc, double rate)
{
    return std::tan (FilterMeasure::pi * fc / rate);
}
} // namespace

TEST (ZVAFilter, ResponsesAtTheCornerAndInTheBands)
{
    const struct
    {
        int algorithm;
        double Q;
        double dbAtCorner, otherHz, dbAtOther;
    } cases[] = {
        { ZVAFilterParameters::firstOrderLowPass, 0.707, -3.01, 50.0, 0.0 },
        { ZVAFilterParameters::firstOrderHighPass, 0.707, -3.01, 20000.0, 0.0 },
        { ZVAFilterParameters::firstOrderAllPass, 0.707, 0.0, 100.0, 0.0 },
        { ZVAFilterParameters::stateVariableLowPass, 0.7071, -3.01, 10000.0, -42.74 },
        { ZVAFilterParameters::stateVariableHighPass, 0.7071, -3.01, 100.0, -40.0 },
        { ZVAFilterParameters::stateVariableBandPass, 4.0, 20.0 * std::log10 (4.0), 100.0, -19.93 },
        { ZVAFilterParameters::stateVariableBandStop, 1.0, -100.0, 20.0, 0.0 },
    };

    for (const auto& c : cases)
    {
        ZVAFilter filter;
        filter.prepareToPlay (fs, 512);
        filter.setParameters (settings (c.algorithm, 1000.0, c.Q));

        const double atCorner = gainDb (filter, 1000.0);
        if (c.dbAtCorner <= -100.0)
            EXPECT_LT (atCorner, -60.0) << c.algorithm;
        else
            EXPECT_NEAR (atCorner, c.dbAtCorner, 0.05) << c.algorithm;
        EXPECT_NEAR (gainDb (filter, c.otherHz), c.dbAtOther, 0.1) << c.algorithm;
    }
}

TEST (ZVAFilter, FirstSettingsDesignEvenWhenTheyMatchTheDefaults)
{
    ZVAFilter filter;
    filter.prepareToPlay (fs, 512);
    filter.setParameters (ZVAFilterParameters {});
    EXPECT_NEAR (gainDb (filter, 100.0), 0.0, 0.01);
}

TEST (ZVAFilter, OnlyFrequencyQAndTheTwoShapeSwitchesRecompute)
{
    ZVAFilter filter;
    filter.prepareToPlay (fs, 512);
    auto p = settings (ZVAFilterParameters::firstOrderLowPass, 2000.0, 0.707);
    filter.setParameters (p);
    const double g = prewarpedG (2000.0, fs);
    EXPECT_NEAR (filter.alpha, g / (1.0 + g), 1e-15);

    p.algorithm = ZVAFilterParameters::stateVariableLowPass;
    filter.setParameters (p);
    EXPECT_NEAR (filter.alpha, g / (1.0 + g), 1e-15);

    // A new rate alone changes nothing either.
    filter.prepareToPlay (96000.0, 512);
    EXPECT_NEAR (filter.alpha, g / (1.0 + g), 1e-15);

    p.Q = 2.0;
    filter.setParameters (p);
    const double g96 = prewarpedG (2000.0, 96000.0);
    EXPECT_NEAR (filter.alpha, g96, 1e-15);
    EXPECT_NEAR (filter.alpha0, 1.0 / (1.0 + 0.5 * g96 + g96 * g96), 1e-15);
}

TEST (ZVAFilter, SelfOscillationRingsWithoutDecay)
{
    ZVAFilter filter;
    filter.prepareToPlay (fs, 512);
    auto p = settings (ZVAFilterParameters::stateVariableBandPass, 1000.0, 0.707);
    p.selfOscillate = true;
    filter.setParameters (p);
    const double g = prewarpedG (1000.0, fs);
    EXPECT_NEAR (filter.alpha0, 1.0 / (1.0 + g * g), 1e-15);

    double early = 0.0, late = 0.0;
    for (int i = 0; i < 48000; ++i)
    {
        const double y = filter.processAudioSample (i == 0 ? 1.0 : 0.0);
        (i < 4800 ? early : late) = std::max (i < 4800 ? early : late, std::abs (y));
    }
    EXPECT_GT (late, 0.99 * early);
}

TEST (ZVAFilter, OutputGainAndResonanceCompensationScaleTheStateVariableOutput)
{
    ZVAFilter filter;
    filter.prepareToPlay (fs, 512);
    auto p = settings (ZVAFilterParameters::stateVariableLowPass, 1000.0, 4.0);
    filter.setParameters (p);
    const double plain = gainDb (filter, 100.0);

    p.outputGainDb = 6.0;
    filter.setParameters (p);
    EXPECT_NEAR (gainDb (filter, 100.0) - plain, 6.0, 1e-6);

    p.outputGainDb = 0.0;
    p.gainCompensation = true;
    filter.setParameters (p);
    const double peakDb = 20.0 * std::log10 (16.0 / std::sqrt (15.75));
    EXPECT_NEAR (gainDb (filter, 100.0) - plain, -peakDb / 2.0, 1e-6);

    // The first-order responses ignore the output gain.
    p = settings (ZVAFilterParameters::firstOrderLowPass, 1000.0, 0.707);
    p.outputGainDb = 12.0;
    filter.setParameters (p);
    EXPECT_NEAR (gainDb (filter, 50.0), 0.0, 0.05);
}

TEST (ZVAFilter, AnalogMatchingLiftsTheLowPassNearNyquist)
{
    for (int algorithm : { ZVAFilterParameters::firstOrderLowPass, ZVAFilterParameters::stateVariableLowPass })
    {
        ZVAFilter plain, matched;
        plain.prepareToPlay (fs, 512);
        matched.prepareToPlay (fs, 512);
        auto p = settings (algorithm, 8000.0, 0.707);
        plain.setParameters (p);
        p.matchAnalogNyquist = true;
        matched.setParameters (p);

        EXPECT_GT (gainDb (matched, 20000.0), gainDb (plain, 20000.0) + 3.0) << algorithm;
        EXPECT_NEAR (gainDb (matched, 100.0), 0.0, 0.05) << algorithm;
    }
}

TEST (ZVAFilter, NonlinearBandPassStaysBoundedForLoudInput)
{
    ZVAFilter filter;
    filter.prepareToPlay (fs, 512);
    auto p = settings (ZVAFilterParameters::stateVariableBandPass, 500.0, 10.0);
    p.nonlinear = true;
    filter.setParameters (p);

    double peak = 0.0;
    for (int i = 0; i < 4800; ++i)
        peak = std::max (
            peak, std::abs (filter.processAudioSample (20.0 * std::sin (2.0 * FilterMeasure::pi * 500.0 * i / fs))));
    EXPECT_LE (peak, 1.0);
    EXPECT_GT (peak, 0.5);
}

TEST (ZVAFilter, LongSilenceAfterSoundClearsTheIntegrators)
{
    for (int algorithm : { ZVAFilterParameters::firstOrderLowPass, ZVAFilterParameters::stateVariableBandPass })
    {
        ZVAFilter filter;
        filter.prepareToPlay (fs, 512);
        filter.setParameters (settings (algorithm, 200.0, 2.0));
        for (int i = 0; i < 4800; ++i)
            filter.processAudioSample (std::sin (0.05 * i));
        for (int i = 0; i < 48000; ++i)
            filter.processAudioSample (0.0);
        EXPECT_EQ (filter.z1, 0.0) << algorithm;
        EXPECT_EQ (filter.z2, 0.0) << algorithm;
    }
}
