#include "panels/DetectorComponent.h"

namespace tessaro::gui
{
DetectorComponent::DetectorComponent()
{
    initDropShadow();
}

void DetectorComponent::setActive (bool shouldBeActive)
{
    if (active == shouldBeActive)
        return;
    active = shouldBeActive;
    ++repaintRequests;
    repaint();
}

void DetectorComponent::setLampEnabled (bool shouldBeEnabled)
{
    enabled = shouldBeEnabled;
    repaint();
}

void DetectorComponent::setInactiveColour (juce::Colour colour)
{
    inactiveColour = colour;
    repaint();
}

void DetectorComponent::setActiveColour (juce::Colour colour)
{
    activeColour = colour;
    repaint();
}

void DetectorComponent::setGlowColour (juce::Colour colour)
{
    glowColour = colour;
    initDropShadow();
    repaint();
}

void DetectorComponent::initDropShadow()
{
    glow = melatonin::internal::CachedShadows ({ { glowColour, 9 }, { glowColour, 6 }, { glowColour, 3 } });
}

juce::Rectangle<float> DetectorComponent::lampArea (float width, float height) noexcept
{
    const float inset = 0.28f * width;
    return { inset, inset, width - 2.0f * inset, height - 2.0f * inset };
}

void DetectorComponent::paint (juce::Graphics& g)
{
    juce::Path lamp;
    lamp.addEllipse (lampArea ((float) getWidth(), (float) getHeight()));

    if (isLit())
    {
        juce::Path outline;
        juce::PathStrokeType (1.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded)
            .createStrokedPath (outline, lamp);
        glow.render (g, outline);
        g.setColour (activeColour);
    }
    else
    {
        g.setColour (inactiveColour);
    }
    g.fillPath (lamp);
}
} // namespace tessaro::gui
