#include "dsp/modulation/ChorusModels.h"
#include "dsp/delay/QELSuperDelayProcessor.h"

#include "BenchSignals.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int blockSize = 512;
constexpr int channels = 2;
constexpr double rate = 48000.0;

/** Runs a prepared block in place on stereo noise; time_per_sample is the cost of one stereo frame. */
template <typename Block> void runBlock (benchmark::State& state, Block& block)
{
    bench_signals::runInPlace (state, block, bench_signals::noise (channels, blockSize, 0.5f, 7));
}

void BM_ChorusModel1 (benchmark::State& state)
{
    juce::QELChorusModel1 chorus;
    chorus.numVoices = (int) state.range (0);
    chorus.prepare ({ rate, (juce::uint32) blockSize, (juce::uint32) channels });
    runBlock (state, chorus);
}

void BM_ChorusV2 (benchmark::State& state)
{
    QEL::Chorus_V2 chorus;
    chorus.numVoices = (int) state.range (0);
    chorus.prepare ({ rate, (juce::uint32) blockSize, (juce::uint32) channels });
    runBlock (state, chorus);
}
/** The super delay as the vocal chain runs it, with one of its four types: 0 Lofi, 1 Tape, 2 Modern, 3 Pong. */
void BM_SuperDelay (benchmark::State& state)
{
    const int type = (int) state.range (0);
    juce::QELSuperDelayProcessor delay;
    delay.dryGain = 0.0f;
    delay.wetGain = 1.0f;
    delay.noteIndex = 9;
    delay.requestedType = type == 3 ? 1 : 0;
    delay.rotationAngle = type == 3 ? 1.5707964f : 0.0f;
    delay.lofiOn = type <= 1;
    delay.lofi.mode = type == 1 ? 2 : 0;
    delay.clipOn = type == 1;
    delay.prepare ({ rate, (juce::uint32) blockSize, (juce::uint32) channels });
    runBlock (state, delay);
}
} // namespace

BENCHMARK (BM_SuperDelay)->Arg (0)->Arg (1)->Arg (2)->Arg (3);
BENCHMARK (BM_ChorusModel1)->Arg (3)->Arg (5);
BENCHMARK (BM_ChorusV2)->Arg (3)->Arg (5);
