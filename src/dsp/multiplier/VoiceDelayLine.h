#pragma once

#include <vector>

namespace QEL
{
/** A mono delay line read with linear interpolation, a block at a time.

    Each output sample is the one a juce::dsp::DelayLine<float, Linear> gives when the same input is
    pushed and popped one sample at a time with the same delay: the same two stored samples, mixed by the
    same arithmetic (including its reading of the newest sample as the far neighbour at the longest
    delay). The block is stored first and read back in runs that never wrap, so the reading loop is a
    plain one over contiguous memory.

    Not thread-safe: prepare allocates; the audio thread owns everything else. */
class VoiceDelayLine
{
public:
    /** A line whose delay is limited to maximumDelayInSamples; it holds no samples before prepare. */
    explicit VoiceDelayLine (int maximumDelayInSamples = 0) noexcept;

    /** Sizes the line for the given longest delay and blocks of up to maximumBlockSize samples, and clears it. */
    void prepare (int maximumDelayInSamples, int maximumBlockSize);
    /** Silences the stored samples; the delay stays. */
    void reset() noexcept;

    /** Sets the delay in samples, limited to [0, getMaximumDelayInSamples()]. */
    void setDelay (float newDelayInSamples) noexcept;
    /** The delay in samples. */
    float getDelay() const noexcept { return delay; }
    /** The longest delay the line can be set to. */
    int getMaximumDelayInSamples() const noexcept { return totalSize - 1; }

    /** Stores a block and writes it out delayed by the current delay; in and out may be the same array. */
    void process (const float* in, float* out, int numSamples) noexcept;
    /** As process, with one delay per sample (each limited as setDelay does); the line's own delay stays
        as it is. */
    void process (const float* in, float* out, const float* delays, int numSamples) noexcept;

private:
    void write (const float* in, int numSamples) noexcept;
    void readSteady (float* out, int start, int numSamples) const noexcept;
    void readMoving (float* out, const float* delays, int start, int numSamples) const noexcept;
    int wrap (int index) const noexcept;
    int farOffset (int whole) const noexcept;

    std::vector<float> buffer; // a ring of totalSize past samples plus room for one block
    int totalSize = 4;         // the past samples a read can reach, the newest included
    int room = 0;              // the longest block stored at once
    int ringSize = 0;
    int writeIndex = 0; // where the next sample goes
    float delay = 0.0f;
    int delayInt = 0;
    float delayFrac = 0.0f;
};
} // namespace QEL
