#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "editor/QELImageButton.h"

using namespace widget_test;

namespace
{
struct HintRecorder : juce::ContextualHelpManager
{
    void showHint (juce::Component*, juce::String hint) override { hints.add (hint); }
    juce::StringArray hints;
};

/** An arrow button painted into an image with an opaque blue button colour. */
struct PaintedArrow
{
    explicit PaintedArrow (float direction = 0.0f) : button ("arrow", direction, juce::Colours::white)
    {
        laf.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff2050d0));
        laf.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff2050d0));
        button.setLookAndFeel (&laf);
        button.setSize (40, 56);
    }
    ~PaintedArrow() { button.setLookAndFeel (nullptr); }

    juce::Image paint (bool down)
    {
        juce::Image image (juce::Image::ARGB, 40, 56, true);
        juce::Graphics g (image);
        button.paintButton (g, false, down);
        return image;
    }

    juce::LookAndFeel_V4 laf;
    juce::QELArrowButton button;
};
} // namespace

TEST (QELImageButton, HitBoxIsStrict)
{
    juce::QELImageButton button;
    button.setSize (30, 20);
    button.useHitBox = true;
    EXPECT_FALSE (button.hitTest (0, 10));
    EXPECT_FALSE (button.hitTest (10, 0));
    EXPECT_TRUE (button.hitTest (29, 19));
    EXPECT_TRUE (button.hitTest (1, 1));
}

TEST (QELImageButton, BubbleTextFollowsTheToggleAtOnce)
{
    juce::Component parent;
    parent.setBounds (0, 0, 300, 200);
    juce::QELImageButton button;
    parent.addAndMakeVisible (button);
    button.setBounds (100, 80, 40, 20);
    button.setClickingTogglesState (true);
    button.popupEnabled = true;
    button.popupParent = &parent;
    button.popupTextOff = "Favourite";
    button.popupTextOn = "Unfavourite";
    button.popupInset = { 5, 3 };

    button.mouseMove (mouseAt (button, { 10, 10 }));
    ASSERT_NE (button.popup, nullptr);
    EXPECT_EQ (button.popup->text, "Favourite");
    EXPECT_TRUE (button.popup->isTimerRunning());
    EXPECT_EQ (button.popup->getTimerInterval(), 2000);

    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    ASSERT_TRUE (button.getToggleState());
    ASSERT_NE (button.popup, nullptr);
    EXPECT_EQ (button.popup->text, "Unfavourite");

    int w = 0, h = 0;
    button.popup->getContentSize (w, h);
    EXPECT_EQ (w, button.popup->font.getStringWidth ("Unfavourite") + 18);
    EXPECT_EQ (h, (int) (button.popup->font.getHeight() * 1.6f));

    button.mouseExit (mouseAt (button, { 50, 10 }));
    EXPECT_EQ (button.popup, nullptr);
}

TEST (QELImageButton, HintOnlyWithText)
{
    HintRecorder help;
    juce::QELImageButton button;
    button.setSize (20, 20);
    button.helpManager = &help;

    button.mouseMove (mouseAt (button, { 5, 5 }));
    button.setHint ("Next preset");
    button.mouseMove (mouseAt (button, { 5, 5 }));
    EXPECT_EQ (button.getHint(), "Next preset");
    button.hintEnabled = false;
    button.mouseMove (mouseAt (button, { 5, 5 }));
    button.hintEnabled = true;
    button.setHint ("");
    button.mouseMove (mouseAt (button, { 5, 5 }));

    EXPECT_EQ (help.hints, juce::StringArray ("Next preset"));
}

TEST (QELArrowButton, ArrowFitsTheStyleArea)
{
    juce::QELArrowButton button ("prev", 0.0f, juce::Colours::white);
    button.setSize (40, 56);
    const auto bounds = button.getPlacedArrow().getBounds();
    EXPECT_NEAR (bounds.getX(), 13.333f, 1e-3);
    EXPECT_NEAR (bounds.getY(), 14.0f, 1e-4);
    EXPECT_NEAR (bounds.getWidth(), 10.0f, 1e-4);
    EXPECT_NEAR (bounds.getHeight(), 28.0f, 1e-4);

    button.arrowStyle = 1;
    const auto filled = button.getPlacedArrow().getBounds();
    EXPECT_NEAR (filled.getX(), 6.0f, 1e-4);
    EXPECT_NEAR (filled.getRight(), 34.0f, 1e-4);
    EXPECT_NEAR (filled.getBottom(), 50.0f, 1e-4);
}

TEST (QELArrowButton, DirectionTurnsTheChevron)
{
    // The chevron's middle point is its tip: left (x = 0) for direction 0, right (x = 1) for 0.5.
    for (auto [direction, tipX] : { std::pair { 0.0f, 0.0f }, { 0.5f, 1.0f } })
    {
        juce::QELArrowButton button ("a", direction, juce::Colours::white);
        juce::Path::Iterator it (button.arrowPath);
        std::vector<juce::Point<float>> points;
        while (it.next())
            points.emplace_back (it.x1, it.y1);
        ASSERT_EQ (points.size(), 3u);
        EXPECT_NEAR (points[1].x, tipX, 1e-5);
        EXPECT_NEAR (points[1].y, 0.5f, 1e-5);
        EXPECT_NEAR (points[0].x, 1.0f - tipX, 1e-5);
    }
}

TEST (QELArrowButton, PaintsTheChevronAndASmallerShadowWhenDown)
{
    PaintedArrow arrow;
    arrow.button.drawBackground = false;
    const auto up = arrow.paint (false);
    const auto down = arrow.paint (true);

    // The stroke is white along the chevron: its tip at (13.3, 28), its ends at (23.3, 14) and (23.3, 42).
    EXPECT_GT (up.getPixelAt (14, 28).getBrightness(), 0.9f);
    EXPECT_GT (up.getPixelAt (18, 21).getBrightness(), 0.9f);
    // Radius 4 reaches 3 pixels left of the tip, radius 2 does not.
    // Radius 4 reaches 5 pixels left of the tip's stroke, radius 2 does not.
    EXPECT_GT (up.getPixelAt (8, 28).getAlpha(), 0);
    EXPECT_EQ (down.getPixelAt (8, 28).getAlpha(), 0);
    EXPECT_EQ (up.getPixelAt (2, 2).getAlpha(), 0);
}

TEST (QELArrowButton, FilledStyleFillsTheClosedChevron)
{
    PaintedArrow arrow;
    arrow.button.drawBackground = false;
    arrow.button.arrowStyle = 1;
    const auto image = arrow.paint (false);
    // The filled triangle spans (6, 6) to (34, 50) with its tip at (6, 28).
    EXPECT_EQ (image.getPixelAt (25, 28), juce::Colour (juce::Colours::white));
    EXPECT_EQ (image.getPixelAt (10, 28), juce::Colour (juce::Colours::white));
}

TEST (QELArrowButton, ConnectedSideHasSquareCorners)
{
    PaintedArrow arrow;
    arrow.button.setConnectedEdges (juce::Button::ConnectedOnRight);
    const auto image = arrow.paint (false);
    EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);   // rounded top left
    EXPECT_EQ (image.getPixelAt (0, 55).getAlpha(), 0);  // rounded bottom left
    EXPECT_GT (image.getPixelAt (39, 0).getAlpha(), 60); // square top right
    EXPECT_GT (image.getPixelAt (39, 55).getAlpha(), 60);

    arrow.button.setConnectedEdges (0);
    EXPECT_EQ (arrow.paint (false).getPixelAt (39, 0).getAlpha(), 0);
}
