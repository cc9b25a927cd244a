#include "editor/CustomColours.h"
#include "editor/EditorTestFixture.h"
#include "panels/GuiUtils.h"

using editor_test::EditorTest;

namespace
{
struct Placement
{
    const char* name;
    juce::Rectangle<int> bounds;
};
} // namespace

TEST (GuiUtils, EnclosingRectanglesRoundOutwardsNeverToNearest)
{
    using tessaro::gui::GuiUtils;
    EXPECT_EQ (GuiUtils::enclosing ({ 130.0f, 477.0f, 75.2f, 46.8f }), juce::Rectangle<int> (130, 477, 76, 47));
    EXPECT_EQ (GuiUtils::enclosing ({ 1180.0f, 0.0f, 110.5f, 61.25f }), juce::Rectangle<int> (1180, 0, 111, 62));
    EXPECT_EQ (GuiUtils::enclosing ({ 6.75f, 631.0f, 84.5f, 57.0f }), juce::Rectangle<int> (6, 631, 86, 57));
    EXPECT_EQ (GuiUtils::enclosing ({ 111.25f, 631.0f, 84.5f, 57.0f }), juce::Rectangle<int> (111, 631, 85, 57));
}

TEST_F (EditorTest, TheFaceHasTheDesignLayout)
{
    auto& face = open().mainPanel;
    const Placement table[] = {
        { "background", face.backgroundImage.getBounds() },
        { "overlay", face.overlay.getBounds() },
        { "presetBar", face.presetBar.getBounds() },
        { "brandLogo", face.brandLogo->getBounds() },
        { "productLogo", face.productLogo->getBounds() },
        { "resizeButton", face.resizeButton.getBounds() },
        { "animationButton", face.animationButton.getBounds() },
        { "sizeSelector", face.sizeSelector->getBounds() },
        { "mixSlider", face.mixSlider.getBounds() },
        { "mixCaption", face.mixCaption.getBounds() },
        { "bypassButton", face.bypassButton.getBounds() },
        { "compressPanel", face.compressPanel.getBounds() },
        { "enhancePanel", face.enhancePanel.getBounds() },
        { "eqPanel", face.eqPanel.getBounds() },
        { "multiplyPanel", face.multiplyPanel.getBounds() },
        { "spacePanel", face.spacePanel.getBounds() },
        { "gainPanel", face.gainPanel.getBounds() },
    };
    const juce::Rectangle<int> expected[] = {
        { 0, 0, 1300, 800 },   { 0, 0, 1300, 800 },   { 10, 10, 302, 35 },   { 607, 15, 85, 13 },
        { 582, 39, 136, 23 },  { 325, 20, 16, 17 },   { 352, 23, 16, 13 },   { 330, 18, 200, 24 },
        { 1110, 0, 40, 40 },   { 1090, 30, 80, 25 },  { 1180, 0, 111, 62 },  { 15, 74, 202, 706 },
        { 227, 74, 202, 706 }, { 438, 74, 202, 706 }, { 650, 74, 202, 706 }, { 862, 74, 202, 706 },
        { 1073, 74, 202, 706 },
    };
    for (size_t i = 0; i < std::size (table); ++i)
        EXPECT_EQ (table[i].bounds, expected[i]) << table[i].name;

    for (auto* panel : face.modulePanels())
    {
        SCOPED_TRACE (panel->titleLabel.getText());
        EXPECT_EQ (panel->offImage.getBounds(), juce::Rectangle<int> (0, 0, 200, 270));
        EXPECT_EQ (panel->animationStrip->getBounds(), juce::Rectangle<int> (0, 0, 200, 270));
        EXPECT_EQ (panel->powerButton.getBounds(), juce::Rectangle<int> (10, 10, 20, 20));
        EXPECT_EQ (panel->titleLabel.getBounds(), juce::Rectangle<int> (0, 6, 202, 25));
    }
}

TEST_F (EditorTest, TheFaceIsWrittenForReview)
{
    auto& face = open().mainPanel;
    const auto image = gui_test::paint (face);
    const auto file = gui_test::writeArtifact (image, "face-1300x800");
    EXPECT_TRUE (file.existsAsFile());
    EXPECT_EQ (image.getBounds(), juce::Rectangle<int> (0, 0, 1300, 800));
}
