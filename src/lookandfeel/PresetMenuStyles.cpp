#include "lookandfeel/PresetMenuStyles.h"

namespace tessaro::gui
{
CustomPopupMenuLookAndFeel::CustomPopupMenuLookAndFeel()
{
    setColour (juce::PopupMenu::textColourId, juce::Colour (0xffdbdcde));
    setColour (juce::PopupMenu::highlightedTextColourId, juce::Colour (0xffdbdcde));
}

void ScrollBarLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar& bar, int x, int y, int width, int height,
                                          bool isVertical, int thumbStart, int thumbSize, bool, bool)
{
    const auto track = isVertical ? juce::Rectangle<int> (x + 4, y, width - 8, height)
                                  : juce::Rectangle<int> (x, y + 4, width, height - 8);
    const auto thumb = isVertical
                           ? juce::Rectangle<int> (x + 3, thumbStart, juce::jmax (0, width - 6), juce::jmax (0, thumbSize))
                           : juce::Rectangle<int> (thumbStart, y + 3, juce::jmax (0, thumbSize), juce::jmax (0, height - 6));

    g.setColour (bar.findColour (juce::ScrollBar::trackColourId));
    g.fillRoundedRectangle (track.toFloat(), 2.0f);
    g.setColour (bar.findColour (juce::ScrollBar::thumbColourId));
    g.fillRoundedRectangle (thumb.toFloat(), 4.0f);
}
} // namespace tessaro::gui
