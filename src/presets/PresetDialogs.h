#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <optional>

namespace QEL
{
/** What a preset form asks for: a bank, a name, or both (and optionally type and genre). */
struct PresetForm
{
    /** What the person typed or chose. */
    struct Answer
    {
        juce::String bank, name, type, genre;
    };

    juce::String title;
    /** Why the previous answer was refused; empty the first time. */
    juce::String message;
    bool withBank = false;
    juce::StringArray banks;
    bool withTypeAndGenre = false;
    bool withName = false;
    juce::String nameLabel;
    juce::String confirmText;
    /** Whether Return presses the confirming button. */
    bool returnConfirms = true;
    /** The fields' texts when the form opens. */
    Answer initial;
};

/** The menus, questions, messages and file choosers of the preset views. `modal` gives the
    framework's synchronous ones; tests put scripted answers in their place. */
struct PresetDialogs
{
    /** Shows a menu at a component; the chosen item id, 0 when dismissed. */
    std::function<int (juce::PopupMenu& menu, juce::Component* target, int minimumWidth)> showMenu;

    /** Shows a form; nothing when cancelled. */
    std::function<std::optional<PresetForm::Answer> (const PresetForm& form)> fillForm;

    /** "No" (false) or "Yes" (true). */
    std::function<bool (const juce::String& title, const juce::String& message)> confirm;

    /** A warning with one button. */
    std::function<void (const juce::String& title, const juce::String& message)> warn;

    /** An information with one button. */
    std::function<void (const juce::String& title, const juce::String& message)> inform;

    /** One file to open, or an empty File. */
    std::function<juce::File (const juce::String& title, const juce::File& start, const juce::String& pattern)>
        chooseFileToOpen;

    /** Files to open, none when cancelled. */
    std::function<juce::Array<juce::File> (const juce::String& title, const juce::File& start,
                                           const juce::String& pattern)>
        chooseFilesToOpen;

    /** A file to save to (after the chooser's own replace warning), or an empty File. */
    std::function<juce::File (const juce::String& title, const juce::File& start, const juce::String& pattern)>
        chooseFileToSave;

    /** Shows a folder in the desktop's file browser. */
    std::function<void (const juce::File& folder)> reveal;

    /** The framework's dialogs; windows are centred around owner's parent when it has one. */
    static PresetDialogs modal (juce::Component* owner);

    /** Runs a form until it is cancelled or `attempt` accepts an answer: each refusal (the
        message `attempt` returns) is shown in the form, which opens again with the answer. */
    void runForm (PresetForm form, const std::function<juce::String (const PresetForm::Answer&)>& attempt) const;
};
} // namespace QEL
