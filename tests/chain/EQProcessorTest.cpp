#include "chain/EQProcessor.h"
#include "chain/ChainTestSupport.h"
#include "chain/CompressProcessor.h"
#include "chain/ShelfPassFilterProcessor.h"

#include <gtest/gtest.h>

using tessaro::dsp::EQProcessor;
using tessaro::dsp::ShelfPassFilterProcessor;
using namespace chain_test;

namespace
{
constexpr double rate = 44100.0;

std::unique_ptr<EQProcessor> preparedEq()
{
    auto eq = std::make_unique<EQProcessor>();
    eq->prepare ({ rate, 256, 2 });
    return eq;
}
} // namespace

TEST (EQProcessor, DefaultsLeaveTheSignalUnchanged)
{
    auto eq = preparedEq();
    const auto input = sine (440.0, rate, 4096);
    auto buffer = input;
    runInBlocks (*eq, buffer, 256);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            ASSERT_NEAR (buffer.getSample (ch, i), input.getSample (ch, i), 1.0e-5f) << i;
}

TEST (EQProcessor, TheHighBandStartsAtTheParameterDefault)
{
    EQProcessor eq;
    EXPECT_EQ (eq.highBand.getFrequency(), 5000.0f);
    EXPECT_EQ (eq.highBand.getType(), ShelfPassFilterProcessor::highBand);
    EXPECT_EQ (eq.lowBand.getFrequency(), 100.0f);
    EXPECT_EQ (eq.midBand.getFrequency(), 1000.0f);
}

TEST (EQProcessor, BandsShapeSinesAsAListenerExpects)
{
    struct Case
    {
        const char* what;
        void (*set) (EQProcessor&);
        double hz;
        float expectedDb, toleranceDb;
    };
    const Case cases[] = {
        { "low shelf +6 dB, below the corner", [] (EQProcessor& e) { e.setLowGain (6.0f); }, 30.0, 6.0f, 0.6f },
        { "low shelf +6 dB, far above", [] (EQProcessor& e) { e.setLowGain (6.0f); }, 5000.0, 0.0f, 0.2f },
        { "low band -15 dB is a 2nd-order high-pass", [] (EQProcessor& e) { e.setLowGain (-15.0f); }, 25.0, -24.1f,
          1.0f },
        { "high band -15 dB is a low-pass", [] (EQProcessor& e) { e.setHighGain (-15.0f); }, 10000.0, -14.5f, 1.5f },
        { "high band -15 dB leaves the voice", [] (EQProcessor& e) { e.setHighGain (-15.0f); }, 500.0, 0.0f, 0.2f },
        { "high shelf +6 dB at 5 kHz", [] (EQProcessor& e) { e.setHighGain (6.0f); }, 15000.0, 6.0f, 0.6f },
        { "mid +12 dB at 1 kHz", [] (EQProcessor& e) { e.setMidGain (12.0f); }, 1000.0, 12.0f, 0.3f },
        { "mid +12 dB leaves 100 Hz", [] (EQProcessor& e) { e.setMidGain (12.0f); }, 100.0, 0.0f, 0.6f },
    };

    for (const auto& c : cases)
    {
        auto eq = preparedEq();
        c.set (*eq);
        EXPECT_NEAR (sineGainDb (*eq, c.hz, rate), c.expectedDb, c.toleranceDb) << c.what;
    }
}

TEST (EQProcessor, TheQControlsShapeEachBandAsItsDesignSays)
{
    // Each band measured off its centre, where the Q decides the level, against the magnitude of the band's
    // own biquad designed in double precision: the mid band is a peak, the high band at +6 dB a pure high
    // shelf and the low band at -15 dB a pure high-pass.
    using Design = juce::dsp::IIR::Coefficients<double>;
    const auto boost = [] (float db) { return (double) juce::Decibels::decibelsToGain (db); };
    struct Case
    {
        const char* what;
        void (*set) (EQProcessor&, float q);
        float q;
        Design::Ptr design;
        double hz;
    };
    const Case cases[] = {
        { "mid +12 dB", [] (EQProcessor& e, float q) { e.setMidGain (12.0f), e.setMidQ (q); }, 0.707f,
          Design::makePeakFilter (rate, 1000.0, 0.707, boost (12.0f)), 1500.0 },
        { "mid +12 dB", [] (EQProcessor& e, float q) { e.setMidGain (12.0f), e.setMidQ (q); }, 3.0f,
          Design::makePeakFilter (rate, 1000.0, 3.0, boost (12.0f)), 1500.0 },
        { "high shelf +6 dB at 5 kHz", [] (EQProcessor& e, float q) { e.setHighGain (6.0f), e.setHighQ (q); }, 0.707f,
          Design::makeHighShelf (rate, 5000.0, 0.707, boost (6.0f)), 3500.0 },
        { "high shelf +6 dB at 5 kHz", [] (EQProcessor& e, float q) { e.setHighGain (6.0f), e.setHighQ (q); }, 3.0f,
          Design::makeHighShelf (rate, 5000.0, 3.0, boost (6.0f)), 3500.0 },
        { "low high-pass at 100 Hz", [] (EQProcessor& e, float q) { e.setLowGain (-15.0f), e.setLowQ (q); }, 0.707f,
          Design::makeHighPass (rate, 100.0, 0.707), 100.0 },
        { "low high-pass at 100 Hz", [] (EQProcessor& e, float q) { e.setLowGain (-15.0f), e.setLowQ (q); }, 3.0f,
          Design::makeHighPass (rate, 100.0, 3.0), 100.0 },
    };

    for (const auto& c : cases)
    {
        auto eq = preparedEq();
        c.set (*eq, c.q);
        const auto expectedDb = juce::Decibels::gainToDecibels (c.design->getMagnitudeForFrequency (c.hz, rate));
        EXPECT_NEAR (sineGainDb (*eq, c.hz, rate), expectedDb, 0.05) << c.what << ", Q " << c.q;
    }
}

TEST (EQProcessor, AdLibIsATelephoneBandWithPresencePeaks)
{
    const auto gainWithAdLib = [] (double hz)
    {
        auto eq = preparedEq();
        eq->setAdLib (true);
        return sineGainDb (*eq, hz, rate);
    };

    const float at100 = gainWithAdLib (100.0), at1500 = gainWithAdLib (1500.0), at2500 = gainWithAdLib (2500.0);
    const float at8000 = gainWithAdLib (8000.0), at800 = gainWithAdLib (800.0);

    EXPECT_LT (at100, -25.0f);
    EXPECT_LT (at8000, -20.0f);
    EXPECT_GT (at1500, at800 + 3.0f);
    EXPECT_GT (at2500, at800 + 3.0f);
    EXPECT_LT (at800, 0.0f); // the -6 dB output factor
}

TEST (EQProcessor, DrawingCoefficientsBlendShelfIntoPassAt96kHz)
{
    ShelfPassFilterProcessor band;
    band.setFrequency (100.0f);
    band.setQ (0.707f);

    EXPECT_EQ (ShelfPassFilterProcessor::blendWeight (-9.0f), 0.0f);
    EXPECT_EQ (ShelfPassFilterProcessor::blendWeight (-12.0f), 0.5f);
    EXPECT_EQ (ShelfPassFilterProcessor::blendWeight (-15.0f), 1.0f);

    // Pure high-pass at -15 dB: the formula of a 2nd-order high-pass designed at 96 kHz.
    band.setGainDb (-15.0f);
    const auto pass = band.computeMixedCoefficients();
    const double n = std::tan (juce::MathConstants<double>::pi * 100.0 / 96000.0);
    const double q = (double) 0.707f;
    const double c = 1.0 / (1.0 + n / q + n * n);
    const double expected[] = { c, -2.0 * c, c, 2.0 * c * (n * n - 1.0), c * (1.0 - n / q + n * n) };
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR (pass->coefficients[i], expected[i], 1.0e-12) << i;

    // The drawing does not depend on the host rate.
    ShelfPassFilterProcessor at44, at48;
    for (auto* b : { &at44, &at48 })
    {
        b->setFrequency (2500.0f);
        b->setGainDb (-12.0f);
    }
    at44.prepare ({ 44100.0, 64, 2 });
    at48.prepare ({ 48000.0, 64, 2 });
    const auto a = at44.computeMixedCoefficients(), b = at48.computeMixedCoefficients();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (a->coefficients[i], b->coefficients[i]);

    // The drawn response matches the audio: 0 dB gain draws a flat line.
    ShelfPassFilterProcessor flat;
    flat.setFrequency (20.0f);
    EXPECT_NEAR (flat.computeMixedCoefficients()->getMagnitudeForFrequency (1000.0, 96000.0), 1.0, 1.0e-9);
}

TEST (EQProcessor, BandChangesWhileProcessingTakeEffectAtTheNextBlock)
{
    auto eq = preparedEq();
    auto buffer = sine (30.0, rate, 22050);
    runInBlocks (*eq, buffer, 256);

    eq->setLowGain (-15.0f); // as the router does on another thread, between blocks
    EXPECT_LT (sineGainDb (*eq, 30.0, rate), -15.0f);
}

namespace
{
/** One EQ control stepped between two values while a sine plays, over bands boosted by 8 dB. */
struct ControlStep
{
    const char* what;
    void (*set) (EQProcessor&, float value);
    float from, to;
};

void boostAllBands (EQProcessor& eq)
{
    eq.setLowGain (8.0f);
    eq.setMidGain (8.0f);
    eq.setHighGain (8.0f);
}

/** Renders a 440 Hz sine at -18 dBFS through a new EQ in blocks, setting the control to `to` at the first
    block boundary after 0.5 s when `switchAt` is reached. */
juce::AudioBuffer<float> renderStep (const ControlStep& step, int blockSize, float initial, int switchAt)
{
    EQProcessor eq;
    boostAllBands (eq);
    step.set (eq, initial);
    eq.prepare ({ rate, (juce::uint32) blockSize, 2 });

    auto buffer = sine (440.0, rate, 33075, 0.125892541f);
    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        if (start >= switchAt && start < switchAt + blockSize)
            step.set (eq, step.to);
        const int n = juce::jmin (blockSize, buffer.getNumSamples() - start);
        float* channels[2] = { buffer.getWritePointer (0, start), buffer.getWritePointer (1, start) };
        eq.process (channels, channels, n, 2, 2);
    }
    return buffer;
}

/** Running sums of the energy above 8 kHz (4th-order Butterworth high-pass) of channel 0. */
std::vector<double> highEnergySums (const juce::AudioBuffer<float>& audio)
{
    std::vector<double> x (audio.getReadPointer (0), audio.getReadPointer (0) + audio.getNumSamples());
    for (const auto& stage :
         juce::dsp::FilterDesign<double>::designIIRHighpassHighOrderButterworthMethod (8000.0, rate, 4))
    {
        juce::dsp::IIR::Filter<double> filter (stage);
        for (auto& v : x)
            v = filter.processSample (v);
    }
    std::vector<double> sums (x.size() + 1, 0.0);
    for (size_t n = 0; n < x.size(); ++n)
        sums[n + 1] = sums[n] + x[n] * x[n];
    return sums;
}

/** The energy above 8 kHz in the loudest 10 ms after the step, in dB above the louder of the same window
    held still at either setting; energies below -100 dBFS count as -100 dBFS. */
double stepClickDb (const ControlStep& step, int blockSize)
{
    const int changeAt = (22050 + blockSize - 1) / blockSize * blockSize, window = 441;
    const auto from = highEnergySums (renderStep (step, blockSize, step.from, 1 << 30));
    const auto to = highEnergySums (renderStep (step, blockSize, step.to, 1 << 30));
    const auto switched = highEnergySums (renderStep (step, blockSize, step.from, changeAt));
    const auto energy = [window] (const std::vector<double>& sums, size_t start)
    { return std::max (sums[start + (size_t) window] - sums[start], 1.0e-10 * window); };

    size_t loudest = (size_t) changeAt;
    for (size_t start = loudest; start + (size_t) window < switched.size(); ++start)
        if (energy (switched, start) > energy (switched, loudest))
            loudest = start;
    return 10.0 * std::log10 (energy (switched, loudest) / std::max (energy (from, loudest), energy (to, loudest)));
}
} // namespace

TEST (EQProcessor, ControlsSteppedWhileASinePlaysDoNotClick)
{
    const ControlStep steps[] = {
        { "low freq", [] (EQProcessor& e, float v) { e.setLowFreq (v); }, 20.0f, 22000.0f },
        { "low gain", [] (EQProcessor& e, float v) { e.setLowGain (v); }, -15.0f, 15.0f },
        { "low Q", [] (EQProcessor& e, float v) { e.setLowQ (v); }, 0.1f, 10.0f },
        { "high freq", [] (EQProcessor& e, float v) { e.setHighFreq (v); }, 20.0f, 22000.0f },
        { "high gain", [] (EQProcessor& e, float v) { e.setHighGain (v); }, -15.0f, 15.0f },
        { "high Q", [] (EQProcessor& e, float v) { e.setHighQ (v); }, 0.1f, 10.0f },
        { "mid freq", [] (EQProcessor& e, float v) { e.setMidFreq (v); }, 20.0f, 22000.0f },
        { "mid gain", [] (EQProcessor& e, float v) { e.setMidGain (v); }, -15.0f, 15.0f },
        { "mid Q", [] (EQProcessor& e, float v) { e.setMidQ (v); }, 0.1f, 10.0f },
        { "AdLib", [] (EQProcessor& e, float v) { e.setAdLib (v > 0.5f); }, 0.0f, 1.0f },
        { "power", [] (EQProcessor& e, float v) { e.setBypassSmooth (v > 0.5f); }, 0.0f, 1.0f },
    };

    for (const auto& step : steps)
        for (const int blockSize : { 1, 64, 512 })
            for (const bool up : { true, false })
            {
                const ControlStep s { step.what, step.set, up ? step.from : step.to, up ? step.to : step.from };
                EXPECT_LE (stepClickDb (s, blockSize), 6.0)
                    << step.what << ", block " << blockSize << (up ? ", up" : ", down");
            }
}

namespace
{
/** A 440 Hz sine at -18 dBFS through the compressor at Compression 60, whose clipper leaves faint overtones,
    then a new EQ with boosted bands, one sample per block; the mid band's frequency is set to `to` at
    switchAt. */
juce::AudioBuffer<float> renderCompressedMidGlide (float from, float to, int switchAt)
{
    tessaro::dsp::CompressProcessor compress;
    EQProcessor eq;
    compress.prepare ({ rate, 1, 2 });
    eq.prepare ({ rate, 1, 2 });
    compress.setCompression (60.0f);
    boostAllBands (eq);
    eq.setMidFreq (from);

    auto buffer = sine (440.0, rate, 33075, 0.125892541f);
    for (int i = 0; i < buffer.getNumSamples(); ++i)
    {
        if (i == switchAt)
            eq.setMidFreq (to);
        float* channels[2] = { buffer.getWritePointer (0, i), buffer.getWritePointer (1, i) };
        compress.process (channels, channels, 1, 2, 2);
        eq.process (channels, channels, 1, 2, 2);
    }
    return buffer;
}
} // namespace

// Near the Nyquist frequency a small move of the mid band's frequency moves its coefficients fast: a glide that
// stopped (or started) there at full speed ticked, up to 5.5 dB in this 10 ms measure and depending on where in
// the tone's cycle it ended. A glide that comes to rest adds nothing above 8 kHz that neither end has.
TEST (EQProcessor, AMidFrequencyGlideToTheTopEndsWithoutATickAtAnyPhase)
{
    for (const int offset : { 0, 3, 13, 64 })
        for (const bool up : { true, false })
        {
            const float from = up ? 20.0f : 22000.0f, to = up ? 22000.0f : 20.0f;
            const int switchAt = 22050 + offset;
            const auto heldFrom = renderCompressedMidGlide (from, from, 1 << 30);
            const auto heldTo = renderCompressedMidGlide (to, to, 1 << 30);
            const auto switched = renderCompressedMidGlide (from, to, switchAt);

            const double held = std::max (
                { loudestHighBandDb (heldFrom, switchAt, rate), loudestHighBandDb (heldTo, switchAt, rate), -100.0 });
            EXPECT_LE (std::max (loudestHighBandDb (switched, switchAt, rate), -100.0) - held, 1.0)
                << "offset " << offset << (up ? ", up" : ", down");
        }
}
