#pragma once

#include "editor/QELComponentInitializer.h"
#include "editor/QELSlider.h"
#include "lookandfeel/LookAndFeel.h"

namespace tessaro::gui
{
/** Shapes and placements that several module panels share: the thin arc over the top of a knob,
    and where captions sit relative to their control. Message thread only. */
struct PanelParts
{
    /** A thin quarter-turn arc centred on twelve o'clock, drawn in a box 44 units larger than the
        knob it surrounds: the knob set-up, then 1.75 pi .. 2.25 pi, the mouse taken only in the top
        64 units, the value popup above it moved down 41. */
    static void initArc (QELComponentInitializer* initializer, juce::QELSlider& arc, LookAndFeel* lookAndFeel,
                         juce::Component* parent, const juce::String& suffix, float dragDistance);

    /** The 144 x 144 box of an arc around a knob: 22 beyond the knob's top left. */
    static juce::Rectangle<int> arcAround (juce::Rectangle<int> knob);
    /** A caption over the bottom of a knob: 20 wider on each side, 15 up from its bottom, 25 tall. */
    static juce::Rectangle<int> captionUnder (juce::Rectangle<int> knob);
    /** A caption over the top of an arc: 20 wider on each side, 5 below its top, 25 tall. */
    static juce::Rectangle<int> captionOver (juce::Rectangle<int> arc);

    /** Text colour of captions and selector labels: full while active, half alpha while not. */
    static juce::Colour textColour (bool active);

    /** Places a design rectangle at a layout scale, on the smallest enclosing whole-unit rectangle. */
    static void place (juce::Component& component, juce::Rectangle<float> design, float scale);
};
} // namespace tessaro::gui
