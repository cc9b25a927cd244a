#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace ap::gui
{
/** A level meter over a decibel range, with a level and a peak that rise and fall at their
    own rates. */
class MeterComponentBase : public juce::Component
{
public:
    /** Takes a linear gain: converts it to decibels (-100 dB floor), clamps it to the range,
        maps it to 0..1, smooths level and peak, and repaints. */
    void setLevel (float linearGain);

    /** The smoothed level, 0..1 over the range. */
    float getLevel() const noexcept { return level; }

    /** The last value given to setLevel. */
    float getLastGain() const noexcept { return lastGain; }

    /** A bar from the bottom up, with a peak line. */
    void paint (juce::Graphics& g) override;

    float minimumDb = -30.0f, maximumDb = 0.0f;
    float riseCoefficient = 0.6f, fallCoefficient = 0.15f, peakFallCoefficient = 0.02f;
    juce::Colour colour = juce::Colours::white;

private:
    float level = 0.0f, peak = 0.0f, lastGain = 1.0f;
};
} // namespace ap::gui
