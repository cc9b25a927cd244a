#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace QEL
{
/** The key of the main panel's animation mode in the "gui" child. */
extern const juce::String SETTINGS_ENABLE_ANIMATIONS;

/** The editor's per-user preferences (GUI size, animation mode) in a small XML file shared by
    every instance. Read once when constructed, written only by saveSettings. */
class PluginSettings
{
public:
    /** Reads `settingsFile`; a missing, unreadable or non-XML file leaves an empty "settings" tree. */
    explicit PluginSettings (const juce::File& settingsFile);

    /** The settings file of a product in the per-user folder. */
    static juce::File fileFor (const juce::String& brand, const juce::String& product);

    /** The first "gui" child of the tree, appended when there is none. */
    juce::ValueTree getGuiTree();

    /** Sets one property of the "gui" child; does not save. */
    void setGuiProperty (const juce::Identifier& key, const juce::var& value);

    /** Writes the whole tree to the file. Failures leave the previous file as it was. */
    void saveSettings();

    juce::ValueTree tree { "settings" };
    juce::File file;
    juce::String guiChildName { "gui" };
    juce::String sizeKey { "size" };
};
} // namespace QEL
