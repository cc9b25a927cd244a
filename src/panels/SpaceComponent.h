#pragma once

#include "panels/ComboBoxComponent.h"
#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Space module's column: the reverb group (amount knob, time arc, type selector) above the
    delay group (amount knob, Sync switch, type selector, and one arc place showing the delay time
    in milliseconds, the delay time as a note, or, while Shift is held, the feedback). */
class SpaceComponent : public ModulePanel
{
public:
    SpaceComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                    OrvaneTessaroAudioProcessor& processor);
    ~SpaceComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;
    /** The frame's separator, then one between the reverb and the delay group. */
    void paintOverChildren (juce::Graphics& g) override;
    /** Passes the change on to the parent, then shows the feedback arc while Shift is held. */
    void modifierKeysChanged (const juce::ModifierKeys& modifiers) override;
    /** The frame's caption hiding, with the delay captions following the Shift state. */
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;

    /** Shows the feedback arc and "Feedback" in the delay arc place, or the time or note arc
        (by Sync) and "Time"; a caption stays hidden while the mouse is over its arc. */
    void updateDelayFeedbackState (bool showFeedback);

    bool delaySyncOn = true;
    bool feedbackShown = false;
    juce::DrawableButton syncButton { "Delay Sync", juce::DrawableButton::ImageRaw };
    LookAndFeel knobStyle, arcStyle;
    std::unique_ptr<ComboBoxComponent> delaySelector, reverbSelector;
    juce::QELSlider delayAmountKnob, reverbAmountKnob, delayTimeArc, delayNoteArc, reverbTimeArc, delayFeedbackArc;
    juce::QELLabel delayCaption, reverbCaption, delayTimeCaption, reverbTimeCaption, feedbackCaption;

private:
    void ownParameterChanged (const juce::String& parameterID, float newValue) override;
    void updateOwnBypassState (bool active) override;
    /** The one delay arc in view, from Sync and the feedback state. */
    void updateDelayArcs();
    /** The delay caption a mouse event over `component` concerns, with Shift as the event has it. */
    juce::Label* delayCaptionFor (const juce::MouseEvent& e);

    std::unique_ptr<juce::QELSlider::SliderAttachment> delayTimeAttachment, delayNoteAttachment, delayAmountAttachment,
        delayFeedbackAttachment, reverbTimeAttachment, reverbAmountAttachment;
    std::unique_ptr<QEL::ButtonAttachment> syncAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SpaceComponent)
};
} // namespace tessaro::gui
