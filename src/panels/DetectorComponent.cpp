#include "panels/DetectorComponent.h"

namespace tessaro::gui
{
bool DetectorComponent::setActive (bool shouldBeActive)
{
    if (active == shouldBeActive)
        return false;
    active = shouldBeActive;
    ++repaintRequests;
    repaint();
    return true;
}

void DetectorComponent::paint (juce::Graphics& g)
{
    const auto lamp = getLocalBounds().toFloat().reduced (1.0f);
    g.setColour (colour.withAlpha (active ? 1.0f : 0.2f));
    g.fillEllipse (lamp);
}
} // namespace tessaro::gui
