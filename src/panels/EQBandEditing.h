#pragma once

#include "panels/QELEQComponent.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tessaro::gui
{
/** Turns one EQ view's reports into its band's parameter changes, each inside a change gesture the host
    sees: a drag opens the gesture of each parameter it moves at its first report and closes it on release;
    wheel steps and double-click resets are gestures of their own.

    Gains arrive linear and are written in dB (-100 dB for 0, limited by the parameter's range); frequencies
    in Hz; Q either absolute or as a change of the normalised value. A double click resets gain and
    frequency to their defaults and keeps Q. Message thread only. */
class EQBandEditing : public juce::MouseListener
{
public:
    /** Installs the view's gain, frequency, Q and double-click callbacks for the band's three parameters. */
    EQBandEditing (juce::AudioProcessorValueTreeState& state, QELEQComponent& view, const juce::String& gainId,
                   const juce::String& frequencyId, const juce::String& qId);
    /** Closes open gestures and leaves the view's callbacks empty. */
    ~EQBandEditing() override;

    /** Writes a linear gain as dB. */
    void setGain (float linearGain);
    /** Writes a frequency in Hz. */
    void setFrequency (float hz);
    /** Writes an absolute Q, or adds a change to the normalised Q (limited to 0..1). */
    void setQ (float value, bool isDelta);
    /** Gain and frequency back to their defaults. */
    void resetGainAndFrequency();
    /** The release of a press on the view or its children: ends the drag's gestures. */
    void mouseUp (const juce::MouseEvent&) override;

private:
    struct Gesture
    {
        juce::RangedAudioParameter* parameter = nullptr;
        bool open = false;
    };

    void write (Gesture& gesture, float normalised, bool partOfDrag);
    void endGestures();
    bool dragging() const;

    QELEQComponent& view;
    Gesture gain, frequency, quality;

    JUCE_DECLARE_NON_COPYABLE (EQBandEditing)
};
} // namespace tessaro::gui
