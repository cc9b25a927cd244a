#include "dsp/dynamics/QELGate.h"

#include "dsp/DynamicsSignals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using namespace dynamics_signals;

constexpr double rate = 48000.0;

/** Runs a held key through the gate and returns the gain in dB it applies to a unit sample. */
double heldKeyGainDb (juce::QELGate& gate, float key, int numSamples = 8)
{
    double gainDb = 0.0;
    for (int i = 0; i < numSamples; ++i)
    {
        float sample = 1.0f;
        gate.processSingleSampleMono (sample, key);
        gainDb = levelToDb (sample);
    }
    return gainDb;
}

TEST (QELGate, HeldKeysSettleOnTheExpanderCurve)
{
    struct Case
    {
        float thresholdDb, ratio, rangeDb;
        double keyDb, gainDb;
    };
    const Case cases[] = {
        { -50.0f, 0.01f, -100.0f, -60.0, -9.9 },   // 10 dB short, 0.99 dB per dB
        { -50.0f, 0.01f, -100.0f, -40.0, 0.0 },    // above the threshold: open
        { -50.0f, 0.5f, -100.0f, -70.0, -10.0 },   // 2:1 expansion
        { -50.0f, 0.0f, -6.0f, -70.0, -6.0 },      // range floor
        { -50.0f, 0.5f, -100.0f, -1000.0, -25.0 }, // silent key reads -100 dB: (-100 + 50) * 0.5
        { 0.0f, 0.0f, -100.0f, -1000.0, -1000.0 }, // a shortfall of 100 dB or more: closed to 0
    };

    for (const auto& c : cases)
    {
        juce::QELGate gate;
        gate.setSampleRate (rate);
        gate.setThresh (c.thresholdDb);
        gate.ratio = c.ratio;
        gate.rangeDb = c.rangeDb;
        gate.setAttackEnabled (false);
        gate.setReleaseEnabled (false);

        const float key = c.keyDb <= -1000.0 ? 0.0f : dbToLevel (c.keyDb);
        const double gainDb = heldKeyGainDb (gate, key);

        if (c.gainDb <= -1000.0)
            EXPECT_TRUE (gainDb < -400.0) << gainDb;
        else
            EXPECT_NEAR (gainDb, c.gainDb, 1.0e-3) << "threshold " << c.thresholdDb << " key " << c.keyDb;
    }
}

TEST (QELGate, OpensFastClosesSlowAndReportsItsGain)
{
    juce::QELGate gate;
    gate.setSampleRate (rate);
    gate.setThresh (-40.0f);
    gate.ratio = 0.0f;
    gate.setRelease (50.0f);

    // Attack 1 ms: after 1 ms of a loud key the gate has covered 1 - 1/e of the way open.
    const double opened = heldKeyGainDb (gate, 0.5f, 48);
    EXPECT_NEAR (std::pow (10.0, opened / 20.0), 1.0 - std::exp (-1.0), 1.0e-3);

    heldKeyGainDb (gate, 0.5f, 4800);
    EXPECT_NEAR (gate.lastGainDb.load(), 0.0f, 1.0e-4);

    // Release 50 ms towards -20 dB (a key 20 dB short).
    const double closing = heldKeyGainDb (gate, dbToLevel (-60.0), 2400);
    const double expected = 0.1 + (1.0 - 0.1) * std::exp (-1.0);
    EXPECT_NEAR (std::pow (10.0, closing / 20.0), expected, 1.0e-3);
    EXPECT_NEAR (gate.lastGainDb.load(), closing, 1.0e-3);
}

TEST (QELGate, SlowReleaseFromAFullyOpenGateStaysFinite)
{
    // A fully open gate sits at 0 dB, so the release test divides by a level of 0 dB.
    juce::QELGate gate;
    gate.setSampleRate (rate);
    gate.setThresh (-40.0f);
    gate.ratio = 0.0f;
    gate.setAttackEnabled (false);
    gate.setSlowReleaseEnabled (true);

    heldKeyGainDb (gate, 0.5f);
    const double gainDb = heldKeyGainDb (gate, dbToLevel (-60.0), 480);

    EXPECT_TRUE (gate.useSlowRelease);
    EXPECT_EQ (gate.getRelease(), 1000.0f);
    EXPECT_TRUE (std::isfinite (gainDb));
    EXPECT_LT (gainDb, -0.05);
    EXPECT_GT (gainDb, -1.0); // 10 ms of a 1 s release
}

TEST (QELGateRms, IgnoresAClickThatOpensAPeakGate)
{
    constexpr int numSamples = 2400;
    std::vector<float> click (numSamples, 0.0f);
    click[100] = 0.5f;

    auto openedByClick = [&] (juce::QELGate& gate)
    {
        gate.setSampleRate (rate);
        gate.setThresh (-14.0f);
        gate.ratio = 0.0f;
        gate.setAttackEnabled (false);
        auto left = click, right = click;
        float loudest = 0.0f;
        for (int i = 0; i < numSamples; ++i)
        {
            float l = 0.01f, r = 0.01f; // a quiet bed that shows the gate's gain
            l += left[(size_t) i];
            r += right[(size_t) i];
            gate.processSingleSampleStereo (l, r);
            if (i > 100)
                loudest = std::max (loudest, l);
        }
        return loudest > 0.005f;
    };

    juce::QELGate peakGate;
    juce::QELGateRms rmsGate;
    EXPECT_TRUE (openedByClick (peakGate));
    EXPECT_FALSE (openedByClick (rmsGate));
}

TEST (QELGateRms, KeysOnTheRmsOfBothChannels)
{
    // A sine of amplitude a on both channels has l^2 + r^2 averaging a^2: the key reads a.
    for (const auto& [amplitudeDb, opens] : { std::pair { -34.0, true }, std::pair { -46.0, false } })
    {
        juce::QELGateRms gate;
        gate.setSampleRate (rate);
        gate.setThresh (-40.0f);
        gate.ratio = 0.0f;

        auto left = sine (440.0, rate, dbToLevel (amplitudeDb), 9600);
        auto right = left;
        for (size_t i = 0; i < left.size(); ++i)
            gate.processSingleSampleStereo (left[i], right[i]);

        const double gainDb = levelToDb (peak (left, 4800)) - amplitudeDb;
        if (opens)
            EXPECT_NEAR (gainDb, 0.0, 0.1);
        else
            EXPECT_LT (gainDb, -5.0);
    }
}

TEST (QELGate, LongSilenceLeavesNoDenormalsOrNaN)
{
    juce::QELGateRms gate;
    gate.setSampleRate (rate);
    gate.setThresh (-50.0f);
    gate.ratio = 0.5f;
    gate.rangeDb = -80.0f;

    auto left = sine (200.0, rate, 0.5f, 96000);
    std::fill (left.begin() + 4800, left.end(), 0.0f);
    auto right = left;
    for (size_t i = 0; i < left.size(); ++i)
        gate.processSingleSampleStereo (left[i], right[i]);

    EXPECT_TRUE (finiteAndNormal (left.data(), (int) left.size()));
    EXPECT_EQ (peak (left, 4800), 0.0);
    EXPECT_TRUE (std::isnormal (gate.envelope));
    EXPECT_TRUE (std::isnormal (gate.meanSquare));
}
} // namespace
