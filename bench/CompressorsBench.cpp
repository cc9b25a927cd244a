#include "dsp/dynamics/GainReductionProcessor.h"
#include "dsp/dynamics/KestraneCL1BProcessor.h"
#include "dsp/dynamics/LookAheadCompressorProcessor.h"

#include "BenchSignals.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int benchBlockSize = 512;
constexpr int benchChannels = 2;

/** Runs loud noise (peaks to +6 dBFS) through the block; time_per_sample is one stereo sample. */
void runBlock (benchmark::State& state, juce::QELProcessorBase& block)
{
    block.prepare ({ 48000.0, (juce::uint32) benchBlockSize, (juce::uint32) benchChannels });
    bench_signals::runInPlace (state, block, bench_signals::noise (benchChannels, benchBlockSize, 2.0f, 42));
}

void BM_LookAheadLimiter (benchmark::State& state)
{
    QEL::LookAheadCompressorProcessor limiter;
    runBlock (state, limiter);
}

void BM_SlayCompressor (benchmark::State& state)
{
    GainReductionProcessor slay;
    slay.compressor.setSlay (60.0f);
    slay.autoGain = true;
    runBlock (state, slay);
}

void BM_CharacterCompressor (benchmark::State& state)
{
    KestraneCL1BProcessor compressor;
    compressor.mode = 3;
    compressor.initCompressor();
    compressor.setAmount (70.0f);
    compressor.autoMakeup = true;
    runBlock (state, compressor);
}
} // namespace

BENCHMARK (BM_LookAheadLimiter);
BENCHMARK (BM_CharacterCompressor);
BENCHMARK (BM_SlayCompressor);
