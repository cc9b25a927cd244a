// The cost of the block in which a parameter changes, against an ordinary block, as host automation delivers
// the change on the audio thread just before the block: stereo, 48 kHz, blocks of 64 and 512 samples, with the
// Bright Room reverb and the Tape echo running.
//
// Change/<parameter>/<block>: counters
//   change_ratio    median over repetitions of the change block's time over the median ordinary block
//   takeover_ratio  for a reverb type, the median over repetitions of the slowest block while the new engine
//                   takes over (warms up) and crossfades, over the median ordinary block. As under a host, the
//                   blocks go on while the builder thread makes the engine; they are not timed (the running
//                   engine alone), and the audio thread never sleeps, so no timed block starts on caches other
//                   threads have used meanwhile
//   takeover_vs_slowest  the same over the median of the slowest ordinary block of each 24-block run: below
//                   512 samples at 48 kHz the reverb engine runs its 512-sample chunk in one host block of
//                   several, so an ordinary run has such blocks too and the median block hides them
// Targets: change_ratio <= 1.5, takeover_ratio <= 2.5.
#include "BlockTiming.h"

#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace
{
constexpr int repetitions = 41;
constexpr int ordinaryPerRepetition = 24;

struct ChangeCase
{
    const char* name;
    const char* id;
    float first, second; // plain values the parameter alternates between, one per repetition
};

const ChangeCase cases[] = {
    { "ReverbBrightRoom", "paramSpaceReverbType", 2.0f, 1.0f },
    { "ReverbDarkRoom", "paramSpaceReverbType", 1.0f, 2.0f },
    { "ReverbCathedral", "paramSpaceReverbType", 1.0f, 3.0f },
    { "ReverbOuterSpace", "paramSpaceReverbType", 1.0f, 4.0f },
    { "ReverbOff", "paramSpaceReverbType", 1.0f, 0.0f },
    { "EnhancePreComp", "paramEnhancePreComp", 0.0f, 1.0f },
    { "EQPre", "paramEQPre", 0.0f, 1.0f },
    { "GainPreFx", "paramGainPreFx", 0.0f, 1.0f },
    { "Mix", "paramMix", 100.0f, 40.0f },
    { "EQHighGain", "paramEQHighGain", 0.0f, 8.0f },
    { "Compression", "paramCompressCompression", 0.0f, 60.0f },
    { "DelayType", "paramSpaceDelayType", 2.0f, 3.0f },
    { "GainType", "paramGainType", 0.0f, 2.0f },
    { "Bypass", "paramBypass", 0.0f, 1.0f },
};

double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

/** Sets a parameter the way the VST3 wrapper does on the audio thread. */
void automate (OrvaneTessaroAudioProcessor& processor, const char* id, float plain)
{
    auto* parameter = processor.parameters.getParameter (id);
    const float normalised = parameter->convertTo0to1 (plain);
    parameter->setValue (normalised);
    parameter->sendValueChangedMessageToListeners (normalised);
}

class Timed
{
public:
    Timed (OrvaneTessaroAudioProcessor& p, int blockSize) : processor (p), block (2, blockSize) {}

    /** Runs the next block of the voice, returns its wall time in seconds. */
    double process (const std::function<void()>& beforeBlock = {})
    {
        const auto& voice = bench_timing::voice();
        const int n = block.getNumSamples();
        if (position + n > voice.getNumSamples())
            position = 0;
        for (int ch = 0; ch < 2; ++ch)
            block.copyFrom (ch, 0, voice, ch, position, n);
        position += n;

        const auto start = std::chrono::steady_clock::now();
        if (beforeBlock)
            beforeBlock();
        processor.processBlock (block, midi);
        return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    }

private:
    OrvaneTessaroAudioProcessor& processor;
    juce::AudioBuffer<float> block;
    juce::MidiBuffer midi;
    int position = 0;
};

void changeBlock (benchmark::State& state, const ChangeCase& change)
{
    const juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tessaro-bench", {}, false);
    QEL::PlatformPaths::ScopedBaseOverride paths { folder };
    const int blockSize = (int) state.range (0);

    OrvaneTessaroAudioProcessor processor;
    processor.prepareToPlay (bench_timing::sampleRate, blockSize);
    auto& reverb = processor.tessaroProcessor.spaceProcessor.reverbStage.reverb;
    for (const auto& [id, plain] :
         { std::pair { "paramSpaceReverbType", 1.0f }, std::pair { "paramSpaceReverbAmount", 50.0f },
           std::pair { "paramSpaceDelayType", 2.0f }, std::pair { "paramSpaceDelayAmount", 40.0f } })
        automate (processor, id, plain);
    reverb.buildChosenEngine();

    Timed timed (processor, blockSize);
    for (int i = 0; i < 200; ++i)
        timed.process();

    const bool reverbType = juce::String (change.id) == "paramSpaceReverbType";
    std::vector<double> ordinary, slowestOrdinary, changes, takeOvers;

    for (auto _ : state)
    {
        for (int r = 0; r < repetitions; ++r)
        {
            // Each repetition starts from the first value, held long enough for every ramp and take-over to end
            // before the ordinary blocks are timed.
            automate (processor, change.id, change.first);
            if (reverbType)
                reverb.buildChosenEngine();
            for (int i = 0; i < ordinaryPerRepetition; ++i)
                timed.process();
            for (int i = 0; i < 2000 && (reverb.isCrossfading() || reverb.hasPendingEngine()); ++i)
                timed.process();
            double slowest = 0.0;
            for (int i = 0; i < 2 * ordinaryPerRepetition; ++i)
            {
                ordinary.push_back (timed.process());
                if (i >= ordinaryPerRepetition)
                    slowest = std::max (slowest, ordinary.back());
            }
            slowestOrdinary.push_back (slowest);

            changes.push_back (timed.process ([&] { automate (processor, change.id, change.second); }));

            if (reverbType && change.second != 0.0f)
            {
                // The builder makes the engine in the background while the blocks go on; from the block that takes
                // it over to the one that ends the crossfade, every block is timed.
                double slowest = 0.0;
                bool started = false;
                for (int i = 0; i < 100000; ++i)
                {
                    const double seconds = timed.process();
                    if (! started && ! reverb.isCrossfading())
                        continue;
                    started = true;
                    slowest = std::max (slowest, seconds);
                    if (! reverb.isCrossfading())
                        break;
                }
                if (started)
                    takeOvers.push_back (slowest);
            }
        }
    }

    const double typical = median (ordinary);
    state.counters["change_ratio"] = median (changes) / typical;
    if (! takeOvers.empty())
    {
        state.counters["takeover_ratio"] = median (takeOvers) / typical;
        state.counters["takeover_vs_slowest"] = median (takeOvers) / median (slowestOrdinary);
    }
    state.counters["ordinary_us"] = typical * 1.0e6;
    folder.deleteRecursively();
}

const bool registered = []
{
    for (const auto& change : cases)
        benchmark::RegisterBenchmark ((std::string ("Change/") + change.name).c_str(),
                                      [&change] (benchmark::State& state) { changeBlock (state, change); })
            ->Arg (64)
            ->Arg (512)
            ->Iterations (1)
            ->Unit (benchmark::kMillisecond);
    return true;
}();
} // namespace
