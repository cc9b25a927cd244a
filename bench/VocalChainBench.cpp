// The whole plug-in as a host drives it: stereo at 48 kHz, a voice-like signal, block after block, in
// blocks of 512 and 64 samples (the /512 and /64 suffix). One row per line of the cost table:
//   Chain/<setting>      the whole chain: defaults, the factory start state, the heaviest setting, all six
//                        modules off, "Bypass" on at the heaviest setting, and each reverb type at Amount 50
//   Module/<name>/<how>  one module on (the other five off) at its defaults or its busiest setting
// Counters as in BlockTiming.h (rtf, p999_block, worst_block). The peer chain of Debian LV2 plug-ins runs
// in the same process (PeerChainBench.cpp), so ratios come from one run.
//
// Memory/<setting>/<rate>: the resident-set growth per instance over 16 prepared instances (MiB_per_instance),
// at 48 and 192 kHz: the defaults (reverb and echo Off), the factory start state ("Bright Room"), the
// heaviest setting, and each reverb type at Amount 50 with every other control at its default
// (Memory/Reverb<type>). The editor's memory is in EditorWindowBench.cpp (BM_EditorWindowMemory).
#include "BlockTiming.h"

#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"
#include "plugin/HeaviestSettings.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Settings = std::vector<tessaro::test::Setting>;

const char* const modulePowers[] = { "paramCompressPower", "paramEnhancePower", "paramEQPower",
                                     "paramMultiplyPower", "paramSpacePower",   "paramGainPower" };
const char* const moduleNames[] = { "Compress", "Enhance", "EQ", "Multiply", "Space", "Gain" };
const char* const modulePrefixes[] = { "paramCompress", "paramEnhance", "paramEQ",
                                       "paramMultiply", "paramSpace",   "paramGain" };

/** Points every preset and user folder into a fresh temporary folder; with the factory bank installed
    there, a new instance starts from "Easy Vocal Chain" as it does for a user, otherwise from the defaults. */
struct UserFolders
{
    explicit UserFolders (bool factoryBank)
    {
        folder.createDirectory();
        if (factoryBank)
        {
            const auto root = QEL::PlatformPaths::presetRoot ("Orvane", "Orvane Tessaro");
            root.createDirectory();
            juce::File (TESSARO_RESOURCES_DIR "/presets").copyDirectoryTo (root);
        }
    }
    ~UserFolders() { folder.deleteRecursively(); }

    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tessaro-bench", {}, false);
    QEL::PlatformPaths::ScopedBaseOverride paths { folder };
};

/** A starting point: the factory bank or not, then parameter values. */
struct Setup
{
    bool factoryBank = false;
    Settings settings;
};

void apply (OrvaneTessaroAudioProcessor& processor, const Settings& settings)
{
    for (const auto& [id, plain] : settings)
    {
        auto* parameter = processor.parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (plain));
    }
}

Settings allModulesOff()
{
    Settings off;
    for (auto* power : modulePowers)
        off.push_back ({ power, 0.0f });
    return off;
}

/** Only module `index` on, at its defaults or with its part of the heaviest setting. */
Settings onlyModule (size_t index, bool busiest)
{
    Settings settings;
    for (size_t m = 0; m < std::size (modulePowers); ++m)
        if (m != index)
            settings.push_back ({ modulePowers[m], 0.0f });
    if (busiest)
        for (const auto& setting : tessaro::test::heaviestSettings())
            if (std::string (setting.first).rfind (modulePrefixes[index], 0) == 0)
                settings.push_back (setting);
    return settings;
}

void wholePlugin (benchmark::State& state, const Setup& setup)
{
    juce::ScopedJuceInitialiser_GUI juce;
    UserFolders folders (setup.factoryBank);
    OrvaneTessaroAudioProcessor processor;
    processor.prepareToPlay (bench_timing::sampleRate, (int) state.range (0));
    apply (processor, setup.settings);

    juce::MidiBuffer midi;
    bench_timing::timeBlocks (state, [&] (juce::AudioBuffer<float>& block) { processor.processBlock (block, midi); });
}

const char* const reverbTypes[] = { "BrightRoom", "DarkRoom", "Cathedral", "OuterSpace" };

/** Reverb type `type` (1 to 4) at Amount 50, every other control at its default. */
Settings reverbAtHalf (int type)
{
    return { { "paramSpaceReverbType", (float) type }, { "paramSpaceReverbAmount", 50.0f } };
}

//==============================================================================
/** Sixteen instances prepared at a rate and run for a second each; reports the resident-set growth per
    instance. The first instance is made and dropped beforehand, so what every process loads once (the
    code, JUCE's singletons) is not counted. */
void instanceMemory (benchmark::State& state, const Setup& setup, double rate)
{
    constexpr int instances = 16, blockSize = 512;
    juce::ScopedJuceInitialiser_GUI juce;
    UserFolders folders (setup.factoryBank);
    const auto make = [&]
    {
        auto processor = std::make_unique<OrvaneTessaroAudioProcessor>();
        processor->prepareToPlay (rate, blockSize);
        apply (*processor, setup.settings);
        juce::AudioBuffer<float> block (2, blockSize);
        juce::MidiBuffer midi;
        for (int i = 0; i < (int) rate / blockSize; ++i)
        {
            block.clear();
            block.setSample (0, 0, 0.5f);
            processor->processBlock (block, midi);
        }
        return processor;
    };
    make().reset();

    double perInstance = 0.0;
    for (auto _ : state)
    {
        std::vector<std::unique_ptr<OrvaneTessaroAudioProcessor>> held;
        const double before = bench_timing::residentBytes();
        for (int i = 0; i < instances; ++i)
            held.push_back (make());
        juce::Thread::sleep (1000); // a reverb chosen after preparing is built on its holder's thread
        perInstance = (bench_timing::residentBytes() - before) / instances;
    }
    state.counters["MiB_per_instance"] = perInstance / (1024.0 * 1024.0);
}

//==============================================================================
void registerRows()
{
    const auto row = [] (const std::string& name, Setup setup)
    {
        benchmark::RegisterBenchmark (name.c_str(), [setup] (benchmark::State& state) { wholePlugin (state, setup); })
            ->Arg (512)
            ->Arg (64)
            ->MinTime (2.0)
            ->Unit (benchmark::kMicrosecond);
    };

    row ("Chain/Defaults", {});
    row ("Chain/FactoryStart", { true, {} });
    row ("Chain/Heaviest", { false, tessaro::test::heaviestSettings() });
    row ("Chain/AllModulesOff", { false, allModulesOff() });
    auto bypassed = tessaro::test::heaviestSettings();
    bypassed.push_back ({ "paramBypass", 1.0f });
    row ("Chain/BypassAtHeaviest", { false, bypassed });

    for (int type = 1; type <= 4; ++type)
        row (std::string ("Chain/Reverb") + reverbTypes[type - 1], { false, reverbAtHalf (type) });

    for (size_t m = 0; m < std::size (moduleNames); ++m)
        for (const bool busiest : { false, true })
            row (std::string ("Module/") + moduleNames[m] + (busiest ? "/Busiest" : "/Default"),
                 { false, onlyModule (m, busiest) });

    const auto memory = [] (const std::string& name, Setup setup)
    {
        for (const double rate : { 48000.0, 192000.0 })
            benchmark::RegisterBenchmark ((name + "/" + std::to_string ((int) rate)).c_str(),
                                          [setup, rate] (benchmark::State& state)
                                          { instanceMemory (state, setup, rate); })
                ->Iterations (1);
    };
    memory ("Memory/Defaults", {});
    memory ("Memory/FactoryStart", { true, {} });
    memory ("Memory/Heaviest", { false, tessaro::test::heaviestSettings() });
    for (int type = 1; type <= 4; ++type)
        memory (std::string ("Memory/Reverb") + reverbTypes[type - 1], { false, reverbAtHalf (type) });
}

const bool registered = (registerRows(), true);
} // namespace
