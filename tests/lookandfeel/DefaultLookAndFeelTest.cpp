#include "editor/GuiTestSupport.h"
#include "lookandfeel/DefaultLookAndFeel.h"

#include <gtest/gtest.h>

namespace
{
juce::Image canvas (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}
} // namespace

TEST (DefaultLookAndFeel, SetsItsColourTable)
{
    DefaultLookAndFeel lnf;
    const std::pair<int, juce::uint32> table[] = {
        { juce::AlertWindow::backgroundColourId, 0xcc000000 }, { juce::AlertWindow::outlineColourId, 0xff6a6d78 },
        { juce::AlertWindow::textColourId, 0xffaaaaaa },       { juce::TextEditor::backgroundColourId, 0x00000000 },
        { juce::TextEditor::outlineColourId, 0xff969696 },     { juce::TextEditor::highlightColourId, 0xff969696 },
        { juce::TextButton::buttonColourId, 0xcc000000 },      { juce::TextButton::buttonOnColourId, 0xcc484848 },
        { juce::TextButton::textColourOffId, 0xffaaaaaa },     { juce::TextButton::textColourOnId, 0xffaaaaaa },
        { juce::ComboBox::backgroundColourId, 0x00000000 },    { juce::ComboBox::buttonColourId, 0x00000000 },
        { juce::ComboBox::textColourId, 0xffffffff },          { juce::Label::textColourId, 0xff747d81 },
        { juce::PopupMenu::backgroundColourId, 0xa6000000 },   { juce::PopupMenu::highlightedBackgroundColourId, 0x406a6d78 },
        { juce::PopupMenu::textColourId, 0xff535660 },         { juce::PopupMenu::highlightedTextColourId, 0xffdbdcde },
        { juce::TooltipWindow::backgroundColourId, 0x00ffffff }, { juce::TooltipWindow::textColourId, 0xff2b2d34 },
        { juce::TooltipWindow::outlineColourId, 0x00ffffff },
    };
    for (const auto& [id, argb] : table)
        EXPECT_EQ (lnf.findColour (id).getARGB(), argb) << std::hex << id;

    // The derived ones follow JUCE's darker and brighter.
    EXPECT_EQ (juce::Colour (0xffd3d3d3).darker (0.4f).getARGB(), 0xff969696u);
    EXPECT_EQ (juce::Colour (0xcc000000).brighter (0.4f).getARGB(), 0xcc484848u);

    EXPECT_FLOAT_EQ (lnf.getPopupMenuFont().getHeight(), 21.96f);
    EXPECT_FLOAT_EQ (lnf.getAlertWindowTitleFont().getHeight(), 18.0f);
    EXPECT_TRUE (lnf.getAlertWindowTitleFont().isBold());
    EXPECT_FLOAT_EQ (lnf.getAlertWindowMessageFont().getHeight(), 16.0f);
    EXPECT_FLOAT_EQ (lnf.getAlertWindowFont().getHeight(), 14.0f);
    EXPECT_EQ (lnf.getAlertWindowButtonHeight(), 30);
    EXPECT_EQ (lnf.getPopupMenuBorderSize(), 10);
}

TEST (DefaultLookAndFeel, ComboBoxMenusAreAtLeastAsWideAsTheBoxAndShowTheSelection)
{
    DefaultLookAndFeel lnf;
    juce::ComboBox box;
    juce::Label label;
    box.addItemList ({ "a", "b", "c" }, 1);
    box.setSelectedId (3, juce::dontSendNotification);
    box.setSize (200, 24);
    const auto options = lnf.getOptionsForComboBoxPopupMenu (box, label);
    EXPECT_EQ (options.getTargetComponent(), &box);
    EXPECT_EQ (options.getItemThatMustBeVisible(), 3);
    EXPECT_EQ (options.getInitiallySelectedItemId(), 3);
    EXPECT_EQ (options.getMinimumWidth(), 200);
    EXPECT_EQ (options.getMaximumNumColumns(), 1);
    EXPECT_EQ (options.getStandardItemHeight(), 0);
}

TEST (DefaultLookAndFeel, PopupItemGeometryAndColours)
{
    // A 200 x 29 row: content from x + 8, 184 wide, 23 high; font 23 / 1.3; text at x + 26.
    const auto layout = PopupItemLayout::of ({ 0, 0, 200, 29 }, 21.96f);
    EXPECT_EQ (layout.content, juce::Rectangle<int> (8, 3, 184, 23));
    EXPECT_NEAR (layout.fontHeight, 17.69f, 0.01f);
    EXPECT_EQ (layout.textLeft, 26);

    DefaultLookAndFeel lnf;
    auto image = canvas (200, 29);
    {
        juce::Graphics g (image);
        lnf.drawPopupMenuItem (g, { 0, 0, 200, 29 }, false, true, true, false, false, "", "", nullptr, nullptr);
    }
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (7, 14), juce::Colour (0x406a6d78), 6)) // premultiplied at alpha 0x40
        << image.getPixelAt (7, 14).toDisplayString (true);
    EXPECT_TRUE (image.getPixelAt (5, 14).isTransparent());

    image = canvas (200, 29); // ticked: no highlight even when highlighted
    {
        juce::Graphics g (image);
        lnf.drawPopupMenuItem (g, { 0, 0, 200, 29 }, false, true, true, true, false, "", "", nullptr, nullptr);
    }
    EXPECT_TRUE (image.getPixelAt (7, 14).isTransparent());
}

TEST (DefaultLookAndFeel, SeparatorIsOneLineNearTheMiddle)
{
    DefaultLookAndFeel lnf;
    for (const auto& [height, lineY] : { std::pair { 10, 4 }, std::pair { 11, 5 } })
    {
        auto image = canvas (100, height);
        {
            juce::Graphics g (image);
            lnf.drawPopupMenuItem (g, { 0, 0, 100, height }, true, true, false, false, false, "", "", nullptr,
                                   nullptr);
        }
        for (int y = 0; y < height; ++y)
            EXPECT_EQ (image.getPixelAt (50, y).getAlpha(), y == lineY ? 0x4c : 0) << height << " " << y;
        EXPECT_TRUE (image.getPixelAt (4, lineY).isTransparent());
        EXPECT_FALSE (image.getPixelAt (5, lineY).isTransparent());
        EXPECT_TRUE (image.getPixelAt (95, lineY).isTransparent());
    }
}

TEST (DefaultLookAndFeel, ScrollbarTrackInsetFiveThumbInsetThree)
{
    DefaultLookAndFeel lnf;
    juce::ScrollBar bar (true);
    bar.setColour (juce::ScrollBar::trackColourId, juce::Colours::red);
    bar.setColour (juce::ScrollBar::thumbColourId, juce::Colours::blue);
    auto image = canvas (13, 100);
    {
        juce::Graphics g (image);
        lnf.drawScrollbar (g, bar, 0, 0, 13, 100, true, 50, 30, false, false);
    }
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (6, 20), juce::Colours::red));
    EXPECT_TRUE (image.getPixelAt (4, 20).isTransparent());
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (4, 65), juce::Colours::blue));
    EXPECT_TRUE (image.getPixelAt (2, 65).isTransparent());
}
