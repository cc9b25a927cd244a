#include "core/PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace
{
/** One host block through the whole processor at the default settings. */
void processBlock (benchmark::State& state, bool hostBypass)
{
    juce::ScopedJuceInitialiser_GUI juce;
    OrvaneTessaroAudioProcessor processor;
    const int blockSize = (int) state.range (0);
    processor.prepareToPlay (48000.0, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            buffer.setSample (ch, i, 0.25f * std::sin (0.03f * (float) (i + ch)));
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        if (hostBypass)
            processor.processBlockBypassed (buffer, midi);
        else
            processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    state.SetItemsProcessed (state.iterations() * blockSize);
}

void BM_ProcessBlock (benchmark::State& state)
{
    processBlock (state, false);
}
void BM_ProcessBlockBypassed (benchmark::State& state)
{
    processBlock (state, true);
}
} // namespace

BENCHMARK (BM_ProcessBlock)->Arg (64)->Arg (512);
BENCHMARK (BM_ProcessBlockBypassed)->Arg (512);
