#include "presets/OrvanePresetMenuComponent.h"

#include "presets/PresetActions.h"
#include "presets/PresetFiles.h"

namespace juce
{
OrvanePresetMenuComponent::OrvanePresetMenuComponent (PresetManagerModel* presetModel)
    : saveMenu (std::make_unique<PopupMenu>()), model (presetModel), dialogs (QEL::PresetDialogs::modal (this))
{
    model->addListener (this);

    for (auto* button : { &browseButton, &saveButton, &previousButton, &nextButton })
    {
        *button = std::make_unique<QELImageButton>();
        (*button)->addListener (this);
        (*button)->setEnabled (true);
    }

    presetLabel.setEditable (false, true, true);
    presetLabel.addListener (this);
    presetLabel.addMouseListener (this, true);
    presetLabel.setJustificationType (Justification::left);
    presetLabel.setColour (Label::backgroundColourId, Colours::transparentBlack);
    presetLabel.setColour (Label::outlineColourId, Colours::transparentBlack);
    addAndMakeVisible (presetLabel);

    presetPopupMenu = std::make_unique<PopupMenu>();
    factoryMenu = std::make_unique<PopupMenu>();
    userMenu = std::make_unique<PopupMenu>();
    recreatePresetMenu();

    showCurrentName();
    setLabelFont (fontForCurrentState());
    startTimer (33);
}

OrvanePresetMenuComponent::~OrvanePresetMenuComponent()
{
    model->removeListener (this);
    stopTimer();
    presetLabel.removeMouseListener (this);
}

void OrvanePresetMenuComponent::showCurrentName()
{
    presetLabel.setText (currentFile().getFileNameWithoutExtension(), dontSendNotification);
}

const Font& OrvanePresetMenuComponent::fontForCurrentState() const
{
    return model->changed && ! model->getIsFactoryPreset (currentFile()) ? changedPresetFont : presetFont;
}

void OrvanePresetMenuComponent::setLabelFont (const Font& font)
{
    if (presetLabel.getFont() != font)
        presetLabel.setFont (font);
}

void OrvanePresetMenuComponent::timerCallback()
{
    setLabelFont (fontForCurrentState());
}

//==============================================================================
void OrvanePresetMenuComponent::recreatePresetMenu()
{
    presets.clear();
    presetPopupMenu->clear();
    factoryMenu->clear();
    userMenu->clear();

    const auto defaultPreset = model->getDefaultPreset();

    if (defaultPreset.existsAsFile())
        addPresetToSubMenu (defaultPreset, *presetPopupMenu);

    const auto root = model->getRootPresetFolder();
    addChildsToSubMenu (root.getChildFile ("Factory"), *factoryMenu);
    addChildsToSubMenu (root.getChildFile ("User"), *userMenu);

    presetPopupMenu->addSubMenu ("Factory Presets", *factoryMenu, true);
    presetPopupMenu->addSubMenu ("User Presets", *userMenu, true);
}

void OrvanePresetMenuComponent::addChildsToSubMenu (File folder, PopupMenu& menu)
{
    QEL::PresetMenuTree::addChildren (
        folder, menu, currentFile(), [this] (Array<File>& files) { sortFiles (files); },
        [this] (const File& child, PopupMenu& subMenu) { addChildsToSubMenu (child, subMenu); },
        [this] (const File& file) { return model->isQELPreset (file); },
        [this] (const File& file, PopupMenu& subMenu) { addPresetToSubMenu (file, subMenu); });
}

void OrvanePresetMenuComponent::addPresetToSubMenu (File file, PopupMenu& menu)
{
    QEL::PresetMenuTree::addEntry (file, menu, presets, currentFile());
}

int OrvanePresetMenuComponent::getPresetId (File file) const
{
    return QEL::PresetMenuTree::findId (presets, file);
}

void OrvanePresetMenuComponent::sortFiles (Array<File>& files)
{
    QEL::PresetFiles::sortFoldersFirst (files);
}

//==============================================================================
void OrvanePresetMenuComponent::showPresetMenu()
{
    recreatePresetMenu();
    const auto result = dialogs.showMenu (*presetPopupMenu, &presetLabel, 175);

    if (isPositiveAndBelow (result - 1, presets.size()))
        model->loadPreset (File (presets[result - 1].path), true);
}

void OrvanePresetMenuComponent::previousPreset()
{
    const auto index = QEL::PresetMenuTree::stepIndex (presets, currentFile(), false);

    if (index >= 0)
        model->loadPreset (File (presets[index].path), false);
}

void OrvanePresetMenuComponent::nextPreset()
{
    const auto index = QEL::PresetMenuTree::stepIndex (presets, currentFile(), true);

    if (index >= 0)
        model->loadPreset (File (presets[index].path), false);
}

void OrvanePresetMenuComponent::browseForPreset()
{
    model->loadPreset (dialogs.chooseFileToOpen ("Load preset", model->getRootPresetFolder(), "*." + model->extension),
                       false);
}

void OrvanePresetMenuComponent::mouseDown (const MouseEvent& e)
{
    if (e.eventComponent == &presetLabel)
        showPresetMenu();
}

void OrvanePresetMenuComponent::buttonClicked (Button* button)
{
    if (button == browseButton.get())
        browseForPreset();
    else if (button == saveButton.get())
        showSavePresetMenu (nullptr, 195.0f);
    else if (button == previousButton.get())
        previousPreset();
    else if (button == nextButton.get())
        nextPreset();
}

void OrvanePresetMenuComponent::onPresetChange (File presetFile)
{
    presetLabel.setText (presetFile.getFileNameWithoutExtension(), dontSendNotification);
    setLabelFont (presetFont);
}

//==============================================================================
void OrvanePresetMenuComponent::editorHidden (Label*, TextEditor& editor)
{
    if (! QEL::PresetActions::renameCurrent (*model, dialogs, editor.getText()))
        showCurrentName();
}

void OrvanePresetMenuComponent::showSavePresetMenu (Component* target, float minimumWidth)
{
    saveMenu->clear();

    if (! model->getIsFactoryPreset (currentFile()))
        saveMenu->addItem (overwriteItemId, "Overwrite current preset");

    saveMenu->addItem (saveAsItemId, "Save as new preset...");

    const auto result =
        dialogs.showMenu (*saveMenu, target != nullptr ? target : saveButton.get(), (int) minimumWidth);

    if (result == overwriteItemId)
        overwriteCurrentPreset();
    else if (result == saveAsItemId)
        savePresetAs();
}

void OrvanePresetMenuComponent::overwriteCurrentPreset()
{
    if (! dialogs.confirm ("Overwrite preset", "Are you sure you want to overwrite current preset?"))
        return;

    if (model->overwriteSelectedPresetWithProcessorState())
        setLabelFont (presetFont);
    else
        dialogs.warn (QEL::PresetFiles::saveFailedTitle, QEL::PresetFiles::saveFailedMessage);
}

QEL::PresetForm OrvanePresetMenuComponent::newPresetForm() const
{
    QEL::PresetForm form;
    form.title = "New preset";
    form.withBank = showBankSelector;
    form.banks = showBankSelector ? model->getBankNames() : StringArray();
    form.withTypeAndGenre = showTypeAndGenre;
    form.withName = true;
    form.nameLabel = "New preset name:";
    form.confirmText = "Save";
    form.initial = { form.banks.isEmpty() ? "Bank 1" : form.banks[0], "New Preset", "All", "All" };
    return form;
}

void OrvanePresetMenuComponent::savePresetAs()
{
    dialogs.runForm (newPresetForm(), [this] (const QEL::PresetForm::Answer& answer) { return saveNewPreset (answer); });
}

String OrvanePresetMenuComponent::saveNewPreset (const QEL::PresetForm::Answer& answer)
{
    const auto askOverwrite = [this]
    { return dialogs.confirm ("Overwrite preset", "Are you sure you want to overwrite existing preset?"); };

    const auto write = [this, &answer] (const File& file)
    {
        const auto written = QEL::PresetFiles::writeState (model->processor, file,
                                                           [this, &answer] (XmlElement& state)
                                                           {
                                                               if (showTypeAndGenre)
                                                               {
                                                                   state.setAttribute ("genre", answer.genre);
                                                                   state.setAttribute ("tag", answer.type);
                                                               }
                                                           });
        if (! written)
        {
            dialogs.warn (QEL::PresetFiles::saveFailedTitle, QEL::PresetFiles::saveFailedMessage);
            return;
        }

        // Saving over the current preset still clears its changed mark.
        model->loadPreset (file, file.getFullPathName() == currentFile().getFullPathName());
        recreatePresetMenu();
    };

    return QEL::PresetActions::saveNew (*model, showBankSelector ? answer.bank : String(), answer.name, askOverwrite,
                                        write);
}
} // namespace juce
