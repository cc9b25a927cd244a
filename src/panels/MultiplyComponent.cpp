#include "panels/MultiplyComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"
#include "panels/PanelParts.h"

#include <BinaryData.h>

namespace tessaro::gui
{
MultiplyComponent::MultiplyComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                                      OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "MULTIPLY", CustomColours::THEME_MULTIPLY_FILL, CustomColours::THEME_MULTIPLY_GLOW,
                     Params::paramMultiplyPower, BinaryData::multiply_off_png, BinaryData::multiply_off_pngSize,
                     BinaryData::multiply_animation_strip_png, BinaryData::multiply_animation_strip_pngSize })
{
    listenTo (Params::paramMultiplyAmount);
    listenTo (Params::paramMultiplySpread);

    initKnobStyle (knobStyle);
    initButtonStyle (buttonStyle, 17.08f); // no text button here; kept dimmed with the others
    initKnobStyle (arcStyle);

    initCaption (spreadCaption, "Spread", &spreadSlider);
    initCaption (offsetCaption, "Offset", &offsetArc);
    initCaption (amountCaption, "Amount", &amountKnob);
    initCaption (lowCaption, "Low", &lowKnob);

    GuiUtils::initSlider (initializer, spreadSlider, &knobStyle, this, "%", juce::Slider::LinearHorizontal, { 0, -20 });
    spreadSlider.dragDistance = 350.0f;
    spreadSlider.setColour (juce::Slider::trackColourId, juce::Colour (0xffbf80ff));
    spreadSlider.setColour (juce::Slider::backgroundColourId, juce::Colour (0xff3d3f48));
    spreadSlider.setColour (juce::Slider::thumbColourId, CustomColours::THEME_MULTIPLY_FILL);
    for (auto* knob : { &amountKnob, &lowKnob })
        GuiUtils::initSlider (initializer, *knob, &knobStyle, this, "%", juce::Slider::RotaryVerticalDrag, { 0, -25 });
    PanelParts::initArc (initializer, offsetArc, &arcStyle, this, "%", 250.0f);
    addAndMakeVisible (view);

    const auto attach = [this] (const juce::String& id, juce::QELSlider& slider)
    { return std::make_unique<juce::QELSlider::SliderAttachment> (parameters, id, slider); };
    spreadAttachment = attach (Params::paramMultiplySpread, spreadSlider);
    amountAttachment = attach (Params::paramMultiplyAmount, amountKnob);
    lowAttachment = attach (Params::paramMultiplyLow, lowKnob);
    offsetAttachment = attach (Params::paramMultiplyOffset, offsetArc);

    view.setDensity (0.3f);
    for (const auto& id : { Params::paramMultiplyAmount, Params::paramMultiplySpread })
        ownParameterChanged (id, parameters.getRawParameterValue (id)->load());
    finishFrame();
}

MultiplyComponent::~MultiplyComponent()
{
    stopListening();
}

void MultiplyComponent::ownParameterChanged (const juce::String& parameterID, float newValue)
{
    if (parameterID == Params::paramMultiplyAmount)
        view.setAmount (juce::jlimit (0.0f, 100.0f, newValue) / 100.0f);
    else if (parameterID == Params::paramMultiplySpread)
        view.setSpread (newValue * 2.0f / 200.0f); // 0..200 % to 0..2
}

void MultiplyComponent::updateOwnBypassState (bool active)
{
    arcStyle.arcThicknessRatio = 0.08f;
    view.setBypassed (! active);
}

void MultiplyComponent::resized()
{
    ModulePanel::resized();
    const int w = (int) ((float) getWidth() / scale);
    const float knobX = (float) ((w - 100) / 2);
    PanelParts::place (view, { 10.0f, 290.0f, 182.0f, 72.0f }, scale);
    const auto v = view.getBounds();
    spreadSlider.setBounds (v.getX(), v.getBottom(), v.getWidth(), 45);
    PanelParts::place (amountKnob, { knobX, 480.0f, 100.0f, 100.0f }, scale);
    offsetArc.setBounds (PanelParts::arcAround (amountKnob.getBounds()));
    PanelParts::place (lowKnob, { knobX, 570.0f, 100.0f, 100.0f }, scale);

    const auto s = spreadSlider.getBounds();
    spreadCaption.setBounds (s.getX() - 20, s.getBottom() - 10, s.getWidth() + 40, 25);
    amountCaption.setBounds (PanelParts::captionUnder (amountKnob.getBounds()));
    offsetCaption.setBounds (PanelParts::captionOver (offsetArc.getBounds()));
    lowCaption.setBounds (PanelParts::captionUnder (lowKnob.getBounds()));
}
} // namespace tessaro::gui
