#include "dsp/utility/GainProcessor.h"
#include "dsp/utility/MixProcessor.h"
#include "dsp/filters/MultiFilter.h"
#include "dsp/utility/QELBitcrusherProcessor.h"
#include "dsp/utility/QELLoFiProcessor.h"
#include "dsp/filters/SVCutFilterProcessor.h"

#include "BenchSignals.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int blockSize = 512;
constexpr int channels = 2;
constexpr double rate = 48000.0;

juce::AudioBuffer<float> noiseBlock()
{
    return bench_signals::noise (channels, blockSize, 0.5f, 99);
}

template <typename Block> void prepareBlock (Block& block)
{
    block.prepare ({ rate, (juce::uint32) blockSize, (juce::uint32) channels });
}

template <typename Block> void runBlock (benchmark::State& state, Block& block)
{
    bench_signals::runInPlace (state, block, noiseBlock());
}

void BM_GainRamping (benchmark::State& state)
{
    QEL::GainProcessor gain;
    gain.rampSeconds = 1000.0f; // never arrives, so every block ramps
    prepareBlock (gain);
    gain.setGainDb (-6.0f);
    runBlock (state, gain);
}

void BM_MixRamping (benchmark::State& state)
{
    QEL::MixProcessor mix;
    mix.rampSeconds = 1000.0f;
    prepareBlock (mix);
    mix.setMix (0.5f);
    runBlock (state, mix);
}

void BM_LoFi (benchmark::State& state)
{
    juce::QELLoFiProcessor lofi;
    lofi.mode = (int) state.range (0);
    prepareBlock (lofi);
    runBlock (state, lofi);
}

void BM_Bitcrusher (benchmark::State& state)
{
    juce::QELBitcrusherProcessor crusher;
    crusher.bitDepth = 8.0f;
    crusher.downsampleFactor = 4;
    crusher.crushMix = 0.7f;
    prepareBlock (crusher);
    runBlock (state, crusher);
}

void BM_SVCutPair (benchmark::State& state)
{
    QEL::SVCutFilterProcessor<float> pair;
    pair.setHighPassCutoff (200.0f);
    pair.setLowPassCutoff (8000.0f);
    prepareBlock (pair);
    runBlock (state, pair);
}

void BM_MultiFilter (benchmark::State& state)
{
    juce::MultiFilter multi;
    multi.setFilterType ((int) state.range (0));
    auto buffer = noiseBlock();
    auto* data = buffer.getArrayOfWritePointers();
    const float sampleTime = (float) (1.0 / rate);

    for (auto _ : state)
    {
        for (int i = 0; i < blockSize; ++i)
            multi.Process (sampleTime, data[0][i], data[1][i], 0.3f, false);
        benchmark::DoNotOptimize (data[0][0]);
        benchmark::ClobberMemory();
    }
    bench_signals::reportPerSample (state, blockSize);
}
} // namespace

BENCHMARK (BM_GainRamping);
BENCHMARK (BM_MixRamping);
BENCHMARK (BM_LoFi)->Arg (0)->Arg (1)->Arg (2);
BENCHMARK (BM_Bitcrusher);
BENCHMARK (BM_SVCutPair);
BENCHMARK (BM_MultiFilter)->Arg (0)->Arg (1)->Arg (2)->Arg (3);
