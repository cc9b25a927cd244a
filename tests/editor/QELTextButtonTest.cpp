#include <gtest/gtest.h>

#include "editor/QELTextButton.h"

namespace
{
float fontHeightOf (juce::QELTextButton& button)
{
    return button.getLookAndFeel().getTextButtonFont (button, button.getHeight()).getHeight();
}
} // namespace

TEST (QELTextButton, FontFollowsHalfTheHeightUnlessFixed)
{
    juce::QELTextButton button;
    EXPECT_FLOAT_EQ (fontHeightOf (button), 32.0f);

    button.setSize (100, 30);
    EXPECT_FLOAT_EQ (fontHeightOf (button), 15.0f);

    button.fontSize = 12.0f;
    button.setSize (100, 31);
    EXPECT_FLOAT_EQ (fontHeightOf (button), 12.0f);
}

TEST (QELTextButton, LookAndFeelIgnoresTheButtonAndItsHeight)
{
    juce::QELTextButtonLookAndFeel laf;
    laf.fontHeight = 21.0f;
    juce::TextButton a ("a"), b ("b");
    EXPECT_FLOAT_EQ (laf.getTextButtonFont (a, 10).getHeight(), 21.0f);
    EXPECT_FLOAT_EQ (laf.getTextButtonFont (b, 500).getHeight(), 21.0f);
}

/** Height in pixels of the bright ink of a button's text. */
int inkHeight (juce::TextButton& button)
{
    button.setColour (juce::TextButton::buttonColourId, juce::Colours::black);
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    const auto image = button.createComponentSnapshot (button.getLocalBounds(), true, 1.0f);
    int top = image.getHeight(), bottom = -1;
    for (int y = 3; y < image.getHeight() - 3; ++y) // inside the outline
        for (int x = 5; x < image.getWidth() - 5; ++x)
            if (image.getPixelAt (x, y).getBrightness() > 0.6f)
            {
                top = std::min (top, y);
                bottom = std::max (bottom, y);
            }
    return bottom - top + 1;
}

TEST (QELTextButton, DrawsItsTextAtTheLookAndFeelHeight)
{
    // The framework's own button draws at most 16 points; ours draws what its look-and-feel says.
    juce::QELTextButton ours ("H");
    ours.fontSize = 32.0f;
    ours.setBounds (0, 0, 80, 50);
    juce::TextButton plain ("H");
    plain.setBounds (0, 0, 80, 50);

    EXPECT_GT (inkHeight (ours), inkHeight (plain) * 3 / 2);
}

TEST (PopupMenuLookAndFeel, FontHeightIsTheOwnersChoice)
{
    QEL::PopupMenuLookAndFeel laf;
    EXPECT_FLOAT_EQ (laf.getPopupMenuFont().getHeight(), 32.0f);
    for (float scale : { 1.0f, 0.8f })
    {
        laf.fontHeight = 25.0f * scale;
        EXPECT_FLOAT_EQ (laf.getPopupMenuFont().getHeight(), 25.0f * scale);
    }
}
