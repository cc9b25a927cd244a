#include "dsp/pitch/StftPitchShift.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace
{
/** One mono stream at 48 kHz, an octave down; range(0) is the block size, range(1) 1 for the envelope. */
void BM_StftPitchShiftOctaveDown (benchmark::State& state)
{
    const auto blockSize = (std::size_t) state.range (0);
    const double quefrency = state.range (1) != 0 ? 0.001 : 0.0;
    stftpitchshift::StftPitchShift shifter (1024, 128, 48000.0);
    std::vector<float> block (blockSize), output (blockSize);

    for (std::size_t i = 0; i < blockSize; ++i)
        block[i] = 0.5f * std::sin (0.13f * (float) i);

    for (auto _ : state)
    {
        shifter.shiftpitch (blockSize, block.data(), output.data(), { 0.5 }, quefrency);
        benchmark::DoNotOptimize (output.data());
    }

    state.SetItemsProcessed (state.iterations() * (int64_t) blockSize);
}
} // namespace

BENCHMARK (BM_StftPitchShiftOctaveDown)->Args ({ 512, 1 })->Args ({ 512, 0 })->Args ({ 64, 1 });
