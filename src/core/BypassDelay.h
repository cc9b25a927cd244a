#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace QEL
{
/** Delays audio by a whole number of samples, in place: the host-bypass path uses it
    to stay aligned with the latency the plug-in reports. It is fed on every block,
    bypassed or not, so switching the host bypass never plays stale history. */
class BypassDelay
{
public:
    /** Allocates the history for up to maxDelaySamples on numChannels channels. */
    void prepare (int numChannels, int maxDelaySamples);

    /** Clears the history. */
    void reset();

    /** Sets the delay, limited to the prepared maximum. */
    void setDelay (int samples) noexcept { delay = juce::jlimit (0, maxDelay, samples); }

    /** The delay in samples. */
    int getDelay() const noexcept { return delay; }

    /** Writes the delayed signal over the first numChannels channels. */
    void process (float* const* channels, int numChannels, int numSamples) noexcept;

    /** Records the signal into the history without changing it. */
    void push (const float* const* channels, int numChannels, int numSamples) noexcept;

private:
    juce::AudioBuffer<float> history; // one ring of maxDelay + 1 samples per channel
    int maxDelay = 0;
    int delay = 0;
    int writePos = 0;

    int advance (int numSamples) noexcept;
};
} // namespace QEL
