#include "panels/EnhanceComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"
#include "panels/PanelParts.h"

#include <BinaryData.h>

namespace tessaro::gui
{
EnhanceComponent::EnhanceComponent (juce::AudioProcessorValueTreeState& state,
                                    QELComponentInitializer* widgetInitializer,
                                    OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "ENHANCE", CustomColours::THEME_ENHANCE_FILL, CustomColours::THEME_ENHANCE_GLOW,
                     Params::paramEnhancePower, BinaryData::enhance_off_png, BinaryData::enhance_off_pngSize,
                     BinaryData::enhance_animation_strip_png, BinaryData::enhance_animation_strip_pngSize })
{
    initKnobStyle (knobStyle);
    initButtonStyle (buttonStyle, 17.08f);

    for (auto* knob : { &deEssKnob, &deNoiseKnob, &airKnob })
        GuiUtils::initSlider (initializer, *knob, &knobStyle, this, "%", juce::Slider::RotaryVerticalDrag, { 0, -25 });
    GuiUtils::initButton (preCompButton, this, "Pre Comp", buttonStyle);
    preCompButton.setColour (juce::TextButton::textColourOnId, CustomColours::THEME_ENHANCE_FILL);
    for (auto* lamp : { &deEssLamp, &deNoiseLamp })
    {
        lamp->setInactiveColour (CustomColours::CONTROL_OUTLINE);
        lamp->setActiveColour (CustomColours::THEME_ENHANCE_FILL);
        lamp->setGlowColour (CustomColours::THEME_ENHANCE_GLOW);
        addAndMakeVisible (*lamp);
    }

    initCaption (deEssCaption, "De-Ess", &deEssKnob);
    initCaption (deNoiseCaption, "De-Noise", &deNoiseKnob);
    initCaption (airCaption, "Air", &airKnob);

    deEssAttachment =
        std::make_unique<juce::QELSlider::SliderAttachment> (parameters, Params::paramEnhanceDeEss, deEssKnob);
    deNoiseAttachment =
        std::make_unique<juce::QELSlider::SliderAttachment> (parameters, Params::paramEnhanceDeNoise, deNoiseKnob);
    airAttachment = std::make_unique<juce::QELSlider::SliderAttachment> (parameters, Params::paramEnhanceAir, airKnob);
    preCompAttachment =
        std::make_unique<QEL::ButtonAttachment> (parameters, Params::paramEnhancePreComp, preCompButton);

    finishFrame();
}

EnhanceComponent::~EnhanceComponent()
{
    stopListening();
}

void EnhanceComponent::updateOwnBypassState (bool active)
{
    deEssLamp.setLampEnabled (active);
    deNoiseLamp.setLampEnabled (active);
}

void EnhanceComponent::resized()
{
    ModulePanel::resized();
    const int w = (int) ((float) getWidth() / scale);
    const float knobX = (float) ((w - 100) / 2);
    const std::tuple<juce::QELSlider*, juce::QELLabel*, float> knobs[] = { { &deEssKnob, &deEssCaption, 264.0f },
                                                                           { &deNoiseKnob, &deNoiseCaption, 374.0f },
                                                                           { &airKnob, &airCaption, 484.0f } };
    for (auto [knob, caption, y] : knobs)
    {
        PanelParts::place (*knob, { knobX, y, 100.0f, 100.0f }, scale);
        caption->setBounds (PanelParts::captionUnder (knob->getBounds()));
    }
    PanelParts::place (preCompButton, { (float) ((w - 131) / 2), 631.0f, 131.3f, 57.0f }, scale);

    // Each lamp overlaps the right edge of its knob's box, centred on the knob's height.
    const auto besideKnob = [] (juce::Component& knob)
    { return juce::Rectangle<int> (knob.getRight() - 12, knob.getY() + (knob.getHeight() - 20) / 2, 20, 20); };
    deEssLamp.setBounds (besideKnob (deEssKnob));
    deNoiseLamp.setBounds (besideKnob (deNoiseKnob));
}
} // namespace tessaro::gui
