// The editor's default look drawing an alert window (which needs a display to exist), read back
// by pixels at the centres of its shapes, over a white ground.

#include "lookandfeel/DefaultLookAndFeel.h"

#include <gtest/gtest.h>

namespace
{
bool near (juce::Colour actual, juce::Colour expected, int tolerance = 4)
{
    return std::abs (actual.getRed() - expected.getRed()) <= tolerance &&
           std::abs (actual.getGreen() - expected.getGreen()) <= tolerance &&
           std::abs (actual.getBlue() - expected.getBlue()) <= tolerance;
}

juce::Colour over (juce::Colour top, juce::Colour ground)
{
    return ground.overlaidWith (top);
}

struct DrawnAlert
{
    juce::Image picture;
    juce::Rectangle<int> okButton;
};

/** A 400 x 200 alert with two buttons, drawn over white. */
DrawnAlert draw (juce::MessageBoxIconType icon)
{
    DefaultLookAndFeel look;
    juce::AlertWindow alert ("Export", "The preset was saved.", icon);
    alert.setLookAndFeel (&look);
    alert.addButton ("OK", 1);
    alert.addButton ("Cancel", 0);
    alert.setSize (400, 200);

    DrawnAlert drawn { juce::Image (juce::Image::ARGB, 400, 200, true, juce::SoftwareImageType()), {} };
    {
        juce::Graphics g (drawn.picture);
        g.fillAll (juce::Colours::white);
        alert.paintEntireComponent (g, false);
    }
    for (auto* child : alert.getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child);
            button != nullptr && button->getButtonText() == "OK")
            drawn.okButton = button->getBounds();
    alert.setLookAndFeel (nullptr);
    return drawn;
}

struct AlertLook : ::testing::Test
{
    void SetUp() override
    {
        if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
            GTEST_SKIP() << "no display: run under xvfb-run";
    }
};
} // namespace

TEST_F (AlertLook, DarkTranslucentBoxWithAGreyOutlineAndAnUnpaintedRim)
{
    const auto drawn = draw (juce::MessageBoxIconType::NoIcon);
    const auto& p = drawn.picture;
    const auto fill = over (juce::Colour (0xcc000000), juce::Colours::white);

    EXPECT_TRUE (near (p.getPixelAt (1, 100), juce::Colours::white)) << "the band outside the outline";
    EXPECT_TRUE (near (p.getPixelAt (4, 100), juce::Colour (0xff6a6d78))) << p.getPixelAt (4, 100).toString();
    EXPECT_TRUE (near (p.getPixelAt (200, 4), juce::Colour (0xff6a6d78))) << p.getPixelAt (200, 4).toString();
    EXPECT_TRUE (near (p.getPixelAt (12, 100), fill)) << p.getPixelAt (12, 100).toString();
    EXPECT_TRUE (near (p.getPixelAt (388, 20), fill)) << p.getPixelAt (388, 20).toString();

    // The buttons: the button colour over the box, and grey text no brighter than 0xAA.
    ASSERT_FALSE (drawn.okButton.isEmpty());
    const auto b = drawn.okButton;
    EXPECT_TRUE (near (p.getPixelAt (b.getX() + 4, b.getCentreY()), over (juce::Colour (0xcc000000), fill)))
        << p.getPixelAt (b.getX() + 4, b.getCentreY()).toString();
    juce::uint8 brightest = 0;
    for (int y = b.getY() + 3; y < b.getBottom() - 3; ++y)
        for (int x = b.getX() + 3; x < b.getRight() - 3; ++x)
            brightest = std::max (brightest, p.getPixelAt (x, y).getRed());
    EXPECT_GT (brightest, 0x80) << "the label is drawn";
    EXPECT_LE (brightest, 0xac) << "in the text colour 0xAAAAAA";
}

// The icon (130 units, starting 13 above and left of the corner): its shape in its colour at
// a point away from the character, and the character cut out of the shape.
TEST_F (AlertLook, IconsInTheirShapesAndColoursWithTheCharacterCutOut)
{
    const auto fill = over (juce::Colour (0xcc000000), juce::Colours::white);
    const struct
    {
        juce::MessageBoxIconType type;
        juce::Point<int> inShape;
        juce::Colour colour;
    } cases[] = {
        { juce::MessageBoxIconType::InfoIcon, { 12, 52 }, juce::Colour (0x6600b0b9) },
        { juce::MessageBoxIconType::QuestionIcon, { 12, 52 }, juce::Colour (0x6600b0b9) },
        { juce::MessageBoxIconType::WarningIcon, { 20, 100 }, juce::Colour (0x66ff2a00) },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE ((int) c.type);
        const auto p = draw (c.type).picture;
        const auto shape = over (c.colour, fill);
        EXPECT_TRUE (near (p.getPixelAt (c.inShape.x, c.inShape.y), shape))
            << p.getPixelAt (c.inShape.x, c.inShape.y).toString() << " vs " << shape.toString();

        // Across the middle of the icon, some pixels show the box through the character.
        int cutOut = 0;
        for (int x = 30; x < 75; ++x)
            cutOut += near (p.getPixelAt (x, 70), fill, 6) ? 1 : 0;
        EXPECT_GT (cutOut, 3);
        EXPECT_TRUE (near (p.getPixelAt (60, 160), fill)) << "nothing of the icon below its box";
    }
}
