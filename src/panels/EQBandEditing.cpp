#include "panels/EQBandEditing.h"

namespace tessaro::gui
{
EQBandEditing::EQBandEditing (juce::AudioProcessorValueTreeState& state, QELEQComponent& v, const juce::String& gainId,
                              const juce::String& frequencyId, const juce::String& qId)
    : view (v)
{
    gain.parameter = state.getParameter (gainId);
    frequency.parameter = state.getParameter (frequencyId);
    quality.parameter = state.getParameter (qId);
    jassert (gain.parameter != nullptr && frequency.parameter != nullptr && quality.parameter != nullptr);

    view.onGainChange = [this] (int, float g) { setGain (g); };
    view.onFrequencyChange = [this] (int, float hz) { setFrequency (hz); };
    view.onQChange = [this] (int, float value, bool isDelta) { setQ (value, isDelta); };
    view.onBandDoubleClick = [this] (int) { resetGainAndFrequency(); };
    view.addMouseListener (this, true);
}

EQBandEditing::~EQBandEditing()
{
    view.removeMouseListener (this);
    view.onGainChange = nullptr;
    view.onFrequencyChange = nullptr;
    view.onQChange = nullptr;
    view.onBandDoubleClick = nullptr;
    endGestures();
}

bool EQBandEditing::dragging() const
{
    return view.mouseIsDown;
}

void EQBandEditing::setGain (float linearGain)
{
    const float db = juce::Decibels::gainToDecibels (linearGain); // -100 dB for 0 and below
    write (gain, gain.parameter->convertTo0to1 (db), dragging());
}

void EQBandEditing::setFrequency (float hz)
{
    write (frequency, frequency.parameter->convertTo0to1 (hz), dragging());
}

void EQBandEditing::setQ (float value, bool isDelta)
{
    const float normalised = isDelta ? quality.parameter->getValue() + value : quality.parameter->convertTo0to1 (value);
    // Wheel steps are gestures of their own; absolute values come from dragging a Q handle.
    write (quality, juce::jlimit (0.0f, 1.0f, normalised), ! isDelta && dragging());
}

void EQBandEditing::resetGainAndFrequency()
{
    for (auto* g : { &gain, &frequency })
        write (*g, g->parameter->getDefaultValue(), false);
}

void EQBandEditing::write (Gesture& gesture, float normalised, bool partOfDrag)
{
    const bool single = ! partOfDrag && ! gesture.open;
    if (! gesture.open)
    {
        gesture.parameter->beginChangeGesture();
        gesture.open = true;
    }
    gesture.parameter->setValueNotifyingHost (normalised);
    if (single)
    {
        gesture.parameter->endChangeGesture();
        gesture.open = false;
    }
}

void EQBandEditing::endGestures()
{
    for (auto* g : { &gain, &frequency, &quality })
    {
        if (g->open)
            g->parameter->endChangeGesture();
        g->open = false;
    }
}

void EQBandEditing::mouseUp (const juce::MouseEvent&)
{
    endGestures();
}
} // namespace tessaro::gui
