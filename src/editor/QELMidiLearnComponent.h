#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace juce
{
/** The MIDI-learn overlay: a dark layer over the editor that says "Listening..." while the
    processor waits for a message to learn, with a Cancel button, and shows the learned
    message for as long as its timer runs. The editor drives it every tick. */
class QELMidiLearnComponent : public Component, public Button::Listener, public Timer
{
public:
    QELMidiLearnComponent();
    ~QELMidiLearnComponent() override;

    /** Swallows presses so they never reach the controls underneath. */
    void mouseDown (const MouseEvent&) override {}

    /** Dark layer with the waiting text or the learned message. */
    void paint (Graphics& g) override;

    /** Centres the Cancel button in the lower part. */
    void resized() override;

    /** Cancel: runs the cancel callback, then hides the overlay. */
    void buttonClicked (Button* button) override;

    /** The result has been shown long enough: hides the overlay. */
    void timerCallback() override;

    /** The line the overlay shows now. */
    String getDisplayedText() const;

    std::function<void()> onCancel;
    String waitingText { "Listening..." };
    String signalName;
    int number = -1;
    String noteText;
    bool resultShown = false;
    TextButton cancelButton { "Cancel" };
};
} // namespace juce
