#pragma once

#include "panels/GainReductionMeter.h"
#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Compress module's column: input, compression and output, the slow and auto switches and the gain-reduction
 * meter. */
class CompressComponent : public ModulePanel
{
public:
    CompressComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                       OrvaneTessaroAudioProcessor& processor);
    ~CompressComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;
    /** The frame's separator, then the meter's decibel scale. */
    void paintOverChildren (juce::Graphics& g) override;

    /** The decibel scale under the meter, left to right. */
    static constexpr float scaleValues[] = { -18.0f, -12.0f, -6.0f, 0.0f };
    /** A scale value's text, in its shortest form ("-18", "0"). */
    static juce::String scaleText (float value);
    /** Where a scale value's text is centred, for a panel `width` wide. */
    static juce::Rectangle<int> scaleTextBounds (float value, float width);

    LookAndFeel knobStyle, bipolarKnobStyle, buttonStyle;
    juce::QELSlider inputKnob, compressionKnob, outputKnob;
    juce::QELLabel inputCaption, compressionCaption, outputCaption;
    juce::TextButton slowButton, autoButton;
    /** The gain-reduction meter, fed by the editor's timer. */
    GainReductionMeter meter;

private:
    void ownParameterChanged (const juce::String& parameterID, float newValue) override;
    void updateOwnBypassState (bool active) override;

    std::unique_ptr<juce::QELSlider::SliderAttachment> inputAttachment, compressionAttachment, outputAttachment;
    std::unique_ptr<QEL::ButtonAttachment> slowAttachment, autoAttachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CompressComponent)
};
} // namespace tessaro::gui
