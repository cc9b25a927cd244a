#include "dsp/base/QELProcessorBase.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int benchBlockSize = 512;
constexpr int benchChannels = 2;

/** A cheap block (a fixed gain) so the base's own cost dominates. */
struct HalfGainBlock : juce::QELProcessorBase
{
    void processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels) override
    {
        for (int channel = 0; channel < numOutputChannels; ++channel)
            juce::FloatVectorOperations::multiply (out[channel], 0.5f, numSamples);
    }
};

juce::AudioBuffer<float> noiseBuffer()
{
    juce::Random random (1234);
    juce::AudioBuffer<float> buffer (benchChannels, benchBlockSize);
    for (int channel = 0; channel < benchChannels; ++channel)
        for (int i = 0; i < benchBlockSize; ++i)
            buffer.setSample (channel, i, random.nextFloat() * 2.0f - 1.0f);
    return buffer;
}

void prepareBlock (HalfGainBlock& block)
{
    block.prepare ({ 48000.0, (juce::uint32) benchBlockSize, (juce::uint32) benchChannels });
}

void BM_ProcessorBaseSteadyOn (benchmark::State& state)
{
    HalfGainBlock block;
    prepareBlock (block);
    auto buffer = noiseBuffer();
    auto* channels = buffer.getArrayOfWritePointers();

    for (auto _ : state)
    {
        block.process (channels, channels, benchBlockSize, benchChannels, benchChannels);
        juce::FloatVectorOperations::multiply (channels[0], 2.0f, benchBlockSize);
        juce::FloatVectorOperations::multiply (channels[1], 2.0f, benchBlockSize);
        benchmark::DoNotOptimize (channels[0][0]);
    }
    state.SetItemsProcessed (state.iterations() * benchBlockSize);
}

void BM_ProcessorBaseRamp (benchmark::State& state)
{
    HalfGainBlock block;
    block.rampTimes[0] = block.rampTimes[1] = 1.0f; // long ramps, so nearly every block crossfades
    prepareBlock (block);
    auto buffer = noiseBuffer();
    auto* channels = buffer.getArrayOfWritePointers();

    for (auto _ : state)
    {
        if (! block.isRamping())
            block.setBypassSmooth (! block.active.load());

        block.process (channels, channels, benchBlockSize, benchChannels, benchChannels);
        benchmark::DoNotOptimize (channels[0][0]);
    }
    state.SetItemsProcessed (state.iterations() * benchBlockSize);
}

void BM_ProcessorBaseLatencyAlignedOff (benchmark::State& state)
{
    HalfGainBlock block;
    block.setDryPathLatency (2048);
    block.setBypass (false);
    prepareBlock (block);
    auto buffer = noiseBuffer();
    auto* channels = buffer.getArrayOfWritePointers();

    for (auto _ : state)
    {
        block.process (channels, channels, benchBlockSize, benchChannels, benchChannels);
        benchmark::DoNotOptimize (channels[0][0]);
    }
    state.SetItemsProcessed (state.iterations() * benchBlockSize);
}
} // namespace

BENCHMARK (BM_ProcessorBaseSteadyOn);
BENCHMARK (BM_ProcessorBaseRamp);
BENCHMARK (BM_ProcessorBaseLatencyAlignedOff);
