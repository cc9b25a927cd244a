#include "lookandfeel/PresetMenuStyles.h"

#include <gtest/gtest.h>

namespace
{
/** A scroll bar drawn by the style into an image of its size: track red, thumb green. */
juce::Image drawScrollbar (bool vertical, int width, int height)
{
    tessaro::gui::ScrollBarLookAndFeel style;
    juce::ScrollBar bar (vertical);
    bar.setColour (juce::ScrollBar::trackColourId, juce::Colours::red);
    bar.setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xff00ff00));
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    style.drawScrollbar (g, bar, 0, 0, width, height, vertical, 20, 30, true, true);
    return image;
}
} // namespace

TEST (PresetMenuStyles, ScrollbarTrackAndThumbInsets)
{
    //  x: 0 1 2 3 4 5 6 7 8 9 10 11 12
    //           [ thumb 3..9  ]           rows 20..49
    //             [track 4..8]            all rows
    const auto v = drawScrollbar (true, 13, 100);
    EXPECT_EQ (v.getPixelAt (6, 80), juce::Colour (juce::Colours::red));
    EXPECT_EQ (v.getPixelAt (3, 80).getAlpha(), 0);
    EXPECT_EQ (v.getPixelAt (9, 80).getAlpha(), 0);
    EXPECT_EQ (v.getPixelAt (6, 35), juce::Colour (0xff00ff00));
    EXPECT_EQ (v.getPixelAt (3, 35), juce::Colour (0xff00ff00));
    EXPECT_EQ (v.getPixelAt (9, 35), juce::Colour (0xff00ff00));
    EXPECT_EQ (v.getPixelAt (10, 35).getAlpha(), 0);

    const auto h = drawScrollbar (false, 100, 13);
    EXPECT_EQ (h.getPixelAt (80, 6), juce::Colour (juce::Colours::red));
    EXPECT_EQ (h.getPixelAt (80, 3).getAlpha(), 0);
    EXPECT_EQ (h.getPixelAt (35, 3), juce::Colour (0xff00ff00));
}

TEST (PresetMenuStyles, PopupTextIsOneGreyAndArrowsHaveNoBackground)
{
    tessaro::gui::CustomPopupMenuLookAndFeel popup;
    EXPECT_EQ (popup.findColour (juce::PopupMenu::textColourId), juce::Colour (0xffdbdcde));
    EXPECT_EQ (popup.findColour (juce::PopupMenu::highlightedTextColourId), juce::Colour (0xffdbdcde));

    tessaro::gui::CustomDrawableButtonLookAndFeel style;
    juce::DrawableButton button ("Next Preset", juce::DrawableButton::ImageOnButtonBackgroundOriginalSize);
    button.setColour (juce::TextButton::buttonColourId, juce::Colours::white);
    button.setLookAndFeel (&style);
    button.setBounds (0, 0, 26, 31);
    for (auto [over, down] : { std::pair { false, false }, std::pair { true, false }, std::pair { true, true } })
    {
        juce::Image image (juce::Image::ARGB, 26, 31, true);
        juce::Graphics g (image);
        style.drawButtonBackground (g, button, juce::Colours::white, over, down);
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 26; ++x)
                ASSERT_EQ (image.getPixelAt (x, y).getAlpha(), 0);
    }
    button.setLookAndFeel (nullptr);
}
