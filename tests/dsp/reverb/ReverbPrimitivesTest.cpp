#include "dsp/reverb/AllpassDiffuser.h"
#include "dsp/reverb/Biquad.h"
#include "dsp/reverb/CloudSeedDelayLine.h"
#include "dsp/reverb/FastSin.h"
#include "dsp/reverb/ModulatedAllpass.h"
#include "dsp/reverb/ModulatedDelay.h"
#include "dsp/reverb/MultitapDiffuser.h"
#include "dsp/reverb/ShaRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

using AudioLib::Biquad;
using AudioLib::ShaRandom;

namespace
{
std::string hex (const std::array<std::uint8_t, 32>& digest)
{
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (auto b : digest)
    {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// Magnitude of a biquad's response at a frequency, from its coefficients.
double magnitudeAt (const Biquad& f, double hz)
{
    const auto z = std::polar (1.0, -2.0 * M_PI * hz / f.Samplerate);
    const auto num = f.b0 + f.b1 * z + f.b2 * z * z;
    const auto den = 1.0 + f.a1 * z + f.a2 * z * z;
    return std::abs (num / den);
}
} // namespace

TEST (ShaRandom, DigestMatchesTheStandardVectors)
{
    const std::string abc = "abc";
    EXPECT_EQ (hex (AudioLib::sha256 (reinterpret_cast<const std::uint8_t*> (abc.data()), abc.size())),
               "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ (hex (AudioLib::sha256 (nullptr, 0)), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // 56 bytes: the length no longer fits the first block.
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ (hex (AudioLib::sha256 (reinterpret_cast<const std::uint8_t*> (two.data()), two.size())),
               "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST (ShaRandom, SeriesMatchKnownValues)
{
    struct Case
    {
        std::int64_t seed;
        double cross;
        bool blended;
        std::vector<double> expected;
    };
    const Case cases[] = {
        { 0,
          0.0,
          false,
          { 0.9587453417, 0.4767380733, 0.2956474403, 0.0601507889, 0.2582848699, 0.3012386398, 0.5515548525,
            0.9853196668, 0.9012636372, 0.2698711018 } },
        { 23456, 0.0, false, { 0.9301738532, 0.6766479883, 0.4835179847 } },
        { 1, 0.5, true, { 0.3557229933, 0.4174020998, 0.5501116816 } },
        { -1, 0.0, false, { 0.2682897491, 0.3664303623 } },
    };

    for (const auto& c : cases)
    {
        const auto n = (int) c.expected.size();
        const auto values = c.blended ? ShaRandom::Generate (c.seed, n, c.cross) : ShaRandom::Generate (c.seed, n);
        ASSERT_EQ (values.size(), c.expected.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_NEAR (values[i], c.expected[i], 1e-9) << "seed " << c.seed << " value " << i;
    }
}

TEST (ShaRandom, EmptyCountAndPrefixes)
{
    EXPECT_TRUE (ShaRandom::Generate (5, 0).empty());
    // A longer series starts with the shorter one, across the digest boundary at 8 values.
    const auto eight = ShaRandom::Generate (7, 8);
    const auto twenty = ShaRandom::Generate (7, 20);
    for (std::size_t i = 0; i < eight.size(); ++i)
        EXPECT_EQ (eight[i], twenty[i]);
    EXPECT_EQ (ShaRandom::Generate (7, 20, 0.0), twenty);
}

TEST (Biquad, UnityGainShelvesAndPeakAreFlat)
{
    for (int type : { Biquad::Peak, Biquad::LowShelf, Biquad::HighShelf })
    {
        Biquad f (type, 48000.0);
        f.Frequency = 1000.0;
        f.Q = 0.7;
        f.Gain = 1.0;
        f.Slope = 1.0;
        f.Update();
        for (double hz : { 20.0, 500.0, 1000.0, 5000.0, 20000.0 })
            EXPECT_NEAR (magnitudeAt (f, hz), 1.0, 1e-12) << "type " << type << " at " << hz;
    }
}

TEST (Biquad, FilterTypesShapeTheSpectrum)
{
    const double rate = 48000.0;
    auto make = [rate] (int type, double gain = 1.0)
    {
        Biquad f (type, rate);
        f.Frequency = 1000.0;
        f.Q = 0.7071;
        f.Gain = gain;
        f.Slope = 1.0;
        f.Update();
        return f;
    };

    EXPECT_NEAR (magnitudeAt (make (Biquad::LowPass), 50.0), 1.0, 1e-3);
    EXPECT_LT (magnitudeAt (make (Biquad::LowPass), 10000.0), 0.011);
    EXPECT_NEAR (magnitudeAt (make (Biquad::HighPass), 20000.0), 1.0, 1e-3);
    EXPECT_NEAR (magnitudeAt (make (Biquad::BandPass), 1000.0), 1.0, 1e-9);
    EXPECT_LT (magnitudeAt (make (Biquad::Notch), 1000.0), 1e-9);
    // Gain is the amplitude A: a peak reaches A², a shelf A² on its side and 1 on the other.
    EXPECT_NEAR (magnitudeAt (make (Biquad::Peak, 2.0), 1000.0), 4.0, 1e-9);
    EXPECT_NEAR (magnitudeAt (make (Biquad::LowShelf, 0.5), 10.0), 0.25, 1e-3);
    EXPECT_NEAR (magnitudeAt (make (Biquad::LowShelf, 0.5), 20000.0), 1.0, 1e-2);
    EXPECT_NEAR (magnitudeAt (make (Biquad::HighShelf, 0.5), 20000.0), 0.25, 1e-2);
    EXPECT_NEAR (magnitudeAt (make (Biquad::HighShelf, 0.5), 10.0), 1.0, 1e-3);

    // Processing follows the coefficients: a 50 Hz sine passes the low-pass at its level.
    auto lp = make (Biquad::LowPass);
    double peak = 0.0;
    for (int i = 0; i < 9600; ++i)
    {
        const double y = lp.Process (std::sin (2.0 * M_PI * 50.0 * i / rate));
        if (i > 4800)
            peak = std::max (peak, std::abs (y));
    }
    EXPECT_NEAR (peak, 1.0, 2e-3);
}

TEST (ModulatedDelay, ZeroDelayPassesTheInput)
{
    CloudSeed::ModulatedDelay d (1000, 0);
    std::vector<double> in (300);
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = std::sin (0.1 * (double) i) + 0.01 * (double) i;
    d.Process (in.data(), (int) in.size());
    for (std::size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ (d.GetOutput()[i], in[i]);
}

TEST (ModulatedDelay, DelaysAnImpulseAndModulatesAroundTheDelay)
{
    CloudSeed::ModulatedDelay d (4000, 250);
    std::vector<double> in (1024, 0.0);
    in[3] = 1.0;
    d.Process (in.data(), 1024);
    EXPECT_EQ (d.GetOutput()[253], 1.0);

    // With depth 20 samples and a fast rate, the read delay wanders within 250 ± 20.
    d.modRate = 1.0 / 400.0;
    d.SetModRampSteps (0);
    d.modAmountTarget = 20.0f;
    d.ClearBuffers();
    double minDelay = 1e9, maxDelay = -1e9;
    for (int block = 0; block < 8; ++block)
    {
        d.Process (in.data(), 1024);
        const double delay = (d.writeIndex - d.readIndexA + d.GetLength()) % d.GetLength() + (1.0 - d.gainA);
        minDelay = std::min (minDelay, delay);
        maxDelay = std::max (maxDelay, delay);
    }
    EXPECT_GE (minDelay, 230.0);
    EXPECT_LE (maxDelay, 271.0);
    EXPECT_GT (maxDelay - minDelay, 10.0);
}

TEST (ModulatedAllpass, IsAllPassAndKeepsItsDelayAboveOne)
{
    CloudSeed::ModulatedAllpass stage;
    stage.SetBufferSize (4096);
    stage.feedback = 0.6;
    stage.sampleDelay = 37;

    // Energy in equals energy out for an impulse (all-pass), once the tail has run out.
    std::vector<double> in (4096, 0.0);
    in[0] = 1.0;
    double energy = 0.0;
    for (int block = 0; block < 4; ++block)
    {
        stage.ProcessWithMod (in.data(), 4096);
        for (int i = 0; i < 4096; ++i)
            energy += stage.output[(std::size_t) i] * stage.output[(std::size_t) i];
        in[0] = 0.0;
    }
    EXPECT_NEAR (energy, 1.0, 1e-9);

    // A depth beyond the delay is held at sampleDelay − 1: the read delay never falls below 1.
    stage.modAmountTarget = 500.0f;
    stage.modRate = 1.0 / 300.0;
    int smallest = 1 << 20;
    for (int i = 0; i < 4000; ++i)
    {
        stage.ProcessWithMod (in.data(), 1);
        smallest = std::min (smallest, stage.delayA);
    }
    EXPECT_GE (smallest, 1);
    EXPECT_LE (smallest, 2);
}

TEST (AllpassDiffuser, StageDelaysFollowTheSeedSeries)
{
    CloudSeed::AllpassDiffuser diffuser;
    diffuser.SetDelay (1000);
    const auto r = ShaRandom::Generate (23456, 24, 0.0);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (diffuser.filters[(std::size_t) i]->sampleDelay.load(),
                   (int) (1000 * (std::pow (10.0, r[(size_t) i]) * 0.1)));
        EXPECT_GE (diffuser.filters[(std::size_t) i]->sampleDelay.load(), 100);
        EXPECT_LE (diffuser.filters[(std::size_t) i]->sampleDelay.load(), 1000);
    }

    // The chain's output is the last active stage's, and stays all-pass (energy kept).
    diffuser.stages = 4;
    diffuser.SetFeedback (0.7);
    std::vector<double> in (512, 0.0);
    in[0] = 1.0;
    double energy = 0.0;
    for (int block = 0; block < 200; ++block)
    {
        diffuser.Process (in.data(), 512);
        EXPECT_EQ (diffuser.GetOutput(), diffuser.filters[3]->GetOutput());
        for (int i = 0; i < 512; ++i)
            energy += diffuser.GetOutput()[i] * diffuser.GetOutput()[i];
        in[0] = 0.0;
    }
    EXPECT_NEAR (energy, 1.0, 1e-6);
}

// Delays, rates and depths are all spread by the seed series: set before or after the seeds, every stage ends
// up with the same values.
TEST (AllpassDiffuser, StageModulationFollowsTheSeedsWhateverTheOrder)
{
    const auto seeded = [] (CloudSeed::AllpassDiffuser& d)
    {
        d.seed = 208;
        d.crossSeed = 0.5;
        d.UpdateSeeds();
    };
    const auto modulated = [] (CloudSeed::AllpassDiffuser& d)
    {
        d.SetDelay (1000);
        d.SetModRate (0.5);
        d.SetModAmount (40.0);
    };
    CloudSeed::AllpassDiffuser seedsLast, seedsFirst;
    modulated (seedsLast);
    seeded (seedsLast);
    seeded (seedsFirst);
    modulated (seedsFirst);

    const auto r = ShaRandom::Generate (208, 24, 0.5);
    for (std::size_t i = 0; i < 8; ++i)
    {
        const auto& a = *seedsLast.filters[i];
        const auto& b = *seedsFirst.filters[i];
        EXPECT_EQ (a.sampleDelay.load(), b.sampleDelay.load());
        EXPECT_EQ (a.modRate.load(), b.modRate.load());
        EXPECT_EQ (a.modAmountTarget.load(), b.modAmountTarget.load());
        EXPECT_EQ (a.modAmountTarget.load(), (float) ((r[8 + i] * 0.3 + 0.85) * 40.0));
    }
}

TEST (MultitapDiffuser, OneTapPassesOneMinusGain)
{
    CloudSeed::MultitapDiffuser taps;
    taps.SetSamplerate (48000, 256);
    taps.count = 1;
    taps.gain = 0.3;
    taps.Update();

    std::vector<double> in (256);
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = std::sin (0.05 * (double) i);
    taps.Process (in.data(), 256);
    for (std::size_t i = 0; i < in.size(); ++i)
        ASSERT_NEAR (taps.GetOutput()[i], 0.7 * in[i], 1e-15);
}

TEST (MultitapDiffuser, TapsSpreadOverTheSpanAndDecay)
{
    CloudSeed::MultitapDiffuser taps;
    taps.seed = 485;
    taps.UpdateSeeds();
    taps.count = 25;
    taps.lengthSamples = 9600;
    taps.gain = 1.0;
    taps.decay = 1.0;
    taps.Update();

    const int last = taps.GetTapPosition (24);
    EXPECT_GT (last, 8600);
    EXPECT_LE (last, 9600);
    for (int i = 1; i < 25; ++i)
        EXPECT_GT (taps.GetTapPosition (i), taps.GetTapPosition (i - 1));

    // The last tap is 40 dB below its random gain; tap 0 carries 1 − gain.
    const double lastFactor = std::pow (10.0, -2.0 * last / (last + 1.0));
    EXPECT_NEAR (lastFactor, 0.01, 1e-5);
    EXPECT_NEAR (taps.GetTapGain (24), (taps.seeds[49] * 2.0 - 1.0) * lastFactor, 1e-15);
    EXPECT_EQ (taps.GetTapGain (0), 0.0);

    // Decay 0 keeps the random gains.
    taps.decay = 0.0;
    taps.Update();
    EXPECT_NEAR (taps.GetTapGain (24), taps.seeds[49] * 2.0 - 1.0, 1e-15);

    // An impulse comes out at the tap positions with the tap gains.
    taps.SetSamplerate (48000, 512);
    std::vector<double> in (512, 0.0), out;
    in[0] = 1.0;
    for (int block = 0; block < 20; ++block)
    {
        taps.Process (in.data(), 512);
        out.insert (out.end(), taps.GetOutput(), taps.GetOutput() + 512);
        in[0] = 0.0;
    }
    for (int i = 1; i < 25; ++i)
        EXPECT_NEAR (out[(std::size_t) taps.GetTapPosition (i)], taps.GetTapGain (i), 1e-15);
}

TEST (MultitapDiffuser, HalfSecondSpanFitsAtHighRates)
{
    // At 96 kHz a 500 ms span reaches 48000 samples: the store grows so the last taps do not wrap.
    CloudSeed::MultitapDiffuser taps;
    taps.SetSamplerate (96000, 64);
    EXPECT_EQ (taps.GetLength(), 48001);
    taps.count = 25;
    taps.lengthSamples = 48000;
    taps.decay = 0.0;
    taps.Update();

    std::vector<double> in (64, 0.0), out;
    in[0] = 1.0;
    for (int block = 0; block < 760; ++block)
    {
        taps.Process (in.data(), 64);
        out.insert (out.end(), taps.GetOutput(), taps.GetOutput() + 64);
        in[0] = 0.0;
    }
    const int last = taps.GetTapPosition (24);
    EXPECT_GT (last, 44100);
    EXPECT_NEAR (out[(std::size_t) last], taps.GetTapGain (24), 1e-15);

    CloudSeed::MultitapDiffuser standard;
    standard.SetSamplerate (48000, 64);
    EXPECT_EQ (standard.GetLength(), 44100);
}

namespace
{
// Runs a noise signal through a fresh primitive in blocks of the given sizes (repeated) and returns the
// whole output; process (input, n) runs one block and returns its output.
template <typename Primitive, typename Run>
std::vector<double> runInBlocks (Primitive& primitive, Run process, const std::vector<int>& sizes, int total)
{
    std::vector<double> in ((std::size_t) total), out;
    std::uint32_t state = 12345u;
    for (auto& x : in)
    {
        state = state * 1664525u + 1013904223u;
        x = (double) (state >> 8) / 8388608.0 - 1.0;
    }
    for (int start = 0, k = 0; start < total; ++k)
    {
        const int n = std::min (sizes[(std::size_t) k % sizes.size()], total - start);
        const double* y = process (primitive, in.data() + start, n);
        out.insert (out.end(), y, y + n);
        start += n;
    }
    return out;
}
} // namespace

// The block size decides only how work is grouped: short, odd and full blocks give the same samples,
// through modulation updates, position wraps and delays or spans close to the store length.
TEST (ReverbPrimitives, OutputDoesNotDependOnTheBlockSize)
{
    const std::vector<std::vector<int>> blockings { { 512 }, { 1 }, { 7, 64, 3, 511, 13 } };
    const int total = 48000;

    for (const int delay : { 0, 5, 300, 1496, 1498 })
    {
        std::vector<std::vector<double>> outputs;
        for (const auto& sizes : blockings)
        {
            CloudSeed::ModulatedDelay d (1500, delay, 3);
            d.SetBufferSize (512);
            d.modRate = 1.0 / 700.0;
            d.modAmountTarget = delay > 10 ? 4.0f : 0.0f;
            d.SetModRampSteps (100);
            outputs.push_back (runInBlocks (
                d,
                [] (auto& p, const double* x, int n)
                {
                    p.Process (x, n);
                    return p.GetOutput();
                },
                sizes, total));
        }
        for (std::size_t b = 1; b < outputs.size(); ++b)
            ASSERT_EQ (outputs[b], outputs[0]) << "delay " << delay << ", blocking " << b;
    }

    for (const int delay : { 1, 9, 400, CloudSeed::ModulatedAllpass().bufferLength - 3 })
        for (const bool interpolate : { true, false })
        {
            std::vector<std::vector<double>> outputs;
            for (const auto& sizes : blockings)
            {
                CloudSeed::ModulatedAllpass stage (5);
                stage.SetBufferSize (512);
                stage.feedback = 0.65;
                stage.sampleDelay = delay;
                stage.interpolationEnabled = interpolate;
                stage.modRate = 1.0 / 900.0;
                stage.modAmountTarget = 6.0f;
                stage.SetModRampSteps (50);
                outputs.push_back (runInBlocks (
                    stage,
                    [] (auto& p, const double* x, int n)
                    {
                        p.ProcessWithMod (x, n);
                        return p.GetOutput();
                    },
                    sizes, total));
            }
            for (std::size_t b = 1; b < outputs.size(); ++b)
                ASSERT_EQ (outputs[b], outputs[0]) << "delay " << delay << ", blocking " << b;
        }

    // Tap counts that leave groups of one, two and three taps after the groups of four.
    for (const auto& [span, count] :
         { std::pair { 9600.0, 25 }, std::pair { 44000.0, 25 }, std::pair { 9600.0, 6 }, std::pair { 30000.0, 7 } })
    {
        std::vector<std::vector<double>> outputs;
        for (const auto& sizes : blockings)
        {
            CloudSeed::MultitapDiffuser taps;
            taps.SetSamplerate (48000, 512);
            taps.count = count;
            taps.lengthSamples = span;
            taps.decay = 0.5;
            taps.Update();
            outputs.push_back (runInBlocks (
                taps,
                [] (auto& p, const double* x, int n)
                {
                    p.Process (x, n);
                    return p.GetOutput();
                },
                sizes, total + 50000));
        }
        for (std::size_t b = 1; b < outputs.size(); ++b)
            ASSERT_EQ (outputs[b], outputs[0]) << "span " << span << ", taps " << count << ", blocking " << b;
    }
}

// Block pops and pushes give what the same number of single pops and pushes give, across the ring's wrap.
TEST (FeedbackStore, BlocksMatchSingleSteps)
{
    CloudSeed::FeedbackStore single, blocks;
    single.prepare (5);
    blocks.prepare (5);

    double next = 1.0;
    for (const int n : { 3, 7, 1, 6, 7, 2, 5, 7 })
    {
        std::vector<double> in ((std::size_t) n);
        for (auto& x : in)
            x = next++;

        std::vector<float> expected ((std::size_t) n), got ((std::size_t) n);
        for (auto& x : expected)
            x = single.pop();
        for (const double x : in)
            single.push ((float) x);

        blocks.popBlock (got.data(), n);
        blocks.pushBlock (in.data(), n);
        ASSERT_EQ (got, expected) << "block of " << n;
    }
}
