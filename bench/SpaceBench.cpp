#include "chain/SpaceProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int blockSize = 512;
constexpr int channels = 2;
constexpr double rate = 48000.0;
const juce::dsp::ProcessSpec spec { rate, (juce::uint32) blockSize, (juce::uint32) channels };

/** A reverb type change as the router makes it under host automation, on the audio thread: building the
    engine of the type (1 Bright Room .. 4 Outer Space) with its settings and preparing it at 48 kHz. */
void BM_SpaceReverbTypeChange (benchmark::State& state)
{
    const int type = (int) state.range (0);
    tessaro::dsp::ReverbProcessor holder;
    holder.prepare (spec);

    for (auto _ : state)
    {
        holder.setReverbType (type);
        benchmark::ClobberMemory();
    }

    if (! holder.hasPendingEngine())
        state.SkipWithError ("no engine for this type");
}

/** The Space module on stereo noise with a Modern echo and a reverb type (0 Off .. 4), both at Amount 50;
    time_per_sample is the cost of one stereo frame. */
void BM_SpaceModule (benchmark::State& state)
{
    tessaro::dsp::SpaceProcessor space;
    space.prepare (spec);
    space.setDelayType (3);
    space.setDelayAmount (50.0f);
    space.setReverbType ((int) state.range (0));
    space.setReverbAmount (50.0f);

    juce::Random random (7);
    juce::AudioBuffer<float> buffer (channels, blockSize);
    for (int channel = 0; channel < channels; ++channel)
        for (int i = 0; i < blockSize; ++i)
            buffer.setSample (channel, i, 0.5f * (random.nextFloat() * 2.0f - 1.0f));
    auto* data = buffer.getArrayOfWritePointers();

    for (auto _ : state)
    {
        space.process (data, data, blockSize, channels, channels);
        benchmark::DoNotOptimize (data[0][0]);
        benchmark::ClobberMemory();
    }
    state.counters["time_per_sample"] = benchmark::Counter ((double) state.iterations() * blockSize,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
} // namespace

BENCHMARK (BM_SpaceReverbTypeChange)->DenseRange (1, 4)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_SpaceModule)->DenseRange (0, 4)->Unit (benchmark::kMicrosecond);
