#include "dsp/reverb/ModulatedAllpass.h"

#include "dsp/reverb/FastSin.h"
#include "dsp/reverb/PhaseSeed.h"

#include <algorithm>
#include <cmath>

namespace CloudSeed
{
ModulatedAllpass::ModulatedAllpass (std::uint32_t phaseSeed)
    : delayBuffer ((std::size_t) bufferLength, 0.0), output (6615, 0.0)
{
    FastSin::fill();
    modPhase = (double) phaseRandom (phaseSeed) * 0.98 / phaseRandomMax + 0.01;
    if (modPhase > 1.0)
        modPhase = std::fmod (modPhase, 1.0);
    startPhase = modPhase;
    update (startDelay, 0.0f);
}

void ModulatedAllpass::Restart() noexcept
{
    ClearBuffers();
    index = bufferLength - 1;
    modPhase = startPhase;
    modAmount.setCurrentAndTargetValue (preparedModAmount);
    update (startDelay, 0.0f);
}

void ModulatedAllpass::update (int delaySamples, float depth) noexcept
{
    const double s = FastSin::Get (modPhase);
    double m = depth;
    if (m >= delaySamples)
        m = delaySamples - 1;

    double d = delaySamples + s * m;
    if (d <= 0.0)
        d = 1.0;

    // A delay beyond the store would read outside it: hold it inside instead.
    delayA = std::min ((int) d, bufferLength - 2);
    delayB = delayA + 1;
    const double f = d - (int) d;
    gainA = 1.0 - f;
    gainB = f;
    samplesProcessed = 0;
}

void ModulatedAllpass::ProcessWithMod (const double* input, int n) noexcept
{
    const double g = feedback.load (std::memory_order_relaxed);
    const bool interpolate = interpolationEnabled.load (std::memory_order_relaxed);

    for (int i = 0; i < n; ++i)
    {
        if (samplesProcessed >= 8)
        {
            modPhase += 8.0 * modRate.load (std::memory_order_relaxed);
            if (modPhase > 1.0)
                modPhase = std::fmod (modPhase, 1.0);
            modAmount.setTargetValue (modAmountTarget.load (std::memory_order_relaxed));
            update (sampleDelay.load (std::memory_order_relaxed), modAmount.getNextValue());
        }

        int readA = index - delayA;
        if (readA < 0)
            readA += bufferLength;

        double v;
        if (interpolate)
        {
            int readB = index - delayB;
            if (readB < 0)
                readB += bufferLength;
            v = delayBuffer[(std::size_t) readA] * gainA + delayBuffer[(std::size_t) readB] * gainB;
        }
        else
        {
            v = delayBuffer[(std::size_t) readA];
        }

        const double w = g * v + input[i];
        delayBuffer[(std::size_t) index] = w;
        output[(std::size_t) i] = v - w * g;

        if (++index >= bufferLength)
            index = 0;
        ++samplesProcessed;
    }
}

void ModulatedAllpass::SetBufferSize (int blockSize)
{
    bufferSize = blockSize;
    output.assign ((std::size_t) std::max (blockSize, 1), 0.0);
}

void ModulatedAllpass::ClearBuffers() noexcept
{
    std::fill (delayBuffer.begin(), delayBuffer.end(), 0.0);
    std::fill (output.begin(), output.end(), 0.0);
}
} // namespace CloudSeed
