#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace tessaro::render
{
/** A transport that plays from the start at a fixed tempo in 4/4, moved on by the host after each block. */
class TempoPlayHead : public juce::AudioPlayHead
{
public:
    /** A playing transport at `bpm` beats per minute, at sample 0. */
    TempoPlayHead (double bpm, double sampleRate);

    /** Moves the transport on by one processed block. */
    void advance (int numSamples) noexcept;

    /** Back to sample 0. */
    void rewind() noexcept { samplePosition = 0; }

    /** Tempo, time signature, playing state and the position of the block about to be processed. */
    juce::Optional<PositionInfo> getPosition() const override;

private:
    double bpm;
    double sampleRate;
    juce::int64 samplePosition = 0;
};
} // namespace tessaro::render
