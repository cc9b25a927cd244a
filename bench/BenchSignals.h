#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <benchmark/benchmark.h>

namespace bench_signals
{
/** White noise within ±peak on every channel, the same for every run of a seed. */
inline juce::AudioBuffer<float> noise (int channels, int samples, float peak, int seed)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> buffer (channels, samples);
    for (int channel = 0; channel < channels; ++channel)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (channel, i, peak * (random.nextFloat() * 2.0f - 1.0f));
    return buffer;
}

/** Reports time_per_sample, the cost of one sample frame (one sample on each channel; SI prefix, n = ns). */
inline void reportPerSample (benchmark::State& state, int framesPerIteration)
{
    state.SetItemsProcessed (state.iterations() * framesPerIteration);
    state.counters["time_per_sample"] = benchmark::Counter ((double) state.iterations() * framesPerIteration,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/** Runs a prepared block in place; every iteration starts again from the source, so each block sees
    the same input whatever the block did to the last one. */
template <typename Block>
void runInPlace (benchmark::State& state, Block& block, const juce::AudioBuffer<float>& source)
{
    auto buffer = source;
    const int channels = buffer.getNumChannels(), samples = buffer.getNumSamples();
    auto* data = buffer.getArrayOfWritePointers();

    for (auto _ : state)
    {
        buffer.makeCopyOf (source, true);
        block.process (data, data, samples, channels, channels);
        benchmark::DoNotOptimize (data[0][0]);
        benchmark::ClobberMemory();
    }
    reportPerSample (state, samples);
}
} // namespace bench_signals
