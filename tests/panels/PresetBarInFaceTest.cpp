#include "editor/EditorTestFixture.h"
#include "editor/GuiTestSupport.h"

#include <gtest/gtest.h>

using editor_test::EditorTest;

TEST_F (EditorTest, TheFacesPresetBarOpensItsListOverAFrostedBackdrop)
{
    auto& face = open().mainPanel;
    auto& bar = face.presetBar;
    EXPECT_EQ (bar.getBounds(), juce::Rectangle<int> (10, 10, 302, 35));
    EXPECT_EQ (bar.presetNameLabel.findColour (juce::Label::textColourId), juce::Colour (0xffdbdcde));
    EXPECT_FLOAT_EQ (bar.presetNameLabel.getFont().getHeight(), 19.52f);
    EXPECT_EQ (bar.frameColours[1], juce::Colour (0xff94959f));
    EXPECT_EQ (bar.presetList.listBoxModel->rowTextColour, juce::Colour (0xff94959f));
    EXPECT_EQ (bar.presetList.listBoxModel->filledStarColour, juce::Colour (0xffdbdcde));
    ASSERT_NE (bar.nextButton.getNormalImage(), nullptr);

    bar.mouseDown (gui_test::mouseEvent (bar.presetNameLabel, { 20.0f, 10.0f }));
    ASSERT_EQ (bar.presetList.getParentComponent(), &face);
    EXPECT_TRUE (bar.presetList.isVisible());
    EXPECT_EQ (bar.presetList.getBounds(), juce::Rectangle<int> (9, 42, 304, 740));
    EXPECT_EQ (face.overlay.visibleRegion.getBounds(), juce::Rectangle<int> (11, 44, 300, 736));

    // A click on the bar leaves the list open; one on a module panel closes it.
    face.mouseDown (gui_test::mouseEvent (bar, { 290.0f, 10.0f }));
    EXPECT_TRUE (bar.presetList.isVisible());
    face.mouseDown (gui_test::mouseEvent (face.compressPanel, { 20.0f, 20.0f }));
    EXPECT_FALSE (bar.presetList.isVisible());
    EXPECT_TRUE (face.overlay.visibleRegion.isEmpty());
}
