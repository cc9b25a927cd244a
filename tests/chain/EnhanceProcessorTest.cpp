#include "chain/EnhanceProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <complex>

using tessaro::dsp::EnhanceProcessor;
using namespace chain_test;

namespace
{
constexpr double rate = 44100.0;

std::unique_ptr<EnhanceProcessor> preparedEnhance()
{
    auto e = std::make_unique<EnhanceProcessor>();
    e->prepare ({ rate, 256, 2 });
    return e;
}

/** Silence, then sine bursts of hz on the given channels: 100 ms on, 300 ms off. */
juce::AudioBuffer<float> bursts (double hz, bool left, bool right, int numSamples = 44100)
{
    auto buffer = sine (hz, rate, numSamples, 0.3f);
    for (int i = 0; i < numSamples; ++i)
    {
        const bool on = (i % 17640) >= 13230; // 300 ms off, then 100 ms on
        if (! on || ! left)
            buffer.setSample (0, i, 0.0f);
        if (! on || ! right)
            buffer.setSample (1, i, 0.0f);
    }
    return buffer;
}

/** Runs the bursts and reports whether the lamp lit after any block. */
bool lampLitDuring (EnhanceProcessor& e, juce::AudioBuffer<float>& buffer)
{
    bool lit = false;
    for (int start = 0; start < buffer.getNumSamples(); start += 256)
    {
        const int n = juce::jmin (256, buffer.getNumSamples() - start);
        float* channels[2] = { buffer.getWritePointer (0, start), buffer.getWritePointer (1, start) };
        e.process (channels, channels, n, 2, 2);
        lit = lit || e.isDeEssing();
    }
    return lit;
}

/** The level a sine of the given peak gains from the air band at Air 100, in dB. The band is the 12 kHz
    Butterworth high-pass H; its compressor (threshold -40 dB, ratio 0.02, hard knee) holds the band's peak p
    at p^0.02 10^(-0.98 * 40 / 20), its make-up adds (1 - 0.02) * 40 / 2 = 19.6 dB, and Air 100 adds the
    result at 10^((110 - 100) / 20) to the input: out = x (1 + amount * compression * H). */
float airLiftDb (double hz, double peak)
{
    using namespace std::complex_literals;
    const double k = std::tan (juce::MathConstants<double>::pi * EnhanceProcessor::airCutOff / rate);
    const double n = 1.0 / (1.0 + std::sqrt (2.0) * k + k * k);
    const double a1 = 2.0 * n * (k * k - 1.0), a2 = n * (1.0 - std::sqrt (2.0) * k + k * k);
    const auto z1 = std::exp (-1i * juce::MathConstants<double>::twoPi * hz / rate);
    const auto h = n * (1.0 - z1) * (1.0 - z1) / (1.0 + a1 * z1 + a2 * z1 * z1);

    const double bandPeakDb = 20.0 * std::log10 (peak * std::abs (h));
    const double compressionDb = -(1.0 - 0.02) * (bandPeakDb + 40.0) + 19.6;
    const double amount = std::pow (10.0, (110.0 - 100.0) / 20.0);
    return (float) (20.0 * std::log10 (std::abs (1.0 + amount * std::pow (10.0, compressionDb / 20.0) * h)));
}
} // namespace

TEST (EnhanceProcessor, DefaultsKeepTheMagnitudeFlatThroughTheAllPassSplit)
{
    for (const double hz : { 200.0, 1000.0, 10000.0 })
    {
        auto e = preparedEnhance();
        EXPECT_NEAR (sineGainDb (*e, hz, rate), 0.0f, 0.05f) << hz;
    }

    auto e = preparedEnhance();
    const auto input = sine (10000.0, rate, 4096);
    auto buffer = input;
    runInBlocks (*e, buffer, 256);
    EXPECT_GT (std::abs (buffer.getSample (0, 4000) - input.getSample (0, 4000)), 1.0e-3f)
        << "the crossover's phase shows: the signal is split and summed, not passed";
}

TEST (EnhanceProcessor, AirLiftsOnlyTheTopOctave)
{
    auto top = preparedEnhance();
    top->setAir (100.0f);
    const float at15k = sineGainDb (*top, 15000.0, rate);

    auto mid = preparedEnhance();
    mid->setAir (100.0f);
    const float at500 = sineGainDb (*mid, 500.0, rate);

    EXPECT_NEAR (at15k, airLiftDb (15000.0, 0.5), 0.5f);
    EXPECT_NEAR (at500, 0.0f, 0.5f);
}

TEST (EnhanceProcessor, AirAtZeroAddsExactlyNothingBeforeTheDeEsser)
{
    EnhanceProcessor e;
    e.prepare ({ rate, 256, 2 });
    e.deEss.setBypass (false); // leave only the air band (and the gate, which is off)
    e.deNoise.setBypass (false);
    const auto input = sine (15000.0, rate, 2048);
    auto buffer = input;
    runInBlocks (e, buffer, 256);
    for (int i = 0; i < buffer.getNumSamples(); ++i)
        ASSERT_EQ (buffer.getSample (0, i), input.getSample (0, i));
}

TEST (EnhanceProcessor, DeNoisePushesDownQuietTonesAndLightsItsLamp)
{
    struct Case
    {
        float amplitude;
        bool attenuated;
    };
    for (const auto c : { Case { 0.00316f, true }, Case { 0.5f, false } }) // -50 dBFS and -6 dBFS
    {
        auto e = preparedEnhance();
        e->setDeNoise (100.0f);
        auto buffer = sine (1000.0, rate, 22050, c.amplitude);
        runInBlocks (*e, buffer, 256);
        const float change = rmsDb (buffer, 0, 11025) - juce::Decibels::gainToDecibels (c.amplitude / std::sqrt (2.0f));

        if (c.attenuated)
            EXPECT_LT (change, -20.0f);
        else
            EXPECT_NEAR (change, 0.0f, 0.1f);
        EXPECT_EQ (e->isDeNoising(), c.attenuated) << c.amplitude;
    }

    EnhanceProcessor e;
    e.setDeNoise (1.0f);
    EXPECT_NEAR (e.getDeNoiseThresholdDb(), -99.1f, 1.0e-4f);
    e.setDeNoise (0.0f);
    EXPECT_FALSE (e.isDeNoiseOn());
}

TEST (EnhanceProcessor, DeNoiseGatesAMonoBlockOnChannelZero)
{
    auto e = preparedEnhance();
    e->setDeNoise (100.0f);
    auto buffer = sine (1000.0, rate, 22050, 0.00316f);
    for (int start = 0; start < buffer.getNumSamples(); start += 256)
    {
        const int n = juce::jmin (256, buffer.getNumSamples() - start);
        float* channels[1] = { buffer.getWritePointer (0, start) };
        e->deNoise.process (channels, channels, n, 1, 1);
    }
    EXPECT_LT (rmsDb (buffer, 0, 11025), rmsDb (buffer, 1, 11025) - 20.0f);
}

TEST (EnhanceProcessor, DeEssingFollowsSibilanceOnChannelZeroOnly)
{
    struct Case
    {
        const char* what;
        double hz;
        bool left, right, detected;
    };
    const Case cases[] = {
        { "8 kHz bursts", 8000.0, true, true, true },
        { "a 300 Hz voice", 300.0, true, true, false },
        { "8 kHz bursts on channel 1 only", 8000.0, false, true, false },
    };

    for (const auto& c : cases)
    {
        auto e = preparedEnhance();
        e->setDeEss (100.0f);
        auto buffer = bursts (c.hz, c.left, c.right);
        EXPECT_EQ (lampLitDuring (*e, buffer), c.detected) << c.what;
    }

    // The sibilant band comes out quieter with De-Ess than without.
    auto off = preparedEnhance();
    auto on = preparedEnhance();
    on->setDeEss (100.0f);
    auto plain = bursts (8000.0, true, true);
    auto treated = plain;
    runInBlocks (*off, plain, 256);
    runInBlocks (*on, treated, 256);
    EXPECT_LT (rmsDb (treated, 0, 0), rmsDb (plain, 0, 0) - 3.0f);
}

// Air stepped from one end to the other while a tone plays glides in without a click: both channels follow one
// ramp, so no block edge steps the gain.
TEST (EnhanceProcessor, AirStepsAreClickFreeAtEveryBlockSize)
{
    for (const int blockSize : { 1, 64, 512 })
        for (const bool up : { true, false })
        {
            const auto set = [up] (EnhanceProcessor& e, bool b) { e.setAir ((b == up) ? 100.0f : 0.0f); };
            EXPECT_LE (chain_test::stepClickDb (preparedEnhance, set, blockSize), 6.0)
                << (up ? "up" : "down") << " at block " << blockSize;
        }
}

// The de-esser takes the logarithm of its energy ratio only near its limits; everywhere else the shortcut
// must decide as the logarithm does: every float ratio within 2 % of each limit, and a wide sweep.
TEST (EnhanceProcessor, DeEsserLimitShortcutDecidesAsTheLogarithm)
{
    using tessaro::dsp::DeEssProcessor;
    for (const float limitDb : { DeEssProcessor::onRatioDb, DeEssProcessor::offRatioDb })
    {
        const auto bounds = DeEssProcessor::boundsFor (limitDb);
        const auto check = [&] (float ratio)
        { return DeEssProcessor::reaches (ratio, limitDb, bounds) == (10.0f * std::log10 (ratio) >= limitDb); };

        const float centre = std::pow (10.0f, limitDb / 10.0f);
        for (float r = centre * 0.98f; r <= centre * 1.02f; r = std::nextafter (r, 2.0f * centre))
            ASSERT_TRUE (check (r)) << limitDb << " dB at " << r;
        for (float r = 1.0e-6f; r < 1.0e6f; r *= 1.0001f)
            ASSERT_TRUE (check (r)) << limitDb << " dB at " << r;
    }
}
