#include "lookandfeel/DefaultLookAndFeel.h"

#include "editor/EmbeddedResources.h"

#include <cmath>

namespace
{
/** v to the nearest whole number, halves to the even one. */
int nearest (float v)
{
    return (int) std::nearbyint (v);
}

const juce::Colour popupOutline { 0xff6a6d78 };
} // namespace

PopupItemLayout PopupItemLayout::of (juce::Rectangle<int> area, float menuFontHeight)
{
    PopupItemLayout layout;
    const int margin = juce::jmin (5, area.getWidth() / 20);
    layout.content = area.reduced (3).withTrimmedLeft (margin).withTrimmedRight (margin);
    const float maxFontHeight = (float) layout.content.getHeight() / 1.3f;
    layout.fontHeight = juce::jmin (menuFontHeight, maxFontHeight);
    layout.textLeft = layout.content.getX() + juce::jmin (nearest (maxFontHeight), layout.content.getWidth());
    return layout;
}

DefaultLookAndFeel::DefaultLookAndFeel() : defaultFont (QEL::EmbeddedResources::montserratRegular())
{
    const std::pair<int, juce::uint32> colours[] = {
        { juce::AlertWindow::backgroundColourId, 0xcc000000 },
        { juce::AlertWindow::outlineColourId, 0xff6a6d78 },
        { juce::AlertWindow::textColourId, 0xffaaaaaa },
        { juce::TextEditor::backgroundColourId, 0x00000000 },
        { juce::TextEditor::outlineColourId, 0xff969696 },
        { juce::TextEditor::highlightColourId, 0xff969696 },
        { juce::TextButton::buttonColourId, 0xcc000000 },
        { juce::TextButton::buttonOnColourId, 0xcc484848 },
        { juce::TextButton::textColourOffId, 0xffaaaaaa },
        { juce::TextButton::textColourOnId, 0xffaaaaaa },
        { juce::ComboBox::backgroundColourId, 0x00000000 },
        { juce::ComboBox::buttonColourId, 0x00000000 },
        { juce::ComboBox::textColourId, 0xffffffff },
        { juce::Label::textColourId, 0xff747d81 },
        { juce::PopupMenu::backgroundColourId, 0xa6000000 },
        { juce::PopupMenu::highlightedBackgroundColourId, 0x406a6d78 },
        { juce::PopupMenu::textColourId, 0xff535660 },
        { juce::PopupMenu::highlightedTextColourId, 0xffdbdcde },
        { juce::TooltipWindow::backgroundColourId, 0x00ffffff },
        { juce::TooltipWindow::textColourId, 0xff2b2d34 },
        { juce::TooltipWindow::outlineColourId, 0x00ffffff },
    };
    for (const auto& [id, argb] : colours)
        setColour (id, juce::Colour (argb));
}

DefaultLookAndFeel::~DefaultLookAndFeel() = default;

//==============================================================================
void DefaultLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar& bar, int x, int y, int width, int height,
                                        bool isVertical, int thumbStart, int thumbSize, bool, bool)
{
    g.setColour (bar.findColour (juce::ScrollBar::trackColourId));
    const auto track = isVertical ? juce::Rectangle<int> (x + 5, y, width - 10, height)
                                  : juce::Rectangle<int> (x, y + 5, width, height - 10);
    g.fillRoundedRectangle (track.toFloat(), 2.0f);

    g.setColour (bar.findColour (juce::ScrollBar::thumbColourId));
    const int size = juce::jmax (0, thumbSize);
    const auto thumb = isVertical ? juce::Rectangle<int> (x + 3, thumbStart, juce::jmax (0, width - 6), size)
                                  : juce::Rectangle<int> (thumbStart, y + 3, size, juce::jmax (0, height - 6));
    g.fillRoundedRectangle (thumb.toFloat(), 4.0f);
}

//==============================================================================
void DefaultLookAndFeel::drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert,
                                       const juce::Rectangle<int>& textArea, juce::TextLayout& textLayout)
{
    const int w = alert.getWidth(), h = alert.getHeight();
    g.setColour (alert.findColour (juce::AlertWindow::outlineColourId));
    g.drawRoundedRectangle (4.0f, 4.0f, (float) juce::jmax (0, w - 8), (float) juce::jmax (0, h - 8), 4.0f, 2.0f);

    const juce::Rectangle<int> bounds (1, 1, juce::jmax (0, w - 2), juce::jmax (0, h - 2));
    g.reduceClipRegion (bounds);
    g.setColour (alert.findColour (juce::AlertWindow::backgroundColourId));
    g.fillRoundedRectangle (bounds.reduced (4).toFloat(), 4.0f);

    int iconSize = juce::jmin (130, bounds.getHeight() + 20);
    if (alert.containsAnyExtraComponents() || alert.getNumButtons() > 2)
        iconSize = juce::jmin (iconSize, textArea.getHeight() + 50);
    const juce::Rectangle<int> iconRect (iconSize / -10, iconSize / -10, iconSize, iconSize);

    int iconWidth = 0;
    const auto type = alert.getAlertType();
    if (type != juce::MessageBoxIconType::NoIcon)
    {
        juce::Path icon;
        juce::Colour colour;
        juce::String character;
        const auto r = iconRect.toFloat();
        if (type == juce::MessageBoxIconType::WarningIcon)
        {
            juce::Path triangle;
            triangle.addTriangle (r.getX() + 0.5f * r.getWidth(), r.getY(), r.getRight(), r.getBottom(), r.getX(),
                                  r.getBottom());
            icon = triangle.createPathWithRoundedCorners (5.0f);
            colour = juce::Colour (0x66ff2a00);
            character = "!";
        }
        else
        {
            icon.addEllipse (r);
            colour = juce::Colour (0x6600b0b9);
            character = type == juce::MessageBoxIconType::InfoIcon ? "i" : "?";
        }

        juce::GlyphArrangement glyph;
        glyph.addFittedText (juce::Font (0.9f * (float) iconSize, juce::Font::bold), character, r.getX(), r.getY(),
                             r.getWidth(), r.getHeight(), juce::Justification::centred, 1);
        glyph.createPath (icon);
        icon.setUsingNonZeroWinding (false);
        g.setColour (colour);
        g.fillPath (icon);
        iconWidth = 80;
    }

    g.setColour (alert.findColour (juce::AlertWindow::textColourId));
    textLayout.draw (g, juce::Rectangle<int> (1 + iconWidth, 30, bounds.getWidth(),
                                              bounds.getHeight() - getAlertWindowButtonHeight() - 20)
                            .toFloat());
}

int DefaultLookAndFeel::getAlertWindowButtonHeight()
{
    return 30;
}

juce::Font DefaultLookAndFeel::getAlertWindowTitleFont()
{
    auto font = defaultFont.withHeight (18.0f);
    return font.withStyle (font.getStyleFlags() | juce::Font::bold);
}

juce::Font DefaultLookAndFeel::getAlertWindowMessageFont()
{
    return defaultFont.withHeight (16.0f);
}

juce::Font DefaultLookAndFeel::getAlertWindowFont()
{
    return defaultFont.withHeight (14.0f);
}

//==============================================================================
void DefaultLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    const juce::Rectangle<float> r (4.0f, 4.0f, (float) juce::jmax (0, width - 8), (float) juce::jmax (0, height - 8));
    g.setColour (findColour (juce::PopupMenu::backgroundColourId));
    g.fillRect (r);
    g.setColour (popupOutline);
    g.drawRoundedRectangle (r, 4.0f, 1.0f);
}

void DefaultLookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator,
                                            bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                                            const juce::String& text, const juce::String& shortcutKeyText,
                                            const juce::Drawable* icon, const juce::Colour* textColourToUse)
{
    if (isSeparator)
    {
        auto r = juce::Rectangle<int> (area.getX() + 5, area.getY(), juce::jmax (0, area.getWidth() - 10),
                                       juce::jmax (0, area.getHeight()));
        r.removeFromTop (juce::jmin (nearest (0.5f * (float) area.getHeight() - 0.5f), r.getHeight()));
        g.setColour (findColour (juce::PopupMenu::textColourId).withAlpha ((juce::uint8) 0x4c));
        g.fillRect (r.removeFromTop (juce::jmin (1, r.getHeight())));
        return;
    }

    const auto textColour =
        textColourToUse != nullptr ? *textColourToUse : findColour (juce::PopupMenu::textColourId);
    if (isTicked)
        g.setColour (findColour (juce::PopupMenu::highlightedTextColourId));
    else if (isHighlighted && isActive)
    {
        g.setColour (findColour (juce::PopupMenu::highlightedBackgroundColourId));
        g.fillRect (area.getX() + 6, area.getY() + 2, juce::jmax (0, area.getWidth() - 12),
                    juce::jmax (0, area.getHeight() - 4));
        g.setColour (findColour (juce::PopupMenu::highlightedTextColourId));
    }
    else
    {
        const float alpha = isActive ? 1.0f : 0.5f;
        g.setColour (textColour.withAlpha (
            (juce::uint8) juce::jmin (255, juce::roundToInt ((float) textColour.getAlpha() * alpha))));
    }

    const auto layout = PopupItemLayout::of (area, getPopupMenuFont().getHeight());
    auto r = layout.content;
    auto font = getPopupMenuFont();
    font.setHeight (layout.fontHeight);
    g.setFont (font);

    const auto iconArea = r.removeFromLeft (layout.textLeft - r.getX());
    if (icon != nullptr)
    {
        icon->drawWithin (g, iconArea.toFloat(), juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize,
                          1.0f);
        r.removeFromLeft (juce::jmin (nearest (0.5f * (float) layout.content.getHeight() / 1.3f), r.getWidth()));
    }

    if (hasSubMenu)
    {
        const float a = 0.6f * getPopupMenuFont().getAscent();
        const auto strip = r.removeFromRight (juce::jmin ((int) a, r.getWidth()));
        const float ax = (float) strip.getX(), cy = (float) (area.getY() + 3 + layout.content.getHeight() / 2);
        juce::Path arrow;
        arrow.startNewSubPath (ax, cy - a / 2.0f);
        arrow.lineTo (ax + 0.6f * a, cy);
        arrow.lineTo (ax, cy + a / 2.0f);
        g.strokePath (arrow, juce::PathStrokeType (2.0f));
    }

    r.removeFromRight (juce::jmin (3, r.getWidth()));
    g.drawFittedText (text, r, juce::Justification::centredLeft, 1);

    if (shortcutKeyText.isNotEmpty())
    {
        auto small = font;
        small.setHeight (small.getHeight() * 0.75f);
        small.setHorizontalScale (0.95f);
        g.setFont (small);
        g.drawText (shortcutKeyText, r, juce::Justification::centredRight, true);
    }
}

juce::Font DefaultLookAndFeel::getPopupMenuFont()
{
    return defaultFont.withHeight (21.96f);
}

int DefaultLookAndFeel::getPopupMenuBorderSize()
{
    return 10;
}

juce::PopupMenu::Options DefaultLookAndFeel::getOptionsForComboBoxPopupMenu (juce::ComboBox& box, juce::Label&)
{
    return juce::PopupMenu::Options()
        .withTargetComponent (&box)
        .withItemThatMustBeVisible (box.getSelectedId())
        .withInitiallySelectedItem (box.getSelectedId())
        .withMinimumWidth (box.getWidth())
        .withMaximumNumColumns (1)
        .withStandardItemHeight (0);
}
