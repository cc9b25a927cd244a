#include "editor/EditorTestFixture.h"
#include "editor/GuiTestSupport.h"
#include "editor/PresetMenuComponent.h"
#include "presets/PresetViewsTestSupport.h"

#include <gtest/gtest.h>

using namespace presets_test;

namespace
{
/** The generic bar on the fixture's store, its dialogs scripted. */
struct GenericPresetMenuTest : PresetViewsFixture
{
    std::unique_ptr<juce::PresetMenuComponent> makeBar()
    {
        auto bar = std::make_unique<juce::PresetMenuComponent> (&store, &processor);
        bar->dialogs = dialogs.hooks();
        return bar;
    }

    static int itemId (const juce::PopupMenu& menu, const juce::String& text) { return findItem (menu, text)->itemID; }
};

constexpr int firstItem = juce::PresetMenuComponent::firstPresetItemId;

using EditorTest_GenericBar = editor_test::EditorTest;
} // namespace

TEST_F (GenericPresetMenuTest, MenuOrderAndIds)
{
    auto bar = makeBar();
    EXPECT_EQ (itemTexts (*bar->mainMenu), juce::StringArray ({ "Reset All Parameters", "---", "Factory Presets/",
                                                                "QEL Community Presets/", "User Presets/" }));
    EXPECT_EQ (itemId (*bar->mainMenu, "Reset All Parameters"), 1005);

    writePreset ("Init.orvane");
    const auto lead = writePreset ("User/Bank/Lead.orvane");
    writePreset ("QEL Collaborators/Guest.orvane");
    writePreset ("Factory/Only/notes.txt", "x");
    store.loadPreset (lead, false);
    store.changed = true;
    bar->saveItems = bar->fileItems = true;
    bar->recreatePresetMenu();

    EXPECT_EQ (itemTexts (*bar->mainMenu),
               juce::StringArray ({ "Reset All Parameters", "---", "Import presets...", "Export current preset...",
                                    "Open preset folder", "---", "Overwrite current preset", "Save as new preset...",
                                    "---", "Init", "Factory Presets/", "QEL Community Presets/", "User Presets/" }));
    EXPECT_TRUE (findItem (*bar->mainMenu, "Overwrite current preset")->isEnabled);
    EXPECT_EQ (itemId (*bar->mainMenu, "Init"), firstItem);
    EXPECT_TRUE (findItem (*bar->mainMenu, "User Presets")->isTicked);
    EXPECT_FALSE (findItem (*bar->mainMenu, "Factory Presets")->isTicked);
    EXPECT_EQ (itemTexts (*bar->factoryMenu), juce::StringArray ({ "Only/" })); // a folder of no presets
    const auto* bank = findItem (*bar->userMenu, "Bank");
    EXPECT_TRUE (bank->isTicked);
    EXPECT_EQ (itemId (*bank->subMenu, "Lead"), firstItem + 2); // the hidden collaborators' preset took id 2
    EXPECT_EQ (bar->getPresetId (lead), 3);
    EXPECT_EQ (bar->selectionPanel->label.getText(), "Lead");

    store.changed = false;
    bar->recreatePresetMenu();
    EXPECT_FALSE (findItem (*bar->mainMenu, "Overwrite current preset")->isEnabled);
}

TEST_F (GenericPresetMenuTest, DispatchStepsAndReset)
{
    const auto a = writePreset ("Factory/A.orvane");
    const auto guest = writePreset ("QEL Collaborators/Guest.orvane");
    store.loadPreset (a, false);
    auto bar = makeBar();

    bar->performMenuResult (1005); // no default preset: nothing
    EXPECT_EQ (processor.appliedFiles.size(), 1);

    bar->nextPreset(); // into the hidden collaborators folder
    EXPECT_EQ (store.currentPreset, guest);
    bar->nextPreset();
    EXPECT_EQ (processor.appliedFiles.size(), 2);

    store.changed = true;
    dialogs.menuAnswers = { firstItem + 1 };
    bar->showPresetMenu(); // the current preset again, forced
    EXPECT_EQ (processor.appliedFiles.size(), 3);
    EXPECT_FALSE (store.changed);
    EXPECT_EQ (dialogs.menuWidths.back(), 195);

    bar->performMenuResult (1002);
    EXPECT_EQ (dialogs.revealed, juce::Array<juce::File> { root() });

    const auto init = writePreset ("Init.orvane");
    bar->performMenuResult (1005);
    EXPECT_EQ (store.currentPreset, init);
}

TEST_F (GenericPresetMenuTest, ThousandsOfPresetsNeverReachTheActionIds)
{
    for (int i = 0; i < 1001; ++i)
        writePreset ("Factory/P" + juce::String (i).paddedLeft ('0', 4) + ".orvane");
    auto bar = makeBar();
    bar->saveItems = true;

    bar->performMenuResult (firstItem + 999); // the 1000th preset loads; nothing is overwritten
    EXPECT_EQ (store.currentPreset, root().getChildFile ("Factory/P0999.orvane"));
    EXPECT_TRUE (dialogs.confirms.isEmpty());
}

TEST_F (GenericPresetMenuTest, RightClickOffersMidiLearnOfTheCurrentPreset)
{
    const auto lead = writePreset ("User/Lead.orvane");
    store.loadPreset (lead, false);
    auto bar = makeBar();
    juce::Array<juce::QELMidiMapping> learned;
    bar->onMidiLearn = [&] (juce::QELMidiMapping m) { learned.add (m); };

    dialogs.menuAnswers = { 1 };
    bar->labelMouseDown (gui_test::mouseEvent (bar->selectionPanel->label, {},
                                               juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier)));
    ASSERT_EQ (dialogs.menus.size(), 1u);
    EXPECT_EQ (itemTexts (dialogs.menus[0]), juce::StringArray ({ "Preset: Lead.orvane", "---", "MIDI learn..." }));
    EXPECT_TRUE (findItem (dialogs.menus[0], "Preset: Lead.orvane")->isSectionHeader);
    ASSERT_EQ (learned.size(), 1);
    EXPECT_EQ (learned[0].type, 3);
    EXPECT_EQ (learned[0].data1, lead.getFullPathName());
    EXPECT_EQ (learned[0].custom_value, -1);
    EXPECT_EQ (learned[0].number, -1);
    EXPECT_EQ (learned[0].lastValue, -1);
    EXPECT_FALSE (learned[0].is_momentary);
}

TEST_F (GenericPresetMenuTest, SaveAsWritesIntoABankAndAsksBeforeReplacing)
{
    processor.stateMarker = "first";
    auto bar = makeBar();
    dialogs.formAnswers = { answer ("Lead") }; // empty bank: the user folder
    bar->performMenuResult (1001);
    EXPECT_EQ (dialogs.forms[0].initial.bank, "Bank 1");
    EXPECT_EQ (dialogs.forms[0].nameLabel, "Preset");
    const auto lead = root().getChildFile ("User/Lead.orvane");
    EXPECT_EQ (store.currentPreset, lead);
    EXPECT_FALSE (juce::parseXML (lead)->hasAttribute ("type"));

    processor.stateMarker = "second";
    bar->saveNewPreset (answer ("Lead", "New Bank"));
    const auto copy = root().getChildFile ("User/New Bank/Lead.orvane");
    EXPECT_TRUE (copy.loadFileAsString().contains ("second"));

    processor.stateMarker = "third";
    bar->saveNewPreset (answer ("Lead", "Other Bank"));
    bar->saveNewPreset (answer ("Lead", "New Bank"));
    EXPECT_EQ (dialogs.confirms, juce::StringArray ({ "New preset: Overwrite existing preset?" }));
    EXPECT_TRUE (copy.loadFileAsString().contains ("second"));
    EXPECT_TRUE (root().getChildFile ("User/Other Bank").isDirectory());

    EXPECT_TRUE (bar->saveNewPreset (answer ("x/y", "New Bank")).isNotEmpty());
    EXPECT_TRUE (bar->saveNewPreset (answer ("x", "../../out")).isNotEmpty());
    EXPECT_FALSE (root().getParentDirectory().getParentDirectory().getChildFile ("out").exists());
}

TEST_F (GenericPresetMenuTest, ExportWritesAnywhereAndLoadsOnlyPresets)
{
    auto bar = makeBar();
    dialogs.fileToSave = sandbox.folder.getChildFile ("Desktop/Shared.orvane");
    dialogs.fileToSave.getParentDirectory().createDirectory();
    bar->performMenuResult (1004);
    EXPECT_EQ (dialogs.chooserTitles, juce::StringArray ({ "Export current preset" }));
    EXPECT_EQ (store.currentPreset, dialogs.fileToSave);

    const auto before = store.currentPreset;
    dialogs.fileToSave = sandbox.folder.getChildFile ("Desktop/Shared");
    bar->performMenuResult (1004);
    EXPECT_TRUE (dialogs.fileToSave.existsAsFile());
    EXPECT_EQ (store.currentPreset, before);

    processor.stateMarker = "changed";
    bar->performMenuResult (1004); // exists: asked, "No"
    EXPECT_FALSE (dialogs.fileToSave.loadFileAsString().contains ("changed"));

    dialogs.fileToSave = juce::File();
    bar->performMenuResult (1004);
    EXPECT_TRUE (dialogs.warnings.isEmpty());
}

TEST_F (GenericPresetMenuTest, OverwriteAsksAndReportsAFailedWrite)
{
    const auto lead = writePreset ("User/Lead.orvane");
    store.loadPreset (lead, false);
    store.changed = true;
    auto bar = makeBar();
    processor.stateMarker = "new";

    dialogs.confirmAnswers = { false, true };
    bar->performMenuResult (1000);
    EXPECT_FALSE (lead.loadFileAsString().contains ("new"));
    bar->performMenuResult (1000);
    EXPECT_EQ (dialogs.confirms[0], "Overwrite Preset: Are you sure you want to overwrite current preset?");
    EXPECT_TRUE (lead.loadFileAsString().contains ("new"));
    EXPECT_FALSE (store.changed);

    store.changed = true;
    lead.deleteFile();
    bar->overwriteThroughBar = true;
    dialogs.confirmAnswers = { true };
    bar->performMenuResult (1000);
    EXPECT_EQ (dialogs.warnings.size(), 1);
    EXPECT_TRUE (store.changed);
}

TEST_F (GenericPresetMenuTest, ImportCopiesIntoTheChosenBankAndCountsWhatArrived)
{
    const auto incoming = sandbox.folder.getChildFile ("incoming");
    const auto one = writeText (incoming.getChildFile ("a/One.orvane"), "one from a");
    const auto oneAgain = writeText (incoming.getChildFile ("b/One.orvane"), "one from b");
    const auto two = writeText (incoming.getChildFile ("Two.orvane"), presetText);
    const auto kept = writeText (root().getChildFile ("User/Bank 1/Kept.orvane"), "kept");
    auto bar = makeBar();

    dialogs.formAnswers = { answer ({}, "Bank 1") };
    bar->importPresets ({ one, oneAgain, two, kept });
    EXPECT_EQ (dialogs.forms[0].title, "Import presets");
    EXPECT_EQ (dialogs.forms[0].confirmText, "Import");
    EXPECT_FALSE (dialogs.forms[0].withName);
    EXPECT_EQ (dialogs.forms[0].banks, juce::StringArray ({ "Bank 1" })); // the first bank is proposed
    EXPECT_EQ (dialogs.infos, juce::StringArray ({ "Import presets: 4 preset/s imported" }));
    const auto bank = root().getChildFile ("User/Bank 1");
    EXPECT_EQ (bank.getChildFile ("One.orvane").loadFileAsString(), "one from b");
    EXPECT_EQ (kept.loadFileAsString(), "kept");
    EXPECT_EQ (bar->getPresetId (bank.getChildFile ("Two.orvane")), 1); // listed at once

    // A failure part-way: the missing file is reported and not counted, the rest arrive,
    // and what the bank already held is untouched.
    dialogs.formAnswers = { answer ({}, "Bank 1") };
    bar->importPresets ({ incoming.getChildFile ("missing/One.orvane"), two });
    EXPECT_EQ (dialogs.infos[1], "Import presets: 1 preset/s imported\n1 could not be imported: One.orvane");
    EXPECT_EQ (bank.getChildFile ("One.orvane").loadFileAsString(), "one from b");

    // An empty bank imports into the user folder; a bank that leaves it is refused in the form.
    dialogs.formAnswers = { answer ({}, "../escape"), answer ({}, "") };
    bar->importPresets ({ two });
    EXPECT_EQ (dialogs.forms.back().message, "A bank name cannot contain \"/\" or \"\\\".");
    EXPECT_TRUE (root().getChildFile ("User/Two.orvane").existsAsFile());
    EXPECT_FALSE (root().getChildFile ("escape").exists());

    // Cancelled: nothing.
    bar->importPresets ({ one });
    EXPECT_EQ (dialogs.infos.size(), 3);
}

TEST_F (GenericPresetMenuTest, ImportProposesBank1WithoutBanksAndTheChooserFeedsIt)
{
    const auto one = writeText (sandbox.folder.getChildFile ("in/One.orvane"), presetText);
    auto bar = makeBar();
    bar->fileItems = true;
    dialogs.filesToOpen = { one };
    dialogs.formAnswers = { answer ({}, "Bank 1") };
    bar->performMenuResult (1003);
    EXPECT_EQ (dialogs.chooserTitles, juce::StringArray ({ "Import presets" }));
    EXPECT_TRUE (dialogs.forms[0].banks.isEmpty());
    EXPECT_EQ (dialogs.forms[0].initial.bank, "Bank 1");
    EXPECT_TRUE (root().getChildFile ("User/Bank 1/One.orvane").existsAsFile());
}

TEST_F (GenericPresetMenuTest, LayoutFontAndRename)
{
    const auto lead = writePreset ("User/Lead.orvane");
    store.loadPreset (lead, false);
    auto bar = makeBar();
    bar->setSize (1000, 80);
    EXPECT_FLOAT_EQ (bar->menuLookAndFeel->fontHeight, 50.0f);
    EXPECT_EQ (bar->selectionPanel->getBounds(), juce::Rectangle<int> (7, 7, 986, 66));

    auto& panel = *bar->selectionPanel;
    panel.setSize (300, 56);
    EXPECT_FLOAT_EQ (panel.label.getFont().getHeight(), 20.0f);
    EXPECT_EQ (panel.previousButton->getWidth(), 30);
    EXPECT_EQ (panel.nextButton->getBounds(), juce::Rectangle<int> (270, 0, 30, 56));
    EXPECT_EQ (panel.label.getBounds(), juce::Rectangle<int> (31, 0, 238, 56));

    store.changed = true;
    bar->timerCallback();
    EXPECT_TRUE (panel.label.getFont().isItalic());

    juce::TextEditor editor;
    editor.setText ("Renamed");
    panel.editorHidden (&panel.label, editor);
    EXPECT_EQ (store.currentPreset, root().getChildFile ("User/Renamed.orvane"));
    EXPECT_EQ (panel.label.getText(), "Renamed");
    EXPECT_FALSE (panel.label.getFont().isItalic() && store.changed);
}

TEST (PresetSelectionComponent, ReportsOnlyPressesOnTheLabelAndArrowClicks)
{
    juce::PresetSelectionComponent panel;
    juce::StringArray heard;
    panel.onLabelMouseDown = [&] (const juce::MouseEvent&) { heard.add ("label"); };
    panel.onPrevious = [&] { heard.add ("previous"); };
    panel.onNext = [&] { heard.add ("next"); };
    panel.onTextChanged = [&] (const juce::String& t) { heard.add ("text " + t); };

    panel.mouseDown (gui_test::mouseEvent (panel, { 35.0f, 5.0f }));
    panel.mouseDown (gui_test::mouseEvent (panel.label, { 5.0f, 5.0f }));
    panel.buttonClicked (panel.previousButton.get());
    panel.buttonClicked (panel.nextButton.get());
    juce::TextEditor editor;
    editor.setText ("Lead");
    panel.editorHidden (&panel.label, editor);
    EXPECT_EQ (heard, juce::StringArray ({ "label", "previous", "next", "text Lead" }));
    EXPECT_EQ (panel.label.getText(), "Default");
    EXPECT_TRUE (panel.label.isEditableOnDoubleClick());
    EXPECT_FALSE (panel.label.isEditableOnSingleClick());
}

TEST_F (EditorTest_GenericBar, OptionsMenuImportGoesThroughTheGenericBar)
{
    const auto folder = sandbox.folder.getChildFile ("incoming");
    writeText (folder.getChildFile ("deep/One.orvane"), presetText);
    writeText (folder.getChildFile ("Two.orvane"), presetText);

    auto& e = open();
    ASSERT_NE (e.presetMenu, nullptr);
    ScriptedDialogs script;
    e.presetMenu->dialogs = script.hooks();
    e.dialogs.chooseFolder = [&] (const juce::String&, const juce::File&) { return folder; };

    script.formAnswers = { answer ({}, "Imported") };
    e.importPresetsFromFolder();
    EXPECT_EQ (script.infos, juce::StringArray ({ "Import presets: 2 preset/s imported" }));
    const auto bank = processor->presetManagerModel->getRootPresetFolder().getChildFile ("User/Imported");
    EXPECT_TRUE (bank.getChildFile ("One.orvane").existsAsFile());
    EXPECT_TRUE (bank.getChildFile ("Two.orvane").existsAsFile());
}
