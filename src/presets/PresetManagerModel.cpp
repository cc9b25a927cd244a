#include "presets/PresetManagerModel.h"

#include "presets/ModelFiles.h"
#include "presets/PresetFiles.h"

#include "core/PlatformPaths.h"

namespace juce
{
namespace
{
    bool isAcceptablePresetName (const String& name)
    {
        return QEL::PresetFiles::problemWithName (name, "preset").isEmpty();
    }

    bool isAcceptableBankName (const String& name)
    {
        return name.isEmpty() || QEL::PresetFiles::problemWithName (name, "bank").isEmpty();
    }
} // namespace

PresetManagerModel::PresetManagerModel (String product, String brand, String defaultPresetName, String presetExtension,
                                        String collaboratorsFolderName, PreseteableProcessor* owner)
    : productName (std::move (product)), brandName (std::move (brand)), defaultName (std::move (defaultPresetName)),
      extension (std::move (presetExtension)), processor (owner),
      collaboratorsFolder (std::move (collaboratorsFolderName))
{
    currentPreset = getDefaultPreset();
}

File PresetManagerModel::getRootPresetFolder() const
{
    return QEL::PlatformPaths::presetRoot (brandName, productName);
}

File PresetManagerModel::getDefaultPreset() const
{
    return getRootPresetFolder().getChildFile (defaultName + "." + extension);
}

bool PresetManagerModel::hasPresetFileShape (const File& file) const
{
    return QEL::ModelFiles::isLoadable (file, extension);
}

bool PresetManagerModel::isQELPreset (const File& file) const
{
    if (processor == nullptr || ! hasPresetFileShape (file))
        return false;

    const auto xml = parseXML (file);
    return xml != nullptr && xml->getTagName() == processor->getProductId();
}

bool PresetManagerModel::getIsFactoryPreset (const File& file) const
{
    if (! hasPresetFileShape (file))
        return false;

    const auto xml = parseXML (file);
    return xml != nullptr && xml->getAttributeValue (0) == "factory";
}

void PresetManagerModel::loadPreset (const File& file, bool force)
{
    if (! isQELPreset (file))
        return;

    if (loadHook)
        loadHook (file);

    if (file.getFullPathName() == currentPreset.getFullPathName() && ! force)
        return;

    processor->setPluginStateFromPreset (file, false);
    listeners.call ([&file] (Listener& l) { l.onPresetChange (file); });
    currentPreset = file;
    changed = false;
}

bool PresetManagerModel::renameCurrentPreset (const String& newName)
{
    if (! isAcceptablePresetName (newName) || currentPreset.getFileNameWithoutExtension().isEmpty())
        return false;

    const auto target = currentPreset.getSiblingFile (newName + "." + extension);

    if (! currentPreset.moveFileTo (target))
        return false;

    loadPreset (target, false);
    return true;
}

bool PresetManagerModel::overwriteSelectedPresetWithProcessorState()
{
    if (currentPreset == File() || ! currentPreset.existsAsFile() || processor == nullptr)
        return false;

    const auto state = processor->getPluginState();

    if (state == nullptr || ! state->writeTo (currentPreset))
        return false;

    changed = false;
    return true;
}

StringArray PresetManagerModel::getBankNames() const
{
    StringArray names;

    for (const auto& folder :
         getRootPresetFolder().getChildFile ("User").findChildFiles (File::findDirectories, false, "*"))
        names.add (folder.getFileName());

    return names;
}

File PresetManagerModel::findOrCreateUserBankFolder (const String& bank) const
{
    if (! isAcceptableBankName (bank))
        return {};

    const auto userFolder = getRootPresetFolder().getChildFile ("User");
    const auto folder = bank.isEmpty() ? userFolder : userFolder.getChildFile (bank);

    if (! folder.isDirectory())
        folder.createDirectory();

    return folder;
}
} // namespace juce
