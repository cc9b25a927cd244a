// The chain of open-source Debian LV2 plug-ins a user would otherwise put on a vocal track, hosted in this
// process through JUCE's LV2 hosting and timed exactly as the whole plug-in's rows (BlockTiming.h):
// LSP Compressor Stereo, Calf Deesser, LSP Parametric Equalizer x16 Stereo, Calf Multi Chorus, a Dragonfly
// reverb (Plate, or Hall for the heaviest comparison), Calf Vintage Delay and x42 dpl limiter, each at its
// own defaults. The packages are lsp-plugins-lv2, calf-plugins, dragonfly-reverb-lv2 and x42-plugins
// (tools/setup.sh); a row whose plug-ins are not all installed is skipped.
//
// PeerChainMemory: the resident-set growth per chain over 16 prepared chains.
#include "BlockTiming.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
const char* const compressor = "http://lsp-plug.in/plugins/lv2/compressor_stereo";
const char* const deEsser = "http://calf.sourceforge.net/plugins/Deesser";
const char* const equaliser = "http://lsp-plug.in/plugins/lv2/para_equalizer_x16_stereo";
const char* const chorus = "http://calf.sourceforge.net/plugins/MultiChorus";
const char* const plate = "urn:dragonfly:plate";
const char* const hall = "https://github.com/michaelwillis/dragonfly-reverb";
const char* const delay = "http://calf.sourceforge.net/plugins/VintageDelay";
const char* const limiter = "http://gareus.org/oss/lv2/dpl#stereo";

/** The plug-ins of one chain, prepared for stereo at one block size, run one after the other. */
class PeerChain
{
public:
    /** Loads every plug-in; `missing` names the first that could not be loaded. */
    PeerChain (juce::LV2PluginFormat& format, const std::vector<const char*>& uris, int blockSize)
    {
        for (auto* uri : uris)
        {
            juce::OwnedArray<juce::PluginDescription> found;
            format.findAllTypesForFile (found, uri);
            juce::String error;
            auto instance = found.isEmpty() ? nullptr
                                            : format.createInstanceFromDescription (*found[0], bench_timing::sampleRate,
                                                                                    blockSize, error);
            if (instance == nullptr)
            {
                missing = uri;
                return;
            }
            instance->enableAllBuses();
            instance->prepareToPlay (bench_timing::sampleRate, blockSize);
            channels =
                std::max ({ channels, instance->getTotalNumInputChannels(), instance->getTotalNumOutputChannels() });
            plugins.push_back (std::move (instance));
        }
        work.setSize (channels, blockSize);
    }

    ~PeerChain()
    {
        for (auto& plugin : plugins)
            plugin->releaseResources();
    }

    /** The block through every plug-in in turn, in place (the first two channels). */
    void process (juce::AudioBuffer<float>& block)
    {
        const int n = block.getNumSamples();
        work.clear();
        for (int ch = 0; ch < 2; ++ch)
            work.copyFrom (ch, 0, block, ch, 0, n);
        for (auto& plugin : plugins)
        {
            juce::AudioBuffer<float> view (
                work.getArrayOfWritePointers(),
                std::max (plugin->getTotalNumInputChannels(), plugin->getTotalNumOutputChannels()), n);
            plugin->processBlock (view, midi);
        }
        for (int ch = 0; ch < 2; ++ch)
            block.copyFrom (ch, 0, work, ch, 0, n);
    }

    juce::String missing;

private:
    std::vector<std::unique_ptr<juce::AudioPluginInstance>> plugins;
    juce::AudioBuffer<float> work;
    juce::MidiBuffer midi;
    int channels = 2;
};

std::vector<const char*> chainWith (const char* reverb)
{
    return { compressor, deEsser, equaliser, chorus, reverb, delay, limiter };
}

void peerChain (benchmark::State& state, const char* reverb)
{
    juce::ScopedJuceInitialiser_GUI juce;
    juce::LV2PluginFormat format;
    PeerChain chain (format, chainWith (reverb), (int) state.range (0));
    if (chain.missing.isNotEmpty())
    {
        state.SkipWithError (("not installed: " + chain.missing).toRawUTF8());
        return;
    }
    bench_timing::timeBlocks (state, [&] (juce::AudioBuffer<float>& block) { chain.process (block); });
}

void BM_PeerChainPlate (benchmark::State& state)
{
    peerChain (state, plate);
}
void BM_PeerChainHall (benchmark::State& state)
{
    peerChain (state, hall);
}

void BM_PeerChainMemory (benchmark::State& state)
{
    constexpr int chains = 16;
    juce::ScopedJuceInitialiser_GUI juce;
    juce::LV2PluginFormat format;
    PeerChain (format, chainWith (hall), 512); // the libraries load once per process
    double perChain = 0.0;
    for (auto _ : state)
    {
        std::vector<std::unique_ptr<PeerChain>> held;
        const double before = bench_timing::residentBytes();
        for (int i = 0; i < chains; ++i)
        {
            held.push_back (std::make_unique<PeerChain> (format, chainWith (hall), 512));
            juce::AudioBuffer<float> block (2, 512);
            for (int b = 0; b < 94; ++b)
            {
                block.copyFrom (0, 0, bench_timing::voice(), 0, b * 512, 512);
                block.copyFrom (1, 0, bench_timing::voice(), 1, b * 512, 512);
                held.back()->process (block);
            }
        }
        perChain = (bench_timing::residentBytes() - before) / chains;
    }
    state.counters["MiB_per_chain"] = perChain / (1024.0 * 1024.0);
}
} // namespace

BENCHMARK (BM_PeerChainPlate)->Arg (512)->Arg (64)->MinTime (2.0)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_PeerChainHall)->Arg (512)->Arg (64)->MinTime (2.0)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_PeerChainMemory)->Iterations (1);
