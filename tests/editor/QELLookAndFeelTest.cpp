#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "TestSandbox.h"
#include "WidgetTestSupport.h"
#include "editor/QELImageLoader.h"
#include "editor/QELLookAndFeel.h"
#include "editor/QELSlider.h"

namespace
{
/** A vertical strip of `frames` 8 x 8 frames; frame i is grey 10 + 20 i. Encoded as PNG. */
juce::MemoryBlock greyStripPng (int frames)
{
    juce::Image strip (juce::Image::ARGB, 8, 8 * frames, true);
    for (int i = 0; i < frames; ++i)
        strip.clear ({ 0, 8 * i, 8, 8 }, juce::Colour::greyLevel ((float) (10 + 20 * i) / 255.0f));

    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (strip, out);
    return out.getMemoryBlock();
}

/** Registers a 10-frame grey strip once, under the name "greyStrip10". */
void registerGreyStrip()
{
    static const juce::MemoryBlock png = greyStripPng (10);
    static const bool registered = []
    {
        juce::QELImageLoader::getInstance()->registerImageData ("greyStrip10", png.getData(), (int) png.getSize());
        return true;
    }();
    juce::ignoreUnused (registered);
}

/** Which grey frame a rotary slider at this position draws. */
int drawnFrame (juce::QELLookAndFeel& laf, float sliderPos)
{
    juce::Slider slider;
    juce::Image image (juce::Image::ARGB, 8, 8, true);
    juce::Graphics g (image);
    laf.drawRotarySlider (g, 0, 0, 8, 8, sliderPos, 0.0f, 1.0f, slider);
    return (image.getPixelAt (4, 4).getRed() - 10) / 20;
}

juce::Image rotaryPixels (juce::LookAndFeel& laf, float pos)
{
    juce::Slider slider (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&laf);
    juce::Image image (juce::Image::ARGB, 64, 64, true);
    juce::Graphics g (image);
    laf.drawRotarySlider (g, 0, 0, 64, 64, pos, 0.0f, 4.0f, slider);
    slider.setLookAndFeel (nullptr);
    return image;
}
} // namespace

TEST (QELLookAndFeel, WithoutAStripKnobsAreTheV2Knob)
{
    juce::LookAndFeel_V2 v2;
    for (int frames : { 0, 60 })
    {
        juce::QELLookAndFeel laf ("", frames);
        EXPECT_EQ (laf.numFrames, 0);
        for (float pos : { 0.0f, 0.3f, 1.0f })
        {
            const auto ours = rotaryPixels (laf, pos);
            const auto theirs = rotaryPixels (v2, pos);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                    ASSERT_EQ (ours.getPixelAt (x, y), theirs.getPixelAt (x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ (juce::QELLookAndFeel().findColour (juce::TooltipWindow::textColourId), juce::Colour (0xffffffff));
}

TEST (QELLookAndFeel, StripFrameFollowsPositionRoundingAndOffset)
{
    registerGreyStrip();
    struct Case
    {
        float pos;
        bool round, invert;
        int offset, frame;
    };
    const Case cases[] = {
        { 0.55f, false, false, 0, 4 },                                     // 4.95 truncated
        { 0.55f, true, false, 0, 5 },                                      // above one half: up
        { 0.5f, true, false, 0, 4 },                                       // 4.5 is not above one half: down
        { 1.0f, false, false, 3, 9 },                                      // the offset stays inside the strip
        { 1.0f / 9.0f, false, false, -3, 0 }, { 0.2f, false, true, 0, 7 }, // inverted: 0.8
        { 0.0f, false, false, 0, 0 },
    };
    for (const auto& c : cases)
    {
        juce::QELLookAndFeel laf ("GREYSTRIP10", 10); // names match ignoring case
        ASSERT_EQ (laf.numFrames, 10);
        EXPECT_EQ (laf.frameHeight, 8);
        laf.roundFrames = c.round;
        laf.invertStrip = c.invert;
        laf.frameOffset = c.offset;
        EXPECT_EQ (drawnFrame (laf, c.pos), c.frame) << c.pos << " round " << c.round << " offset " << c.offset;
    }
}

TEST (QELLookAndFeel, StripWithoutFramesIsNoStrip)
{
    registerGreyStrip();
    for (int frames : { 0, -4 })
    {
        juce::QELLookAndFeel laf ("greyStrip10", frames);
        EXPECT_EQ (laf.numFrames, 0);
        EXPECT_FALSE (laf.knobStrip.isValid());
    }
}

TEST (QELImageLoader, RegistryThenFolderThenNothing)
{
    auto* loader = juce::QELImageLoader::getInstance();
    static const char tooShort[] = { 1, 2, 3, 4 };
    loader->registerImageData ("tiny", tooShort, 4);
    EXPECT_FALSE (loader->loadImage ("tiny", false, {}).isValid());
    EXPECT_FALSE (loader->loadImage ("nothing", false, {}).isValid());

    test_support::TempFolder temp ("tessaro-images");
    const auto folder = temp.folder;
    const auto png = greyStripPng (2);
    folder.getChildFile ("two.png").replaceWithData (png.getData(), png.getSize());

    const auto fromFile = loader->loadImage ("two.png", false, folder.getFullPathName());
    EXPECT_EQ (fromFile.getHeight(), 16);
    EXPECT_FALSE (loader->loadImage ("two.png", false, folder.getChildFile ("missing").getFullPathName()).isValid());
}

TEST (QELLookAndFeel, LinearImagesAreOptionalAndTheTrackFillsToTheValue)
{
    juce::QELLookAndFeel laf;
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    juce::Image image (juce::Image::ARGB, 100, 10, true);
    {
        juce::Graphics g (image);
        laf.drawLinearSliderBackground (g, 0, 0, 100, 10, 50.0f, 0.0f, 100.0f, slider.getSliderStyle(), slider);
        laf.drawLinearSliderThumb (g, 0, 0, 100, 10, 50.0f, 0.0f, 100.0f, slider.getSliderStyle(), slider);
    }
    for (int x = 0; x < 100; ++x)
        ASSERT_EQ (image.getPixelAt (x, 5).getAlpha(), 0);

    laf.trackImage = juce::Image (juce::Image::ARGB, 20, 4, true);
    laf.trackImage.clear (laf.trackImage.getBounds(), juce::Colours::red);
    {
        juce::Graphics g (image);
        laf.drawLinearSliderBackground (g, 0, 0, 100, 10, 50.0f, 0.0f, 100.0f, slider.getSliderStyle(), slider);
    }
    EXPECT_EQ (image.getPixelAt (49, 5), juce::Colour (juce::Colours::red));
    EXPECT_EQ (image.getPixelAt (50, 5).getAlpha(), 0);

    // A 10-wide thumb travels between 5 and 95: at position 50 (of 100) its left edge is at 45.
    laf.thumbImage = juce::Image (juce::Image::ARGB, 10, 10, true);
    laf.thumbImage.clear (laf.thumbImage.getBounds(), juce::Colours::blue);
    image.clear (image.getBounds());
    {
        juce::Graphics g (image);
        laf.drawLinearSliderThumb (g, 0, 0, 100, 10, 50.0f, 0.0f, 100.0f, slider.getSliderStyle(), slider);
    }
    EXPECT_EQ (image.getPixelAt (44, 5).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (45, 5), juce::Colour (juce::Colours::blue));
    EXPECT_EQ (image.getPixelAt (54, 5), juce::Colour (juce::Colours::blue));
    EXPECT_EQ (image.getPixelAt (55, 5).getAlpha(), 0);
}

TEST (QELLookAndFeel, PopupFontPlacementAndLayout)
{
    juce::QELLookAndFeel laf;
    juce::Slider plain;
    juce::QELSlider own;
    own.popupPlacement = juce::BubbleComponent::below;
    EXPECT_EQ (laf.getSliderPopupPlacement (plain), juce::BubbleComponent::above);
    EXPECT_EQ (laf.getSliderPopupPlacement (own), juce::BubbleComponent::below);
    EXPECT_FLOAT_EQ (laf.getSliderPopupFont (plain).getHeight(), 15.0f);
    EXPECT_EQ (laf.getSliderThumbRadius (plain), 0);

    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::TextBoxBelow);
    slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 80, 30);
    slider.setBounds (0, 0, 100, 40);
    const auto layout = laf.getSliderLayout (slider);
    EXPECT_EQ (layout.textBoxBounds, juce::Rectangle<int> (10, 15, 80, 25));
    EXPECT_EQ (layout.sliderBounds, juce::Rectangle<int> (0, 0, 100, 15));
}

TEST (QELLookAndFeel, BubbleIsAHalfBlackSquareWithAYellowOutline)
{
    juce::QELLookAndFeel laf;
    struct Bubble : juce::BubbleComponent
    {
        void getContentSize (int& w, int& h) override { w = h = 10; }
        void paintContent (juce::Graphics&, int, int) override {}
    } bubble;
    juce::Image image (juce::Image::ARGB, 40, 30, true);
    {
        juce::Graphics g (image);
        laf.drawBubble (g, bubble, { 0.0f, 0.0f }, { 5.0f, 5.0f, 30.0f, 20.0f });
    }
    EXPECT_EQ (image.getPixelAt (5, 5), juce::Colour (0xffffff00)); // square corner
    EXPECT_EQ (image.getPixelAt (34, 15), juce::Colour (0xffffff00));
    const auto inside = image.getPixelAt (20, 15);
    EXPECT_NEAR (inside.getAlpha(), 128, 1);
    EXPECT_EQ (inside.getRed(), 0);
    EXPECT_EQ (image.getPixelAt (4, 15).getAlpha(), 0);
}

TEST (QELLookAndFeel, SliderPopupUsesTheSlidersPlacement)
{
    juce::QELLookAndFeel laf;
    juce::Component panel;
    panel.setBounds (0, 0, 300, 300);
    juce::QELSlider slider;
    slider.initialize (&panel, &laf, juce::Slider::RotaryVerticalDrag);
    slider.setBounds (100, 100, 60, 60);
    slider.popupEnabled = true;
    slider.popupParent = &panel;
    for (auto [placement, below] : { std::pair { (int) juce::BubbleComponent::below, true },
                                     std::pair { (int) juce::BubbleComponent::above, false } })
    {
        slider.popupPlacement = placement;
        slider.popup.reset();
        slider.showPopupDisplay();
        ASSERT_NE (slider.getPopup(), nullptr);
        if (below)
            EXPECT_GT (slider.getPopup()->getBounds().getCentreY(), slider.getBottom());
        else
            EXPECT_LT (slider.getPopup()->getBounds().getCentreY(), slider.getY());
        EXPECT_FLOAT_EQ (slider.getPopup()->getFont().getHeight(), 15.0f);
    }
    slider.popup.reset();
    slider.setLookAndFeel (nullptr);
}

TEST (QELLookAndFeel, ValuePopupPaintsTheBubbleAndWhiteText)
{
    juce::QELLookAndFeel laf;
    juce::Component panel;
    panel.setBounds (0, 0, 300, 300);
    juce::QELSlider slider;
    slider.initialize (&panel, &laf, juce::Slider::RotaryVerticalDrag);
    slider.setBounds (100, 40, 60, 60);
    slider.setRange (0.0, 100.0, 1.0);
    slider.setValue (88.0);
    slider.popupEnabled = true;
    slider.popupParent = &panel;
    slider.popupPlacement = juce::BubbleComponent::below;
    slider.showPopupDisplay();
    ASSERT_NE (slider.getPopup(), nullptr);

    const auto image = gui_test::paint (*slider.getPopup());
    // The bubble's body sits 15 points inside the popup: a half-black fill, white text at its centre row.
    const auto body = juce::Rectangle<int> (15, 15, image.getWidth() - 30, image.getHeight() - 30);
    EXPECT_EQ (image.getPixelAt (body.getX(), body.getCentreY()), juce::Colour (0xffffff00));
    EXPECT_NEAR (image.getPixelAt (body.getX() + 2, body.getY() + 2).getAlpha(), 128, 1);
    bool white = false;
    for (int x = body.getX(); x < body.getRight(); ++x)
        white = white || image.getPixelAt (x, body.getCentreY()).getBrightness() > 0.9f;
    EXPECT_TRUE (white);
    slider.popup.reset();
    slider.setLookAndFeel (nullptr);
}
