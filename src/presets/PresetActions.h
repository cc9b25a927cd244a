#pragma once

#include "presets/PresetDialogs.h"
#include "presets/PresetManagerModel.h"

#include <functional>

namespace QEL
{
/** The steps of saving and renaming that every preset bar takes the same way: the typed
    names are checked before anything is written, and an existing preset is replaced only
    after a "Yes". */
struct PresetActions
{
    /** Saves a new preset named `name` into the user bank `bank` (the user folder for an empty
        bank): refuses names that cannot be files there, creates the bank folder, stops at an
        empty name, asks `askOverwrite` before replacing a file, then hands the file to `write`.
        Returns why the bank or name was refused (nothing is written then), else empty. */
    static juce::String saveNew (juce::PresetManagerModel& model, const juce::String& bank, const juce::String& name,
                                 const std::function<bool()>& askOverwrite,
                                 const std::function<void (const juce::File&)>& write);

    /** Renames the current preset to `newName`: a refused name is explained through `dialogs`,
        replacing another preset needs a "Yes". Returns whether the file was renamed. */
    static bool renameCurrent (juce::PresetManagerModel& model, const PresetDialogs& dialogs,
                               const juce::String& newName);
};
} // namespace QEL
