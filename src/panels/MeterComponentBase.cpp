#include "panels/MeterComponentBase.h"

namespace ap::gui
{
void MeterComponentBase::setLevel (float linearGain)
{
    lastGain = linearGain;
    const float db = juce::jlimit (minimumDb, maximumDb, juce::Decibels::gainToDecibels (linearGain, -100.0f));
    const float target = (db - minimumDb) / (maximumDb - minimumDb);

    level += (target - level) * (target > level ? riseCoefficient : fallCoefficient);
    peak = target > peak ? target : peak + (target - peak) * peakFallCoefficient;
    repaint();
}

void MeterComponentBase::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat();
    g.setColour (colour.withAlpha (0.15f));
    g.fillRect (area);
    g.setColour (colour);
    g.fillRect (area.withTop (area.getBottom() - area.getHeight() * level));
    g.fillRect (area.withTop (area.getBottom() - area.getHeight() * peak).withHeight (1.0f));
}
} // namespace ap::gui
