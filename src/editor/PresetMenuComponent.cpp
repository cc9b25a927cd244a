#include "editor/PresetMenuComponent.h"

#include "presets/PresetActions.h"
#include "presets/PresetFiles.h"
#include "presets/PresetManagerRegexHelper.h"

namespace juce
{
PresetMenuComponent::PresetMenuComponent (PresetManagerModel* presetModel, PreseteableProcessor* owner)
    : model (presetModel), processor (owner), dialogs (QEL::PresetDialogs::modal (this))
{
    scale = 1.0f;
    model->addListener (this);

    for (auto* lookAndFeel : { &menuLookAndFeel, &comboLookAndFeel, &dialogLookAndFeel })
    {
        *lookAndFeel = std::make_unique<QEL::PopupMenuLookAndFeel>();
        (*lookAndFeel)->fontHeight = 32.0f;
    }

    addComponents();

    for (auto* menu : { &mainMenu, &factoryMenu, &collaboratorsMenu, &communityMenu, &userMenu })
        *menu = std::make_unique<PopupMenu>();

    if (! keepDefaultLook)
        mainMenu->setLookAndFeel (menuLookAndFeel.get());

    recreatePresetMenu();

    const auto name = model->currentPreset.getFileNameWithoutExtension();
    selectionPanel->label.setText (name, sendNotification);
    selectionPanel->label.setTooltip (name);
    timerCallback();
    startTimer (33);
}

PresetMenuComponent::~PresetMenuComponent()
{
    model->removeListener (this);
    stopTimer();
    mainMenu->setLookAndFeel (nullptr);
}

void PresetMenuComponent::addComponents()
{
    selectionPanel = std::make_unique<PresetSelectionComponent>();
    selectionPanel->onPrevious = [this] { previousPreset(); };
    selectionPanel->onNext = [this] { nextPreset(); };
    selectionPanel->onLabelMouseDown = [this] (const MouseEvent& e) { labelMouseDown (e); };
    selectionPanel->onTextChanged = [this] (const String& text) { QEL::PresetActions::renameCurrent (*model, dialogs, text); };
    addAndMakeVisible (*selectionPanel);
}

//==============================================================================
void PresetMenuComponent::timerCallback()
{
    auto& label = selectionPanel->label;
    const auto font = label.getFont().withStyle (model->changed ? Font::italic : Font::plain);

    if (label.getFont() != font)
        label.setFont (font);
}

void PresetMenuComponent::onPresetChange (File presetFile)
{
    auto& label = selectionPanel->label;
    label.setText (presetFile.getFileNameWithoutExtension(), sendNotification);
    label.setTooltip (presetFile.getFileNameWithoutExtension());
    label.setEditable (false, true, true);
    recreatePresetMenu();
}

void PresetMenuComponent::resized()
{
    const auto width = (float) getWidth();
    menuLookAndFeel->fontHeight = 0.05f * width;

    auto grid = PresetSelectionComponent::oneRowGrid();
    grid.templateColumns = { Grid::TrackInfo (Grid::Fr (4)) };
    grid.columnGap = grid.rowGap = Grid::Px (0.012f * width);
    grid.items = { GridItem (*selectionPanel) };

    const auto inset = (int) (0.007f * width);
    auto area = getLocalBounds().reduced (inset);
    grid.performLayout (area.withSize (jmax (0, area.getWidth()), jmax (0, area.getHeight())));
}

void PresetMenuComponent::updateColourScheme (Colour highlight, Colour background)
{
    selectionPanel->lookAndFeel.setColour (TextButton::buttonColourId, background);
    selectionPanel->label.setColour (Label::backgroundColourId, background);
    menuLookAndFeel->setColour (PopupMenu::backgroundColourId, background.withAlpha ((uint8) 0xdc));
    menuLookAndFeel->setColour (PopupMenu::highlightedBackgroundColourId, highlight);
    comboLookAndFeel->setColour (ComboBox::backgroundColourId, highlight);
    comboLookAndFeel->setColour (ComboBox::buttonColourId, highlight);
    comboLookAndFeel->setColour (PopupMenu::backgroundColourId, background);
    comboLookAndFeel->setColour (PopupMenu::highlightedBackgroundColourId, highlight);
    dialogLookAndFeel->setColour (AlertWindow::backgroundColourId, background);
    dialogLookAndFeel->setColour (AlertWindow::outlineColourId, Colours::white);
    dialogLookAndFeel->setColour (AlertWindow::textColourId, Colours::white);
    dialogLookAndFeel->setColour (TextEditor::backgroundColourId, highlight);
    dialogLookAndFeel->setColour (TextEditor::outlineColourId, Colour (0xff969696));
    dialogLookAndFeel->setColour (TextButton::buttonColourId, background);
}

//==============================================================================
void PresetMenuComponent::recreatePresetMenu()
{
    presets.clear();

    for (auto* menu : { &mainMenu, &factoryMenu, &collaboratorsMenu, &communityMenu, &userMenu })
        (*menu)->clear();

    mainMenu->addItem (resetId, "Reset All Parameters");
    mainMenu->addSeparator();

    if (fileItems)
    {
        mainMenu->addItem (importId, "Import presets...");
        mainMenu->addItem (exportId, "Export current preset...");
        mainMenu->addItem (openFolderId, "Open preset folder");
        mainMenu->addSeparator();
    }

    if (saveItems)
    {
        mainMenu->addItem (overwriteId, "Overwrite current preset", isOverwritable());
        mainMenu->addItem (saveAsId, "Save as new preset...");
        mainMenu->addSeparator();
    }

    const auto defaultPreset = model->getDefaultPreset();

    if (defaultPreset.existsAsFile())
        addPresetToSubMenu (defaultPreset, *mainMenu);

    const auto root = model->getRootPresetFolder();
    const auto factory = root.getChildFile ("Factory"), user = root.getChildFile ("User");
    addChildsToSubMenu (factory, *factoryMenu);
    addChildsToSubMenu (root.getChildFile (model->collaboratorsFolder), *collaboratorsMenu);
    addChildsToSubMenu (root.getChildFile ("QEL Community"), *communityMenu);
    addChildsToSubMenu (user, *userMenu);

    const auto current = model->currentPreset;

    if (factorySubMenu)
        mainMenu->addSubMenu ("Factory Presets", *factoryMenu, true, nullptr, current.isAChildOf (factory));
    if (collaboratorsSubMenu)
        mainMenu->addSubMenu ("QEL Collaborators", *collaboratorsMenu, true);
    if (communitySubMenu)
        mainMenu->addSubMenu ("QEL Community Presets", *communityMenu, true);

    mainMenu->addSubMenu ("User Presets", *userMenu, true, nullptr, current.isAChildOf (user));
}

bool PresetMenuComponent::isOverwritable() const
{
    return model->changed && ! model->getIsFactoryPreset (model->currentPreset);
}

void PresetMenuComponent::addChildsToSubMenu (File folder, PopupMenu& menu)
{
    QEL::PresetMenuTree::addChildren (
        folder, menu, model->currentPreset,
        [this] (Array<File>& files)
        {
            if (naturalFolderOrder)
                QEL::PresetFiles::sortFoldersFirst (files);
            else
            {
                ::PresetFileComparator comparator;
                files.sort (comparator);
            }
        },
        [this] (const File& child, PopupMenu& subMenu) { addChildsToSubMenu (child, subMenu); },
        [this] (const File& file) { return model->isQELPreset (file); },
        [this] (const File& file, PopupMenu& subMenu) { addPresetToSubMenu (file, subMenu); });
}

void PresetMenuComponent::addPresetToSubMenu (File file, PopupMenu& menu)
{
    if (itemImage.isNull())
    {
        QEL::PresetMenuTree::addEntry (file, menu, presets, model->currentPreset, firstPresetItemId - 1);
        return;
    }

    presets.add ({ presets.size() + 1, file.getFullPathName() });
    PopupMenu::Item item (file.getFileNameWithoutExtension());
    item.itemID = firstPresetItemId + presets.size() - 1;
    item.isTicked = file.getFullPathName() == model->currentPreset.getFullPathName();
    item.customComponent = new CustomComponent();
    auto image = std::make_unique<DrawableImage>();
    image->setImage (itemImage);
    image->setBoundingBox (itemImage.getBounds().toFloat());
    item.image = std::move (image);
    menu.addItem (std::move (item));
}

int PresetMenuComponent::getPresetId (File file) const
{
    return QEL::PresetMenuTree::findId (presets, file);
}

//==============================================================================
void PresetMenuComponent::showPresetMenu()
{
    recreatePresetMenu();
    performMenuResult (dialogs.showMenu (*mainMenu, this, 195));
}

void PresetMenuComponent::performMenuResult (int itemId)
{
    if (itemId == overwriteId)
        overwriteCurrentPreset();
    else if (itemId == saveAsId)
        saveAsNewPreset();
    else if (itemId == exportId)
        exportCurrentPreset();
    else if (itemId == importId)
        chooseAndImportPresets();
    else if (itemId == openFolderId)
        dialogs.reveal (model->getRootPresetFolder());
    else if (itemId == resetId)
        model->loadPreset (model->getDefaultPreset(), true);
    else if (isPositiveAndBelow (itemId - firstPresetItemId, presets.size()))
        model->loadPreset (File (presets[itemId - firstPresetItemId].path), true);
}

void PresetMenuComponent::loadEntry (int index)
{
    if (index >= 0)
        model->loadPreset (File (presets[index].path), false);
}

void PresetMenuComponent::previousPreset()
{
    loadEntry (QEL::PresetMenuTree::stepIndex (presets, model->currentPreset, false));
}

void PresetMenuComponent::nextPreset()
{
    loadEntry (QEL::PresetMenuTree::stepIndex (presets, model->currentPreset, true));
}

void PresetMenuComponent::labelMouseDown (const MouseEvent& e)
{
    if (e.mods.isLeftButtonDown())
        showPresetMenu();
    else if (e.mods.isRightButtonDown() && rightClickMidiLearn)
        showMidiLearnMenu();
}

void PresetMenuComponent::showMidiLearnMenu()
{
    PopupMenu menu;

    if (! keepDefaultLook)
        menu.setLookAndFeel (menuLookAndFeel.get());

    menu.addSectionHeader ("Preset: " + model->currentPreset.getFileName());
    menu.addSeparator();
    menu.addItem (1, "MIDI learn...");

    if (dialogs.showMenu (menu, this, 0) == 1 && onMidiLearn)
    {
        QELMidiMapping mapping;
        mapping.type = QELMidiMapping::presetType;
        mapping.signal = 0;
        mapping.data1 = model->currentPreset.getFullPathName();
        mapping.custom_value = -1;
        mapping.number = -1;
        mapping.is_momentary = false;
        onMidiLearn (mapping);
    }
}

//==============================================================================
bool PresetMenuComponent::writePluginStateToFile (File file)
{
    const auto written =
        QEL::PresetFiles::writeState (processor, file,
                                      [this] (XmlElement& state)
                                      {
                                          if (onPresetXml)
                                              onPresetXml (&state);
                                      });

    if (! written)
    {
        dialogs.warn (QEL::PresetFiles::saveFailedTitle, QEL::PresetFiles::saveFailedMessage);
        return false;
    }

    recreatePresetMenu();
    // Writing over the current preset still clears its changed mark.
    model->loadPreset (file, file.getFullPathName() == model->currentPreset.getFullPathName());
    return true;
}

bool PresetMenuComponent::askShouldOverwritePreset()
{
    return dialogs.confirm ("New preset", "Overwrite existing preset?");
}

void PresetMenuComponent::overwriteCurrentPreset()
{
    if (! dialogs.confirm ("Overwrite Preset", "Are you sure you want to overwrite current preset?"))
        return;

    const auto current = model->currentPreset;
    const auto written = overwriteThroughBar
                             ? current.existsAsFile() && QEL::PresetFiles::writeState (processor, current,
                                                             [this] (XmlElement& state)
                                                             {
                                                                 if (onPresetXml)
                                                                     onPresetXml (&state);
                                                             })
                             : model->overwriteSelectedPresetWithProcessorState();

    if (written)
        model->changed = false;
    else
        dialogs.warn (QEL::PresetFiles::saveFailedTitle, QEL::PresetFiles::saveFailedMessage);
}

void PresetMenuComponent::saveAsNewPreset()
{
    QEL::PresetForm form;
    form.title = "New preset";
    form.withBank = form.withName = true;
    form.banks = model->getBankNames();
    form.nameLabel = "Preset";
    form.confirmText = "Save";
    form.initial = { form.banks.isEmpty() ? "Bank 1" : form.banks[0], "New Preset", {}, {} };
    dialogs.runForm (form, [this] (const QEL::PresetForm::Answer& answer) { return saveNewPreset (answer); });
}

String PresetMenuComponent::saveNewPreset (const QEL::PresetForm::Answer& answer)
{
    return QEL::PresetActions::saveNew (
        *model, answer.bank, answer.name, [this] { return askShouldOverwritePreset(); },
        [this] (const File& file) { writePluginStateToFile (file); });
}

void PresetMenuComponent::exportCurrentPreset()
{
    const auto file =
        dialogs.chooseFileToSave ("Export current preset", model->getRootPresetFolder(), "*." + model->extension);

    if (file == File() || (file.existsAsFile() && ! askShouldOverwritePreset()))
        return;

    writePluginStateToFile (file);
}

//==============================================================================
void PresetMenuComponent::chooseAndImportPresets()
{
    const auto files =
        dialogs.chooseFilesToOpen ("Import presets", model->getRootPresetFolder(), "*." + model->extension);

    if (! files.isEmpty())
        importPresets (files);
}

void PresetMenuComponent::importPresets (Array<File> files)
{
    QEL::PresetForm form;
    form.title = "Import presets";
    form.withBank = true;
    form.banks = model->getBankNames();
    form.confirmText = "Import";
    form.returnConfirms = false;
    form.initial.bank = form.banks.isEmpty() ? "Bank 1" : form.banks[0];

    dialogs.runForm (form,
                     [this, &files] (const QEL::PresetForm::Answer& answer) -> String
                     {
                         if (answer.bank.isNotEmpty())
                             if (auto problem = QEL::PresetFiles::problemWithName (answer.bank, "bank");
                                 problem.isNotEmpty())
                                 return problem;

                         const auto failed = importInto (files, model->findOrCreateUserBankFolder (answer.bank));
                         recreatePresetMenu();

                         auto message = String (files.size() - failed.size()) + " preset/s imported";
                         if (! failed.isEmpty())
                         {
                             StringArray names;
                             for (const auto& file : failed)
                                 names.add (file.getFileName());
                             message << "\n" << failed.size() << " could not be imported: " << names.joinIntoString (", ");
                         }
                         dialogs.inform ("Import presets", message);
                         return {};
                     });
}

Array<File> PresetMenuComponent::importInto (const Array<File>& files, const File& bankFolder)
{
    Array<File> failed;

    for (const auto& file : files)
    {
        if (onImportCopy)
        {
            onImportCopy (file, bankFolder);
            continue;
        }

        const auto destination = bankFolder.getChildFile (file.getFileName());

        // A file already in the bank stays as it is.
        if (destination != file && ! QEL::PresetFiles::copyReplacing (file, destination))
            failed.add (file);
    }

    return failed;
}
} // namespace juce
