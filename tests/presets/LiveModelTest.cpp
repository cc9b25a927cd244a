#include "presets/LiveModel.h"
#include "presets/PresetsTestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace presets_test;

namespace
{
struct RecordingSceneListener : public juce::LiveModel::Listener
{
    void onSceneChange (int scene, int group) override { changes.emplace_back (scene, group); }

    std::vector<std::pair<int, int>> changes; // (scene, group)
};

class LiveModelTest : public ::testing::Test
{
protected:
    LiveModelTest() { model.addListener (&listener); }

    ~LiveModelTest() override { model.removeListener (&listener); }

    juce::File liveFile (const juce::String& name) const { return model.getRootFolder().getChildFile (name); }

    /** A preset file somewhere in the sandbox, for scenes to point at. */
    juce::File presetFile (const juce::String& name) const
    {
        return writeText (sandbox.temp.folder.getChildFile ("presets").getChildFile (name), "<orvane_tessaro/>");
    }

    void expectPositions (int group, int scene) const
    {
        EXPECT_EQ (model.activeGroup, group);
        EXPECT_EQ (model.activeScene, scene);
        EXPECT_EQ (model.browsedGroup, group);
        EXPECT_EQ (model.browsedScene, scene);
    }

    SandboxedPaths sandbox;
    juce::LiveModel model { "Orvane Tessaro", "Orvane" };
    RecordingSceneListener listener;
};
} // namespace

TEST_F (LiveModelTest, StartsWithTenUntitledGroupsOfSixEmptyScenesAndNoSelection)
{
    ASSERT_EQ (model.groups.size(), 10);

    for (int g = 0; g < 10; ++g)
    {
        const auto& group = *model.groups[g];
        EXPECT_EQ (group.id, g);
        EXPECT_EQ (group.description, "Untitled group");
        ASSERT_EQ (group.scenes.size(), 6);

        for (int s = 0; s < 6; ++s)
        {
            EXPECT_EQ (group.scenes[s]->id, s);
            EXPECT_TRUE (group.scenes[s]->presetPath.isEmpty());
        }
    }

    expectPositions (0, -1);
    EXPECT_EQ (model.currentFile, juce::File());
    EXPECT_EQ (model.getDefaultLiveSetFile(),
               sandbox.temp.folder.getChildFile (".config/Orvane/Orvane Tessaro/Live/Default.qelliveset"));
}

TEST_F (LiveModelTest, FreshModelIsSavedAsTenGroupsOfSixScenesInTheDefaultTextFormat)
{
    model.overwriteCurrentFile();

    const auto file = model.getDefaultLiveSetFile();
    EXPECT_EQ (model.currentFile, file);

    // <?xml version="1.0" encoding="UTF-8"?>\r\n
    // \r\n
    // <live product="Orvane Tessaro">\r\n
    //   <groups>\r\n
    //     <group id="0" description="Untitled group">\r\n
    //       <scene id="0" preset=""/>\r\n  ...
    const auto text = file.loadFileAsString();
    EXPECT_TRUE (
        text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<live product=\"Orvane Tessaro\">\r\n"
                         "  <groups>\r\n    <group id=\"0\" description=\"Untitled group\">\r\n"
                         "      <scene id=\"0\" preset=\"\"/>\r\n"))
        << text;
    EXPECT_TRUE (text.endsWith ("    </group>\r\n  </groups>\r\n</live>\r\n")) << text;

    const auto xml = juce::parseXML (file);
    ASSERT_NE (xml, nullptr);
    const auto* groups = xml->getChildByName ("groups");
    ASSERT_NE (groups, nullptr);
    ASSERT_EQ (groups->getNumChildElements(), 10);

    for (int g = 0; g < 10; ++g)
    {
        const auto* group = groups->getChildElement (g);
        EXPECT_EQ (group->getIntAttribute ("id", -1), g);
        EXPECT_EQ (group->getStringAttribute ("description"), "Untitled group");
        ASSERT_EQ (group->getNumChildElements(), 6);

        for (int s = 0; s < 6; ++s)
        {
            EXPECT_EQ (group->getChildElement (s)->getIntAttribute ("id", -1), s);
            EXPECT_TRUE (group->getChildElement (s)->hasAttribute ("preset"));
        }
    }
}

TEST_F (LiveModelTest, SavedSetIsReadBackSilentlyWithoutMovingTheSelection)
{
    const auto preset = presetFile ("Lead.orvane");
    model.groups[2]->description = "Ballads";
    model.groups[2]->scenes[3]->presetPath = preset.getFullPathName();
    model.groups[9]->scenes[5]->presetPath = preset.getFullPathName();

    const auto file = liveFile ("Sets/Tour.qelliveset");
    ASSERT_TRUE (model.saveTo (file));

    juce::LiveModel reader ("Orvane Tessaro", "Orvane");
    RecordingSceneListener readerListener;
    reader.addListener (&readerListener);
    reader.loadFromFile (file);

    EXPECT_EQ (reader.currentFile, file);
    EXPECT_EQ (reader.groups[2]->description, "Ballads");
    EXPECT_EQ (reader.groups[2]->scenes[3]->presetPath, preset.getFullPathName());
    EXPECT_EQ (reader.groups[9]->scenes[5]->presetPath, preset.getFullPathName());
    EXPECT_EQ (reader.groups[0]->description, "Untitled group");
    EXPECT_EQ (reader.activeScene, -1);
    EXPECT_TRUE (readerListener.changes.empty());

    // A host restore naming scene 3 of group 2 then selects it without notifying.
    reader.setScene (2, 3, false, false);
    EXPECT_EQ (reader.activeGroup, 2);
    EXPECT_EQ (reader.activeScene, 3);
    EXPECT_TRUE (readerListener.changes.empty());
    reader.removeListener (&readerListener);
}

TEST_F (LiveModelTest, LoadingSkipsIdsOutOfRangeAndKeepsOnlyAbsolutePresetPaths)
{
    // <other>                                          root type is not examined
    //   <groups>
    //     <group description="No id">                  -> group 0
    //       <scene id="1" preset="/a/b/../c.orvane"/>  -> "/a/c.orvane"
    //       <scene id="7" preset="/x.orvane"/>         -> ignored
    //       <scene preset="relative/d.orvane"/>        -> scene 0, relative: unset
    //     <group id="10" description="Too high"> ...   -> ignored
    //     <group id="-1" description="Negative"/>      -> ignored
    //     <group id="4"><scene id="2" preset=""/>      -> description "", preset ""
    model.groups[0]->scenes[0]->presetPath = "/before/zero.orvane";
    model.groups[4]->scenes[2]->presetPath = "/before/four.orvane";
    model.groups[5]->scenes[5]->presetPath = "/untouched.orvane";
    model.groups[5]->description = "Untouched";

    const auto file = writeText (liveFile ("Odd.qelliveset"), R"(<other><groups>
        <group description="No id">
          <scene id="1" preset="/a/b/../c.orvane"/>
          <scene id="7" preset="/x.orvane"/>
          <scene preset="relative/d.orvane"/>
        </group>
        <group id="10" description="Too high"><scene id="0" preset="/high.orvane"/></group>
        <group id="-1" description="Negative"/>
        <group id="4"><scene id="2" preset=""/></group>
        </groups></other>)");

    model.loadFromFile (file);

    EXPECT_EQ (model.groups[0]->description, "No id");
    EXPECT_EQ (model.groups[0]->scenes[1]->presetPath, "/a/c.orvane");
    EXPECT_EQ (model.groups[0]->scenes[0]->presetPath, "");
    EXPECT_EQ (model.groups[4]->description, "");
    EXPECT_EQ (model.groups[4]->scenes[2]->presetPath, "");
    EXPECT_EQ (model.groups[5]->description, "Untouched");
    EXPECT_EQ (model.groups[5]->scenes[5]->presetPath, "/untouched.orvane");

    for (const auto* group : model.groups)
        for (const auto* scene : group->scenes)
            EXPECT_NE (scene->presetPath, "/x.orvane");

    EXPECT_EQ (model.groups.size(), 10);
    EXPECT_EQ (model.groups[9]->description, "Untitled group");
}

TEST_F (LiveModelTest, FilesThatAreNotLiveSetsChangeNothingAndUnparsableOnesOnlyBecomeCurrent)
{
    const auto valid = juce::String (R"(<live><groups><group id="1" description="Loaded"/></groups></live>)");
    const auto folder = liveFile ("Folder.qelliveset");
    folder.createDirectory();

    for (const auto& file :
         { writeText (liveFile ("settings.xml"), valid), liveFile ("Missing.qelliveset"), folder, juce::File() })
        model.loadFromFile (file);

    EXPECT_EQ (model.currentFile, juce::File());
    EXPECT_EQ (model.groups[1]->description, "Untitled group");

    const auto broken = writeText (liveFile ("Broken.qelliveset"), "<live><groups>");
    model.loadFromFile (broken);
    EXPECT_EQ (model.currentFile, broken);
    EXPECT_EQ (model.groups[1]->description, "Untitled group");
}

TEST_F (LiveModelTest, SceneIsSelectedOnlyWithValidIndicesAndAnExistingPresetFile)
{
    const auto preset = presetFile ("Verse.orvane");
    const auto gone = presetFile ("Gone.orvane");
    gone.deleteFile();
    const auto folder = sandbox.temp.folder.getChildFile ("presets/A Folder.orvane");
    folder.createDirectory();

    model.groups[1]->scenes[2]->presetPath = preset.getFullPathName();
    model.groups[1]->scenes[3]->presetPath = gone.getFullPathName();
    model.groups[1]->scenes[4]->presetPath = folder.getFullPathName();
    model.groups[1]->scenes[5]->presetPath = "relative/Verse.orvane";

    const std::pair<int, int> refused[] = { { -1, 0 }, { 0, -1 }, { 0, 6 }, { 10, 0 },
                                            { 1, 0 },  { 1, 3 },  { 1, 4 }, { 1, 5 } };

    for (const auto& [group, scene] : refused)
    {
        model.setScene (group, scene, true, true);
        expectPositions (0, -1);
    }

    EXPECT_TRUE (listener.changes.empty());

    model.setScene (1, 2, true, false);
    expectPositions (1, 2);
    EXPECT_EQ (listener.changes, (std::vector<std::pair<int, int>> { { 2, 1 } }));
}

TEST_F (LiveModelTest, ReselectingTheActiveSceneNeedsForceAndNotifyIsOptional)
{
    const auto preset = presetFile ("Chorus.orvane");
    model.groups[0]->scenes[0]->presetPath = preset.getFullPathName();
    model.groups[3]->scenes[1]->presetPath = preset.getFullPathName();

    model.setScene (0, 0, false, false);
    expectPositions (0, 0);
    EXPECT_TRUE (listener.changes.empty()) << "a silent selection";

    model.setScene (0, 0, true, false);
    EXPECT_TRUE (listener.changes.empty()) << "the same scene again without force";

    model.setScene (0, 0, true, true);
    model.setScene (3, 1, true, false);
    expectPositions (3, 1);
    EXPECT_EQ (listener.changes, (std::vector<std::pair<int, int>> { { 0, 0 }, { 1, 3 } }));
}

TEST_F (LiveModelTest, OverwriteSavesOnlyALiveSetFile)
{
    const auto other = liveFile ("Notes.txt");
    model.currentFile = other;
    model.overwriteCurrentFile();
    EXPECT_FALSE (other.exists());

    const auto named = liveFile ("Gig.QELLIVESET");
    model.currentFile = named;
    model.groups[7]->description = "Encore";
    model.overwriteCurrentFile();
    ASSERT_TRUE (named.existsAsFile());
    EXPECT_EQ (
        juce::parseXML (named)->getChildByName ("groups")->getChildElement (7)->getStringAttribute ("description"),
        "Encore");
}
