// The editor base's options menu and its actions.
#include "core/QELAudioProcessorBase.h"
#include "editor/QELAudioProcessorEditorBase.h"

namespace
{
// Every item holds only the editor pointer and runs one of its actions.
void addAction (juce::PopupMenu& menu, const juce::String& text, QELAudioProcessorEditorBase* editor,
                void (QELAudioProcessorEditorBase::*action)())
{
    juce::PopupMenu::Item item (text);
    item.setEnabled (true).setTicked (false).setAction ([editor, action] { (editor->*action)(); });
    menu.addItem (std::move (item));
}

juce::Array<juce::File> presetFilesBelow (const juce::File& folder, const juce::String& extension)
{
    return folder.findChildFiles (juce::File::findFiles, true, "*." + extension, juce::File::FollowSymlinks::noCycles);
}
} // namespace

void QELAudioProcessorEditorBase::recreateOptionsMenu()
{
    optionsMenu->clear();
    if (presetsInOptionsMenu)
        addPresetOptionsToMenu (optionsMenu.get());
    if (processorBase != nullptr && processorBase->liveEnabled)
        addLiveOptionsToMenu (optionsMenu.get());
    if (processorBase != nullptr && processorBase->midiMappingsEnabled)
        addMIDIOptionsToMenu (optionsMenu.get());
}

void QELAudioProcessorEditorBase::addPresetOptionsToMenu (juce::PopupMenu* menu)
{
    menu->addSectionHeader ("Presets");
    addAction (*menu, "Load preset...", this, &QELAudioProcessorEditorBase::loadPresetFromChooser);
    addAction (*menu, "Delete current preset...", this, &QELAudioProcessorEditorBase::deleteCurrentPreset);
    addAction (*menu, "Import presets from folder...", this, &QELAudioProcessorEditorBase::importPresetsFromFolder);
    addAction (*menu, "Open preset folder", this, &QELAudioProcessorEditorBase::openPresetFolder);
}

void QELAudioProcessorEditorBase::addLiveOptionsToMenu (juce::PopupMenu* menu)
{
    menu->addSectionHeader ("Live");
    addAction (*menu, "Load Live Set...", this, &QELAudioProcessorEditorBase::loadLiveSetFromChooser);
    addAction (*menu, "Save Live Set...", this, &QELAudioProcessorEditorBase::saveLiveSetToChooser);
    addAction (*menu, "Clear Current Live Set", this, &QELAudioProcessorEditorBase::clearCurrentLiveSet);
}

void QELAudioProcessorEditorBase::addMIDIOptionsToMenu (juce::PopupMenu* menu)
{
    menu->addSectionHeader ("MIDI");
    addAction (*menu, "Load MIDI Mappings...", this, &QELAudioProcessorEditorBase::loadMidiMappingsFromChooser);
    addAction (*menu, "Save MIDI Mappings...", this, &QELAudioProcessorEditorBase::saveMidiMappingsToChooser);
}

//==============================================================================
void QELAudioProcessorEditorBase::loadPresetFromChooser()
{
    auto& store = *processorBase->presetManagerModel;
    const auto file = dialogs.chooseFileToOpen ("Load preset", store.getRootPresetFolder(), "*." + store.extension);
    store.loadPreset (file, false);
}

void QELAudioProcessorEditorBase::deleteCurrentPreset()
{
    auto& store = *processorBase->presetManagerModel;
    if (store.getIsFactoryPreset (store.currentPreset))
    {
        dialogs.inform ("Delete preset", "You can't delete factory presets");
        return;
    }

    if (! dialogs.askYesNo ("Delete preset", "Delete current preset?"))
        return;

    const auto current = store.currentPreset;
    if (! store.getIsFactoryPreset (current) && store.isQELPreset (current))
    {
        current.deleteFile();
        store.loadPreset (store.getDefaultPreset(), false);
    }
}

void QELAudioProcessorEditorBase::importPresetsFromFolder()
{
    auto& store = *processorBase->presetManagerModel;
    const auto folder = dialogs.chooseFolder ("Import presets", store.getRootPresetFolder());
    if (folder == juce::File() || ! folder.exists())
        return;

    const auto found = presetFilesBelow (folder, store.extension);
    if (! found.isEmpty() && onImportPresets)
        onImportPresets (found);
}

void QELAudioProcessorEditorBase::openPresetFolder()
{
    processorBase->presetManagerModel->getRootPresetFolder().revealToUser();
}

void QELAudioProcessorEditorBase::loadLiveSetFromChooser()
{
    auto& live = *processorBase->liveModel;
    live.getRootFolder().createDirectory();
    const auto file = dialogs.chooseFileToOpen ("Load Live Set", live.getRootFolder(), "*." + live.extension);
    if (file != juce::File())
        live.loadFromFile (file);
}

void QELAudioProcessorEditorBase::saveLiveSetToChooser()
{
    auto& live = *processorBase->liveModel;
    live.getRootFolder().createDirectory();
    const auto file = dialogs.chooseFileToSave ("Save Live Set", live.getRootFolder(), "*." + live.extension);
    if (file != juce::File() && live.saveTo (file))
        live.loadFromFile (file);
}

void QELAudioProcessorEditorBase::clearCurrentLiveSet()
{
    for (auto* group : processorBase->liveModel->groups)
        for (auto* scene : group->scenes)
            scene->presetPath = {};
}

void QELAudioProcessorEditorBase::loadMidiMappingsFromChooser()
{
    auto& mappings = *processorBase->midiMappingsModel;
    mappings.getRootFolder().createDirectory();
    const auto file =
        dialogs.chooseFileToOpen ("Load MIDI Mappings", mappings.getRootFolder(), "*." + mappings.extension);
    if (file != juce::File())
        mappings.loadFromFile (file);
}

void QELAudioProcessorEditorBase::saveMidiMappingsToChooser()
{
    auto& mappings = *processorBase->midiMappingsModel;
    mappings.getRootFolder().createDirectory();
    const auto file =
        dialogs.chooseFileToSave ("Save MIDI Mappings", mappings.getRootFolder(), "*." + mappings.extension);
    if (file != juce::File() && mappings.saveTo (file))
        mappings.loadFromFile (file);
}
