#include "render/TempoPlayHead.h"

namespace tessaro::render
{
TempoPlayHead::TempoPlayHead (double beatsPerMinute, double rate) : bpm (beatsPerMinute), sampleRate (rate) {}

void TempoPlayHead::advance (int numSamples) noexcept
{
    samplePosition += juce::jmax (0, numSamples);
}

juce::Optional<juce::AudioPlayHead::PositionInfo> TempoPlayHead::getPosition() const
{
    constexpr int beatsPerBar = 4;
    const double seconds = (double) samplePosition / sampleRate;
    const double quarterNotes = seconds * bpm / 60.0;

    PositionInfo position;
    position.setBpm (bpm);
    position.setTimeSignature (TimeSignature { beatsPerBar, 4 });
    position.setTimeInSamples (samplePosition);
    position.setTimeInSeconds (seconds);
    position.setPpqPosition (quarterNotes);
    position.setPpqPositionOfLastBarStart (std::floor (quarterNotes / beatsPerBar) * beatsPerBar);
    position.setBarCount ((juce::int64) (quarterNotes / beatsPerBar));
    position.setIsPlaying (true);
    return position;
}
} // namespace tessaro::render
