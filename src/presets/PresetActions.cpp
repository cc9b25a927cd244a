#include "presets/PresetActions.h"

#include "presets/PresetFiles.h"

namespace QEL
{
juce::String PresetActions::saveNew (juce::PresetManagerModel& model, const juce::String& bank,
                                     const juce::String& name, const std::function<bool()>& askOverwrite,
                                     const std::function<void (const juce::File&)>& write)
{
    if (bank.isNotEmpty())
        if (auto problem = PresetFiles::problemWithName (bank, "bank"); problem.isNotEmpty())
            return problem;

    if (name.isNotEmpty())
        if (auto problem = PresetFiles::problemWithName (name, "preset"); problem.isNotEmpty())
            return problem;

    const auto folder = model.findOrCreateUserBankFolder (bank);

    if (name.isEmpty())
        return {};

    const auto file = folder.getChildFile (name + "." + model.extension);

    if (! file.existsAsFile() || askOverwrite())
        write (file);

    return {};
}

bool PresetActions::renameCurrent (juce::PresetManagerModel& model, const PresetDialogs& dialogs,
                                   const juce::String& newName)
{
    const auto current = model.currentPreset;

    if (current.getFileNameWithoutExtension().isEmpty() || newName == current.getFileNameWithoutExtension())
        return false;

    if (auto problem = PresetFiles::problemWithName (newName, "preset"); problem.isNotEmpty())
    {
        dialogs.warn ("Rename preset", problem);
        return false;
    }

    const auto target = current.getSiblingFile (newName + "." + model.extension);

    if (target.existsAsFile()
        && ! dialogs.confirm ("Overwrite preset", "Are you sure you want to overwrite existing preset?"))
        return false;

    return model.renameCurrentPreset (newName);
}
} // namespace QEL
