#include "dsp/dynamics/QELCompressor.h"
#include "dsp/dynamics/QELGate.h"

#include "BenchSignals.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
constexpr int benchBlockSize = 512;

std::vector<float> noise (int seed)
{
    juce::Random random (seed);
    std::vector<float> samples (benchBlockSize);
    for (auto& sample : samples)
        sample = random.nextFloat() - 0.5f;
    return samples;
}

template <typename Dynamics> void runStereo (benchmark::State& state, Dynamics& dynamics)
{
    const auto left = noise (1), right = noise (2);
    auto l = left, r = right;

    for (auto _ : state)
    {
        for (int i = 0; i < benchBlockSize; ++i)
        {
            l[(size_t) i] = left[(size_t) i];
            r[(size_t) i] = right[(size_t) i];
            dynamics.processSingleSampleStereo (l[(size_t) i], r[(size_t) i]);
        }
        benchmark::DoNotOptimize (l.data());
        benchmark::DoNotOptimize (r.data());
    }
    bench_signals::reportPerSample (state, benchBlockSize);
}

void BM_QELCompressorStereo (benchmark::State& state)
{
    juce::QELCompressor compressor;
    compressor.setSampleRate (48000.0);
    compressor.setThresh (-20.0f);
    compressor.setRatio (0.25f);
    compressor.knee = 6.0f;
    compressor.autoMakeup = true;
    runStereo (state, compressor);
}

void BM_QELCompressorStereoKeyFilters (benchmark::State& state)
{
    juce::QELCompressor compressor;
    compressor.setSampleRate (48000.0);
    compressor.setThresh (-20.0f);
    compressor.setRatio (0.25f);
    compressor.setSCHP (4000.0f);
    compressor.setSCLP (12000.0f);
    runStereo (state, compressor);
}

void BM_QELGateStereo (benchmark::State& state)
{
    juce::QELGate gate;
    gate.setSampleRate (48000.0);
    gate.setThresh (-30.0f);
    gate.ratio = 0.1f;
    runStereo (state, gate);
}

void BM_QELGateRmsStereo (benchmark::State& state)
{
    juce::QELGateRms gate;
    gate.setSampleRate (48000.0);
    gate.setThresh (-30.0f);
    gate.ratio = 0.1f;
    runStereo (state, gate);
}
} // namespace

BENCHMARK (BM_QELCompressorStereo);
BENCHMARK (BM_QELCompressorStereoKeyFilters);
BENCHMARK (BM_QELGateStereo);
BENCHMARK (BM_QELGateRmsStereo);
