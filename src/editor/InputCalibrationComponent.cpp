#include "InputCalibrationComponent.h"

namespace juce
{
InputCalibrationComponent::InputCalibrationComponent()
{
    progressBar.setColour (ProgressBar::backgroundColourId, Colours::grey);
    progressBar.setColour (ProgressBar::foregroundColourId, Colours::darkgrey.darker()); // 0xff3c3c3c
    addAndMakeVisible (progressBar);

    cancelButton.setButtonText ("Cancel");
    cancelButton.setColour (TextButton::buttonColourId, Colours::black);
    cancelButton.setColour (TextButton::buttonOnColourId, Colours::silver);
    cancelButton.addListener (this);
    addAndMakeVisible (cancelButton);
}

InputCalibrationComponent::~InputCalibrationComponent()
{
    cancelButton.removeListener (this);
}

void InputCalibrationComponent::mouseDown (const MouseEvent&) {}

void InputCalibrationComponent::timerCallback()
{
    setVisible (false);
    stopTimer();
}

void InputCalibrationComponent::buttonClicked (Button* button)
{
    if (button != &cancelButton || listener == nullptr)
        return;

    listener->cancelInputCalibration();
    setVisible (false);
}

Rectangle<int> InputCalibrationComponent::getMessageArea() const
{
    const double h = (double) getHeight();
    return { 0, (int) (2.0 * 0.13 * h), getWidth(), (int) (0.1 * h) };
}

void InputCalibrationComponent::paint (Graphics& g)
{
    g.setColour (Colours::black.withAlpha (0.8f));
    g.fillRect (getLocalBounds());
    g.setColour (Colours::white);
    g.setFont (Font ((float) ((double) getHeight() * 0.05)));
    g.drawText (getMessage(), getMessageArea(), Justification::centred, true);
}

void InputCalibrationComponent::resized()
{
    const double w = (double) getWidth(), h = (double) getHeight();
    const auto centre = getLocalBounds().getCentre();

    progressBar.setSize ((int) (w * 0.5), (int) (h * 0.07));
    progressBar.setCentrePosition (centre);
    progressBar.setTopLeftPosition (progressBar.getX(), (int) (h * 0.13 * 3.2));

    cancelButton.setSize ((int) (w * 0.1 * (double) scale), (int) (h * 0.07));
    cancelButton.setCentrePosition (centre);
    cancelButton.setTopLeftPosition (cancelButton.getX(), (int) (h * 0.13 * 5.6));
}
} // namespace juce
