#pragma once

#include "panels/ModulePanel.h"
#include "panels/MultiplyVisualizerComponent.h"

namespace tessaro::gui
{
/** The Multiply module's column: the voice-spread view with the Spread slider under it, and the
    Amount and Low knobs with the Offset arc over the top of Amount. */
class MultiplyComponent : public ModulePanel
{
public:
    MultiplyComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                       OrvaneTessaroAudioProcessor& processor);
    ~MultiplyComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

    LookAndFeel knobStyle, buttonStyle, arcStyle;
    MultiplyVisualizerComponent view;
    juce::QELSlider spreadSlider, offsetArc, amountKnob, lowKnob;
    juce::QELLabel spreadCaption, offsetCaption, amountCaption, lowCaption;

private:
    void ownParameterChanged (const juce::String& parameterID, float newValue) override;
    void updateOwnBypassState (bool active) override;

    std::unique_ptr<juce::QELSlider::SliderAttachment> spreadAttachment, amountAttachment, lowAttachment,
        offsetAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MultiplyComponent)
};
} // namespace tessaro::gui
