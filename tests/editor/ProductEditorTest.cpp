#include "editor/BuildId.h"
#include "editor/CustomColours.h"
#include "editor/EditorTestFixture.h"

#include <cstdlib>
#include <ctime>

using editor_test::EditorTest;

namespace
{
struct SizeCase
{
    int id;
    const char* name;
    int width, height;
};

const SizeCase sizeTable[] = {
    { 1, "Mini", 780, 480 },   { 2, "Small", 910, 560 },       { 3, "Medium", 1040, 640 },
    { 4, "Large", 1170, 720 }, { 5, "Very Large", 1300, 800 },
};

float scaleOf (const juce::AffineTransform& t)
{
    return t.mat00;
}
} // namespace

TEST_F (EditorTest, FirstOpeningUsesMediumAndClosingWritesTheSettings)
{
    auto& e = open();
    EXPECT_EQ (e.getWidth(), 1040);
    EXPECT_EQ (e.getHeight(), 640);
    EXPECT_EQ (e.sizeCombo.getText(), "Medium");
    EXPECT_EQ (e.mainPanel.getAnimationMode(), 1);
    EXPECT_FALSE (settingsFile().exists());

    close();
    EXPECT_EQ (settingsFile().loadFileAsString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<settings>\r\n"
                                                  "  <gui enable_animations=\"1\" size=\"3\"/>\r\n</settings>\r\n");
}

TEST_F (EditorTest, EverySizeGivesItsExactBoundsAndOneTransform)
{
    auto& e = open();
    e.setTopLeftPosition (7, 9);
    for (const auto& size : sizeTable)
    {
        SCOPED_TRACE (size.name);
        e.sizeCombo.setSelectedId (size.id, juce::sendNotificationSync);
        EXPECT_EQ (e.getBounds(), juce::Rectangle<int> (7, 9, size.width, size.height));
        EXPECT_EQ (e.sizeCombo.getText(), size.name);
        EXPECT_FLOAT_EQ (scaleOf (e.mainContainer.getTransform()), size.width / 1300.0f);
        EXPECT_TRUE (e.getTransform().isIdentity());

        // The face is always laid out at its design size, at scale 1.
        EXPECT_EQ (e.mainPanel.getBounds(), juce::Rectangle<int> (0, 0, 1300, 800));
        EXPECT_EQ (e.mainContainer.getBounds(), juce::Rectangle<int> (0, 0, 1300, 800));
        EXPECT_EQ (e.mainPanel.scale, 1.0f);
        EXPECT_EQ (e.layoutScale, 1.0f);
        EXPECT_EQ ((int) e.pluginSettings.getGuiTree()["size"], size.id);
    }

    // Picking the current size again applies the same again.
    e.setGuiSize (5);
    EXPECT_EQ (e.getBounds(), juce::Rectangle<int> (7, 9, 1300, 800));
    EXPECT_FALSE (settingsFile().exists()); // only closing writes the file
}

TEST_F (EditorTest, MiniDrawsTheFaceScaledBySixTenths)
{
    auto& e = open();
    e.setGuiSize (1);
    const auto editorImage = gui_test::paint (e);
    const auto faceImage = gui_test::paint (e.mainPanel, 0.6f);
    gui_test::writeArtifact (editorImage, "editor-mini");
    ASSERT_EQ (editorImage.getBounds(), juce::Rectangle<int> (0, 0, 780, 480));

    int mismatches = 0;
    for (int y = 5; y < 480; y += 17)
        for (int x = 5; x < 780; x += 13)
            mismatches += gui_test::closeTo (editorImage.getPixelAt (x, y), faceImage.getPixelAt (x, y), 6) ? 0 : 1;
    EXPECT_LE (mismatches, 10);
}

TEST_F (EditorTest, SavedSizeAndAnimationModeAreUsed)
{
    writeSettings ("<settings><gui size=\"2\" enable_animations=\"2\"/></settings>");
    auto& e = open();
    EXPECT_EQ (e.getWidth(), 910);
    EXPECT_EQ (e.mainPanel.getAnimationMode(), 2);
    e.setGuiSize (4);
    close();

    const auto xml = juce::XmlDocument::parse (settingsFile());
    EXPECT_EQ (xml->getChildByName ("gui")->getIntAttribute ("size"), 4);
    EXPECT_EQ (xml->getChildByName ("gui")->getIntAttribute ("enable_animations"), 2);
}

TEST_F (EditorTest, MissingAttributesGiveTheDefaults)
{
    writeSettings ("<settings><gui enable_animations=\"0\"/></settings>");
    EXPECT_EQ (open().getWidth(), 1040);
    EXPECT_EQ (editor->mainPanel.getAnimationMode(), 0);
    close();

    writeSettings ("<settings><gui size=\"1\"/></settings>");
    EXPECT_EQ (open().getWidth(), 780);
    EXPECT_EQ (editor->mainPanel.getAnimationMode(), 1);
}

TEST_F (EditorTest, SizeOutsideTheTableGivesTheDesignSizeAndRecordsMinusOne)
{
    writeSettings ("<settings><gui size=\"9\"/></settings>");
    auto& e = open();
    EXPECT_EQ (e.getWidth(), 1300);
    EXPECT_EQ (e.getHeight(), 800);
    EXPECT_EQ (e.sizeCombo.getSelectedId(), 0);
    EXPECT_EQ ((int) e.pluginSettings.getGuiTree()["size"], -1);

    // The combo's own notification arrives later with id 0, which resolves the same way.
    gui_test::pump (50);
    EXPECT_EQ (e.getWidth(), 1300);
    EXPECT_EQ ((int) e.pluginSettings.getGuiTree()["size"], -1);
}

TEST_F (EditorTest, SettingsWrittenInTheOrderTheyWereFirstSet)
{
    open();
    gui_test::pump (50); // the combo's asynchronous notification sets the size again
    close();
    const auto text = settingsFile().loadFileAsString();
    EXPECT_LT (text.indexOf ("enable_animations"), text.indexOf ("size"));
}

TEST_F (EditorTest, VisibleFlagFollowsTheEditorAndIsClearedOnClose)
{
    auto& e = open();
    e.setVisible (true);
    EXPECT_TRUE (processor->editorVisible);
    e.setVisible (false);
    EXPECT_FALSE (processor->editorVisible);
    e.setVisible (true);
    close();
    EXPECT_FALSE (processor->editorVisible);
}

TEST_F (EditorTest, FrameIsOpaqueBlackWithItsViewsHiddenInTheMainContainer)
{
    auto& e = open();
    EXPECT_TRUE (e.isOpaque());
    EXPECT_TRUE (e.mainContainer.isOpaque());
    EXPECT_TRUE (e.mainContainer.viewContainer.isOpaque());
    EXPECT_FALSE (e.mainContainer.topBar.isVisible());
    EXPECT_FALSE (e.mainContainer.bottomBar.isVisible());
    EXPECT_EQ (e.mainContainer.viewContainer.getBounds(), juce::Rectangle<int> (0, 0, 1300, 800));

    const juce::Array<juce::Component*> views { &e.aboutBox, &e.midiMappingsView, &e.midiLearnOverlay, &e.calibration,
                                                &e.hintBubble };
    for (auto* view : views)
    {
        EXPECT_EQ (view->getParentComponent(), &e.mainContainer);
        EXPECT_FALSE (view->isVisible());
    }
    ASSERT_NE (e.presetMenu, nullptr);
    EXPECT_EQ (e.presetMenu->getParentComponent(), nullptr);
    EXPECT_EQ (e.tempoBox.getParentComponent(), nullptr);
    EXPECT_EQ (e.midiMappingsView.getBounds(), e.mainContainer.getBounds());

    EXPECT_EQ (e.sizeCombo.getParentComponent(), &e.mainPanel);
    EXPECT_FALSE (e.sizeCombo.isVisible());
    EXPECT_EQ (&e.sizeCombo.getLookAndFeel(), &juce::LookAndFeel::getDefaultLookAndFeel());
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), e.defaultLookAndFeel.get());
}

TEST_F (EditorTest, TickAndPopupStyle)
{
    auto& e = open();
    EXPECT_TRUE (e.isTimerRunning());
    EXPECT_EQ (e.getTimerInterval(), 33);
    EXPECT_FALSE (e.repaintEveryTick);
    EXPECT_FALSE (e.contextMenusEnabled);
    EXPECT_EQ (e.popupLookAndFeel.findColour (juce::PopupMenu::backgroundColourId), juce::Colour (0xdc2a2a2a));
    EXPECT_EQ (e.popupLookAndFeel.findColour (juce::PopupMenu::highlightedBackgroundColourId),
               juce::Colour (0xff464646));
    EXPECT_FLOAT_EQ (e.popupLookAndFeel.fontHeight, 25.0f); // transform mode lays out at scale 1
}

TEST_F (EditorTest, DoubleClickAndCtrlReleaseOnThePanelReachTheHook)
{
    auto& e = open();
    e.mouseDown (gui_test::mouseEvent (e.mainPanel, { 100.0f, 100.0f }, {}, 1));
    e.mouseUp (gui_test::mouseEvent (e.mainPanel, { 100.0f, 100.0f }, {}, 1));
    EXPECT_TRUE (e.resolved.isEmpty());

    e.mouseDown (gui_test::mouseEvent (e.mainPanel, { 100.0f, 100.0f }, {}, 2));
    e.mouseUp (gui_test::mouseEvent (e.mainPanel, { 100.0f, 100.0f }, juce::ModifierKeys::ctrlModifier, 1));
    EXPECT_EQ (e.resolved, juce::Array<juce::Component*> ({ &e.mainPanel, &e.mainPanel }));
}

TEST_F (EditorTest, LampsRepaintOnlyWhenTheirStateChangesAndTheMeterFollowsTheChain)
{
    auto& e = open();
    e.updateUI();
    auto& meter = e.mainPanel.compressPanel.meter;
    EXPECT_EQ (processor->tessaroProcessor.compressProcessor.getMeterGain(), 1.0f); // idle chain: no reduction
    EXPECT_FLOAT_EQ (meter.level, meter.range.convertTo0to1 (0.0f));
    auto& lamp = e.mainPanel.enhancePanel.deEssLamp;
    const int before = lamp.getRepaintRequests();
    for (int i = 0; i < 5; ++i)
        e.updateUI();
    EXPECT_EQ (lamp.getRepaintRequests(), before);
    EXPECT_FALSE (lamp.isActive());
}

TEST_F (EditorTest, HelpMenuAndManual)
{
    auto& e = open();
    const auto entries = gui_test::entriesOf (e.helpMenu);
    ASSERT_EQ (entries.size(), 3u);
    EXPECT_EQ (entries[0].text, "Open manual");
    EXPECT_TRUE (entries[0].hasAction);
    EXPECT_TRUE (entries[1].isSeparator);
    EXPECT_EQ (entries[2].text, "Undefined 64-bit v1.0.0"); // no host wrapper in a test
    EXPECT_FALSE (entries[2].isEnabled);
    EXPECT_EQ (entries[2].colour, juce::Colour (0xff808080));

    const auto manual = sandbox.folder.getChildFile (".local/share/Orvane/Orvane Tessaro/Orvane Tessaro Manual.pdf");
    EXPECT_EQ (e.aboutBox.manualPath, manual.getFullPathName());
    EXPECT_FALSE (e.aboutBox.manualButton.isVisible());
    close();

    manual.create();
    EXPECT_TRUE (open().aboutBox.manualButton.isVisible());
}

TEST (EditorNames, WrapperTypeNames)
{
    const std::pair<int, const char*> cases[] = { { 0, "Undefined" },  { 1, "VST" },           { 2, "VST3" },
                                                  { 3, "Audio Unit" }, { 4, "Audio Unit v3" }, { 5, "AAX" },
                                                  { 6, "Standalone" }, { 7, "Unity" },         { 8, "Unknown" },
                                                  { -1, "Unknown" } };
    for (auto [type, name] : cases)
        EXPECT_EQ (QELAudioProcessorEditorBase::wrapperTypeName (type), name) << type;
}

TEST (EditorNames, Palette)
{
    EXPECT_EQ (CustomColours::TEXT_GENERIC.getARGB(), 0xffe5eeffu);
    EXPECT_EQ (CustomColours::PRESET_UNSELECTED, CustomColours::CONTROL_FILL_BYPASS);
    EXPECT_EQ (CustomColours::CONTROL_OUTLINE.getARGB(), 0x4ce5eeffu);
    EXPECT_EQ (CustomColours::THEME_SPACE_GLOW.getARGB(), 0xffaa00ffu);
    EXPECT_EQ (CustomColours::THEME_GAIN_FILL.getARGB(), 0xffff80ffu);
}

namespace
{
/** Sets TZ for one scope. */
struct ScopedTimeZone
{
    explicit ScopedTimeZone (const char* zone)
    {
        if (const char* old = std::getenv ("TZ"))
            previous = old;
        setenv ("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (previous.isEmpty())
            unsetenv ("TZ");
        else
            setenv ("TZ", previous.toRawUTF8(), 1);
        tzset();
    }
    juce::String previous;
};
} // namespace

TEST (BuildId, MinutesSinceEpochInHexFromLocalTime)
{
    {
        ScopedTimeZone utc ("UTC");
        EXPECT_EQ (QEL::makeBuildId ("Sep 17 2025", "20:08:17"), "1bf1e38");
        EXPECT_EQ (QEL::makeBuildId ("Jan  1 1970", "00:01:59"), "1");
        EXPECT_EQ (QEL::makeBuildId ("Dec 31 2025", "23:59:00"), juce::String::toHexString (1767225540 / 60));
    }
    {
        ScopedTimeZone twoHoursEast ("XXX-2");
        EXPECT_EQ (QEL::makeBuildId ("Sep 17 2025", "20:08:17"), juce::String::toHexString (0x1bf1e38 - 120));
    }
}
