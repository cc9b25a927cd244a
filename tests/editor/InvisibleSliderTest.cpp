#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "editor/InvisibleSlider.h"

TEST (InvisibleSlider, InvertedSwapsTheEnds)
{
    juce::InvisibleSlider slider;
    slider.setRange (1.0, 960.0, 1.0);
    EXPECT_DOUBLE_EQ (slider.proportionOfLengthToValue (0.0), 1.0);
    EXPECT_DOUBLE_EQ (slider.valueToProportionOfLength (960.0), 1.0);

    slider.inverted = true;
    EXPECT_DOUBLE_EQ (slider.proportionOfLengthToValue (0.0), 960.0);
    EXPECT_DOUBLE_EQ (slider.proportionOfLengthToValue (1.0), 1.0);
    EXPECT_DOUBLE_EQ (slider.valueToProportionOfLength (960.0), 0.0);
    EXPECT_DOUBLE_EQ (slider.valueToProportionOfLength (1.0), 1.0);
    EXPECT_NEAR (slider.valueToProportionOfLength (slider.proportionOfLengthToValue (0.25)), 0.25, 1e-3);
}

TEST (InvisibleSlider, PaintsNothing)
{
    juce::InvisibleSlider slider;
    slider.setBounds (0, 0, 50, 50);
    const auto image = gui_test::paint (slider);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ (image.getPixelAt (x, y).getAlpha(), 0);
}
