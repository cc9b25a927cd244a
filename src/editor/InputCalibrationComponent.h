#pragma once

#include "QELTextButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{
/** Told when the user cancels an input calibration. */
class InputCalibrationListener
{
public:
    virtual ~InputCalibrationListener() = default;

    virtual void cancelInputCalibration() = 0;
};

/** The input-calibration layer: a message, a progress bar and a Cancel button over a dark veil. */
class InputCalibrationComponent : public Component, public Button::Listener, public Timer
{
public:
    InputCalibrationComponent();
    ~InputCalibrationComponent() override;

    /** Swallows clicks meant for the controls below. */
    void mouseDown (const MouseEvent&) override;
    void paint (Graphics&) override;
    void resized() override;
    /** Hides the layer. */
    void timerCallback() override;
    /** Cancel: tells the listener and hides; without a listener nothing happens. */
    void buttonClicked (Button*) override;

    /** The row the message is drawn in. */
    Rectangle<int> getMessageArea() const;
    /** The message for the current state. */
    const String& getMessage() const noexcept { return complete ? messages[1] : messages[0]; }

    float scale = 1.0f;
    double progress = 0.0;
    ProgressBar progressBar { progress };
    bool complete = false;
    InputCalibrationListener* listener = nullptr;
    QELTextButton cancelButton { "Cancel" };
    String messages[2] { "Play instrument, strum chords...", "Calibration complete" };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InputCalibrationComponent)
};
} // namespace juce
