#pragma once

#include "editor/CachedBlur.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace tessaro::gui
{
/** A frosted backdrop: draws a blurred picture of the face only inside its visible region,
    and lets every click through to what lies beneath. */
class OverlayComponent : public juce::Component
{
public:
    OverlayComponent();

    /** The blurred picture, clipped to the visible region. */
    void paint (juce::Graphics& g) override;

    /** Keeps the visible region inside the new bounds. */
    void resized() override;

    /** Where the blurred picture shows; empty shows nothing. */
    juce::RectangleList<int> visibleRegion;
    /** The last source picture and its blurred copy. */
    melatonin::CachedBlur blur { 48 };
};
} // namespace tessaro::gui
