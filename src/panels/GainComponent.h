#pragma once

#include "panels/ComboBoxComponent.h"
#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Gain module's column: drive with the dry/wet ring around it, the saturation type, the
    output gain, and the Pre FX and Limit switches. */
class GainComponent : public ModulePanel
{
public:
    GainComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                   OrvaneTessaroAudioProcessor& processor);
    ~GainComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;
    /** The frame's separator, then two more: above the Gain knob and above the switches. */
    void paintOverChildren (juce::Graphics& g) override;

    LookAndFeel driveStyle, gainStyle, buttonStyle, mixStyle;
    std::unique_ptr<ComboBoxComponent> typeSelector;
    juce::QELSlider driveKnob, mixRing, gainKnob;
    juce::QELLabel driveCaption, mixCaption, gainCaption;
    juce::TextButton preFxButton, limitButton;

private:
    void updateOwnBypassState (bool active) override;

    std::unique_ptr<QEL::SliderAttachment> driveAttachment, gainAttachment, mixAttachment;
    std::unique_ptr<QEL::ButtonAttachment> preFxAttachment, limitAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GainComponent)
};
} // namespace tessaro::gui
