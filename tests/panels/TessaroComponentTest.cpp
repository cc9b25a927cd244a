#include "core/Params.h"
#include "editor/CustomColours.h"
#include "editor/EditorTestFixture.h"
#include "panels/GuiUtils.h"

#include <thread>

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
        { 0, 0, 1300, 800 },    { 0, 0, 1300, 800 },   { 10, 10, 302, 35 },   { 607, 15, 85, 13 },
        { 582, 39, 136, 23 },   { 325, 20, 16, 17 },   { 352, 23, 16, 13 },   { 330, 18, 200, 24 },
        { 1110, 0, 40, 40 },    { 1090, 30, 80, 25 },  { 1180, 0, 111, 62 },  { 15, 74, 202, 706 },
        { 227, 74, 202, 706 },  { 438, 74, 202, 706 }, { 650, 74, 202, 706 }, { 862, 74, 202, 706 },
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

namespace
{
void setParameter (juce::AudioProcessorValueTreeState& state, const juce::String& id, float value)
{
    auto* p = state.getParameter (id);
    p->setValueNotifyingHost (p->convertTo0to1 (value));
}

bool looksActive (tessaro::gui::ModulePanel& panel)
{
    return panel.titleLabel.findColour (juce::Label::textColourId) == panel.frame.fill &&
           panel.animationStrip->isVisible() && ! panel.offImage.isVisible();
}

bool looksBypassed (tessaro::gui::ModulePanel& panel)
{
    return panel.titleLabel.findColour (juce::Label::textColourId) == juce::Colour (0x80e5eeff) &&
           ! panel.animationStrip->isVisible() && panel.offImage.isVisible();
}
} // namespace

TEST_F (EditorTest, BypassAndPowerDimEveryPanelOrOnlyTheirOwn)
{
    auto& face = open().mainPanel;
    for (auto* panel : face.modulePanels())
        EXPECT_TRUE (looksActive (*panel)) << panel->frame.title;

    setParameter (processor->parameters, Params::paramEQPower, 0.0f);
    for (auto* panel : face.modulePanels())
        EXPECT_EQ (looksBypassed (*panel), panel == &face.eqPanel) << panel->frame.title;

    setParameter (processor->parameters, Params::paramBypass, 1.0f);
    for (auto* panel : face.modulePanels())
        EXPECT_TRUE (looksBypassed (*panel)) << panel->frame.title;

    setParameter (processor->parameters, Params::paramBypass, 0.0f);
    setParameter (processor->parameters, Params::paramEQPower, 1.0f);
    for (auto* panel : face.modulePanels())
        EXPECT_TRUE (looksActive (*panel)) << panel->frame.title;
}

TEST_F (EditorTest, APanelBuiltWhileBypassedStartsDimmed)
{
    setParameter (processor->parameters, Params::paramBypass, 1.0f);
    auto& face = open().mainPanel;
    for (auto* panel : face.modulePanels())
        EXPECT_TRUE (looksBypassed (*panel)) << panel->frame.title;

    // The background gradient is not painted while dimmed.
    const auto image = gui_test::paint (face.gainPanel);
    EXPECT_TRUE (image.getPixelAt (100, 700).isTransparent());
}

TEST_F (EditorTest, AHostChangeFromAnotherThreadIsAppliedOnlyAfterDispatch)
{
    auto& face = open().mainPanel;
    std::thread host ([this] { setParameter (processor->parameters, Params::paramSpacePower, 0.0f); });
    host.join();
    EXPECT_TRUE (looksActive (face.spacePanel)); // not yet: posted to the message thread
    EXPECT_TRUE (gui_test::pumpUntil ([&] { return looksBypassed (face.spacePanel); }));
}

TEST_F (EditorTest, PowerIconShowsTheModuleStateInItsColours)
{
    auto& face = open().mainPanel;
    auto& power = face.compressPanel.powerButton;
    const auto centre = [&]
    {
        auto image = gui_test::paint (power);
        juce::Colour brightest;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (image.getPixelAt (x, y).getAlpha() > brightest.getAlpha())
                    brightest = image.getPixelAt (x, y);
        return brightest;
    };
    EXPECT_EQ (centre().withAlpha ((juce::uint8) 255), CustomColours::THEME_COMP_FILL);
    setParameter (processor->parameters, Params::paramCompressPower, 0.0f);
    EXPECT_TRUE (gui_test::closeTo (centre().withAlpha ((juce::uint8) 255),
                                    CustomColours::CONTROL_OUTLINE.withAlpha ((juce::uint8) 255)));
    EXPECT_LE (centre().getAlpha(), CustomColours::CONTROL_OUTLINE.getAlpha());
}

TEST_F (EditorTest, AnimationModesDecideWhichStripsPlay)
{
    auto& face = open().mainPanel;
    const auto playing = [&]
    {
        juce::String s;
        for (auto* panel : face.modulePanels())
            s << (panel->animationStrip->isPlaying() ? "P" : "-");
        return s;
    };
    const auto hover = [&] (juce::Component& c) { face.mouseEnter (gui_test::mouseEvent (c, { 1.0f, 1.0f })); };
    ASSERT_EQ (face.getAnimationMode(), TessaroComponent::On);
    EXPECT_EQ (face.animationButton.getBounds(), juce::Rectangle<int> (352, 23, 16, 13));
    EXPECT_EQ (playing(), "------");

    hover (face.eqPanel);
    EXPECT_EQ (playing(), "--P---");
    hover (face.bypassButton); // the header changes nothing
    EXPECT_EQ (playing(), "--P---");
    hover (face.spacePanel.powerButton); // a direct child of a panel counts
    EXPECT_EQ (playing(), "----P-");
    EXPECT_EQ (face.eqPanel.animationStrip->getCurrentFrame(), 0);

    face.updateAnimationMode (TessaroComponent::AlwaysOn);
    EXPECT_EQ (playing(), "PPPPPP");
    EXPECT_EQ ((int) face.settings.getGuiTree()["enable_animations"], 2);
    EXPECT_EQ (face.animationButton.getBounds(), juce::Rectangle<int> (352, 21, 16, 17));
    hover (face.compressPanel);
    EXPECT_EQ (playing(), "PPPPPP");

    face.updateAnimationMode (TessaroComponent::Off);
    EXPECT_EQ (playing(), "------");
    EXPECT_EQ ((int) face.settings.getGuiTree()["enable_animations"], 0);
    hover (face.compressPanel);
    EXPECT_EQ (playing(), "------");

    face.updateAnimationMode (7); // not a mode: nothing changes
    EXPECT_EQ (face.getAnimationMode(), TessaroComponent::Off);
}

TEST_F (EditorTest, AnUnknownStoredAnimationModeIsTakenAsOn)
{
    writeSettings ("<settings><gui enable_animations=\"5\"/></settings>");
    auto& face = open().mainPanel;
    EXPECT_EQ (face.getAnimationMode(), TessaroComponent::On);
    EXPECT_EQ (face.animationButton.getBounds(), juce::Rectangle<int> (352, 23, 16, 13));
    EXPECT_EQ ((int) face.settings.getGuiTree()["enable_animations"], 1);
}

TEST_F (EditorTest, HoveringMixHidesItsCaptionAndAKnobHidesItsOwn)
{
    auto& face = open().mainPanel;
    face.mouseEnter (gui_test::mouseEvent (face.mixSlider, { 5.0f, 5.0f }));
    EXPECT_FALSE (face.mixCaption.isVisible());
    face.mouseExit (gui_test::mouseEvent (face.mixSlider, { 5.0f, 5.0f }));
    EXPECT_TRUE (face.mixCaption.isVisible());
    EXPECT_EQ (face.mixCaption.findColour (juce::Label::textColourId), juce::Colour (0x80e5eeff));
}

TEST_F (EditorTest, SeparatorsAreDrawnOverThePanels)
{
    auto& face = open().mainPanel;
    const auto image = gui_test::paint (face);
    for (int x : { 9, 221, 433, 644, 856, 1068, 1281 })
    {
        const auto line = image.getPixelAt (x, 427), beside = image.getPixelAt (x + 2, 427);
        EXPECT_GT (line.getBrightness(), beside.getBrightness() + 0.1f) << x;
    }
}

TEST (GuiUtils, HorizontalGradientLineIsBrightestInTheMiddle)
{
    juce::Image image (juce::Image::ARGB, 202, 280, true, juce::SoftwareImageType());
    {
        juce::Graphics g (image);
        tessaro::gui::GuiUtils::drawHorizontalGradientLine (g, 182.0f, 268.0f);
    }
    EXPECT_NEAR (image.getPixelAt (96, 268).getAlpha(), 0x80, 3);
    EXPECT_LE (image.getPixelAt (10, 268).getAlpha(), 2);
    EXPECT_TRUE (image.getPixelAt (9, 268).isTransparent());
    EXPECT_TRUE (image.getPixelAt (96, 267).isTransparent());
}

TEST_F (EditorTest, TwoOpenFacesShareEveryDecodedPicture)
{
    auto& first = open().mainPanel;
    OrvaneTessaroAudioProcessor otherProcessor;
    OrvaneTessaroAudioProcessorEditor otherEditor (otherProcessor);
    auto& second = otherEditor.mainPanel;

    EXPECT_EQ (first.backgroundImage.getImage().getPixelData(), second.backgroundImage.getImage().getPixelData());
    const auto firstPanels = first.modulePanels(), secondPanels = second.modulePanels();
    for (size_t i = 0; i < firstPanels.size(); ++i)
    {
        SCOPED_TRACE (i);
        const auto& a = *firstPanels[i];
        const auto& b = *secondPanels[i];
        ASSERT_TRUE (a.animationStrip->getPicture().isValid());
        EXPECT_EQ (a.animationStrip->getPicture().getPixelData(), b.animationStrip->getPicture().getPixelData());
        EXPECT_EQ (a.offImage.getImage().getPixelData(), b.offImage.getImage().getPixelData());
    }
}
