#pragma once

#include "editor/QELComponentBase.h"
#include "editor/QELImageButton.h"
#include "presets/PresetDialogs.h"
#include "presets/PresetManagerModel.h"
#include "presets/PresetMenuTree.h"

#include <memory>

namespace juce
{
/** The Orvane preset bar: the current preset's name in a label, a popup menu of the default
    preset and the factory and user trees, previous and next in that menu's order, a file
    chooser to load any preset, and a save menu with overwrite and "Save as new preset...".
    While a user preset has unsaved changes its name shows in `changedPresetFont`. */
class OrvanePresetMenuComponent : public QELComponentBase,
                                  public Button::Listener,
                                  public PresetManagerModel::Listener,
                                  public Label::Listener,
                                  public Timer
{
public:
    /** Builds the menus and the label from the model (not owned; it outlives the bar). */
    explicit OrvanePresetMenuComponent (PresetManagerModel* model);
    ~OrvanePresetMenuComponent() override;

    /** The 33 ms tick: the font rule. */
    void timerCallback() override;
    /** Does nothing: the label is renamed only when its editor closes. */
    void labelTextChanged (Label*) override {}
    /** Renames the current preset to the editor's text, asking before replacing another preset. */
    void editorHidden (Label*, TextEditor& editor) override;
    /** Browse, save, previous and next buttons. */
    void buttonClicked (Button* button) override;
    /** Shows the loaded preset's name in `presetFont`. */
    void onPresetChange (File presetFile) override;
    /** Orders one folder listing for the menu: folders first, then the natural order of the
        full paths, ignoring case. */
    virtual void sortFiles (Array<File>& files);
    /** Shows the preset menu at the label and loads the chosen preset (forced). */
    virtual void showPresetMenu();
    /** A press on the label shows the preset menu. */
    void mouseDown (const MouseEvent& e) override;
    /** Sets no bounds: the owner or a derived bar lays the children out. */
    void resized() override {}

    /** Rebuilds `presets` and the three preset menus from disk. */
    void recreatePresetMenu();
    /** Adds one folder's tree to a menu. */
    void addChildsToSubMenu (File folder, PopupMenu& menu);
    /** Adds one preset entry and its item. */
    void addPresetToSubMenu (File file, PopupMenu& menu);
    /** The id of the entry naming the file, -1 when none does. */
    int getPresetId (File file) const;
    /** Loads the entry before the current one (no wrap-around). */
    void previousPreset();
    /** Loads the entry after the current one (no wrap-around). */
    void nextPreset();
    /** Loads a preset file chosen in a file chooser. */
    void browseForPreset();
    /** Shows the save menu at target (the save button when null). */
    void showSavePresetMenu (Component* target, float minimumWidth);
    /** Asks, then writes the plug-in's state over the current preset. */
    void overwriteCurrentPreset();
    /** The save dialog: asks for a name (and bank, type, genre as configured) until saved or cancelled. */
    void savePresetAs();
    /** Saves the state as a new preset of the user tree and makes it current. Returns why the
        bank or name was refused (nothing is written then), else an empty string. */
    String saveNewPreset (const QEL::PresetForm::Answer& answer);
    /** The form savePresetAs shows first. */
    QEL::PresetForm newPresetForm() const;

    /** Item ids of the save menu. */
    enum SaveMenuItem
    {
        overwriteItemId = 1,
        saveAsItemId = 2
    };

    std::unique_ptr<PopupMenu> saveMenu;
    Label presetLabel;
    std::unique_ptr<QELImageButton> browseButton, saveButton, previousButton, nextButton;
    bool showBankSelector = true;
    bool showTypeAndGenre = false;
    Font presetFont;
    Font changedPresetFont;
    PresetManagerModel* model = nullptr;
    Array<QELPreset> presets;
    std::unique_ptr<PopupMenu> presetPopupMenu, factoryMenu, userMenu;
    /** Where the bar's menus, questions and choosers go; tests replace them. */
    QEL::PresetDialogs dialogs;

protected:
    /** The label font the current state calls for. */
    const Font& fontForCurrentState() const;
    /** Gives the label a font when it differs from its present one. */
    void setLabelFont (const Font& font);
    /** The current preset's file. */
    File currentFile() const { return model->currentPreset; }

private:
    void showCurrentName();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OrvanePresetMenuComponent)
};
} // namespace juce
