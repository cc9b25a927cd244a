#include "dsp/multiplier/QelVocalMultiplierProcessor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace
{
constexpr double benchRate = 48000.0;

/** The multiplier as the Multiply module runs it (six voices, parameter defaults), on a stereo voice-like
    signal at 48 kHz. range(0) is the block size, range(1) the Low setting in percent.

    Counters: rtf, the audio duration processed per second of CPU time; block_us, a block's duration;
    p99_block_us and worst_block_us, the 99th percentile and the slowest block seen (wall clock, so a busy
    machine's preemptions show in the worst); worst_load, worst over duration (1 = only just in time). */
void BM_QelVocalMultiplier (benchmark::State& state)
{
    const auto blockSize = (int) state.range (0);
    const auto low = (float) state.range (1);

    QelVocalMultiplierProcessor multiplier;
    multiplier.setVoicesAmount (30.0f);
    multiplier.setSpread (100.0f);
    multiplier.setOffset (0.0f);
    multiplier.setAmount (0.0f);
    multiplier.setLow (low);
    multiplier.prepare ({ benchRate, (juce::uint32) blockSize, 2 });

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::Random random (7);
    double phase = 0.0;
    double worstSeconds = 0.0;
    int64_t blocks = 0;
    std::vector<double> blockSeconds;
    blockSeconds.reserve (1 << 20);

    for (auto _ : state)
    {
        state.PauseTiming();
        for (int i = 0; i < blockSize; ++i)
        {
            phase += 2.0 * juce::MathConstants<double>::pi * 180.0 / benchRate;
            const auto s = (float) (0.3 * std::sin (phase) + 0.05 * (random.nextFloat() - 0.5f));
            buffer.setSample (0, i, s);
            buffer.setSample (1, i, s);
        }
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        auto* channels = buffer.getArrayOfWritePointers();
        multiplier.process (channels, channels, blockSize, 2, 2);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (++blocks > 16) // after the first blocks have touched every buffer
        {
            worstSeconds = std::max (worstSeconds, elapsed.count());

            if (blockSeconds.size() < blockSeconds.capacity())
                blockSeconds.push_back (elapsed.count());
        }
        benchmark::DoNotOptimize (channels[0][0]);
    }

    const double blockDuration = blockSize / benchRate;
    double p99 = 0.0;

    if (! blockSeconds.empty())
    {
        const auto rank = blockSeconds.begin() + (long) (0.99 * (double) (blockSeconds.size() - 1));
        std::nth_element (blockSeconds.begin(), rank, blockSeconds.end());
        p99 = *rank;
    }

    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["rtf"] =
        benchmark::Counter ((double) state.iterations() * blockDuration, benchmark::Counter::kIsRate);
    state.counters["block_us"] = blockDuration * 1.0e6;
    state.counters["p99_block_us"] = p99 * 1.0e6;
    state.counters["worst_block_us"] = worstSeconds * 1.0e6;
    state.counters["worst_load"] = worstSeconds / blockDuration;
}
} // namespace

BENCHMARK (BM_QelVocalMultiplier)->Args ({ 512, 0 })->Args ({ 64, 0 })->Args ({ 512, 50 })->Args ({ 64, 50 });
