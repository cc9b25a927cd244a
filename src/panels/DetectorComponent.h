#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace tessaro::gui
{
/** A detector lamp: lit while its detector reports activity. */
class DetectorComponent : public juce::Component
{
public:
    explicit DetectorComponent (juce::Colour litColour = juce::Colours::white) : colour (litColour) {}

    /** Stores the state and repaints, only when it changed; returns whether it did. */
    bool setActive (bool shouldBeActive);

    /** The lamp's state. */
    bool isActive() const noexcept { return active; }

    /** How many times a change asked for a repaint. */
    int getRepaintRequests() const noexcept { return repaintRequests; }

    /** A round lamp, bright when active. */
    void paint (juce::Graphics& g) override;

private:
    juce::Colour colour;
    bool active = false;
    int repaintRequests = 0;
};
} // namespace tessaro::gui
