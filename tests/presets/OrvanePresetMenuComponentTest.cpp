#include "presets/OrvanePresetMenuComponent.h"
#include "presets/PresetViewsTestSupport.h"

#include <gtest/gtest.h>

using namespace presets_test;

namespace
{
/** The brand bar on the fixture's store, its dialogs scripted. */
struct OrvanePresetMenuTest : PresetViewsFixture
{
    std::unique_ptr<juce::OrvanePresetMenuComponent> makeBar()
    {
        auto bar = std::make_unique<juce::OrvanePresetMenuComponent> (&store);
        bar->dialogs = dialogs.hooks();
        return bar;
    }

    juce::StringArray entryNames (const juce::OrvanePresetMenuComponent& bar) const
    {
        juce::StringArray names;
        for (const auto& entry : bar.presets)
            names.add (juce::File (entry.path).getRelativePathFrom (root()));
        return names;
    }
};

/** A tree in menu order:

      Init.orvane                  1
      Factory/_02 Pop/Pop A        3   (sub-folder after '_01 Rock': full paths compare)
      Factory/_01 Rock/Rock A      2
      Factory/Bright               4   (folders before files)
      User/Lead                    5
      Factory/notes.txt            -   (not a preset)
*/
void writeTree (OrvanePresetMenuTest& t)
{
    t.writePreset ("Init.orvane");
    t.writePreset ("Factory/_02 Pop/Pop A.orvane");
    t.writePreset ("Factory/_01 Rock/Rock A.orvane");
    t.writePreset ("Factory/Bright.orvane", factoryPresetText);
    t.writePreset ("User/Lead.orvane");
    writeText (t.root().getChildFile ("Factory/notes.txt"), "notes");
}
} // namespace

TEST_F (OrvanePresetMenuTest, MenuHoldsTheTreesInOrderWithTicksAndIds)
{
    writeTree (*this);
    store.loadPreset (root().getChildFile ("Factory/_02 Pop/Pop A.orvane"), false);
    auto bar = makeBar();

    EXPECT_EQ (entryNames (*bar), juce::StringArray ({ "Init.orvane", "Factory/_01 Rock/Rock A.orvane",
                                                       "Factory/_02 Pop/Pop A.orvane", "Factory/Bright.orvane",
                                                       "User/Lead.orvane" }));
    EXPECT_EQ (itemTexts (*bar->presetPopupMenu), juce::StringArray ({ "Init", "Factory Presets/", "User Presets/" }));
    EXPECT_EQ (itemTexts (*bar->factoryMenu), juce::StringArray ({ "Rock/", "Pop/", "Bright" }));
    EXPECT_EQ (findItem (*bar->factoryMenu, "Bright")->itemID, 4);

    const auto* pop = findItem (*bar->factoryMenu, "Pop");
    EXPECT_TRUE (pop->isTicked);
    EXPECT_FALSE (findItem (*bar->factoryMenu, "Rock")->isTicked);
    EXPECT_TRUE (findItem (*pop->subMenu, "Pop A")->isTicked);
    EXPECT_EQ (findItem (*pop->subMenu, "Pop A")->itemID, 3);
    EXPECT_EQ (bar->presetLabel.getText(), "Pop A");
    EXPECT_EQ (bar->getPresetId (root().getChildFile ("User/Lead.orvane")), 5);
    EXPECT_EQ (bar->getPresetId (root().getChildFile ("User/lead.orvane")), -1);
}

TEST_F (OrvanePresetMenuTest, PreviousAndNextFollowTheMenuWithoutWrapping)
{
    writeTree (*this);
    store.loadPreset (root().getChildFile ("Factory/Bright.orvane"), false);
    auto bar = makeBar();

    bar->nextPreset(); // from the last factory preset into the user tree
    EXPECT_EQ (store.currentPreset, root().getChildFile ("User/Lead.orvane"));
    bar->nextPreset();
    EXPECT_EQ (store.currentPreset, root().getChildFile ("User/Lead.orvane"));
    EXPECT_EQ (processor.appliedFiles.size(), 2); // the load at the end did nothing

    bar->previousPreset();
    bar->previousPreset();
    EXPECT_EQ (store.currentPreset, root().getChildFile ("Factory/_02 Pop/Pop A.orvane"));
    EXPECT_EQ (bar->presetLabel.getText(), "Pop A");

    store.loadPreset (root().getChildFile ("Init.orvane"), false);
    bar->previousPreset();
    EXPECT_EQ (store.currentPreset, root().getChildFile ("Init.orvane"));
}

TEST_F (OrvanePresetMenuTest, EmptyTreeGivesEmptySubMenusAndInertSteps)
{
    auto bar = makeBar();
    EXPECT_EQ (itemTexts (*bar->presetPopupMenu), juce::StringArray ({ "Factory Presets/", "User Presets/" }));
    bar->nextPreset();
    bar->previousPreset();
    EXPECT_TRUE (processor.appliedFiles.isEmpty());
}

TEST_F (OrvanePresetMenuTest, ChoosingFromTheMenuLoadsForcedAndAnInvalidDefaultLoadsNothing)
{
    writePreset ("Init.orvane", "not xml");
    const auto bright = writePreset ("Factory/Bright.orvane");
    store.loadPreset (bright, false);
    store.changed = true;
    auto bar = makeBar();

    dialogs.menuAnswers = { 2, 1 };
    bar->showPresetMenu(); // the current preset again: reloaded, changes dropped
    EXPECT_EQ (processor.appliedFiles.size(), 2);
    EXPECT_FALSE (store.changed);
    EXPECT_EQ (dialogs.menuWidths.front(), 175);

    bar->showPresetMenu(); // the damaged default preset is listed first but loads nothing
    EXPECT_EQ (itemTexts (dialogs.menus.back()).getReference (0), "Init");
    EXPECT_EQ (processor.appliedFiles.size(), 2);
}

TEST_F (OrvanePresetMenuTest, FontShowsUnsavedChangesOfUserPresetsOnly)
{
    const auto bright = writePreset ("Factory/Bright.orvane", factoryPresetText);
    const auto lead = writePreset ("User/Lead.orvane");
    auto bar = makeBar();
    bar->presetFont = juce::Font (19.0f);
    bar->changedPresetFont = juce::Font (19.0f, juce::Font::italic);

    store.loadPreset (lead, false);
    store.changed = true;
    bar->timerCallback();
    EXPECT_TRUE (bar->presetLabel.getFont().isItalic());

    store.loadPreset (bright, false);
    EXPECT_FALSE (bar->presetLabel.getFont().isItalic());
    store.changed = true;
    bar->timerCallback();
    EXPECT_FALSE (bar->presetLabel.getFont().isItalic());
}

TEST_F (OrvanePresetMenuTest, SaveMenuOffersOverwriteForUserPresetsOnly)
{
    const auto bright = writePreset ("Factory/Bright.orvane", factoryPresetText);
    const auto lead = writePreset ("User/Lead.orvane");
    auto bar = makeBar();

    store.loadPreset (bright, false);
    bar->showSavePresetMenu (nullptr, 195.0f);
    EXPECT_EQ (itemTexts (dialogs.menus.back()), juce::StringArray ({ "Save as new preset..." }));
    EXPECT_EQ (dialogs.menuWidths.back(), 195);

    store.loadPreset (lead, false);
    store.changed = true;
    dialogs.menuAnswers = { juce::OrvanePresetMenuComponent::overwriteItemId };
    dialogs.confirmAnswers = { true };
    processor.stateMarker = "overwritten";
    bar->showSavePresetMenu (nullptr, 0.0f);
    EXPECT_EQ (itemTexts (dialogs.menus.back()),
               juce::StringArray ({ "Overwrite current preset", "Save as new preset..." }));
    EXPECT_EQ (dialogs.confirms,
               juce::StringArray ({ "Overwrite preset: Are you sure you want to overwrite current preset?" }));
    EXPECT_TRUE (lead.loadFileAsString().contains ("overwritten"));
    EXPECT_FALSE (store.changed);
}

TEST_F (OrvanePresetMenuTest, FailedOverwriteIsReportedAndKeepsTheChangedMark)
{
    const auto lead = writePreset ("User/Lead.orvane");
    auto bar = makeBar();
    store.loadPreset (lead, false);
    store.changed = true;
    lead.deleteFile();

    dialogs.confirmAnswers = { true };
    bar->overwriteCurrentPreset();
    EXPECT_EQ (dialogs.warnings, juce::StringArray ({ "Save preset: An error occured while saving your preset" }));
    EXPECT_TRUE (store.changed);
}

TEST_F (OrvanePresetMenuTest, SaveAsWritesIntoTheChosenBankAndMakesItCurrent)
{
    auto bar = makeBar();

    dialogs.formAnswers = { answer ("Lead", "Bank 1") };
    bar->savePresetAs();
    ASSERT_EQ (dialogs.forms.size(), 1u);
    const auto& form = dialogs.forms.front();
    EXPECT_EQ (form.title, "New preset");
    EXPECT_TRUE (form.withBank && form.withName && ! form.withTypeAndGenre);
    EXPECT_EQ (form.initial.bank, "Bank 1"); // no banks yet
    EXPECT_EQ (form.initial.name, "New Preset");

    const auto saved = root().getChildFile ("User/Bank 1/Lead.orvane");
    EXPECT_TRUE (store.isQELPreset (saved));
    EXPECT_EQ (store.currentPreset, saved);
    EXPECT_EQ (bar->presetLabel.getText(), "Lead");
    EXPECT_EQ (bar->getPresetId (saved), 1);
    EXPECT_TRUE (dialogs.warnings.isEmpty());
}

TEST_F (OrvanePresetMenuTest, SavedStateLosesTypeAndCarriesGenreAndTagWhenAsked)
{
    auto bar = makeBar();
    bar->showTypeAndGenre = true;
    auto state = processor.getPluginState();

    bar->saveNewPreset ({ "", "Lead", "Rap", "All" });
    const auto xml = juce::parseXML (root().getChildFile ("User/Lead.orvane"));
    ASSERT_NE (xml, nullptr);
    EXPECT_FALSE (xml->hasAttribute ("type"));
    EXPECT_EQ (xml->getAttributeName (1), "genre");
    EXPECT_EQ (xml->getStringAttribute ("genre"), "All");
    EXPECT_EQ (xml->getStringAttribute ("tag"), "Rap");
}

TEST_F (OrvanePresetMenuTest, EmptyNameWritesNothingButTheBankFolder)
{
    auto bar = makeBar();
    EXPECT_EQ (bar->saveNewPreset (answer ("", "New Bank")), "");
    EXPECT_TRUE (root().getChildFile ("User/New Bank").isDirectory());
    EXPECT_TRUE (root().getChildFile ("User/New Bank").findChildFiles (juce::File::findFiles, true).isEmpty());
    EXPECT_TRUE (dialogs.warnings.isEmpty());
}

TEST_F (OrvanePresetMenuTest, SavingOverAnExistingPresetAsksFirst)
{
    const auto lead = writePreset ("User/Lead.orvane", "<orvane_tessaro old=\"1\"/>");
    auto bar = makeBar();
    bar->showBankSelector = false;

    dialogs.confirmAnswers = { false, true };
    bar->saveNewPreset (answer ("Lead", "ignored without the selector"));
    EXPECT_EQ (dialogs.confirms,
               juce::StringArray ({ "Overwrite preset: Are you sure you want to overwrite existing preset?" }));
    EXPECT_TRUE (lead.loadFileAsString().contains ("old"));

    bar->saveNewPreset (answer ("Lead"));
    EXPECT_TRUE (lead.loadFileAsString().contains ("current state"));
    EXPECT_FALSE (root().getChildFile ("User/ignored without the selector").exists());
}

TEST_F (OrvanePresetMenuTest, SavingOverTheCurrentPresetClearsItsChangedMark)
{
    const auto lead = writePreset ("User/Lead.orvane");
    store.loadPreset (lead, false);
    store.changed = true;
    auto bar = makeBar();
    bar->showBankSelector = false;

    dialogs.confirmAnswers = { true };
    bar->saveNewPreset (answer ("Lead"));
    EXPECT_FALSE (store.changed);
}

TEST_F (OrvanePresetMenuTest, NamesThatLeaveTheFolderAreRefusedInTheDialog)
{
    auto bar = makeBar();
    const auto before = sandbox.folder.findChildFiles (juce::File::findFilesAndDirectories, true).size();

    struct Case
    {
        juce::String bank, name, messageStart;
    };
    for (const auto& c : { Case { "", "../../escape", "A preset name cannot contain" },
                           Case { "", "/abs/x", "A preset name cannot contain" },
                           Case { "", "..", "A preset name cannot be" },
                           Case { "", "~x", "A preset name cannot start" },
                           Case { "", ".hidden", "A preset name cannot start" },
                           Case { "", "a:b", "A preset name cannot contain control" },
                           Case { "", "tab\there", "A preset name cannot contain control" },
                           Case { "", juce::String::repeatedString ("x", 300), "A preset name is too long" },
                           Case { "../up", "Lead", "A bank name cannot contain" },
                           Case { "~", "Lead", "A bank name cannot start" },
                           Case { ".", "Lead", "A bank name cannot be" } })
        EXPECT_TRUE (bar->saveNewPreset (answer (c.name, c.bank)).startsWith (c.messageStart)) << c.bank << "|" << c.name;

    EXPECT_EQ (sandbox.folder.findChildFiles (juce::File::findFilesAndDirectories, true).size(), before);
    EXPECT_TRUE (dialogs.warnings.isEmpty());

    // The dialog shows the reason and opens again with what was typed.
    dialogs.formAnswers = { answer ("../x", "Bank 1") };
    bar->savePresetAs();
    ASSERT_EQ (dialogs.forms.size(), 2u);
    EXPECT_EQ (dialogs.forms[1].message, "A preset name cannot contain \"/\" or \"\\\".");
    EXPECT_EQ (dialogs.forms[1].initial.name, "../x");
    EXPECT_FALSE (root().exists());
}

TEST_F (OrvanePresetMenuTest, FailedWriteIsReported)
{
    auto bar = makeBar();
    bar->showBankSelector = false;
    writeText (root().getChildFile ("User"), "a file where the user folder should be");
    const auto before = store.currentPreset;

    bar->saveNewPreset (answer ("Lead"));
    EXPECT_EQ (dialogs.warnings, juce::StringArray ({ "Save preset: An error occured while saving your preset" }));
    EXPECT_EQ (store.currentPreset, before);
}

TEST_F (OrvanePresetMenuTest, ReturnInTheLabelRenamesAfterAskingBeforeReplacing)
{
    const auto lead = writePreset ("User/Lead.orvane");
    const auto other = writePreset ("User/Other.orvane", "<orvane_tessaro other=\"1\"/>");
    store.loadPreset (lead, false);
    auto bar = makeBar();
    juce::TextEditor editor;

    editor.setText ("Other");
    dialogs.confirmAnswers = { false };
    bar->editorHidden (&bar->presetLabel, editor);
    EXPECT_TRUE (lead.existsAsFile());
    EXPECT_TRUE (other.loadFileAsString().contains ("other"));
    EXPECT_EQ (bar->presetLabel.getText(), "Lead");

    editor.setText ("../Lead");
    bar->editorHidden (&bar->presetLabel, editor);
    EXPECT_EQ (dialogs.warnings.size(), 1);
    EXPECT_TRUE (lead.existsAsFile());

    editor.setText ("Lead 2");
    bar->editorHidden (&bar->presetLabel, editor);
    EXPECT_FALSE (lead.existsAsFile());
    EXPECT_EQ (store.currentPreset, root().getChildFile ("User/Lead 2.orvane"));
    EXPECT_EQ (bar->presetLabel.getText(), "Lead 2");
}

TEST_F (OrvanePresetMenuTest, BrowseLoadsTheChosenFile)
{
    const auto elsewhere = writeText (sandbox.folder.getChildFile ("Downloads/Shared.orvane"), presetText);
    auto bar = makeBar();
    dialogs.fileToOpen = elsewhere;
    bar->buttonClicked (bar->browseButton.get());
    EXPECT_EQ (dialogs.chooserTitles, juce::StringArray ({ "Load preset" }));
    EXPECT_EQ (store.currentPreset, elsewhere);
}
