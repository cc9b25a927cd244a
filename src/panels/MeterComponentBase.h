#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace ap::gui
{
/** A level meter over a decibel range: a linear level is turned into decibels, clamped to the
    range, mapped to a 0..1 position and smoothed with separate rise and fall coefficients for a
    level and a peak. Subclasses draw it. Message thread only. */
class MeterComponentBase : public juce::Component
{
public:
    /** Default range -96..12 dB (skew 2.6), coefficients 1, level and peak 0. */
    MeterComponentBase();
    ~MeterComponentBase() override = default;

    /** Takes a linear level (1 = 0 dB; zero, negative or NaN read as -100 dB) and updates level
        and peak; repaints only when either moved by repaintStep or more since the last repaint. */
    void setLevel (float linearLevel);

    /** Draws the meter through drawMeter. */
    void paint (juce::Graphics& g) override;

    /** Draws the meter into the component's own bounds. */
    virtual void drawMeter (juce::Graphics& g) = 0;

    float level = 0.0f;     // smoothed display position, 0..1
    float peak = 0.0f;      // smoothed peak position, 0..1
    float levelRise = 1.0f; // coefficient when the new position is not below level
    float levelFall = 1.0f; // coefficient when it is below
    float peakRise = 1.0f;
    float peakFall = 1.0f;
    juce::NormalisableRange<float> range { -96.0f, 12.0f, 0.1f, 2.6f }; // decibel display range

    /** The smallest move of level or peak that is drawn: under half a pixel on a meter up to
        2048 pixels long. */
    static constexpr float repaintStep = 1.0f / 4096.0f;

private:
    float shownLevel = 0.0f, shownPeak = 0.0f; // level and peak at the last repaint

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MeterComponentBase)
};
} // namespace ap::gui
