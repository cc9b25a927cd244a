#include "dsp/eq/StereoFilterProcessor_V3.h"

#include "BenchSignals.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr int benchBlockSize = 512;

QEL::FilterData peakBand (float hz, bool dynamic)
{
    QEL::FilterData d;
    d.type = 2;
    d.frequency = hz;
    d.gain = 2.0f;
    d.q = 1.0f;
    d.dynamic = dynamic;
    d.threshold = -30.0f;
    return d;
}

/** Range 0: a steady band; 1: a band whose frequency glides all the time; 2: a dynamic band. */
void BM_EqBand (benchmark::State& state)
{
    const int scenario = (int) state.range (0);
    QEL::StereoFilterProcessor_V3 band;
    band.rampSeconds = 0.01f;
    band.setFilterData (peakBand (1000.0f, scenario == 2));
    band.prepare ({ 48000.0, (juce::uint32) benchBlockSize, 2 });
    auto buffer = bench_signals::noise (2, benchBlockSize, 0.25f, 7);
    const auto source = buffer;
    auto* channels = buffer.getArrayOfWritePointers();
    bool high = false;

    for (auto _ : state)
    {
        if (scenario == 1)
            band.setFilterData (peakBand ((high = ! high) ? 2000.0f : 1000.0f, false));
        buffer.makeCopyOf (source, true);
        band.process (channels, channels, benchBlockSize, 2, 2);
        benchmark::DoNotOptimize (channels[0][0]);
    }
    bench_signals::reportPerSample (state, benchBlockSize);
}
} // namespace

BENCHMARK (BM_EqBand)->Arg (0)->Arg (1)->Arg (2);
