#include "dsp/reverb/ModulatedDelay.h"

#include "dsp/reverb/FastSin.h"
#include "dsp/reverb/ModulationStep.h"
#include "dsp/reverb/PhaseSeed.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace CloudSeed
{
ModulatedDelay::ModulatedDelay (int newLength, int newSampleDelay, std::uint32_t phaseSeed)
    : delayBuffer ((std::size_t) std::max (newLength, 2), 0.0), output (4096, 0.0), sampleDelay (newSampleDelay),
      length (std::max (newLength, 2))
{
    FastSin::fill();
    modPhase = (double) phaseRandom (phaseSeed) / phaseRandomMax * 0.98 + 0.01;
    Update();
    startPhase = modPhase;
    startDelay = delayA;
}

void ModulatedDelay::Update() noexcept
{
    advancePhase (modPhase, updateRate * modRate.load (std::memory_order_relaxed));
    const float depth = stepDepth (modAmount, modAmountTarget.load (std::memory_order_relaxed), lastTarget);
    const double s = FastSin::Get (modPhase);
    const double d = sampleDelay.load (std::memory_order_relaxed) + s * depth;

    delayA = (int) d;
    const double f = d - delayA;
    gainA = 1.0 - f;
    gainB = f;
    setReadIndices();
    samplesProcessed = 0;
}

void ModulatedDelay::setReadIndices() noexcept
{
    // A delay beyond the store would read outside it: hold it inside instead.
    const int a = std::clamp (delayA, 0, length - 2);
    readIndexA = writeIndex - a;
    readIndexB = writeIndex - a - 1;
    if (readIndexA < 0)
        readIndexA += length;
    if (readIndexB < 0)
        readIndexB += length;
}

void ModulatedDelay::Process (const double* input, int n) noexcept
{
    // Between two modulation updates the read positions move in step with the write position, so the
    // block runs in segments that end where the next update is due.
    for (int i = 0; i < n;)
    {
        if (samplesProcessed == updateRate)
            Update();

        const int count = samplesProcessed < updateRate ? std::min (n - i, updateRate - samplesProcessed) : n - i;
        if (! runSegment (input + i, output.data() + i, count))
            runSegmentWrapping (input + i, output.data() + i, count);

        i += count;
        samplesProcessed += count;
    }
}

namespace
{
    // The interpolated read over a segment: out = b gainB + a gainA. Count is an int, or a compile-time
    // constant for the full segment, which the compiler then unrolls.
    template <typename Count>
    void readRun (const double* __restrict a, const double* __restrict b, double* __restrict out, Count count,
                  double gainA, double gainB) noexcept
    {
        for (int k = 0; k < count; ++k)
            out[k] = b[k] * gainB + a[k] * gainA;
    }
} // namespace

bool ModulatedDelay::runSegment (const double* input, double* out, int count) noexcept
{
    // Only when no read reaches a place the segment writes after it and no position wraps: the segment's
    // input is then stored first and read in one pass.
    int distance = writeIndex - readIndexA;
    if (distance < 0)
        distance += length;

    if (distance + 1 + count > length || writeIndex + count > length || readIndexA + count > length ||
        readIndexB + count > length)
        return false;

    std::copy (input, input + count, delayBuffer.data() + writeIndex);
    const double* a = delayBuffer.data() + readIndexA;
    const double* b = delayBuffer.data() + readIndexB;
    if (count == 8)
        readRun (a, b, out, std::integral_constant<int, 8>(), gainA, gainB);
    else
        readRun (a, b, out, count, gainA, gainB);

    for (int* position : { &writeIndex, &readIndexA, &readIndexB })
    {
        *position += count;
        if (*position >= length)
            *position = 0;
    }
    return true;
}

void ModulatedDelay::runSegmentWrapping (const double* input, double* out, int count) noexcept
{
    for (int k = 0; k < count; ++k)
    {
        delayBuffer[(std::size_t) writeIndex] = input[k];
        out[k] = delayBuffer[(std::size_t) readIndexB] * gainB + delayBuffer[(std::size_t) readIndexA] * gainA;

        if (++writeIndex >= length)
            writeIndex = 0;
        if (++readIndexA >= length)
            readIndexA = 0;
        if (++readIndexB >= length)
            readIndexB = 0;
    }
}

void ModulatedDelay::listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const
{
    // The writes; the reads until the next update, at the current positions; and the reads after it, which the
    // modulation keeps within its depth of the delay.
    const float depth = std::max ({ std::abs (modAmount.getCurrentValue()), std::abs (modAmount.getTargetValue()),
                                    std::abs (modAmountTarget.load()) });
    const int reach = (int) std::ceil (depth);
    set.addRing (delayBuffer, writeIndex, samples);
    set.addRing (delayBuffer, readIndexB, std::min (samples, updateRate) + 1);
    set.addRing (delayBuffer, (long) writeIndex - sampleDelay.load() - reach - 1, (long) samples + 2 * reach + 2);
    set.add (output, (std::size_t) blockSize);
}

void ModulatedDelay::SetBufferSize (int blockSize)
{
    output.assign ((std::size_t) std::max (blockSize, 1), 0.0);
}

void ModulatedDelay::SetLength (int newLength)
{
    newLength = std::max (newLength, 2);
    if (newLength == length)
        return;

    length = newLength;
    delayBuffer.assign ((std::size_t) length, 0.0);
    writeIndex = 0;
    setReadIndices();
}

void ModulatedDelay::Restart() noexcept
{
    ClearBuffers();
    writeIndex = 0;
    modPhase = startPhase;
    modAmount.setCurrentAndTargetValue (preparedModAmount);
    lastTarget = std::numeric_limits<float>::quiet_NaN();
    delayA = startDelay;
    gainA = 1.0;
    gainB = 0.0;
    setReadIndices();
    samplesProcessed = 0;
}

void ModulatedDelay::ClearBuffers() noexcept
{
    std::fill (delayBuffer.begin(), delayBuffer.end(), 0.0);
    std::fill (output.begin(), output.end(), 0.0);
}
} // namespace CloudSeed
