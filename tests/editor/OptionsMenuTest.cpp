#include "editor/EditorTestFixture.h"

using editor_test::EditorTest;

namespace
{
/** Dialog answers given in advance; records every question asked. */
struct ScriptedDialogs
{
    bool answer = true;
    juce::File chosen;
    juce::StringArray asked;

    QEL::EditorDialogs make()
    {
        QEL::EditorDialogs d;
        d.askYesNo = [this] (const juce::String& title, const juce::String& message)
        {
            asked.add (title + ": " + message);
            return answer;
        };
        d.inform = [this] (const juce::String& title, const juce::String& message)
        { asked.add (title + ": " + message); };
        d.chooseFolder = [this] (const juce::String& title, const juce::File&)
        {
            asked.add (title);
            return chosen;
        };
        d.chooseFileToOpen = [this] (const juce::String& title, const juce::File&, const juce::String&)
        {
            asked.add (title);
            return chosen;
        };
        d.chooseFileToSave = d.chooseFileToOpen;
        return d;
    }
};

juce::StringArray textsOf (const juce::PopupMenu& menu)
{
    juce::StringArray texts;
    for (const auto& entry : gui_test::entriesOf (menu))
    {
        EXPECT_FALSE (entry.isSeparator);
        if (! entry.isHeader)
        {
            EXPECT_TRUE (entry.isEnabled && ! entry.isTicked && entry.hasAction) << entry.text;
        }
        texts.add ((entry.isHeader ? "# " : "") + entry.text);
    }
    return texts;
}
} // namespace

TEST_F (EditorTest, OptionsMenuHoldsOnlyThePresetsSection)
{
    auto& e = open();
    EXPECT_EQ (textsOf (*e.optionsMenu), juce::StringArray ({ "# Presets", "Load preset...", "Delete current preset...",
                                                              "Import presets from folder...", "Open preset folder" }));
}

TEST_F (EditorTest, OptionsMenuFollowsTheSwitchesWhenRebuilt)
{
    auto& e = open();
    processor->liveEnabled = true;
    processor->midiMappingsEnabled = true;
    e.presetsInOptionsMenu = false;
    e.recreateOptionsMenu();
    EXPECT_EQ (textsOf (*e.optionsMenu),
               juce::StringArray ({ "# Live", "Load Live Set...", "Save Live Set...", "Clear Current Live Set",
                                    "# MIDI", "Load MIDI Mappings...", "Save MIDI Mappings..." }));
}

TEST_F (EditorTest, FactoryPresetsCannotBeDeleted)
{
    auto& store = *processor->presetManagerModel;
    const auto factory = store.getRootPresetFolder().getChildFile ("Factory/Easy Vocal Chain.orvane");
    factory.getParentDirectory().createDirectory();
    ASSERT_TRUE (juce::File (TESSARO_RESOURCES_DIR)
                     .getChildFile ("presets/Factory/Easy Vocal Chain.orvane")
                     .copyFileTo (factory));
    store.currentPreset = factory;

    ScriptedDialogs script;
    auto& e = open();
    e.dialogs = script.make();
    e.deleteCurrentPreset();
    EXPECT_EQ (script.asked.joinIntoString ("|"), "Delete preset: You can't delete factory presets");
    EXPECT_TRUE (factory.existsAsFile());
}

TEST_F (EditorTest, DeletingAUserPresetAsksThenDeletes)
{
    auto& store = *processor->presetManagerModel;
    const auto preset = store.getRootPresetFolder().getChildFile ("User/Mine.orvane");
    preset.getParentDirectory().createDirectory();
    processor->getPluginState()->writeTo (preset);
    store.currentPreset = preset;

    ScriptedDialogs script;
    auto& e = open();
    e.dialogs = script.make();

    script.answer = false;
    e.deleteCurrentPreset();
    EXPECT_TRUE (preset.existsAsFile());

    script.answer = true;
    e.deleteCurrentPreset();
    EXPECT_EQ (script.asked.joinIntoString ("|"),
               "Delete preset: Delete current preset?|Delete preset: Delete current preset?");
    EXPECT_FALSE (preset.existsAsFile());
}

TEST_F (EditorTest, DeletingWhenNoPresetFileIsCurrentDeletesNothing)
{
    auto& store = *processor->presetManagerModel;
    const auto notAPreset = sandbox.folder.getChildFile ("notes.txt");
    notAPreset.replaceWithText ("keep");
    store.currentPreset = notAPreset;

    ScriptedDialogs script;
    auto& e = open();
    e.dialogs = script.make();
    e.deleteCurrentPreset();
    EXPECT_EQ (script.asked.size(), 1);
    EXPECT_TRUE (notAPreset.existsAsFile());
}

TEST_F (EditorTest, ImportCollectsPresetFilesBelowTheChosenFolder)
{
    const auto folder = sandbox.folder.getChildFile ("incoming");
    folder.getChildFile ("a/b/One.orvane").create();
    folder.getChildFile ("Two.orvane").create();
    folder.getChildFile ("readme.txt").create();

    ScriptedDialogs script;
    auto& e = open();
    e.dialogs = script.make();
    juce::Array<juce::File> imported;
    e.onImportPresets = [&imported] (const juce::Array<juce::File>& files) { imported = files; };

    script.chosen = folder;
    e.importPresetsFromFolder();
    EXPECT_EQ (imported.size(), 2);

    // No preset files, or no folder chosen: nothing is handed on.
    imported.clear();
    script.chosen = folder.getChildFile ("a/b").getSiblingFile ("empty");
    script.chosen.createDirectory();
    e.importPresetsFromFolder();
    script.chosen = juce::File();
    e.importPresetsFromFolder();
    EXPECT_TRUE (imported.isEmpty());
}

TEST_F (EditorTest, ClearCurrentLiveSetChangesOnlyTheModelInMemory)
{
    auto& live = *processor->liveModel;
    live.groups[2]->scenes[4]->presetPath = "/some/preset.orvane";
    live.groups[2]->description = "Chorus";
    const auto file = live.getRootFolder().getChildFile ("Set.qelliveset");
    live.getRootFolder().createDirectory();
    ASSERT_TRUE (live.saveTo (file));
    const auto onDisk = file.loadFileAsString();

    auto& e = open();
    e.clearCurrentLiveSet();
    for (auto* group : live.groups)
        for (auto* scene : group->scenes)
            EXPECT_TRUE (scene->presetPath.isEmpty());
    EXPECT_EQ (live.groups[2]->description, "Chorus");
    EXPECT_EQ (file.loadFileAsString(), onDisk);
}

TEST_F (EditorTest, SavingALiveSetMakesItCurrent)
{
    auto& live = *processor->liveModel;
    ScriptedDialogs script;
    auto& e = open();
    e.dialogs = script.make();
    script.chosen = live.getRootFolder().getChildFile ("Saved.qelliveset");
    e.saveLiveSetToChooser();
    EXPECT_TRUE (script.chosen.existsAsFile());
    EXPECT_EQ (live.currentFile, script.chosen);
}
