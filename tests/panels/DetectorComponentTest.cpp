#include "editor/CustomColours.h"
#include "editor/GuiTestSupport.h"
#include "panels/DetectorComponent.h"

#include <gtest/gtest.h>

using tessaro::gui::DetectorComponent;

TEST (DetectorComponent, LampIsInsetByTheWidthOnBothAxes)
{
    EXPECT_EQ (DetectorComponent::lampArea (20.0f, 20.0f), juce::Rectangle<float> (5.6f, 5.6f, 8.8f, 8.8f));
    EXPECT_EQ (DetectorComponent::lampArea (20.0f, 30.0f), juce::Rectangle<float> (5.6f, 5.6f, 8.8f, 18.8f));
}

// 20 x 20 lamp: disc of diameter 8.8 around (10, 10); glow reaches out to (10, 3).
TEST (DetectorComponent, LightsWithGlowOnlyWhenActiveAndEnabled)
{
    DetectorComponent lamp;
    lamp.setBounds (0, 0, 20, 20);
    auto image = gui_test::paint (lamp);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (10, 10), juce::Colour (0xffff0000))); // default: red
    EXPECT_EQ (image.getPixelAt (10, 3).getAlpha(), 0);

    lamp.setInactiveColour (CustomColours::CONTROL_OUTLINE);
    lamp.setActiveColour (CustomColours::THEME_ENHANCE_FILL);
    lamp.setGlowColour (CustomColours::THEME_ENHANCE_GLOW);
    lamp.setActive (true);
    image = gui_test::paint (lamp);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (10, 10), CustomColours::THEME_ENHANCE_FILL));
    EXPECT_GT (image.getPixelAt (10, 3).getAlpha(), 0);

    lamp.setLampEnabled (false); // module bypassed: unlit whatever the detector says
    EXPECT_TRUE (lamp.isActive());
    EXPECT_FALSE (lamp.isLit());
    image = gui_test::paint (lamp);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (10, 10), CustomColours::CONTROL_OUTLINE));
    EXPECT_EQ (image.getPixelAt (10, 3).getAlpha(), 0);
}

TEST (DetectorComponent, RepaintsOnlyWhenTheStateChanges)
{
    DetectorComponent lamp;
    lamp.setActive (false);
    EXPECT_EQ (lamp.getRepaintRequests(), 0);
    lamp.setActive (true);
    lamp.setActive (true);
    EXPECT_EQ (lamp.getRepaintRequests(), 1);
    lamp.setActive (false);
    EXPECT_EQ (lamp.getRepaintRequests(), 2);
}
