#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace QEL
{
/** The modal choosers and questions of the editor's menus. Each member defaults to the
    framework's synchronous dialog; tests put their own answers in its place. */
struct EditorDialogs
{
    /** A file to open, or an empty File when cancelled. */
    std::function<juce::File (const juce::String& title, const juce::File& start, const juce::String& pattern)>
        chooseFileToOpen;

    /** A folder, or an empty File when cancelled. */
    std::function<juce::File (const juce::String& title, const juce::File& start)> chooseFolder;

    /** A file to save to (after the replace warning), or an empty File when cancelled. */
    std::function<juce::File (const juce::String& title, const juce::File& start, const juce::String& pattern)>
        chooseFileToSave;

    /** A question with "No" (false) and "Yes" (true). */
    std::function<bool (const juce::String& title, const juce::String& message)> askYesNo;

    /** An information message with one button. */
    std::function<void (const juce::String& title, const juce::String& message)> inform;

    /** The framework's modal dialogs. */
    static EditorDialogs modal();
};
} // namespace QEL
