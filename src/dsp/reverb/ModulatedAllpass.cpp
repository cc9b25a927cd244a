#include "dsp/reverb/ModulatedAllpass.h"

#include "dsp/reverb/FastSin.h"
#include "dsp/reverb/ModulationStep.h"
#include "dsp/reverb/PhaseSeed.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

// The block loop is also built for AVX and picked at load time where the processor has it: the same
// operations in the same order on wider vectors (no fused multiply-add), so the same samples.
#if defined(__GNUC__) && defined(__x86_64__)
#define CLOUDSEED_VECTOR_CLONES [[gnu::target_clones ("avx", "default")]]
#else
#define CLOUDSEED_VECTOR_CLONES
#endif

namespace CloudSeed
{
namespace
{
    // The all-pass over a segment whose reads (a, and b when interpolating) do not overlap its writes:
    // v = a gainA + b gainB, stores w = g v + x and puts out v - w g. Count is an int, or a compile-time
    // constant for the full segment, which the compiler then unrolls.
    template <typename Count>
    [[gnu::always_inline]] inline void allpassSegment (const double* __restrict a, const double* __restrict b,
                                                       const double* __restrict x, double* __restrict store,
                                                       double* __restrict out, Count count, double gainA, double gainB,
                                                       double g, bool interpolate) noexcept
    {
        double v[ModulatedAllpass::updateInterval];
        if (interpolate)
            for (int k = 0; k < count; ++k)
                v[k] = a[k] * gainA + b[k] * gainB;
        else
            for (int k = 0; k < count; ++k)
                v[k] = a[k];

        for (int k = 0; k < count; ++k)
        {
            const double w = g * v[k] + x[k];
            store[k] = w;
            out[k] = v[k] - w * g;
        }
    }
} // namespace

ModulatedAllpass::ModulatedAllpass (std::uint32_t phaseSeed, int longestDelay)
    : bufferLength (std::max (longestDelay, startDelay) + 2), delayBuffer ((std::size_t) bufferLength, 0.0),
      output (512, 0.0), index (bufferLength - 1)
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
    lastTarget = std::numeric_limits<float>::quiet_NaN();
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
    processBlock (input, n, feedback.load (std::memory_order_relaxed),
                  interpolationEnabled.load (std::memory_order_relaxed));
}

CLOUDSEED_VECTOR_CLONES
void ModulatedAllpass::processBlock (const double* input, int n, double g, bool interpolate) noexcept
{
    if (interpolate)
        processSegments<true> (input, n, g);
    else
        processSegments<false> (input, n, g);
}

template <bool interpolate> void ModulatedAllpass::processSegments (const double* input, int n, double g) noexcept
{
    // Between two modulation updates the read positions move in step with the write position, so the
    // block runs in segments that end where the next update is due.
    double* out = output.data();
    // (A store shorter than two segments and one sample always takes the general path.)
    if (samplesProcessed >= updateInterval && n % updateInterval == 0 && index + n <= bufferLength &&
        bufferLength > 2 * updateInterval)
    {
        runAligned<interpolate> (input, out, n, g);
        return;
    }

    for (int i = 0; i < n;)
    {
        if (samplesProcessed >= updateInterval)
            advanceModulation();

        const int count = std::min (n - i, updateInterval - samplesProcessed);
        if (! runSegment<interpolate> (input + i, out + i, count, g))
            runSegmentWrapping (input + i, out + i, count, g, interpolate);

        i += count;
        samplesProcessed += count;
    }
}

template <bool interpolate>
void ModulatedAllpass::runAligned (const double* input, double* out, int n, double g) noexcept
{
    // Every segment starts with an update and no write wraps inside the block, so a segment runs as one pass
    // unless its delay is shorter than the segment or its reads wrap inside it.
    double* store = delayBuffer.data();
    for (int i = 0; i < n; i += updateInterval)
    {
        advanceModulation();
        int readA = index - delayA;
        if (readA < 0)
            readA += bufferLength;

        // The delay at least one segment and at most the store less one segment, and both taps' reads
        // contiguous: no read then sees a write of its own segment.
        const bool delayFits =
            (unsigned) (delayA - updateInterval) <= (unsigned) (bufferLength - 2 * updateInterval - 1);
        const bool readsFit = (unsigned) (readA - 1) <= (unsigned) (bufferLength - updateInterval - 1);
        if (delayFits && readsFit)
        {
            const double* a = store + readA;
            allpassSegment (a, a - 1, input + i, store + index, out + i, std::integral_constant<int, updateInterval>(),
                            gainA, gainB, g, interpolate);
            index += updateInterval;
        }
        else
        {
            runSegmentWrapping (input + i, out + i, updateInterval, g, interpolate);
        }
        samplesProcessed = updateInterval;
    }

    if (index >= bufferLength)
        index = 0;
}

void ModulatedAllpass::advanceModulation() noexcept
{
    advancePhase (modPhase, 8.0 * modRate.load (std::memory_order_relaxed));
    const float depth = stepDepth (modAmount, modAmountTarget.load (std::memory_order_relaxed), lastTarget);
    update (sampleDelay.load (std::memory_order_relaxed), depth);
}

template <bool interpolate>
bool ModulatedAllpass::runSegment (const double* input, double* out, int count, double g) noexcept
{
    // Only when no read sees one of the segment's own writes and no position wraps: the reads then come
    // first, as one pass over contiguous samples.
    int readA = index - delayA;
    if (readA < 0)
        readA += bufferLength;
    int readB = index - delayB;
    if (readB < 0)
        readB += bufferLength;

    const int lastRead = interpolate ? std::max (readA, readB) : readA;
    if (delayA < count || delayB + count > bufferLength || index + count > bufferLength ||
        lastRead + count > bufferLength)
        return false;

    const double* a = delayBuffer.data() + readA;
    const double* b = delayBuffer.data() + readB;
    double* store = delayBuffer.data() + index;
    if (count == updateInterval)
        allpassSegment (a, b, input, store, out, std::integral_constant<int, updateInterval>(), gainA, gainB, g,
                        interpolate);
    else
        allpassSegment (a, b, input, store, out, count, gainA, gainB, g, interpolate);

    index += count;
    if (index >= bufferLength)
        index = 0;
    return true;
}

void ModulatedAllpass::runSegmentWrapping (const double* input, double* out, int count, double g,
                                           bool interpolate) noexcept
{
    for (int k = 0; k < count; ++k)
    {
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

        const double w = g * v + input[k];
        delayBuffer[(std::size_t) index] = w;
        out[k] = v - w * g;

        if (++index >= bufferLength)
            index = 0;
    }
}

void ModulatedAllpass::listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const
{
    // The writes; the reads until the next update, at the current delay; and the reads after it, which the
    // modulation keeps within its depth (at most the delay less one) of the delay.
    const int delay = sampleDelay.load();
    const float depth = std::max ({ std::abs (modAmount.getCurrentValue()), std::abs (modAmount.getTargetValue()),
                                    std::abs (modAmountTarget.load()) });
    const int reach = std::min ((int) std::ceil (depth), std::max (delay - 1, 0));
    set.add (this, sizeof (*this));
    set.addRing (delayBuffer, index, samples);
    set.addRing (delayBuffer, (long) index - delayB, std::min (samples, updateInterval) + 1);
    set.addRing (delayBuffer, (long) index - delay - reach - 1, (long) samples + 2 * reach + 2);
    set.add (output, (std::size_t) blockSize);
}

void ModulatedAllpass::SetBufferSize (int blockSize)
{
    bufferSize = blockSize;
    output.assign ((std::size_t) std::max (blockSize, 1), 0.0);
}

void ModulatedAllpass::SetLongestDelay (int longestDelay)
{
    const int length = std::max (longestDelay, startDelay) + 2;
    if (length == bufferLength)
        return;

    bufferLength = length;
    delayBuffer.assign ((std::size_t) bufferLength, 0.0);
    index = bufferLength - 1;
    delayA = std::min (delayA, bufferLength - 2);
    delayB = delayA + 1;
}

void ModulatedAllpass::ClearBuffers() noexcept
{
    std::fill (delayBuffer.begin(), delayBuffer.end(), 0.0);
    std::fill (output.begin(), output.end(), 0.0);
}
} // namespace CloudSeed
