#include "dsp/saturation/ClassAValve.h"
#include "dsp/saturation/ClassBValvePair.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

using QEL::ClassAValve;
using QEL::ClassAValveParameters;
using QEL::ClassBValvePair;
using QEL::ClassBValveParameters;

namespace
{
constexpr double fs = 48000.0;
constexpr int blockSize = 480;

/** The two class-A records and the pair's record the vocal chain uses. */
ClassAValveParameters chainClassA (bool asymmetric)
{
    ClassAValveParameters p;
    p.conductionThreshold = asymmetric ? 1.0 : 1.5;
    p.dcShiftAmount = asymmetric ? 2.0 : 1.0;
    p.saturation = 2.0;
    p.inputGain = 1.0;
    p.outputGain = 0.8;
    p.invertOutput = false;
    p.asymmetricClip = asymmetric;
    return p;
}

ClassBValveParameters chainClassB (std::uint32_t waveshaper)
{
    ClassBValveParameters p;
    p.waveshaper = waveshaper;
    p.inputGain = 1.0;
    p.outputGain = 0.8;
    return p;
}

void run (juce::QELProcessorBase& block, std::vector<float>& signal)
{
    for (size_t start = 0; start < signal.size(); start += blockSize)
    {
        float* channel = signal.data() + start;
        block.process (&channel, &channel, (int) std::min<size_t> (blockSize, signal.size() - start), 1, 1);
    }
}

std::vector<float> sine (double hz, float amplitude, int numSamples)
{
    std::vector<float> out ((size_t) numSamples);
    for (int i = 0; i < numSamples; ++i)
        out[(size_t) i] = amplitude * (float) std::sin (2.0 * FilterMeasure::pi * hz * i / fs);
    return out;
}

/** Magnitude of the component at hz over the samples from..end (a whole number of periods). */
double componentAt (const std::vector<float>& x, double hz, size_t from)
{
    double re = 0.0, im = 0.0;
    for (size_t i = from; i < x.size(); ++i)
    {
        re += x[i] * std::cos (2.0 * FilterMeasure::pi * hz * (double) i / fs);
        im += x[i] * std::sin (2.0 * FilterMeasure::pi * hz * (double) i / fs);
    }
    return 2.0 * std::hypot (re, im) / (double) (x.size() - from);
}

/** Odd-harmonic distortion of a 200 Hz tone: energy of harmonics 3 to 9 over the fundamental's, in dB.
    (A curve with different slopes for the two swings adds even harmonics at every level; the odd ones
    come from the bending and grow with the drive.) */
double distortionDb (const std::vector<float>& out)
{
    const size_t from = out.size() / 2;
    double harmonics = 0.0;
    for (int k = 3; k <= 9; k += 2)
        harmonics += std::pow (componentAt (out, 200.0 * k, from), 2.0);
    return 10.0 * std::log10 (harmonics / std::pow (componentAt (out, 200.0, from), 2.0));
}

double meanOfLastHalf (const std::vector<float>& x)
{
    double sum = 0.0;
    for (size_t i = x.size() / 2; i < x.size(); ++i)
        sum += x[i];
    return sum / (double) (x.size() - x.size() / 2);
}

double peakOfLastHalf (const std::vector<float>& x)
{
    double peak = 0.0;
    for (size_t i = x.size() / 2; i < x.size(); ++i)
        peak = std::max (peak, (double) std::abs (x[i]));
    return peak;
}
} // namespace

TEST (ClassAValve, GridConductionAndClipperAreContinuous)
{
    EXPECT_NEAR (ClassAValve::gridConduction (1.0, 1.5), 0.9924837, 1e-7);
    EXPECT_NEAR (ClassAValve::gridConduction (100.0, 1.5) / 100.0, 0.4473253, 1e-7);
    EXPECT_EQ (ClassAValve::gridConduction (-2.0, 1.5), -2.0);

    const ClassAValveParameters defaults;
    const struct
    {
        double d, h;
    } cases[] = { { 4.0, 4.0 },        { 4.0 - 1e-9, 4.0 }, { 4.5, 4.0 },   { 2.75, 3.21875 },     { 1.5, 1.5 },
                  { 1.5 + 1e-9, 1.5 }, { 0.7, 0.7 },        { -1.5, -1.5 }, { -1.5 + 1e-9, -1.5 }, { -3.0, -1.5 } };
    for (const auto& c : cases)
        EXPECT_NEAR (ClassAValve::clip (c.d, defaults), c.h, 1e-8) << c.d;

    auto symmetric = defaults;
    symmetric.asymmetricClip = false;
    EXPECT_NEAR (ClassAValve::clip (1.0, symmetric), 1.0, 1e-15);
    EXPECT_NEAR (ClassAValve::clip (-1.0, symmetric), -1.0, 1e-15);
}

TEST (ClassAValve, SilenceStaysSilent)
{
    ClassAValve stage;
    stage.prepareToPlay (fs, blockSize);
    std::vector<float> silence (4800, 0.0f);
    run (stage, silence);
    for (float x : silence)
        ASSERT_EQ (x, 0.0f);
    EXPECT_EQ (stage.parameters.dcOffset, 0.0);
}

TEST (ClassAValve, DistortionRisesWithDriveAndDcStaysNearZero)
{
    for (bool asymmetric : { true, false })
    {
        double previousDb = -200.0;
        for (float amplitude : { 0.2f, 1.0f, 5.0f })
        {
            ClassAValve stage;
            stage.setParameters (chainClassA (asymmetric));
            stage.prepareToPlay (fs, blockSize);
            auto signal = sine (200.0, amplitude, (int) fs);
            run (stage, signal);

            const double db = distortionDb (signal);
            EXPECT_GT (db, previousDb + 3.0) << asymmetric << " " << amplitude;
            previousDb = db;
            EXPECT_LT (std::abs (meanOfLastHalf (signal)), 0.01 * peakOfLastHalf (signal))
                << asymmetric << " " << amplitude;
        }
        EXPECT_GT (previousDb, -30.0) << asymmetric;
    }
}

TEST (ClassAValve, QuietInputPassesNearlyLinearlyWithTheDefaultsInverted)
{
    ClassAValve stage;
    stage.prepareToPlay (fs, blockSize);
    auto signal = sine (1000.0, 0.01f, 9600);
    const auto input = signal;
    run (stage, signal);
    // Input gain 1.5 and grid factor 0.9924837 below threshold; the clipper's slope is 1 on positive swings and
    // 2/tanh(2) on negative ones, so the fundamental gets their mean; filters flat at 1 kHz; output inverted.
    const double expectedGain = 1.5 * 0.9924837 * (1.0 + 2.0 / std::tanh (2.0)) / 2.0;
    EXPECT_NEAR (componentAt (signal, 1000.0, 4800) / componentAt (input, 1000.0, 4800), expectedGain, 0.02);
    EXPECT_LT (signal[4800 + 12] * input[4800 + 12], 0.0f); // a quarter period: opposite signs
}

TEST (ClassAValve, OneChannelUsesOnlyTheFirstChannelsFilters)
{
    ClassAValve stage;
    stage.setParameters (chainClassA (true));
    stage.prepareToPlay (fs, blockSize);
    auto signal = sine (200.0, 1.0f, 4800);
    run (stage, signal);
    EXPECT_NE (stage.dcTrackers[0].z1, 0.0);
    EXPECT_EQ (stage.dcTrackers[1].z1, 0.0);
    EXPECT_EQ (stage.lowPasses[1].biquad.state[QEL::CustomBiquad::x1], 0.0);
}

TEST (ClassBValvePair, SilenceStaysSilentWithEitherWaveshaper)
{
    for (std::uint32_t waveshaper : { 0u, 1u })
    {
        ClassBValvePair pair;
        pair.setParameters (chainClassB (waveshaper));
        pair.prepareToPlay (fs, blockSize);
        std::vector<float> silence (4800, 0.0f);
        run (pair, silence);
        for (float x : silence)
            ASSERT_EQ (x, 0.0f) << waveshaper;
    }
}

TEST (ClassBValvePair, DistortionRisesWithDriveAndDcStaysNearZero)
{
    for (std::uint32_t waveshaper : { 0u, 1u })
    {
        double previousDb = -200.0;
        const auto amplitudes =
            waveshaper == 1 ? std::vector<float> { 0.01f, 0.05f, 0.2f } : std::vector<float> { 0.2f, 1.0f, 5.0f };
        for (float amplitude : amplitudes)
        {
            ClassBValvePair pair;
            pair.setParameters (chainClassB (waveshaper));
            pair.prepareToPlay (fs, blockSize);
            auto signal = sine (200.0, amplitude, (int) fs);
            run (pair, signal);

            const double db = distortionDb (signal);
            EXPECT_GT (db, previousDb + 3.0) << waveshaper << " " << amplitude;
            previousDb = db;
            EXPECT_LT (std::abs (meanOfLastHalf (signal)), 0.01 * peakOfLastHalf (signal))
                << waveshaper << " " << amplitude;
        }
    }
}

TEST (ClassBValvePair, PolettiLanesBendOppositeSwingsHard)
{
    const ClassBValveParameters p;
    const auto [u0Positive, u1Positive] = QEL::ClassBValvePolettiWaveshaper::lanes (100.0, p);
    EXPECT_NEAR (u1Positive, p.hardLimit, 0.01);
    EXPECT_GT (u0Positive, 0.8 * 100.0 * p.polettiDrive / (1.0 + 100.0 * p.polettiDrive / p.softLimit) - 1e-9);
    EXPECT_GT (u0Positive, 20.0);

    const auto [u0Negative, u1Negative] = QEL::ClassBValvePolettiWaveshaper::lanes (-100.0, p);
    EXPECT_NEAR (u0Negative, -p.hardLimit, 0.01);
    EXPECT_LT (u1Negative, -20.0);
}

TEST (ClassBValvePair, PirkleTrackersReportTheHalvesAndOneChannelUsesChannelZero)
{
    ClassBValvePair pair;
    pair.setParameters (chainClassB (0));
    pair.prepareToPlay (fs, blockSize);
    auto signal = sine (200.0, 4.0f, 48000);
    run (pair, signal);

    // Grid conduction squashes the peaks of each half, so both tracked halves sit below zero.
    const auto& used = pair.pirkleWaveshapers[0].parameters;
    EXPECT_LT (used.dcLevelPositive, -0.1);
    EXPECT_LT (used.dcLevelNegative, -0.1);
    EXPECT_EQ (pair.pirkleWaveshapers[1].parameters.dcLevelPositive, 0.0);
    EXPECT_EQ (pair.highPasses[1].biquad.state[QEL::CustomBiquad::x1], 0.0);
}
