#include "editor/PluginSettings.h"

#include "core/PlatformPaths.h"

namespace QEL
{
const juce::String SETTINGS_ENABLE_ANIMATIONS { "enable_animations" };

PluginSettings::PluginSettings (const juce::File& settingsFile) : file (settingsFile)
{
    if (file == juce::File() || ! file.existsAsFile())
        return;

    if (auto root = juce::XmlDocument::parse (file))
        tree = juce::ValueTree::fromXml (*root);
}

juce::File PluginSettings::fileFor (const juce::String& brand, const juce::String& product)
{
    return PlatformPaths::userFolder (brand, product).getChildFile ("plugin.settings");
}

juce::ValueTree PluginSettings::getGuiTree()
{
    auto gui = tree.getChildWithName (guiChildName);
    if (! gui.isValid())
    {
        gui = juce::ValueTree (guiChildName);
        tree.appendChild (gui, nullptr);
    }
    return gui;
}

void PluginSettings::setGuiProperty (const juce::Identifier& key, const juce::var& value)
{
    getGuiTree().setProperty (key, value, nullptr);
}

void PluginSettings::saveSettings()
{
    auto xml = tree.createXml();
    if (xml == nullptr || file == juce::File() || file.isDirectory())
        return;

    // Only the folders are made up front: the file itself appears only once the whole text is
    // written (through a temporary file), so a failed write leaves no empty or partial file.
    file.getParentDirectory().createDirectory();
    xml->writeTo (file);
}
} // namespace QEL
