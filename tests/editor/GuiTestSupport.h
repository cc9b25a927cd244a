#pragma once

#include "TestSandbox.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

/** Helpers for testing components without a display: painting into images, synthesized
    mouse input, menu contents and the message loop. Nothing here opens a window, a popup
    or a modal loop, so every helper works headless. */
namespace gui_test
{
//==============================================================================
/** A fresh folder that every preset and per-user path points into while it lives. */
using Sandbox = test_support::Sandbox;

//==============================================================================
/** The component and its children painted into a new ARGB image of its size, at `scale`. */
juce::Image paint (juce::Component& component, float scale = 1.0f);

/** Writes an image to build/tests/test-artifacts/<name>.png for a person to look at. */
juce::File writeArtifact (const juce::Image& image, const juce::String& name);

/** True when every channel of a and b differs by at most `tolerance`. */
bool closeTo (juce::Colour a, juce::Colour b, int tolerance = 2);

//==============================================================================
/** A mouse event as a real press at `position` (in the component's coordinates) would give. */
juce::MouseEvent mouseEvent (juce::Component& component, juce::Point<float> position, juce::ModifierKeys modifiers = {},
                             int clicks = 1);

/** mouseDown and mouseUp at one place, delivered to the component and its mouse listeners. */
void click (juce::Component& component, juce::Point<float> position, juce::ModifierKeys modifiers = {}, int clicks = 1);

//==============================================================================
/** What a menu item shows. */
struct MenuEntry
{
    juce::String text;
    int itemID = 0;
    bool isHeader = false, isSeparator = false, isEnabled = true, isTicked = false;
    juce::Colour colour;
    bool hasAction = false;
};

/** The items of a menu (top level only), in order. */
std::vector<MenuEntry> entriesOf (const juce::PopupMenu& menu);

//==============================================================================
/** Runs the message loop for `milliseconds`: timers, async updates and posted calls. */
void pump (int milliseconds);

/** Runs the message loop until done() holds (true) or `timeoutMs` have passed (false): timers on a
    loaded machine may fire late. */
bool pumpUntil (const std::function<bool()>& done, int timeoutMs = 5000);
} // namespace gui_test
