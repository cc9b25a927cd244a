#include "dsp/multiplier/VoiceDelayLine.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace QEL
{
VoiceDelayLine::VoiceDelayLine (int maximumDelayInSamples) noexcept
    : totalSize (std::max (4, maximumDelayInSamples + 1))
{
}

void VoiceDelayLine::prepare (int maximumDelayInSamples, int maximumBlockSize)
{
    totalSize = std::max (4, maximumDelayInSamples + 1);
    room = std::max (1, maximumBlockSize);
    // A block written in full must not overwrite the oldest sample its first read still needs.
    ringSize = totalSize + room;
    buffer.assign ((size_t) ringSize, 0.0f);
    writeIndex = 0;
}

void VoiceDelayLine::reset() noexcept
{
    std::fill (buffer.begin(), buffer.end(), 0.0f);
    writeIndex = 0;
}

void VoiceDelayLine::setDelay (float newDelayInSamples) noexcept
{
    delay = std::clamp (newDelayInSamples, 0.0f, (float) getMaximumDelayInSamples());
    delayInt = (int) std::floor (delay);
    delayFrac = delay - (float) delayInt;
}

void VoiceDelayLine::process (const float* in, float* out, int numSamples) noexcept
{
    assert (ringSize > 0);

    for (int start = 0; start < numSamples; start += room)
    {
        const int length = std::min (room, numSamples - start);
        const int first = writeIndex;
        write (in + start, length);
        readSteady (out + start, first, length);
    }
}

void VoiceDelayLine::process (const float* in, float* out, const float* delays, int numSamples) noexcept
{
    assert (ringSize > 0);

    for (int start = 0; start < numSamples; start += room)
    {
        const int length = std::min (room, numSamples - start);
        const int first = writeIndex;
        write (in + start, length);
        readMoving (out + start, delays + start, first, length);
    }
}

void VoiceDelayLine::write (const float* in, int numSamples) noexcept
{
    const int head = std::min (numSamples, ringSize - writeIndex);
    std::copy (in, in + head, buffer.data() + writeIndex);
    std::copy (in + head, in + numSamples, buffer.data());
    writeIndex = wrap (writeIndex + numSamples);
}

int VoiceDelayLine::wrap (int index) const noexcept
{
    if (index < 0)
        return index + ringSize;
    return index >= ringSize ? index - ringSize : index;
}

// The far neighbour is one sample older, except at the longest delay, where it is the newest sample (it
// wraps onto the slot just written).
int VoiceDelayLine::farOffset (int whole) const noexcept
{
    return whole + 1 >= totalSize ? 0 : whole + 1;
}

// The sample written at ring index start + t is read back whole samples later, mixed with its far neighbour.
void VoiceDelayLine::readSteady (float* out, int start, int numSamples) const noexcept
{
    const float* ring = buffer.data();
    const int far = farOffset (delayInt);
    const float frac = delayFrac;

    for (int t = 0; t < numSamples;)
    {
        const int near = wrap (start + t - delayInt);
        const int older = wrap (start + t - far);
        const int run = std::min ({ numSamples - t, ringSize - near, ringSize - older });
        const float* __restrict a = ring + near;
        const float* __restrict b = ring + older;
        float* __restrict y = out + t;

        for (int i = 0; i < run; ++i)
            y[i] = a[i] + frac * (b[i] - a[i]);

        t += run;
    }
}

void VoiceDelayLine::readMoving (float* out, const float* delays, int start, int numSamples) const noexcept
{
    const float* ring = buffer.data();
    const auto longest = (float) getMaximumDelayInSamples();

    for (int t = 0; t < numSamples; ++t)
    {
        const float d = std::clamp (delays[t], 0.0f, longest);
        const int whole = (int) std::floor (d);
        const float frac = d - (float) whole;
        const int newest = wrap (start + t);
        const float a = ring[wrap (newest - whole)];
        const float b = ring[wrap (newest - farOffset (whole))];
        out[t] = a + frac * (b - a);
    }
}
} // namespace QEL
