#include "dsp/reverb/QELReverbProcessor.h"
#include "dsp/pitch/SmbPitchShift.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <memory>
#include <random>

namespace
{
constexpr double benchRate = 48000.0;
constexpr int benchBlock = 512;

std::unique_ptr<QEL::QELReverbProcessor> makeEngine (int preset)
{
    auto engine = std::make_unique<QEL::QELReverbProcessor> ((QEL::QELReverbProcessor::Preset) preset);
    engine->setMixTarget (50.0f);
    engine->setUseAltMix (true);
    engine->setSize (100.0f);
    engine->prepareToPlay (benchRate, benchBlock);
    return engine;
}

juce::AudioBuffer<float> noiseBlock()
{
    std::mt19937 gen (7);
    std::uniform_real_distribution<float> dist (-0.25f, 0.25f);
    juce::AudioBuffer<float> buffer (2, benchBlock);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < benchBlock; ++i)
            buffer.setSample (channel, i, dist (gen));
    return buffer;
}

// One stereo block of 512 samples at 48 kHz per iteration. "rtf" is the real-time factor: processing time
// over the audio's duration (10.67 ms a block).
void BM_ReverbEngineBlock (benchmark::State& state)
{
    auto engine = makeEngine ((int) state.range (0));
    const auto source = noiseBlock();
    juce::AudioBuffer<float> buffer (2, benchBlock);

    for (auto _ : state)
    {
        buffer.makeCopyOf (source, true);
        auto* channels = buffer.getArrayOfWritePointers();
        engine->process (channels, channels, benchBlock, 2, 2);
        benchmark::DoNotOptimize (channels[0][benchBlock - 1]);
    }
    state.SetItemsProcessed (state.iterations() * benchBlock);
    state.counters["rtf"] = benchmark::Counter ((double) state.iterations() * benchBlock / benchRate,
                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK (BM_ReverbEngineBlock)->DenseRange (0, 3)->Unit (benchmark::kMicrosecond);

// Building and preparing one engine (what a reverb type change costs), with the heap it takes.
void BM_ReverbEngineBuildAndPrepare (benchmark::State& state)
{
    double bytes = 0.0;
    for (auto _ : state)
    {
        const auto before = mallinfo2();
        auto engine = makeEngine ((int) state.range (0));
        const auto after = mallinfo2();
        bytes = (double) (after.uordblks + after.hblkhd) - (double) (before.uordblks + before.hblkhd);
        benchmark::DoNotOptimize (engine.get());
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
    state.counters["bytes"] = bytes;
}
BENCHMARK (BM_ReverbEngineBuildAndPrepare)->DenseRange (0, 3)->Unit (benchmark::kMillisecond);

// The phase vocoder alone, one channel, per block of 512 samples.
void BM_SmbPitchShiftBlock (benchmark::State& state)
{
    auto shifter = std::make_unique<juce::SmbPitchShift>();
    auto buffer = noiseBlock();
    auto* samples = buffer.getWritePointer (0);
    for (auto _ : state)
    {
        shifter->smbPitchShift (1.5f, benchBlock, 1024, 8, (float) benchRate, samples, samples);
        benchmark::DoNotOptimize (samples[0]);
    }
    state.SetItemsProcessed (state.iterations() * benchBlock);
}
BENCHMARK (BM_SmbPitchShiftBlock)->Unit (benchmark::kMicrosecond);
} // namespace

#include "dsp/reverb/SkyChoraleReverbProcessor.h"
#include "dsp/reverb/SkyCloudReverbProcessor.h"
#include "dsp/reverb/SkyPlateReverbProcessor.h"
#include "dsp/reverb/SkyRoomReverbProcessor.h"

namespace
{
std::unique_ptr<QEL::SkyReverbProcessorBase> makeMode (int type)
{
    std::unique_ptr<QEL::SkyReverbProcessorBase> mode;
    switch (type)
    {
        case 1: mode = std::make_unique<QEL::SkyRoomReverbProcessor>(); break;
        case 2: mode = std::make_unique<QEL::SkyPlateReverbProcessor>(); break;
        case 3: mode = std::make_unique<QEL::SkyChoraleReverbProcessor>(); break;
        default: mode = std::make_unique<QEL::SkyCloudReverbProcessor>(); break;
    }
    // What the Space module does with a new mode, at Time 50 and Amount 50.
    mode->setMod (50.0f);
    mode->setUseAltMix (true);
    mode->setWetHighPassFilterCutoff (20.0f);
    mode->setWetLowPassFilterCutoff (20000.0f);
    mode->setMonoLowEnd (false);
    mode->setDecay (50.0f);
    mode->setMix (50.0f);
    mode->prepare ({ benchRate, (juce::uint32) benchBlock, 2 });
    return mode;
}

// One stereo block of 512 samples at 48 kHz per reverb type: 1 room, 2 plate, 3 chorale, 4 cloud.
void BM_ReverbModeBlock (benchmark::State& state)
{
    auto mode = makeMode ((int) state.range (0));
    const auto source = noiseBlock();
    juce::AudioBuffer<float> buffer (2, benchBlock);

    for (auto _ : state)
    {
        buffer.makeCopyOf (source, true);
        auto* channels = buffer.getArrayOfWritePointers();
        mode->process (channels, channels, benchBlock, 2, 2);
        benchmark::DoNotOptimize (channels[0][benchBlock - 1]);
    }
    state.SetItemsProcessed (state.iterations() * benchBlock);
    state.counters["rtf"] = benchmark::Counter ((double) state.iterations() * benchBlock / benchRate,
                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK (BM_ReverbModeBlock)->DenseRange (1, 4)->Unit (benchmark::kMicrosecond);
} // namespace
