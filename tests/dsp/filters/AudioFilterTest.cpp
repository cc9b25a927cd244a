#include "dsp/filters/AudioFilter.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

using QEL::AudioFilter;
using QEL::CustomBiquad;

namespace
{
constexpr double fs = 44100.0;

void prepareFilter (AudioFilter& filter, int algorithm, double fc, double Q, double gainDb = 0.0)
{
    filter.algorithm = algorithm;
    filter.fc = fc;
    filter.Q = Q;
    filter.boostCutDb = gainDb;
    filter.prepareToPlay (fs, 512);
}

std::vector<double> impulseResponse (CustomBiquad& biquad, int length)
{
    std::vector<double> out;
    for (int i = 0; i < length; ++i)
        out.push_back (biquad.processAudioSample (i == 0 ? 1.0 : 0.0));
    return out;
}
} // namespace

TEST (AudioFilter, DefaultsDesignAFirstOrderLowPassThatPassesDc)
{
    AudioFilter filter;
    filter.prepareToPlay (fs, 512);

    const auto* c = filter.biquad.coeffs;
    EXPECT_NEAR (c[CustomBiquad::a0], 0.0070735222, 1e-9);
    EXPECT_NEAR (c[CustomBiquad::a1], 0.0070735222, 1e-9);
    EXPECT_NEAR (c[CustomBiquad::b1], -0.9858529556, 1e-9);
    EXPECT_EQ (filter.biquad.structure, CustomBiquad::transposedCanonicalForm);

    std::vector<float> ones (8192, 1.0f);
    float* channel = ones.data();
    filter.process (&channel, &channel, 8192, 1, 1);
    EXPECT_NEAR (ones.back(), 1.0f, 1e-5f);
}

// Each design heard through the block entry: the gain at its corner or centre (1 kHz) and at one frequency
// in its pass or stop band.
TEST (AudioFilter, EveryDesignHasItsResponse)
{
    const struct
    {
        int algorithm;
        double Q, gainDb;
        double dbAtCorner;
        double otherHz, dbAtOther, tolerance;
    } cases[] = {
        { 0, 0.707, 0.0, -3.01, 20.0, 0.0, 0.1 },       { 1, 0.707, 0.0, -3.01, 20.0, 0.0, 0.05 },
        { 2, 0.707, 0.0, -3.01, 20000.0, 0.0, 0.05 },   { 3, 0.707, 0.0, -3.01, 10000.0, -43.3, 0.1 },
        { 4, 0.707, 0.0, -3.01, 100.0, -40.0, 0.1 },    { 5, 2.0, 0.0, 0.0, 100.0, -26.0, 0.1 },
        { 7, 0.707, 0.0, -3.01, 10000.0, -43.3, 0.1 },  { 8, 0.707, 0.0, -3.01, 100.0, -40.0, 0.1 },
        { 9, 2.0, 0.0, 0.0, 100.0, -25.9, 0.1 },        { 13, 0.707, 6.0, 4.64, 20.0, 6.0, 0.05 },
        { 14, 0.707, 6.0, 4.64, 20000.0, 6.0, 0.05 },   { 15, 0.707, 6.0, 6.0, 20.0, 0.0, 0.05 },
        { 16, 0.707, 6.0, 6.0, 20.0, 0.0, 0.05 },       { 16, 0.707, -6.0, -6.0, 20.0, 0.0, 0.05 },
        { 17, 0.707, 0.0, -6.02, 10000.0, -43.4, 0.1 }, { 18, 0.707, 0.0, -6.02, 100.0, -40.1, 0.1 },
        { 19, 0.707, 0.0, 0.0, 10000.0, 0.0, 0.01 },    { 20, 2.0, 0.0, 0.0, 100.0, 0.0, 0.01 },
        { 21, 2.0, 0.0, 0.0, 10000.0, -44.2, 0.1 },     { 22, 2.0, 0.0, -0.11, 100.0, -26.8, 0.1 },
        { 23, 0.707, 0.0, -3.01, 20.0, 0.0, 0.05 },     { 24, 0.707, 0.0, -3.02, 20.0, 0.0, 0.05 },
        { 25, 2.0, 0.0, 0.0, 100.0, -25.9, 0.1 },       { 26, 2.0, 0.0, 0.0, 100.0, -25.9, 0.1 },
        { 27, 0.707, 0.0, -3.0, 20.0, 0.0, 0.05 },      { 28, 0.707, 0.0, -3.01, 20.0, 0.0, 0.05 },
    };

    for (const auto& c : cases)
    {
        AudioFilter filter;
        prepareFilter (filter, c.algorithm, 1000.0, c.Q, c.gainDb);
        EXPECT_NEAR (FilterMeasure::blockSineGainDb (filter, 1000.0, fs), c.dbAtCorner, c.tolerance) << c.algorithm;
        filter.reset();
        EXPECT_NEAR (FilterMeasure::blockSineGainDb (filter, c.otherHz, fs), c.dbAtOther, c.tolerance) << c.algorithm;
    }
}

TEST (AudioFilter, BandStopsNotchTheirCentre)
{
    for (int algorithm : { 6, 10 })
    {
        AudioFilter filter;
        prepareFilter (filter, algorithm, 1000.0, 2.0);
        EXPECT_LT (FilterMeasure::blockSineGainDb (filter, 1000.0, fs), -60.0) << algorithm;
        filter.reset();
        EXPECT_NEAR (FilterMeasure::blockSineGainDb (filter, 20.0, fs), 0.0, 0.05) << algorithm;
    }
}

TEST (AudioFilter, LowShelfAtZeroDecibelsPassesTheInputExactly)
{
    AudioFilter filter;
    prepareFilter (filter, 13, 300.0, 0.707, 0.0);
    EXPECT_EQ (filter.coeffs[CustomBiquad::c0], 0.0);
    EXPECT_EQ (filter.coeffs[CustomBiquad::d0], 1.0);

    auto signal = FilterMeasure::noise (1024);
    const auto input = signal;
    float* channel = signal.data();
    filter.process (&channel, &channel, 1024, 1, 1);
    EXPECT_EQ (signal, input);
}

TEST (AudioFilter, ConstantQPeakCutUndoesTheSameBoost)
{
    AudioFilter boost, cut;
    prepareFilter (boost, 16, 2500.0, 1.5, 6.0);
    prepareFilter (cut, 16, 2500.0, 1.5, -6.0);

    const auto input = FilterMeasure::noise (4096);
    for (size_t i = 0; i < input.size(); ++i)
        EXPECT_NEAR (cut.processSample (boost.processSample (input[i])), input[i], 1e-9) << i;
}

TEST (AudioFilter, BandDesignsStopWideningAtTheBandwidthLimit)
{
    // At 10 kHz, Q 0.2 and Q 0.1 both ask for more than 0.95·π/2: both get the clamped design.
    for (int algorithm : { 9, 10, 15, 20 })
    {
        AudioFilter wide, wider;
        prepareFilter (wide, algorithm, 10000.0, 0.2, 6.0);
        prepareFilter (wider, algorithm, 10000.0, algorithm == 15 ? 0.05 : 0.1, 6.0);

        for (int i = 0; i < CustomBiquad::numCoefficients; ++i)
        {
            EXPECT_TRUE (std::isfinite (wide.coeffs[i])) << algorithm;
            EXPECT_EQ (wide.coeffs[i], wider.coeffs[i]) << algorithm << " coefficient " << i;
        }
    }
}

TEST (AudioFilter, PeakNormalisedAnalogLowPassMatchesThePlainOneWithoutResonance)
{
    for (double Q : { 0.5, 0.707 })
    {
        AudioFilter normalised, plain;
        prepareFilter (normalised, 11, 3000.0, Q);
        prepareFilter (plain, 12, 3000.0, Q);
        for (int i = 0; i < CustomBiquad::numCoefficients; ++i)
            EXPECT_EQ (normalised.coeffs[i], plain.coeffs[i]) << Q;
    }

    AudioFilter resonant;
    prepareFilter (resonant, 11, 3000.0, 4.0);
    EXPECT_NEAR (FilterMeasure::blockSineGainDb (resonant, 20.0, fs),
                 -0.5 * 20.0 * std::log10 (16.0 / std::sqrt (15.75)), 0.01);
}

TEST (AudioFilter, UnknownAlgorithmKeepsTheKernelButResetsTheWetDryPair)
{
    AudioFilter filter;
    prepareFilter (filter, 13, 300.0, 0.707, 6.0);
    double kernelBefore[CustomBiquad::numCoefficients];
    std::copy (std::begin (filter.biquad.coeffs), std::end (filter.biquad.coeffs), kernelBefore);

    filter.algorithm = 29;
    filter.calculateFilterCoeffs();

    EXPECT_TRUE (std::equal (std::begin (kernelBefore), std::end (kernelBefore), std::begin (filter.biquad.coeffs)));
    EXPECT_EQ (filter.coeffs[CustomBiquad::c0], 1.0);
    EXPECT_EQ (filter.coeffs[CustomBiquad::d0], 0.0);
}

TEST (AudioFilter, ChannelsOfOneBlockShareTheOneState)
{
    // Channel 0 holds an impulse, channel 1 silence: channel 1 carries on the impulse response's tail.
    AudioFilter filter, reference;
    prepareFilter (filter, 3, 1000.0, 0.707);
    prepareFilter (reference, 3, 1000.0, 0.707);

    std::vector<float> left (64, 0.0f), right (64, 0.0f);
    left[0] = 1.0f;
    float* channels[] = { left.data(), right.data() };
    filter.process (channels, channels, 64, 2, 2);

    for (int i = 0; i < 128; ++i)
    {
        const float expected = (float) reference.processSample (i == 0 ? 1.0 : 0.0);
        EXPECT_EQ (i < 64 ? left[(size_t) i] : right[(size_t) (i - 64)], expected) << i;
    }
}

TEST (AudioFilter, LongSilenceAfterAResonanceEndsInExactZeros)
{
    AudioFilter filter;
    prepareFilter (filter, 3, 60.0, 2.0);

    std::vector<float> block (512, 0.0f);
    block[0] = 1.0f;
    float* channel = block.data();
    for (int i = 0; i < 400; ++i)
    {
        filter.process (&channel, &channel, 512, 1, 1);
        std::fill (block.begin(), block.end(), 0.0f);
    }
    filter.process (&channel, &channel, 512, 1, 1);

    for (float x : block)
        EXPECT_EQ (x, 0.0f);
    EXPECT_EQ (filter.biquad.state[CustomBiquad::x1], 0.0);
}

TEST (CustomBiquad, AllFourStructuresRealiseTheSameFilter)
{
    AudioFilter design;
    prepareFilter (design, 16, 800.0, 2.0, 9.0);

    CustomBiquad reference;
    std::copy (std::begin (design.coeffs), std::end (design.coeffs), reference.coeffs);
    reference.structure = CustomBiquad::directForm;
    const auto expected = impulseResponse (reference, 256);

    for (int structure : { 1, 2, 3 })
    {
        CustomBiquad biquad;
        std::copy (std::begin (design.coeffs), std::end (design.coeffs), biquad.coeffs);
        biquad.structure = structure;
        const auto response = impulseResponse (biquad, 256);
        for (size_t i = 0; i < response.size(); ++i)
            EXPECT_NEAR (response[i], expected[i], 1e-12) << structure << " at " << i;
    }
}

TEST (CustomBiquad, UnknownStructurePassesThroughAndTinyOutputsFlushToZero)
{
    CustomBiquad biquad;
    biquad.coeffs[CustomBiquad::a0] = 0.5;
    biquad.structure = 7;
    EXPECT_EQ (biquad.processAudioSample (0.25), 0.25);

    for (int structure : { 0, 1, 2, 3 })
    {
        biquad.structure = structure;
        biquad.reset();
        EXPECT_EQ (biquad.processAudioSample (2.0e-38), 0.0) << structure;
        EXPECT_EQ (biquad.processAudioSample (4.0e-38), 2.0e-38) << structure;
    }
}
