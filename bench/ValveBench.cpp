#include "dsp/saturation/ClassAValve.h"
#include "dsp/saturation/ClassBValvePair.h"

#include "BenchSignals.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int benchBlockSize = 512;

juce::AudioBuffer<float> toneBuffer()
{
    juce::AudioBuffer<float> buffer (2, benchBlockSize);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < benchBlockSize; ++i)
            buffer.setSample (channel, i, 0.8f * std::sin (0.05f * (float) i + (float) channel));
    return buffer;
}

template <typename Block> void runStereo (benchmark::State& state, Block& block)
{
    bench_signals::runInPlace (state, block, toneBuffer());
}

/** Range 0: the default stage; 1: symmetric clipping. */
void BM_ClassAValve (benchmark::State& state)
{
    QEL::ClassAValve stage;
    auto p = stage.parameters;
    p.asymmetricClip = state.range (0) == 0;
    p.dcShiftAmount = 1.0;
    stage.setParameters (p);
    stage.prepare ({ 48000.0, (juce::uint32) benchBlockSize, 2 });
    runStereo (state, stage);
}

/** Range 0: Pirkle waveshapers; 1: Poletti waveshapers. */
void BM_ClassBValvePair (benchmark::State& state)
{
    QEL::ClassBValvePair pair;
    QEL::ClassBValveParameters p;
    p.waveshaper = (std::uint32_t) state.range (0);
    p.inputGain = 1.0;
    p.outputGain = 0.8;
    pair.setParameters (p);
    pair.prepare ({ 48000.0, (juce::uint32) benchBlockSize, 2 });
    runStereo (state, pair);
}
} // namespace

BENCHMARK (BM_ClassAValve)->Arg (0)->Arg (1);
BENCHMARK (BM_ClassBValvePair)->Arg (0)->Arg (1);
