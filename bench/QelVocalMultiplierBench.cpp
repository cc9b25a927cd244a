#include "dsp/space/QelVocalMultiplierProcessor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{
constexpr double benchRate = 48000.0;

/** The multiplier as the Multiply module runs it (six voices, parameter defaults), on a stereo voice-like
    signal at 48 kHz. range(0) is the block size, range(1) the Low setting in percent.

    Counters: rtf, the audio duration processed per second of CPU time; worst_block_us and block_us, the
    slowest block seen and a block's duration; worst_load, their ratio (1 = a block only just in time). */
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
            worstSeconds = std::max (worstSeconds, elapsed.count());
        benchmark::DoNotOptimize (channels[0][0]);
    }

    const double blockSeconds = blockSize / benchRate;
    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["rtf"] =
        benchmark::Counter ((double) state.iterations() * blockSeconds, benchmark::Counter::kIsRate);
    state.counters["block_us"] = blockSeconds * 1.0e6;
    state.counters["worst_block_us"] = worstSeconds * 1.0e6;
    state.counters["worst_load"] = worstSeconds / blockSeconds;
}
} // namespace

BENCHMARK (BM_QelVocalMultiplier)->Args ({ 512, 0 })->Args ({ 64, 0 })->Args ({ 512, 50 })->Args ({ 64, 50 });
