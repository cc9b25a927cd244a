#include "panels/GainComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"
#include "panels/PanelParts.h"

#include <BinaryData.h>

namespace tessaro::gui
{
GainComponent::GainComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                              OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "GAIN", CustomColours::THEME_GAIN_FILL, CustomColours::THEME_GAIN_GLOW, Params::paramGainPower,
                     BinaryData::gain_off_png, BinaryData::gain_off_pngSize, BinaryData::gain_animation_strip_png,
                     BinaryData::gain_animation_strip_pngSize })
{
    initKnobStyle (driveStyle);
    initKnobStyle (gainStyle);
    gainStyle.bipolar = true;
    initButtonStyle (buttonStyle, 17.08f);
    initKnobStyle (mixStyle);

    // Back to front: Drive, Gain, selector, Pre FX, Limit, and the ring in front of Drive's top.
    GuiUtils::initSlider (initializer, driveKnob, &driveStyle, this, "%", juce::Slider::RotaryVerticalDrag, { 0, -25 });
    GuiUtils::initSlider (initializer, gainKnob, &gainStyle, this, " dB", juce::Slider::RotaryVerticalDrag, { 0, -25 });
    typeSelector = std::make_unique<ComboBoxComponent> (parameters, processor, panelFont, Params::paramGainType,
                                                        Params::gainTypes);
    addAndMakeVisible (*typeSelector);
    for (auto [button, text] : { std::pair { &preFxButton, "Pre FX" }, std::pair { &limitButton, "Limit" } })
    {
        GuiUtils::initButton (*button, this, text, buttonStyle);
        button->setColour (juce::TextButton::textColourOnId, CustomColours::THEME_GAIN_FILL);
    }
    PanelParts::initArc (initializer, mixRing, &mixStyle, this, "%", 250.0f);

    initCaption (driveCaption, "Drive", &driveKnob);
    initCaption (gainCaption, "Gain", &gainKnob);
    initCaption (mixCaption, "Dry/Wet", &mixRing);

    using SliderAttachment = QEL::SliderAttachment;
    using ButtonAttachment = QEL::ButtonAttachment;
    driveAttachment = std::make_unique<SliderAttachment> (parameters, Params::paramGainDrive, driveKnob);
    gainAttachment = std::make_unique<SliderAttachment> (parameters, Params::paramGainGain, gainKnob);
    mixAttachment = std::make_unique<SliderAttachment> (parameters, Params::paramGainMix, mixRing);
    preFxAttachment = std::make_unique<ButtonAttachment> (parameters, Params::paramGainPreFx, preFxButton);
    limitAttachment = std::make_unique<ButtonAttachment> (parameters, Params::paramGainLimit, limitButton);

    finishFrame();
}

GainComponent::~GainComponent()
{
    stopListening();
}

void GainComponent::updateOwnBypassState (bool active)
{
    mixStyle.arcThicknessRatio = 0.08f;
    typeSelector->label.setColour (juce::Label::textColourId, PanelParts::textColour (active));
}

void GainComponent::resized()
{
    ModulePanel::resized();
    const int w = (int) ((float) getWidth() / scale);
    const float knobX = (float) ((w - 100) / 2);

    PanelParts::place (driveKnob, { knobX, 300.0f, 100.0f, 100.0f }, scale);
    mixRing.setBounds (PanelParts::arcAround (driveKnob.getBounds()));
    driveCaption.setBounds (PanelParts::captionUnder (driveKnob.getBounds()));
    mixCaption.setBounds (PanelParts::captionOver (mixRing.getBounds()));
    typeSelector->setBounds ((w - 180) / 2, driveCaption.getBottom() + 5, 180, 35);
    PanelParts::place (gainKnob, { knobX, 480.0f, 100.0f, 100.0f }, scale);
    gainCaption.setBounds (PanelParts::captionUnder (gainKnob.getBounds()));

    const float middle = (float) ((w - 84) / 2);
    PanelParts::place (preFxButton, { middle - 42.25f - 10.0f, 631.0f, 84.5f, 57.0f }, scale);
    PanelParts::place (limitButton, { middle + 42.25f + 10.0f, 631.0f, 84.5f, 57.0f }, scale);
}

void GainComponent::paintOverChildren (juce::Graphics& g)
{
    ModulePanel::paintOverChildren (g);
    for (float y : { 468.0f, 615.0f })
        GuiUtils::drawHorizontalGradientLine (g, (float) getWidth() - 20.0f, y);
}
} // namespace tessaro::gui
