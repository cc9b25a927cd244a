#pragma once

#include "editor/PresetSelectionComponent.h"
#include "editor/QELComponentBase.h"
#include "editor/QELTextButton.h"
#include "presets/PresetDialogs.h"
#include "presets/PresetManagerModel.h"
#include "presets/PresetMenuTree.h"
#include "presets/QELMidiMapping.h"

#include <functional>
#include <memory>

namespace juce
{
/** A popup-menu item component that draws nothing and keeps the size the menu proposes. */
class CustomComponent : public PopupMenu::CustomComponent
{
public:
    void paint (Graphics&) override {}
    void getIdealSize (int&, int&) override {}
};

/** The makers' generic preset bar: a selection panel (previous, the current preset's name,
    next) over a popup menu of preset actions and the whole preset tree. It also writes
    presets (overwrite, save as, export) and imports preset files into a user bank. */
class PresetMenuComponent : public QELComponentBase,
                            public Button::Listener,
                            public PresetManagerModel::Listener,
                            public Timer
{
public:
    /** Builds the panel and the menus (model and processor not owned; they outlive the bar). */
    PresetMenuComponent (PresetManagerModel* model, PreseteableProcessor* processor);
    ~PresetMenuComponent() override;

    /** The 33 ms tick: the name in italics while the preset has unsaved changes. */
    void timerCallback() override;
    /** Shows the loaded preset's name and rebuilds the menus. */
    void onPresetChange (File presetFile) override;
    /** Listens to no button. */
    void buttonClicked (Button*) override {}
    /** Colours of the panel, the menus and the dialogs. */
    virtual void updateColourScheme (Colour highlight, Colour background);
    /** The panel fills the bar, inset by 0.7 % of the width. */
    void resized() override;

    /** Rebuilds the preset entries and the five menus from disk. */
    void recreatePresetMenu();
    /** Rebuilds, shows the main menu and performs the chosen item. */
    void showPresetMenu();
    /** Performs a main-menu item: an action, or loading a preset (forced). */
    void performMenuResult (int itemId);
    /** The id of the entry naming the file, -1 when none does. */
    int getPresetId (File file) const;
    /** Adds one folder's tree to a menu. */
    void addChildsToSubMenu (File folder, PopupMenu& menu);
    /** Adds one preset entry and its item. */
    void addPresetToSubMenu (File file, PopupMenu& menu);
    /** Loads the entry before / after the current one (no wrap-around). */
    void previousPreset();
    void nextPreset();
    /** A press on the label: left opens the menu, right the MIDI-learn menu. */
    void labelMouseDown (const MouseEvent& e);
    /** The "Preset: <file>" menu with "MIDI learn...". */
    void showMidiLearnMenu();

    /** Writes the state as a preset, rebuilds the menus and loads the file; reports a failure.
        Returns whether the file was written. */
    bool writePluginStateToFile (File file);
    /** "Overwrite existing preset?": true for "Yes". */
    bool askShouldOverwritePreset();
    /** Asks, then writes the state over the current preset. */
    void overwriteCurrentPreset();
    /** The "New preset" dialog: bank and name, until saved or cancelled. */
    void saveAsNewPreset();
    /** Saves into a bank; returns why the bank or name was refused, else empty. */
    String saveNewPreset (const QEL::PresetForm::Answer& answer);
    /** Writes the state to a file chosen anywhere. */
    void exportCurrentPreset();
    /** Asks for files to import, then imports them. */
    void chooseAndImportPresets();
    /** Asks for a bank, copies the files into it, rebuilds the menus and reports how many arrived. */
    void importPresets (Array<File> files);
    /** Copies files into a bank folder, each replacing a file of its name only once its copy is
        complete. Returns the files that could not be imported. */
    Array<File> importInto (const Array<File>& files, const File& bankFolder);

    /** Called with the mapping template of "MIDI learn..."; unset here. */
    std::function<void (QELMidiMapping)> onMidiLearn;
    /** Called with every preset element about to be written; unset here. */
    std::function<void (XmlElement*)> onPresetXml;
    /** Imports one file into a bank folder in place of the copy; unset here. */
    std::function<void (const File& source, const File& bankFolder)> onImportCopy;

    int overwriteId = 1000, saveAsId = 1001, openFolderId = 1002, importId = 1003, exportId = 1004, resetId = 1005;
    /** Menu item id of the first preset entry: preset items never share ids with the actions. */
    static constexpr int firstPresetItemId = 10000;

    bool rightClickMidiLearn = true;
    bool keepDefaultLook = false;
    bool naturalFolderOrder = true;
    bool saveItems = false;
    bool fileItems = false;
    bool factorySubMenu = true;
    bool communitySubMenu = true;
    bool collaboratorsSubMenu = false;
    bool overwriteThroughBar = false;

    Image itemImage;
    PresetManagerModel* model = nullptr;
    PreseteableProcessor* processor = nullptr;
    std::unique_ptr<QEL::PopupMenuLookAndFeel> menuLookAndFeel, comboLookAndFeel, dialogLookAndFeel;
    std::unique_ptr<PresetSelectionComponent> selectionPanel;
    std::unique_ptr<PopupMenu> mainMenu, factoryMenu, collaboratorsMenu, communityMenu, userMenu;
    Array<QELPreset> presets;
    /** Where the bar's menus, questions and choosers go; tests replace them. */
    QEL::PresetDialogs dialogs;

private:
    void addComponents();
    void loadEntry (int index);
    bool isOverwritable() const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetMenuComponent)
};
} // namespace juce
