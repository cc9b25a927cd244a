#include "dsp/reverb/QELReverbProcessor.h"
#include "dsp/reverb/ValueTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace CloudSeed;
using QEL::QELReverbProcessor;

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSize = 512;

std::unique_ptr<QELReverbProcessor> makeEngine (int preset, float mix = 100.0f)
{
    auto engine = std::make_unique<QELReverbProcessor> ((QELReverbProcessor::Preset) preset);
    engine->setMixTarget (mix);
    engine->setUseAltMix (true);
    engine->prepareToPlay (rate, blockSize);
    return engine;
}

struct Stereo
{
    std::vector<float> left, right;
};

Stereo impulse (std::size_t length)
{
    Stereo s { std::vector<float> (length, 0.0f), std::vector<float> (length, 0.0f) };
    s.left[0] = s.right[0] = 1.0f;
    return s;
}

Stereo noise (std::size_t length, float level = 0.25f, unsigned seed = 3)
{
    std::mt19937 gen (seed);
    std::uniform_real_distribution<float> dist (-level, level);
    Stereo s { std::vector<float> (length), std::vector<float> (length) };
    for (std::size_t i = 0; i < length; ++i)
    {
        s.left[i] = dist (gen);
        s.right[i] = dist (gen);
    }
    return s;
}

// Processes a stereo signal in place, in blocks of the given size.
void run (QELReverbProcessor& engine, Stereo& s, int block = blockSize)
{
    for (std::size_t start = 0; start < s.left.size(); start += (std::size_t) block)
    {
        const int n = (int) std::min<std::size_t> ((std::size_t) block, s.left.size() - start);
        float* channels[] = { s.left.data() + start, s.right.data() + start };
        engine.process (channels, channels, n, 2, 2);
    }
}

// Seconds until the energy, in 10 ms windows, stays 30 dB below its loudest window (a T30 estimate).
double decayTime (const std::vector<float>& x)
{
    const std::size_t window = (std::size_t) (rate / 100);
    std::vector<double> energy;
    for (std::size_t start = 0; start + window <= x.size(); start += window)
    {
        double e = 0.0;
        for (std::size_t i = start; i < start + window; ++i)
            e += (double) x[i] * x[i];
        energy.push_back (e);
    }
    const double peak = *std::max_element (energy.begin(), energy.end());
    std::size_t last = 0;
    for (std::size_t w = 0; w < energy.size(); ++w)
        if (energy[w] > peak * 1e-3)
            last = w;
    return (double) (last + 1) * (double) window / rate;
}

double channelParameter (const QELReverbProcessor& engine, Parameter key)
{
    return engine.controller.channelL.GetParameter (key);
}
} // namespace

TEST (ReverbTables, CurvesRunFromZeroToOne)
{
    QELReverbProcessor engine (QELReverbProcessor::preset0);
    using AudioLib::ValueTables;
    for (const double* table : { ValueTables::Response2Dec, ValueTables::Response3Dec, ValueTables::Response4Oct })
    {
        EXPECT_EQ (table[0], 0.0);
        EXPECT_EQ (table[4000], 1.0);
    }
    EXPECT_NEAR (ValueTables::Response2Dec[2000], (std::pow (100.0, 0.5) - 1.0) / 99.0, 1e-12);
    EXPECT_NEAR (ValueTables::Response3Dec[1000], (std::pow (1000.0, 0.25) - 1.0) / 999.0, 1e-12);
    EXPECT_NEAR (ValueTables::Response4Oct[3000], (std::pow (16.0, 0.75) - 1.0) / 15.0, 1e-12);
}

TEST (QELReverbProcessor, PresetsHoldTheirChannelValues)
{
    struct Row
    {
        Parameter key;
        double values[4];
    };
    // Channel values after building each preset (and the common settings), rounded as listed.
    const Row rows[] = {
        { HighPass, { 40.875, 20.0, 20.0, 20.0 } },
        { TapLength, { 219, 500, 500, 132 } },
        { TapGain, { 0.571151, 1, 0, 0.237849 } },
        { TapDecay, { 1, 0.71000004, 0.8650001, 1 } },
        { DiffusionStages, { 6, 8, 5, 7 } },
        { DiffusionDelay, { 28, 69, 73, 61 } },
        { DiffusionFeedback, { 0.6600002, 0.7600001, 0.5450003, 0.7600001 } },
        { LateDiffusionEnabled, { 1, 1, 0, 1 } },
        { LateDiffusionStages, { 4, 8, 3, 5 } },
        { LateDiffusionDelay, { 28, 74, 59, 72 } },
        { PostLowShelfGain, { 0.571151, 0.571151, 0.100654, 0.571151 } },
        { PostLowShelfFrequency, { 66.853, 66.853, 111.137, 66.853 } },
        { PostHighShelfGain, { 0.557921, 0.268104, 0.462359, 0.268104 } },
        { PostHighShelfFrequency, { 5801.4, 4618.0, 8320.5, 4618.0 } },
        { PostCutoffFrequency, { 11101.1, 8579.9, 9120.8, 11101.1 } },
        { EarlyDiffusionModAmount, { 0.3375, 1.05, 2.0625, 0.3375 } },
        { EarlyDiffusionModRate, { 0.14151, 0.15524, 0.27558, 0.11673 } },
        { LineModAmount, { 0.475, 1.1625, 1.575, 0.1375 } },
        { LineModRate, { 0.09515, 0.16996, 0.16996, 0.08543 } },
        { LateDiffusionModAmount, { 0.3125, 1.025, 1.55, 0.449999 } },
        { LateDiffusionModRate, { 0.13714, 0.16494, 0.15056, 0.24012 } },
        { TapSeed, { 485, 301, 1150, 301 } },
        { DiffusionSeed, { 208, 189, 189, 189 } },
        { DelaySeed, { 335, 161, 337, 161 } },
        { PostDiffusionSeed, { 372, 501, 501, 501 } },
        { DryOut, { 0, 0, 0.773987, 1 } },
        { EarlyOut, { 0.520008, 0, 0.274584, 0.243625 } },
        { MainOut, { 0.642075, 0.81094, 0.153718, 0.484625 } },
        { HiPassEnabled, { 1, 0, 0, 0 } },
        { LowShelfEnabled, { 0, 0, 0, 1 } },
        { HighShelfEnabled, { 0, 0, 1, 0 } },
        { CutoffEnabled, { 0, 1, 0, 1 } },
        // Common settings, the same for every preset.
        { PreDelay, { 0, 0, 0, 0 } },
        { LowPass, { 20000, 20000, 20000, 20000 } },
        { LowPassEnabled, { 0, 0, 0, 0 } },
        { TapCount, { 25, 25, 25, 25 } },
        { LineCount, { 3, 3, 3, 3 } },
        { LineDelay, { 20, 20, 20, 20 } },
        { LineDecay, { 1.887673, 1.887673, 1.887673, 1.887673 } },
        { PredelayOut, { 0, 0, 0, 0 } },
        { CrossSeed, { 0, 0, 0, 0 } },
    };

    for (int preset = 0; preset < 4; ++preset)
    {
        QELReverbProcessor engine ((QELReverbProcessor::Preset) preset);
        for (const auto& row : rows)
            for (auto* channel : { &engine.controller.channelL, &engine.controller.channelR })
                EXPECT_NEAR (channel->GetParameter (row.key), row.values[preset],
                             std::max (5e-6, std::abs (row.values[preset]) * 2e-5))
                    << "preset " << preset << " key " << row.key;

        EXPECT_EQ (engine.controller.channelL.GetLineCount(), 3);
        EXPECT_EQ (engine.controller.channelL.multitap.count, 25);
        EXPECT_EQ (engine.controller.channelR.lines[0]->cutoffEnabled.load(), preset == 1 || preset == 3);
        EXPECT_EQ (engine.controller.channelR.hiPassEnabled.load(), preset == 0);
    }

    // A preset number outside 0..3 leaves only the common settings.
    QELReverbProcessor none ((QELReverbProcessor::Preset) 7);
    EXPECT_EQ (channelParameter (none, TapLength), 0.0);
    EXPECT_EQ (channelParameter (none, TapCount), 25.0);
    EXPECT_FALSE (none.presetDryOut.has_value());
}

TEST (QELReverbProcessor, SettersConvertThroughTheResponseCurves)
{
    QELReverbProcessor engine (QELReverbProcessor::preset0);

    engine.setTone (50.0f);
    EXPECT_EQ (channelParameter (engine, LowPassEnabled), 1.0);
    EXPECT_NEAR (channelParameter (engine, LowPass), 4320.0, 1e-9);
    EXPECT_NEAR (engine.controller.channelR.lowPass.Frequency, 4320.0, 1e-9);
    engine.setTone (0.0f);
    EXPECT_NEAR (channelParameter (engine, LowPass), 400.0, 1e-9);
    engine.setTone (100.0f);
    EXPECT_EQ (channelParameter (engine, LowPassEnabled), 0.0);
    EXPECT_EQ (channelParameter (engine, LowPass), 20000.0);

    engine.setSize (100.0f);
    EXPECT_NEAR (channelParameter (engine, LineDecay), 1.887673, 1e-6);
    engine.massive = 1.0f;
    engine.setSize (100.0f);
    EXPECT_NEAR (channelParameter (engine, LineDecay), 60.0, 1e-12);
    engine.setSize (0.0f);
    EXPECT_NEAR (channelParameter (engine, LineDecay), 0.05, 1e-12);

    const std::pair<float, double> preDelays[] = { { -0.5f, 0.0 }, { 1.5f, 990.0 }, { 0.0125f, 12.0 } };
    for (auto [seconds, ms] : preDelays)
    {
        engine.setInternalPreDelayS (seconds);
        EXPECT_EQ (channelParameter (engine, PreDelay), ms);
        EXPECT_EQ (engine.controller.channelR.preDelay.sampleDelay.load(), (int) (44100 * (ms / 1000.0)));
    }

    engine.setEarlyOut (86.0f);
    EXPECT_NEAR (channelParameter (engine, EarlyOut), 0.5200075, 1e-7);
    engine.setMainOut (91.0f);
    EXPECT_NEAR (channelParameter (engine, MainOut), 0.6572661, 1e-7);

    const std::pair<float, double> rates[] = { { 0.0f, 0.0 }, { 50.0f, 0.4545455 }, { 100.0f, 5.0 } };
    for (auto [percent, hz] : rates)
    {
        engine.setMainDelayModRate (percent);
        EXPECT_NEAR (channelParameter (engine, LineModRate), hz, 1e-7);
    }
    engine.setMainDelayModAmount (100.0f);
    EXPECT_EQ (channelParameter (engine, LineModAmount), 2.5);
}

TEST (QELReverbProcessor, AltMixRestoresOnlyAPresetsOwnDryLevel)
{
    const double restored[] = { 0.0, 0.0, 0.773987, 1.0 };
    for (int preset = 0; preset < 4; ++preset)
    {
        QELReverbProcessor engine ((QELReverbProcessor::Preset) preset);
        engine.setUseAltMix (true);
        EXPECT_EQ (engine.controller.channelL.dryOut.load(), 0.0);
        engine.setUseAltMix (false);
        EXPECT_NEAR (engine.controller.channelR.dryOut.load(), restored[preset], 1e-6) << preset;
    }
}

TEST (QELReverbProcessor, PitchFactorIsLinearOnEachSideOfUnison)
{
    QELReverbProcessor engine (QELReverbProcessor::preset0);
    const std::pair<float, float> factors[] = { { -12.0f, 0.5f }, { 0.0f, 1.0f }, { 6.0f, 1.5f }, { 12.0f, 2.0f } };
    for (auto [semitones, factor] : factors)
    {
        engine.setPitch (semitones);
        EXPECT_EQ (engine.pitchShifter.pitchFactor.load(), factor);
    }
}

TEST (QELReverbProcessor, DryAtMixZeroAndLinearBetween)
{
    auto dry = makeEngine (0, 0.0f);
    auto wet = makeEngine (0, 100.0f);
    auto half = makeEngine (0, 50.0f);

    const auto input = noise (9600);
    auto a = input, b = input, c = input;
    run (*dry, a);
    run (*wet, b);
    run (*half, c);

    EXPECT_EQ (a.left, input.left);
    EXPECT_EQ (a.right, input.right);
    double wetEnergy = 0.0;
    for (std::size_t i = 0; i < input.left.size(); ++i)
    {
        ASSERT_NEAR (c.left[i], 0.5f * (a.left[i] + b.left[i]), 1e-6f);
        wetEnergy += (double) b.left[i] * b.left[i];
    }
    EXPECT_GT (wetEnergy, 1.0);
}

TEST (QELReverbProcessor, DecayFollowsSizeAndPreset)
{
    auto decayOf = [] (int preset, float sizePercent)
    {
        auto engine = makeEngine (preset);
        engine->setSize (sizePercent);
        auto s = impulse ((std::size_t) (2.5 * rate));
        run (*engine, s);
        return decayTime (s.left);
    };

    const double room30 = decayOf (0, 30.0f);
    const double room90 = decayOf (0, 90.0f);
    const double hall90 = decayOf (1, 90.0f);
    EXPECT_GT (room90, 1.5 * room30);
    EXPECT_GT (room30, 0.05);
    EXPECT_GT (std::abs (hall90 - room90), 0.05);
}

TEST (QELReverbProcessor, PreDelayShiftsTheWholeWetSignal)
{
    auto plain = makeEngine (3);
    auto delayed = makeEngine (3);
    delayed->setInternalPreDelayS (0.1f);
    delayed->prepareToPlay (rate, blockSize);

    auto a = impulse (19200), b = impulse (19200);
    run (*plain, a);
    run (*delayed, b);

    // 100 ms at 48 kHz: the wet signal starts 4800 samples later and carries the same energy (the
    // modulation meets it at other phases, so the samples themselves differ slightly).
    auto onset = [] (const std::vector<float>& x)
    { return (std::size_t) (std::find_if (x.begin(), x.end(), [] (float v) { return v != 0.0f; }) - x.begin()); };
    EXPECT_EQ (onset (b.left), onset (a.left) + 4800);
    EXPECT_EQ (onset (b.right), onset (a.right) + 4800);

    double early = 0.0, late = 0.0;
    for (std::size_t i = 0; i + 4800 < a.left.size(); ++i)
    {
        early += (double) a.left[i] * a.left[i];
        late += (double) b.left[i + 4800] * b.left[i + 4800];
    }
    EXPECT_NEAR (late / early, 1.0, 0.05);
}

TEST (QELReverbProcessor, SameSeedsGiveTheSameTail)
{
    auto first = makeEngine (1);
    auto second = makeEngine (1);
    auto a = noise (24000), b = noise (24000);
    run (*first, a);
    run (*second, b);
    EXPECT_EQ (a.left, b.left);
    EXPECT_EQ (a.right, b.right);
    EXPECT_NE (a.left, a.right);
}

TEST (QELReverbProcessor, OversizedBlocksMatchPreparedBlocks)
{
    auto byBlocks = makeEngine (0);
    auto whole = makeEngine (0);
    auto a = noise (8192), b = noise (8192);
    run (*byBlocks, a, blockSize);
    run (*whole, b, 8192);
    EXPECT_EQ (a.left, b.left);
    EXPECT_EQ (a.right, b.right);
}

TEST (QELReverbProcessor, FreezeAndKillShutTheInput)
{
    for (bool kill : { false, true })
    {
        auto fed = makeEngine (1);
        auto starved = makeEngine (1);
        auto a = noise (9600), b = noise (9600);
        run (*fed, a);
        run (*starved, b);

        for (auto* engine : { fed.get(), starved.get() })
            (kill ? engine->controller.kill : engine->controller.freeze) = true;

        auto loud = noise (24000, 0.9f, 11);
        Stereo silence { std::vector<float> (24000, 0.0f), std::vector<float> (24000, 0.0f) };
        run (*fed, loud);
        run (*starved, silence);
        EXPECT_EQ (loud.left, silence.left);

        double tail = 0.0;
        for (std::size_t i = 20000; i < 24000; ++i)
            tail += (double) silence.left[i] * silence.left[i];
        EXPECT_GT (tail, 1e-6) << "the tail rings on";
    }
}

TEST (QELReverbProcessor, EmptyBlockWritesNothingAndHoldsTheSmoothers)
{
    auto engine = makeEngine (0, 0.0f);
    engine->setMixTarget (100.0f);
    float sample = 0.5f;
    float* channels[] = { &sample, &sample };
    engine->process (channels, channels, 0, 2, 2);
    EXPECT_EQ (sample, 0.5f);
    EXPECT_EQ (engine->mixSmoother.getCurrentValue(), 0.0f);

    auto s = noise (1024);
    run (*engine, s);
    EXPECT_TRUE (engine->mixSmoother.isSmoothing());
    EXPECT_NEAR (engine->mixSmoother.getCurrentValue(), 100.0f * 1024.0f / 2400.0f, 1e-2f);
}

TEST (QELReverbProcessor, SaturationKeepsQuietSignalsAndLimitsLoudOnes)
{
    auto levels = [] (float drive, float inputLevel)
    {
        auto engine = std::make_unique<QELReverbProcessor> (QELReverbProcessor::preset3);
        engine->setMixTarget (100.0f);
        engine->setDriveTarget (drive);
        engine->prepareToPlay (rate, blockSize);
        auto s = noise (9600, inputLevel);
        run (*engine, s);
        float peak = 0.0f;
        for (float x : s.left)
            peak = std::max (peak, std::abs (x));
        return peak;
    };

    EXPECT_NEAR (levels (4.0f, 1e-3f) / levels (1.0f, 1e-3f), 1.0f, 1e-3f);
    EXPECT_GT (levels (1.0f, 8.0f), 1.0f);
    EXPECT_LE (levels (4.0f, 8.0f), 0.25f);
}

TEST (QELReverbProcessor, MonoOutputWritesOnlyTheFirstChannel)
{
    auto engine = makeEngine (0);
    auto s = noise (2048);
    std::vector<float> second (2048, 0.75f);
    for (std::size_t start = 0; start < 2048; start += blockSize)
    {
        float* channels[] = { s.left.data() + start, second.data() + start };
        engine->process (channels, channels, blockSize, 1, 1);
    }
    for (float x : second)
        ASSERT_EQ (x, 0.75f);
}

TEST (QELReverbProcessor, PitchSwitchFadesOverOneSecond)
{
    auto engine = makeEngine (0);
    engine->setPitch (7.0f);
    auto s = noise (48128);
    run (*engine, s);
    EXPECT_EQ (engine->pitchShifter.getWetGain(), 1.0f);

    engine->setPitch (0.0f);
    auto half = noise (24064);
    run (*engine, half);
    EXPECT_NEAR (engine->pitchShifter.getWetGain(), 0.5f, 0.02f);
    auto rest = noise (24064);
    run (*engine, rest);
    EXPECT_EQ (engine->pitchShifter.getWetGain(), 0.0f);
}

TEST (QELReverbProcessor, LongTailStaysBounded)
{
    // The longest decay (massive, size 100: 60 s) fed with noise for 60 s, then left to ring.
    auto engine = std::make_unique<QELReverbProcessor> (QELReverbProcessor::preset1);
    engine->setMixTarget (100.0f);
    engine->setUseAltMix (true);
    engine->massive = 1.0f;
    engine->setSize (100.0f);
    engine->prepareToPlay (rate, 2048);

    auto s = noise ((std::size_t) rate, 0.25f);
    float firstSecondPeak = 0.0f, lastPeak = 0.0f;
    for (int second = 0; second < 60; ++second)
    {
        auto block = s;
        run (*engine, block, 2048);
        float peak = 0.0f;
        for (std::size_t i = 0; i < block.left.size(); ++i)
        {
            ASSERT_TRUE (std::isfinite (block.left[i]) && std::isfinite (block.right[i]));
            peak = std::max ({ peak, std::abs (block.left[i]), std::abs (block.right[i]) });
        }
        if (second == 2)
            firstSecondPeak = peak;
        lastPeak = peak;
    }
    EXPECT_LT (lastPeak, 4.0f * firstSecondPeak);
    EXPECT_LT (lastPeak, 10.0f);
}
