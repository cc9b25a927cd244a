#include "panels/PanelParts.h"

#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"

namespace tessaro::gui
{
void PanelParts::initArc (QELComponentInitializer* initializer, juce::QELSlider& arc, LookAndFeel* lookAndFeel,
                          juce::Component* parent, const juce::String& suffix, float dragDistance)
{
    GuiUtils::initSlider (initializer, arc, lookAndFeel, parent, suffix, juce::Slider::RotaryVerticalDrag, { 0, 0 });
    arc.dragDistance = dragDistance;
    arc.setRotaryParameters (juce::MathConstants<float>::pi * 1.75f, juce::MathConstants<float>::pi * 2.25f, true);
    arc.useHitBox = true;
    arc.hitBoxLeft = arc.hitBoxTop = arc.hitBoxRight = 0;
    arc.hitBoxBottom = -80;
    arc.popupPlacement = juce::BubbleComponent::above;
    arc.popupOffset = { 0, 41 };
}

juce::Rectangle<int> PanelParts::arcAround (juce::Rectangle<int> knob)
{
    return { knob.getX() - 22, knob.getY() - 22, 144, 144 };
}

juce::Rectangle<int> PanelParts::captionUnder (juce::Rectangle<int> knob)
{
    return { knob.getX() - 20, knob.getBottom() - 15, knob.getWidth() + 40, 25 };
}

juce::Rectangle<int> PanelParts::captionOver (juce::Rectangle<int> arc)
{
    return { arc.getX() - 20, arc.getY() + 5, arc.getWidth() + 40, 25 };
}

juce::Colour PanelParts::textColour (bool active)
{
    return active ? CustomColours::TEXT_GENERIC : CustomColours::TEXT_GENERIC.withAlpha ((juce::uint8) 0x80);
}

void PanelParts::place (juce::Component& component, juce::Rectangle<float> design, float scale)
{
    component.setBounds (GuiUtils::enclosing (design, scale));
}
} // namespace tessaro::gui
