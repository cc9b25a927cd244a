#include "editor/QELMidiLearnComponent.h"

namespace juce
{
QELMidiLearnComponent::QELMidiLearnComponent()
{
    cancelButton.setColour (TextButton::buttonColourId, Colours::black);
    cancelButton.setColour (TextButton::buttonOnColourId, Colours::silver);
    cancelButton.addListener (this);
    addAndMakeVisible (cancelButton);
}

QELMidiLearnComponent::~QELMidiLearnComponent()
{
    stopTimer();
    cancelButton.removeListener (this);
}

String QELMidiLearnComponent::getDisplayedText() const
{
    if (! resultShown)
        return waitingText;
    return signalName + " #" + String (number) + " " + noteText + " detected";
}

void QELMidiLearnComponent::paint (Graphics& g)
{
    g.fillAll (Colours::black.withAlpha (0.8f));
    g.setColour (Colours::white);
    g.setFont ((float) getHeight() * 0.05f);
    const auto h = (float) getHeight();
    g.drawText (getDisplayedText(), 0, (int) (0.36f * h), getWidth(), (int) (0.1f * h), Justification::centred, true);
}

void QELMidiLearnComponent::resized()
{
    const auto w = (int) ((float) getWidth() * 0.1f);
    const auto h = (int) ((float) getHeight() * 0.07f);
    cancelButton.setBounds ((getWidth() - w) / 2, (int) ((double) getHeight() * 0.13 * 5.6), w, h);
}

void QELMidiLearnComponent::buttonClicked (Button* button)
{
    if (button != &cancelButton)
        return;
    if (onCancel)
        onCancel();
    setVisible (false);
}

void QELMidiLearnComponent::timerCallback()
{
    setVisible (false);
    stopTimer();
}
} // namespace juce
