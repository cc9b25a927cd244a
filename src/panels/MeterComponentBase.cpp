#include "panels/MeterComponentBase.h"

#include <cmath>

namespace ap::gui
{
namespace
{
    /** Decibels of a linear level, floored at -100; zero, negative and NaN levels give -100. */
    float decibelsOf (float linearLevel) noexcept
    {
        if (! (linearLevel > 0.0f))
            return -100.0f;
        return std::max (-100.0f, 20.0f * std::log10 (linearLevel));
    }

    /** One-pole step of a smoothed position towards target, with the rise or the fall coefficient. */
    float smoothed (float current, float target, float rise, float fall) noexcept
    {
        const double c = target >= current ? rise : fall;
        return (float) ((1.0 - c) * current + c * target);
    }
} // namespace

MeterComponentBase::MeterComponentBase()
{
    setLevel (0.0f);
    shownLevel = level;
    shownPeak = peak;
}

void MeterComponentBase::setLevel (float linearLevel)
{
    const float db = juce::jlimit (range.start, range.end, decibelsOf (linearLevel));
    const float position = range.convertTo0to1 (db);
    level = smoothed (level, position, levelRise, levelFall);
    peak = smoothed (peak, position, peakRise, peakFall);
    if (std::abs (level - shownLevel) < repaintStep && std::abs (peak - shownPeak) < repaintStep)
        return;
    shownLevel = level;
    shownPeak = peak;
    repaint();
}

void MeterComponentBase::paint (juce::Graphics& g)
{
    drawMeter (g);
}
} // namespace ap::gui
