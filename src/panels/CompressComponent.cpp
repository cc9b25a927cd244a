#include "panels/CompressComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"
#include "panels/PanelParts.h"

#include <BinaryData.h>

#include <sstream>

namespace tessaro::gui
{
CompressComponent::CompressComponent (juce::AudioProcessorValueTreeState& state,
                                      QELComponentInitializer* widgetInitializer,
                                      OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "COMPRESS", CustomColours::THEME_COMP_FILL, CustomColours::THEME_COMP_GLOW,
                     Params::paramCompressPower, BinaryData::compress_off_png, BinaryData::compress_off_pngSize,
                     BinaryData::compress_animation_strip_png, BinaryData::compress_animation_strip_pngSize })
{
    listenTo (Params::paramCompressAuto);

    initKnobStyle (knobStyle);
    initKnobStyle (bipolarKnobStyle);
    bipolarKnobStyle.bipolar = true;
    initButtonStyle (buttonStyle, 14.64f);

    const auto initKnob = [this] (juce::QELSlider& knob, LookAndFeel& style, const char* suffix) {
        GuiUtils::initSlider (initializer, knob, &style, this, suffix, juce::Slider::RotaryVerticalDrag, { 0, -25 });
    };
    initKnob (inputKnob, bipolarKnobStyle, " dB");
    initKnob (compressionKnob, knobStyle, "%");
    initKnob (outputKnob, bipolarKnobStyle, " dB");
    for (auto [button, text] : { std::pair { &slowButton, "Slow" }, std::pair { &autoButton, "Auto" } })
    {
        GuiUtils::initButton (*button, this, text, buttonStyle);
        button->setColour (juce::TextButton::textColourOnId, CustomColours::THEME_COMP_FILL);
    }
    meter.range = juce::NormalisableRange<float> (-18.0f, 0.0f, 0.1f, 1.0f);
    addAndMakeVisible (meter);

    initCaption (inputCaption, "Input", &inputKnob);
    initCaption (compressionCaption, "Compression", &compressionKnob);
    initCaption (outputCaption, "Output", &outputKnob);

    inputAttachment =
        std::make_unique<juce::QELSlider::SliderAttachment> (parameters, Params::paramCompressInput, inputKnob);
    compressionAttachment = std::make_unique<juce::QELSlider::SliderAttachment> (
        parameters, Params::paramCompressCompression, compressionKnob);
    outputAttachment =
        std::make_unique<juce::QELSlider::SliderAttachment> (parameters, Params::paramCompressOutput, outputKnob);
    slowAttachment = std::make_unique<QEL::ButtonAttachment> (parameters, Params::paramCompressSlow, slowButton);
    autoAttachment = std::make_unique<QEL::ButtonAttachment> (parameters, Params::paramCompressAuto, autoButton);

    ownParameterChanged (Params::paramCompressAuto,
                         parameters.getRawParameterValue (Params::paramCompressAuto)->load());
    finishFrame();
}

CompressComponent::~CompressComponent()
{
    stopListening();
}

void CompressComponent::ownParameterChanged (const juce::String& parameterID, float newValue)
{
    if (parameterID != Params::paramCompressAuto)
        return;
    outputKnob.setEnabled (newValue <= 0.5f); // Auto makes the output level up by itself
    outputKnob.repaint();
}

void CompressComponent::updateOwnBypassState (bool active)
{
    meter.enabled = active;
    meter.repaint();
}

void CompressComponent::resized()
{
    ModulePanel::resized();
    const float w = (float) (int) ((float) getWidth() / scale);
    const float knobX = (float) (((int) w - 100) / 2);
    const std::pair<juce::QELSlider*, juce::QELLabel*> knobs[] = { { &inputKnob, &inputCaption },
                                                                   { &compressionKnob, &compressionCaption },
                                                                   { &outputKnob, &outputCaption } };
    const float knobY[] = { 330.0f, 450.0f, 569.0f };
    for (int i = 0; i < 3; ++i)
    {
        PanelParts::place (*knobs[i].first, { knobX, knobY[i], 100.0f, 100.0f }, scale);
        knobs[i].second->setBounds (PanelParts::captionUnder (knobs[i].first->getBounds()));
    }
    const auto beside = [] (juce::Component& knob) { return (float) (knob.getY() + (knob.getHeight() - 46) / 2); };
    PanelParts::place (slowButton, { 130.0f, beside (compressionKnob), 75.2f, 46.8f }, scale);
    PanelParts::place (autoButton, { 130.0f, beside (outputKnob), 75.2f, 46.8f }, scale);
    PanelParts::place (meter, { 10.0f, 290.0f, w - 20.0f, 5.0f }, scale);
}

juce::String CompressComponent::scaleText (float value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

juce::Rectangle<int> CompressComponent::scaleTextBounds (float value, float width)
{
    const float position = juce::jlimit (0.0f, 1.0f, (value + 18.0f) / 18.0f);
    const float centreX = position * (width - 40.0f) + 20.0f;
    return { (int) (centreX - 10.0f), 305, 20, 12 };
}

void CompressComponent::paintOverChildren (juce::Graphics& g)
{
    ModulePanel::paintOverChildren (g);
    g.setFont (juce::Font (panelFont).withHeight (12.0f));
    g.setColour (juce::Colour (0x80ffffff));
    for (float value : scaleValues)
    {
        const auto area = scaleTextBounds (value, (float) getWidth());
        if (g.clipRegionIntersects (area)) // a strip's repaint skips the scale
            g.drawText (scaleText (value), area, juce::Justification::centred, true);
    }
}
} // namespace tessaro::gui
