#pragma once

#include "panels/DualEQComponent.h"
#include "panels/EQBandEditing.h"
#include "panels/EQBandFeed.h"
#include "panels/EQComponent.h"
#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The EQ module's column: three interactive band curves with their Q knobs. */
class EQModuleComponent : public ModulePanel
{
public:
    EQModuleComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                       OrvaneTessaroAudioProcessor& processor);
    ~EQModuleComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

    /** Refresh one view's band from the processor's EQ display cache and the chain's band. */
    void updateLowBands();
    void updateMidBands();
    void updateHighBands();

    /** The view settings every band view gets: no background, grid or labels, the frequency readout while
        a band is held, large thumbs, Ctrl / Shift / Shift+Alt gesture modifiers. */
    static void applyViewSettings (QELEQComponent& view);

    /** The view's Q range: 0.707 ... 3.5 in steps of 0.01. */
    static juce::NormalisableRange<float> qRange() { return { 0.707f, 3.5f, 0.01f }; }

    LookAndFeel knobStyle, buttonStyle;
    /** Shelf views kept in step with the high and the low band; built and fed, never shown. */
    DualEQComponent dualHigh, dualLow;
    EQContainer lowContainer, midContainer, highContainer;
    EQComponent lowView { qRange() }, midView { qRange() }, highView { qRange() };
    juce::QELSlider highQ, midQ, lowQ;
    juce::QELLabel highCaption, midCaption, lowCaption;
    juce::TextButton preButton, adLibButton;
    /** Each view's edits on its band's parameters. */
    std::unique_ptr<EQBandEditing> highEditing, midEditing, lowEditing;

private:
    void ownParameterChanged (const juce::String& parameterID, float newValue) override;
    void updateOwnBypassState (bool active) override;

    std::unique_ptr<QEL::SliderAttachment> highQAttachment, midQAttachment, lowQAttachment;
    std::unique_ptr<QEL::ButtonAttachment> adLibAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EQModuleComponent)
};
} // namespace tessaro::gui
