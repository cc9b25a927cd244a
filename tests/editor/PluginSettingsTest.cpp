#include "editor/PluginSettings.h"
#include "editor/GuiTestSupport.h"

#include <gtest/gtest.h>

namespace
{
struct PluginSettingsTest : ::testing::Test
{
    gui_test::Sandbox sandbox;
    juce::File file = QEL::PluginSettings::fileFor ("Orvane", "Orvane Tessaro");

    juce::ValueTree guiOf (const juce::File& f)
    {
        QEL::PluginSettings settings (f);
        return settings.getGuiTree();
    }
};
} // namespace

TEST_F (PluginSettingsTest, LivesInThePerUserFolder)
{
    EXPECT_EQ (file, sandbox.folder.getChildFile (".config/Orvane/Orvane Tessaro/plugin.settings"));
}

TEST_F (PluginSettingsTest, FirstSaveCreatesTheFoldersAndWritesJuceTextFormat)
{
    QEL::PluginSettings settings (file);
    settings.setGuiProperty (QEL::SETTINGS_ENABLE_ANIMATIONS, 1);
    settings.setGuiProperty ("size", 3);
    EXPECT_FALSE (file.exists()); // nothing is written until saveSettings

    settings.saveSettings();
    EXPECT_EQ (file.loadFileAsString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<settings>\r\n"
                                        "  <gui enable_animations=\"1\" size=\"3\"/>\r\n</settings>\r\n");
    EXPECT_EQ (file.getSize(), 108);
}

TEST_F (PluginSettingsTest, UnreadableFilesGiveAnEmptyTreeAndAreReplacedOnSave)
{
    const char* contents[] = { "", "<settings><gui size=\"2\"", "not xml at all", "\xff\xfe\x00garbage" };
    for (const char* text : contents)
    {
        SCOPED_TRACE (text);
        file.getParentDirectory().createDirectory();
        file.replaceWithText (text);

        QEL::PluginSettings settings (file);
        EXPECT_TRUE (settings.tree.hasType ("settings"));
        EXPECT_EQ (settings.tree.getNumChildren(), 0);

        settings.setGuiProperty ("size", 4);
        settings.saveSettings();
        EXPECT_EQ ((int) guiOf (file).getProperty ("size"), 4);
    }
    EXPECT_EQ (QEL::PluginSettings (sandbox.folder.getChildFile ("missing")).tree.getNumChildren(), 0);
}

TEST_F (PluginSettingsTest, ForeignRootAndUnknownContentAreKeptAndWrittenBack)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText (
        "<prefs version=\"7\"><other a=\"b\"/><gui theme=\"dark\" size=\"5\"/><gui size=\"1\"/></prefs>");

    QEL::PluginSettings settings (file);
    EXPECT_TRUE (settings.tree.hasType ("prefs"));
    EXPECT_EQ ((int) settings.getGuiTree().getProperty ("size"), 5); // the first "gui" child
    settings.setGuiProperty ("size", 2);
    settings.saveSettings();

    const auto xml = juce::XmlDocument::parse (file);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "prefs");
    EXPECT_EQ (xml->getStringAttribute ("version"), "7");
    ASSERT_NE (xml->getChildByName ("other"), nullptr);
    const auto* gui = xml->getChildByName ("gui");
    EXPECT_EQ (gui->getStringAttribute ("theme"), "dark");
    EXPECT_EQ (gui->getIntAttribute ("size"), 2);
    EXPECT_EQ (xml->getNumChildElements(), 3);
}

TEST_F (PluginSettingsTest, GuiChildIsCreatedOnceWhenMissing)
{
    QEL::PluginSettings settings (file);
    auto first = settings.getGuiTree();
    EXPECT_EQ (first, settings.getGuiTree());
    EXPECT_EQ (settings.tree.getNumChildren(), 1);
    EXPECT_FALSE (first.hasProperty ("size"));
}

TEST_F (PluginSettingsTest, AFailedWriteChangesNothing)
{
    // A folder where the file should be, and a file where its folder should be.
    file.createDirectory();
    QEL::PluginSettings onFolder (file);
    onFolder.setGuiProperty ("size", 1);
    onFolder.saveSettings();
    EXPECT_TRUE (file.isDirectory());

    const auto blocker = sandbox.folder.getChildFile ("blocker");
    blocker.replaceWithText ("keep");
    QEL::PluginSettings underFile (blocker.getChildFile ("plugin.settings"));
    underFile.setGuiProperty ("size", 1);
    underFile.saveSettings();
    EXPECT_EQ (blocker.loadFileAsString(), "keep");
}
