#pragma once

#include "editor/GuiTestSupport.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** Mouse events for the EQ views, as a press or a drag past the drag threshold would give. */
namespace eq_view_test
{
inline juce::MouseEvent event (juce::Component& c, juce::Point<float> position, juce::ModifierKeys mods = {},
                               juce::Point<float> downAt = {}, bool dragged = false, int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(),
             position,
             mods,
             juce::MouseInputSource::defaultPressure,
             juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation,
             juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY,
             &c,
             &c,
             now,
             dragged ? downAt : position,
             now,
             clicks,
             dragged };
}

/** A press at `from`, then one drag event at `to` with the given keyboard modifiers. */
inline void pressAndDrag (juce::Component& c, juce::Point<float> from, juce::Point<float> to,
                          juce::ModifierKeys keys = {})
{
    const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    c.mouseDown (event (c, from, left));
    c.mouseDrag (event (c, to, keys.withFlags (juce::ModifierKeys::leftButtonModifier), from, true));
    c.mouseUp (event (c, to, keys));
}
} // namespace eq_view_test
