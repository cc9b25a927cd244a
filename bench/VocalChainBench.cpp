// The whole plug-in as a host drives it: stereo at 48 kHz, a voice-like signal, block after block.
// Counters: rtf (processing time over audio time, 0.02 = 2 % of one core), worst_block (the
// slowest block's time over its duration), p999_block (99.9 % of the blocks took at most this share) and, for the
// memory run, the heap one instance holds.
#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"
#include "plugin/HeaviestSettings.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <array>
#include <chrono>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;

using Settings = std::vector<tessaro::test::Setting>;

const Settings& heaviest = tessaro::test::heaviestSettings();

/** Points every preset and user folder into a fresh temporary folder, so no installed preset loads. */
struct EmptyUserFolders
{
    EmptyUserFolders() { folder.createDirectory(); }
    ~EmptyUserFolders() { folder.deleteRecursively(); }

    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tessaro-bench", {}, false);
    QEL::PlatformPaths::ScopedBaseOverride paths { folder };
};

void apply (OrvaneTessaroAudioProcessor& processor, const Settings& settings)
{
    for (const auto& [id, plain] : settings)
    {
        auto* parameter = processor.parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (plain));
    }
}

/** Ten seconds of a gliding harmonic tone with breath noise, swelling and pausing like speech. */
juce::AudioBuffer<float> voice()
{
    const int length = (int) (10.0 * sampleRate);
    juce::AudioBuffer<float> signal (2, length);
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
        signal.setSample (0, n, x);
        signal.setSample (1, n, 0.9f * x);
    }
    return signal;
}

/** The fraction of a block's duration below which `q` of the blocks finished (upper bin edge). The
    slowest block alone mostly measures the scheduler on a shared machine; this one measures the code. */
double quantile (const std::array<juce::int64, 401>& histogram, double q, juce::int64 count)
{
    juce::int64 seen = 0;
    for (size_t bin = 0; bin < histogram.size(); ++bin)
        if ((seen += histogram[bin]) >= (juce::int64) std::ceil (q * (double) count))
            return (double) (bin + 1) / 200.0;
    return 2.0;
}

void wholePlugin (benchmark::State& state, const Settings& settings)
{
    juce::ScopedJuceInitialiser_GUI juce;
    EmptyUserFolders folders;
    OrvaneTessaroAudioProcessor processor;
    const int blockSize = (int) state.range (0);
    processor.prepareToPlay (sampleRate, blockSize);
    apply (processor, settings);

    const auto signal = voice();
    juce::AudioBuffer<float> block (2, blockSize);
    juce::MidiBuffer midi;
    int position = 0;
    const auto next = [&]
    {
        if (position + blockSize > signal.getNumSamples())
            position = 0;
        for (int ch = 0; ch < 2; ++ch)
            block.copyFrom (ch, 0, signal, ch, position, blockSize);
        position += blockSize;
    };

    for (int i = 0; i < (int) (2.0 * sampleRate) / blockSize; ++i) // engines hand over, ramps settle
    {
        next();
        processor.processBlock (block, midi);
    }

    using Clock = std::chrono::steady_clock;
    const double blockSeconds = blockSize / sampleRate;
    double busy = 0.0, worst = 0.0;
    std::array<juce::int64, 401> histogram {}; // block time over block duration, in steps of 0.5 %
    for (auto _ : state)
    {
        next();

        const auto start = Clock::now();
        processor.processBlock (block, midi);
        const double seconds = std::chrono::duration<double> (Clock::now() - start).count();
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

void BM_WholePluginDefaults (benchmark::State& state)
{
    wholePlugin (state, {});
}
void BM_WholePluginHeaviest (benchmark::State& state)
{
    wholePlugin (state, heaviest);
}

/** Heap in use by this process, including large blocks mapped on their own. */
double heapBytes()
{
    const auto info = mallinfo2();
    return (double) info.uordblks + (double) info.hblkhd;
}

// The heap one instance holds once prepared at 48 kHz (no editor), at defaults and with every
// engine of the heaviest setting built.
void BM_InstanceMemory (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    EmptyUserFolders folders;
    double defaults = 0.0, loaded = 0.0;
    for (auto _ : state)
    {
        const double before = heapBytes();
        auto processor = std::make_unique<OrvaneTessaroAudioProcessor>();
        processor->prepareToPlay (sampleRate, 512);
        juce::AudioBuffer<float> block (2, 512);
        juce::MidiBuffer midi;
        block.clear();
        processor->processBlock (block, midi);
        defaults = heapBytes() - before;

        apply (*processor, heaviest);
        for (int i = 0; i < 20; ++i)
            processor->processBlock (block, midi);
        loaded = heapBytes() - before;
    }
    state.counters["MB_defaults"] = defaults / (1024.0 * 1024.0);
    state.counters["MB_heaviest"] = loaded / (1024.0 * 1024.0);
}
} // namespace

BENCHMARK (BM_WholePluginDefaults)->Arg (512)->Arg (64)->MinTime (2.0);
BENCHMARK (BM_WholePluginHeaviest)->Arg (512)->Arg (64)->MinTime (2.0);
BENCHMARK (BM_InstanceMemory)->Iterations (1);
