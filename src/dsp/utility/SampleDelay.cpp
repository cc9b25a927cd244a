#include "dsp/utility/SampleDelay.h"

#include <algorithm>
#include <cstring>

namespace QEL
{
namespace
{
    // Copies count samples from a ring starting at `from` (wrapping at length) to dest.
    void copyOutOfRing (float* dest, const float* ring, int length, int from, int count) noexcept
    {
        const int first = std::min (count, length - from);
        std::memcpy (dest, ring + from, sizeof (float) * (size_t) first);
        if (count > first) // only a copy that wraps has a second part
            std::memcpy (dest + first, ring, sizeof (float) * (size_t) (count - first));
    }

    // Copies count samples from source into a ring starting at `to` (wrapping at length).
    void copyIntoRing (float* ring, int length, int to, const float* source, int count) noexcept
    {
        const int first = std::min (count, length - to);
        std::memcpy (ring + to, source, sizeof (float) * (size_t) first);
        if (count > first)
            std::memcpy (ring, source + first, sizeof (float) * (size_t) (count - first));
    }
} // namespace

SampleDelay::SampleDelay (int maxDelaySamples) noexcept : maxDelay (std::max (0, maxDelaySamples)) {}

void SampleDelay::prepare (int numChannels, int maxDelaySamples, int blockSize)
{
    maxDelay = std::max (0, maxDelaySamples);
    delay = std::min (delay, maxDelay);
    // Room for the longest delay plus a whole block, so a block is written before it is read.
    ringLength = maxDelay + std::max (1, blockSize);
    storage.assign ((size_t) std::max (0, numChannels) * (size_t) ringLength, 0.0f);
    writePositions.assign ((size_t) std::max (0, numChannels), 0);
}

void SampleDelay::reset() noexcept
{
    std::fill (storage.begin(), storage.end(), 0.0f);
    std::fill (writePositions.begin(), writePositions.end(), 0);
}

void SampleDelay::setDelay (int samples) noexcept
{
    delay = std::clamp (samples, 0, maxDelay);
}

void SampleDelay::process (float* const* channels, int numChannels, int numSamples) noexcept
{
    const int used = std::min (numChannels, getNumChannels());
    for (int channel = 0; channel < used; ++channel)
        processChannel (channel, channels[channel], numSamples);
}

// A block longer than the ring leaves for it goes through in pieces.
void SampleDelay::processChannel (int channel, float* samples, int numSamples) noexcept
{
    if (channel < 0 || channel >= getNumChannels() || ringLength == 0)
        return;

    const int piece = ringLength - delay;
    for (int start = 0; start < numSamples; start += piece)
        processPiece (channel, samples + start, std::min (piece, numSamples - start));
}

bool SampleDelay::readHistory (int channel, float* dest, int numSamples, int skipNewest) const noexcept
{
    if (channel < 0 || channel >= getNumChannels() || numSamples < 0 || skipNewest < 0 ||
        numSamples + skipNewest > ringLength)
        return false;

    const float* ring = storage.data() + (size_t) channel * (size_t) ringLength;
    const int write = writePositions[(size_t) channel];
    const int from = ((write - skipNewest - numSamples) % ringLength + ringLength) % ringLength;
    copyOutOfRing (dest, ring, ringLength, from, numSamples);
    return true;
}

void SampleDelay::push (int channel, const float* samples, int numSamples) noexcept
{
    if (channel < 0 || channel >= getNumChannels() || ringLength == 0)
        return;

    float* ring = storage.data() + (size_t) channel * (size_t) ringLength;
    int& write = writePositions[(size_t) channel];

    // Only the newest ringLength samples can stay in the ring.
    const int kept = std::min (numSamples, ringLength);
    copyIntoRing (ring, ringLength, write, samples + (numSamples - kept), kept);
    write = (write + kept) % ringLength;
}

void SampleDelay::processPiece (int channel, float* samples, int numSamples) noexcept
{
    float* ring = storage.data() + (size_t) channel * (size_t) ringLength;
    int& write = writePositions[(size_t) channel];

    copyIntoRing (ring, ringLength, write, samples, numSamples);
    const int read = (write - delay + ringLength) % ringLength;
    copyOutOfRing (samples, ring, ringLength, read, numSamples);
    write = (write + numSamples) % ringLength;
}
} // namespace QEL
