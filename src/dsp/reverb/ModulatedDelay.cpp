#include "dsp/reverb/ModulatedDelay.h"

#include "dsp/reverb/FastSin.h"
#include "dsp/reverb/PhaseSeed.h"

#include <algorithm>
#include <cmath>

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
    modPhase += updateRate * modRate.load (std::memory_order_relaxed);
    if (modPhase > 1.0)
        modPhase = std::fmod (modPhase, 1.0);

    modAmount.setTargetValue (modAmountTarget.load (std::memory_order_relaxed));
    const double s = FastSin::Get (modPhase);
    const double d = sampleDelay.load (std::memory_order_relaxed) + s * modAmount.getNextValue();

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
    for (int i = 0; i < n; ++i)
    {
        if (samplesProcessed == updateRate)
            Update();

        delayBuffer[(std::size_t) writeIndex] = input[i];
        output[(std::size_t) i] =
            delayBuffer[(std::size_t) readIndexB] * gainB + delayBuffer[(std::size_t) readIndexA] * gainA;

        if (++writeIndex >= length)
            writeIndex = 0;
        if (++readIndexA >= length)
            readIndexA = 0;
        if (++readIndexB >= length)
            readIndexB = 0;
        ++samplesProcessed;
    }
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
