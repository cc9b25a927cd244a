#pragma once

#include <vector>

namespace QEL
{
/** Delays audio in place by a whole number of samples, a block at a time: each channel is a ring that the
    block is copied into and the delayed block copied out of, so the cost is two copies per channel and
    block, whatever the delay. The output at sample n is the input at n - delay (silence before the start
    or after a reset), exactly.

    Each channel keeps its own write position, so a channel left out of a block keeps its history. Prepare
    and reset allocate or clear; setDelay and process never allocate. */
class SampleDelay
{
public:
    /** Builds an unprepared delay that accepts delays up to maxDelaySamples once prepared. */
    explicit SampleDelay (int maxDelaySamples = 0) noexcept;

    /** Sizes one ring per channel for delays up to maxDelaySamples and blocks of blockSize, and clears it. */
    void prepare (int numChannels, int maxDelaySamples, int blockSize);
    /** Silences the history of every channel. */
    void reset() noexcept;

    /** Sets the delay, limited to 0 … the largest delay. */
    void setDelay (int samples) noexcept;
    /** The delay in samples. */
    int getDelay() const noexcept { return delay; }
    /** The largest delay this line accepts. */
    int getMaximumDelayInSamples() const noexcept { return maxDelay; }
    /** The number of channels prepared. */
    int getNumChannels() const noexcept { return (int) writePositions.size(); }

    /** Delays the first numChannels channels (at most the prepared ones) in place. */
    void process (float* const* channels, int numChannels, int numSamples) noexcept;
    /** Delays one channel's block in place. */
    void processChannel (int channel, float* samples, int numSamples) noexcept;

    /** Copies the numSamples inputs a channel received before its newest `skipNewest` ones into dest, oldest
        first (silence where the ring holds no such input); false, and nothing copied, when the ring is too
        short to hold them. */
    bool readHistory (int channel, float* dest, int numSamples, int skipNewest) const noexcept;
    /** Feeds a channel numSamples inputs without reading its output, as processing them and dropping
        the result would. */
    void push (int channel, const float* samples, int numSamples) noexcept;

private:
    void processPiece (int channel, float* samples, int numSamples) noexcept;

    std::vector<float> storage; // every channel's ring, one after the other
    std::vector<int> writePositions;
    int ringLength = 0;
    int maxDelay = 0;
    int delay = 0;
};
} // namespace QEL
