#pragma once

#include "lookandfeel/DefaultLookAndFeel.h"

namespace tessaro::gui
{
/** The preset bar's save menu: the default look with every item text in one light grey. */
class CustomPopupMenuLookAndFeel : public DefaultLookAndFeel
{
public:
    CustomPopupMenuLookAndFeel();
    ~CustomPopupMenuLookAndFeel() override = default;
};

/** The preset bar's arrow buttons: no background in any state, only the images show. */
class CustomDrawableButtonLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ~CustomDrawableButtonLookAndFeel() override = default;

    /** Draws nothing. */
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour&, bool, bool) override {}
};

/** The preset list's scroll bar: a slim rounded track inset 4 px on its long sides under a
    rounded thumb inset 3 px; the mouse changes nothing. */
class ScrollBarLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ~ScrollBarLookAndFeel() override = default;

    /** Track in the bar's track colour, thumb in its thumb colour. */
    void drawScrollbar (juce::Graphics& g, juce::ScrollBar& bar, int x, int y, int width, int height, bool isVertical,
                        int thumbStart, int thumbSize, bool isMouseOver, bool isMouseDown) override;
};
} // namespace tessaro::gui
