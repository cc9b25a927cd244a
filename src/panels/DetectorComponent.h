#pragma once

#include "editor/CachedShadows.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace tessaro::gui
{
/** A detector lamp: a small disc that lights, with a glow, while its detector reports activity and
    its module is processing; otherwise it shows its unlit colour. */
class DetectorComponent : public juce::Component
{
public:
    /** Red when unlit, green with a green glow when lit. */
    DetectorComponent();
    ~DetectorComponent() override = default;

    /** Stores whether the detector reports activity; repaints only when that changes. */
    void setActive (bool shouldBeActive);
    /** Stores whether the owning module is processing, and repaints. */
    void setLampEnabled (bool shouldBeEnabled);
    /** The fill while unlit. */
    void setInactiveColour (juce::Colour colour);
    /** The fill while lit. */
    void setActiveColour (juce::Colour colour);
    /** The glow around a lit lamp; rebuilds the glow. */
    void setGlowColour (juce::Colour colour);

    bool isActive() const noexcept { return active; }
    bool isLampEnabled() const noexcept { return enabled; }
    /** Lit: active and enabled. */
    bool isLit() const noexcept { return active && enabled; }
    /** How many state changes asked for a repaint through setActive. */
    int getRepaintRequests() const noexcept { return repaintRequests; }

    /** The lamp: an ellipse inset by 0.28 of the width on both axes. */
    static juce::Rectangle<float> lampArea (float width, float height) noexcept;

    /** The lamp, lit with its glow or unlit. */
    void paint (juce::Graphics& g) override;

private:
    /** Three glow shadows in the glow colour, radii 9, 6 and 3. */
    void initDropShadow();

    bool active = false;
    bool enabled = true;
    juce::Colour inactiveColour { 0xffff0000 };
    juce::Colour activeColour { 0xff008000 };
    juce::Colour glowColour { 0xff008000 };
    melatonin::internal::CachedShadows glow { { { juce::Colours::black, 0 } } };
    int repaintRequests = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DetectorComponent)
};
} // namespace tessaro::gui
