#include "dsp/dynamics/GainReductionProcessor.h"
#include "dsp/dynamics/KestraneCL1BProcessor.h"
#include "dsp/dynamics/LookAheadCompressorProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int benchBlockSize = 512;
constexpr int benchChannels = 2;

juce::AudioBuffer<float> loudNoise()
{
    juce::Random random (42);
    juce::AudioBuffer<float> buffer (benchChannels, benchBlockSize);
    for (int channel = 0; channel < benchChannels; ++channel)
        for (int i = 0; i < benchBlockSize; ++i)
            buffer.setSample (channel, i, (random.nextFloat() * 2.0f - 1.0f) * 2.0f);
    return buffer;
}

/** Reports the time per stereo sample (shown with an SI prefix, n = ns). */
void countSamples (benchmark::State& state)
{
    state.SetItemsProcessed (state.iterations() * benchBlockSize);
    state.counters["time_per_sample"] = benchmark::Counter ((double) state.iterations() * benchBlockSize,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/** Runs a fresh copy of loud noise through the block every iteration. */
void runBlock (benchmark::State& state, juce::QELProcessorBase& block)
{
    block.prepare ({ 48000.0, (juce::uint32) benchBlockSize, (juce::uint32) benchChannels });
    const auto source = loudNoise();
    juce::AudioBuffer<float> buffer (benchChannels, benchBlockSize);
    auto* channels = buffer.getArrayOfWritePointers();

    for (auto _ : state)
    {
        buffer.makeCopyOf (source, true);
        block.process (channels, channels, benchBlockSize, benchChannels, benchChannels);
        benchmark::DoNotOptimize (channels[0][0]);
    }
    countSamples (state);
}

void BM_LookAheadLimiter (benchmark::State& state)
{
    QEL::LookAheadCompressorProcessor limiter;
    runBlock (state, limiter);
}

void BM_SlayCompressor (benchmark::State& state)
{
    GainReductionProcessor slay;
    slay.compressor.setSlay (60.0f);
    slay.autoGain = true;
    runBlock (state, slay);
}

void BM_CharacterCompressor (benchmark::State& state)
{
    KestraneCL1BProcessor compressor;
    compressor.mode = 3;
    compressor.initCompressor();
    compressor.setAmount (70.0f);
    compressor.autoMakeup = true;
    runBlock (state, compressor);
}
} // namespace

BENCHMARK (BM_LookAheadLimiter);
BENCHMARK (BM_CharacterCompressor);
BENCHMARK (BM_SlayCompressor);
