#pragma once

// Timing of a stereo processor fed block by block with a voice-like signal, shared by the whole plug-in's
// rows and the peer chain's, so both are measured the same way in the same run.
//
// Counters: rtf (the thread's CPU time over the audio's duration: 0.02 = 2 % of one core, without what
// reading the clock itself costs), p999_block (99.9 % of the blocks took at most this share of their
// duration) and worst_block (the slowest block's share; on a shared machine it mostly measures the
// scheduler).

#include <juce_audio_basics/juce_audio_basics.h>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <random>

namespace bench_timing
{
constexpr double sampleRate = 48000.0;

/** Ten seconds of a gliding harmonic tone with breath noise, swelling and pausing like speech. */
inline const juce::AudioBuffer<float>& voice()
{
    static const auto signal = []
    {
        const int length = (int) (10.0 * sampleRate);
        juce::AudioBuffer<float> buffer (2, length);
        std::mt19937 random (1);
        std::normal_distribution<float> noise (0.0f, 1.0f);
        double phase = 0.0;
        for (int n = 0; n < length; ++n)
        {
            const double t = n / sampleRate;
            phase += juce::MathConstants<double>::twoPi * (180.0 + 60.0 * std::sin (2.0 * t)) / sampleRate;
            const double swell = std::max (0.0, std::sin (juce::MathConstants<double>::twoPi * 0.4 * t));
            const auto x =
                (float) (0.25 * swell * (std::sin (phase) + 0.5 * std::sin (2.0 * phase) + 0.3 * noise (random)));
            buffer.setSample (0, n, x);
            buffer.setSample (1, n, 0.9f * x);
        }
        return buffer;
    }();
    return signal;
}

/** This process's resident set in bytes, after the heap has returned its free pages to the system (so
    memory freed by an earlier benchmark does not hide what the next one takes). */
inline double residentBytes()
{
    malloc_trim (0);
    std::ifstream statm ("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return (double) resident * (double) sysconf (_SC_PAGESIZE);
}

/** CPU time this thread has used, in seconds. */
inline double threadSeconds()
{
    timespec now {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &now);
    return (double) now.tv_sec + 1.0e-9 * (double) now.tv_nsec;
}

/** What reading the thread's CPU clock twice costs by itself (the median of many back-to-back pairs): on
    a virtual machine each reading is a system call of about a microsecond, as much as a whole switched-off
    plug-in spends on a 64-sample block, so it is taken off every block's time. */
inline double clockOverheadSeconds()
{
    static const double overhead = []
    {
        std::array<double, 1001> pairs {};
        for (auto& pair : pairs)
        {
            const double start = threadSeconds();
            pair = threadSeconds() - start;
        }
        std::nth_element (pairs.begin(), pairs.begin() + (long) pairs.size() / 2, pairs.end());
        return pairs[pairs.size() / 2];
    }();
    return overhead;
}

/** The fraction of a block's duration below which `q` of the blocks finished (upper bin edge). */
inline double quantile (const std::array<juce::int64, 401>& histogram, double q, juce::int64 count)
{
    juce::int64 seen = 0;
    for (size_t bin = 0; bin < histogram.size(); ++bin)
        if ((seen += histogram[bin]) >= (juce::int64) std::ceil (q * (double) count))
            return (double) (bin + 1) / 200.0;
    return 2.0;
}

/** Feeds the voice through `process (buffer)` in blocks of state.range (0) samples: two seconds to let
    engines hand over and ramps settle, then one block per iteration, timed. */
template <typename Process> void timeBlocks (benchmark::State& state, Process&& process)
{
    const int blockSize = (int) state.range (0);
    const auto& signal = voice();
    juce::AudioBuffer<float> block (2, blockSize);
    int position = 0;
    const auto next = [&]
    {
        if (position + blockSize > signal.getNumSamples())
            position = 0;
        for (int ch = 0; ch < 2; ++ch)
            block.copyFrom (ch, 0, signal, ch, position, blockSize);
        position += blockSize;
    };

    for (int i = 0; i < (int) (2.0 * sampleRate) / blockSize; ++i)
    {
        next();
        process (block);
    }

    const double blockSeconds = blockSize / sampleRate;
    const double overhead = clockOverheadSeconds();
    double busy = 0.0, worst = 0.0;
    std::array<juce::int64, 401> histogram {}; // block time over block duration, in steps of 0.5 %
    for (auto _ : state)
    {
        next();

        const double start = threadSeconds();
        process (block);
        const double seconds = std::max (0.0, threadSeconds() - start - overhead);
        benchmark::DoNotOptimize (block.getReadPointer (0));

        busy += seconds;
        worst = std::max (worst, seconds);
        ++histogram[std::min<size_t> (histogram.size() - 1, (size_t) (200.0 * seconds / blockSeconds))];
    }

    state.counters["rtf"] = busy / (blockSeconds * (double) state.iterations());
    state.counters["worst_block"] = worst / blockSeconds;
    state.counters["p999_block"] = quantile (histogram, 0.999, state.iterations());
    state.SetItemsProcessed (state.iterations() * blockSize);
}
} // namespace bench_timing
