#include "dsp/filters/AudioFilter.h"
#include "dsp/filters/BiquadFilter.h"
#include "dsp/utility/TimeDelay.h"
#include "dsp/filters/ZVAFilter.h"
#include "dsp/eq/eq.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
constexpr int benchBlockSize = 512;

std::vector<float> noiseBlock()
{
    juce::Random random (99);
    std::vector<float> block (benchBlockSize);
    for (auto& x : block)
        x = random.nextFloat() * 2.0f - 1.0f;
    return block;
}

void BM_AudioFilterBlock (benchmark::State& state)
{
    QEL::AudioFilter filter;
    filter.algorithm = 16;
    filter.fc = 2500.0;
    filter.Q = 1.5;
    filter.boostCutDb = 6.0;
    filter.prepare ({ 48000.0, (juce::uint32) benchBlockSize, 1 });
    auto block = noiseBlock();
    float* channel = block.data();

    for (auto _ : state)
    {
        filter.process (&channel, &channel, benchBlockSize, 1, 1);
        benchmark::DoNotOptimize (block[0]);
    }
    state.SetItemsProcessed (state.iterations() * benchBlockSize);
}

void BM_ZVAFilterSample (benchmark::State& state)
{
    QEL::ZVAFilter filter;
    filter.prepareToPlay (48000.0, benchBlockSize);
    QEL::ZVAFilterParameters p;
    p.fc = 5.0;
    p.nonlinear = state.range (0) != 0;
    filter.setParameters (p);
    const auto block = noiseBlock();

    for (auto _ : state)
    {
        double sum = 0.0;
        for (float x : block)
            sum += filter.processAudioSample (x);
        benchmark::DoNotOptimize (sum);
    }
    state.SetItemsProcessed (state.iterations() * benchBlockSize);
}

void BM_FrutBiquadSample (benchmark::State& state)
{
    juce::frut::dsp::BiquadFilter filter (2);
    filter.setCoefficients (0.99, -1.98, 0.99, -1.97, 0.97);
    const auto block = noiseBlock();

    for (auto _ : state)
    {
        double sum = 0.0;
        for (float x : block)
            sum += filter.processSample (0, x) + filter.processSample (1, x);
        benchmark::DoNotOptimize (sum);
    }
    state.SetItemsProcessed (state.iterations() * benchBlockSize * 2);
}

void BM_TimeDelayStep (benchmark::State& state)
{
    TimeDelay delay;
    delay.delaySamples = 374;
    const auto block = noiseBlock();

    for (auto _ : state)
    {
        float sum = 0.0f;
        for (float x : block)
            sum += delay.step (x);
        benchmark::DoNotOptimize (sum);
    }
    state.SetItemsProcessed (state.iterations() * benchBlockSize);
}

void BM_ShelfDesign (benchmark::State& state)
{
    eq shelves;
    float gain = -15.0f;
    for (auto _ : state)
    {
        shelves.calclo (0.004f, gain, 0.707f);
        shelves.calchi (0.15f, gain, 0.707f);
        gain = gain > 15.0f ? -15.0f : gain + 0.5f;
        benchmark::DoNotOptimize (shelves.lowShelf[0]);
    }
}
} // namespace

BENCHMARK (BM_AudioFilterBlock);
BENCHMARK (BM_ZVAFilterSample)->Arg (0)->Arg (1);
BENCHMARK (BM_FrutBiquadSample);
BENCHMARK (BM_TimeDelayStep);
BENCHMARK (BM_ShelfDesign);
