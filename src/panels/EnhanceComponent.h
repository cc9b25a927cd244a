#pragma once

#include "panels/DetectorComponent.h"
#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Enhance module's column: de-ess, de-noise and air, with the two detector lamps. */
class EnhanceComponent : public ModulePanel
{
public:
    EnhanceComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                      OrvaneTessaroAudioProcessor& processor);
    ~EnhanceComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

    LookAndFeel knobStyle, buttonStyle;
    /** The detector lamps beside De-Ess and De-Noise, fed by the editor's timer. */
    DetectorComponent deEssLamp, deNoiseLamp;
    juce::TextButton preCompButton;
    juce::QELSlider deEssKnob, deNoiseKnob, airKnob;
    juce::QELLabel deEssCaption, deNoiseCaption, airCaption;

private:
    void updateOwnBypassState (bool active) override;

    std::unique_ptr<juce::QELSlider::SliderAttachment> deEssAttachment, deNoiseAttachment, airAttachment;
    std::unique_ptr<QEL::ButtonAttachment> preCompAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EnhanceComponent)
};
} // namespace tessaro::gui
