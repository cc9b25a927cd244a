#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Where a popup menu item draws: the content rectangle inside the row, the font height and
    the left edge of its text (after the icon column, which every item reserves). */
struct PopupItemLayout
{
    juce::Rectangle<int> content;
    float fontHeight = 0.0f;
    int textLeft = 0;

    /** The layout of a row for a menu font of the given height. */
    static PopupItemLayout of (juce::Rectangle<int> area, float menuFontHeight);
};

/** The editor-wide default look: dark translucent alert windows with a grey outline, dark
    translucent popup menus with light text on a grey highlight, slim rounded scrollbars; the
    alert and popup text in Montserrat Regular. */
class DefaultLookAndFeel : public juce::LookAndFeel_V4
{
public:
    DefaultLookAndFeel();
    ~DefaultLookAndFeel() override;

    /** A rounded track inset 5 on its long sides under a rounded thumb inset 3. */
    void drawScrollbar (juce::Graphics&, juce::ScrollBar&, int x, int y, int width, int height, bool isVertical,
                        int thumbStart, int thumbSize, bool isMouseOver, bool isMouseDown) override;

    /** Outline, translucent fill, the icon cut out of its shape, then the text. */
    void drawAlertBox (juce::Graphics&, juce::AlertWindow&, const juce::Rectangle<int>& textArea,
                       juce::TextLayout&) override;
    /** 30. */
    int getAlertWindowButtonHeight() override;
    /** Montserrat at 18, bold. */
    juce::Font getAlertWindowTitleFont() override;
    /** Montserrat at 16. */
    juce::Font getAlertWindowMessageFont() override;
    /** Montserrat at 14. */
    juce::Font getAlertWindowFont() override;

    /** A plain translucent fill inside a rounded outline, 4 pixels in from the window's edge. */
    void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
    /** A separator line, or the item's text (ticked items only change colour). */
    void drawPopupMenuItem (juce::Graphics&, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;
    /** Montserrat at 21.96. */
    juce::Font getPopupMenuFont() override;
    /** 10. */
    int getPopupMenuBorderSize() override;

    /** The box's width at least, one column, the selected item shown and initially selected. */
    juce::PopupMenu::Options getOptionsForComboBoxPopupMenu (juce::ComboBox&, juce::Label&) override;

    /** Montserrat Regular; the font getters copy it with their heights. */
    juce::Font defaultFont;
};
