#pragma once

#include "core/PreseteableProcessor.h"

#include <juce_core/juce_core.h>

#include <functional>

namespace QEL
{
/** The file rules every preset view shares: which typed names may become preset files or
    banks, how folders are walked, how the plug-in state is written as a preset and how a
    file is imported without risking the one it replaces. */
struct PresetFiles
{
    /** Why `name` cannot name a preset file (`what` is "preset") or a bank folder ("bank")
        directly inside its folder: a path separator, "." or "..", a leading "~" or ".", a
        character that file systems refuse, or a name too long for one. Empty when it can.
        An empty name is refused too; callers that accept it test for it first. */
    static juce::String problemWithName (const juce::String& name, const juce::String& what);

    /** The children of a folder, files and folders, hidden ones included; symbolic links to
        folders are left out, so a walk below the folder always ends. */
    static juce::Array<juce::File> listChildren (const juce::File& folder);

    /** Folders first, then the natural order of the full paths, ignoring case. */
    static int compareFoldersFirst (const juce::File& a, const juce::File& b);

    /** Sorts a folder listing folders first (compareFoldersFirst). */
    static void sortFoldersFirst (juce::Array<juce::File>& files);

    /** Writes the processor's state as a preset: the root attribute "type" removed, then
        `edit` run on the element when set. Replaces the file only once the new content is
        complete. Returns whether the file was written. */
    static bool writeState (juce::PreseteableProcessor* processor, const juce::File& file,
                            const std::function<void (juce::XmlElement&)>& edit = {});

    /** Copies source to destination, replacing it only once the copy is complete: a failed
        copy leaves an existing destination as it was. Returns whether the destination now
        holds the source's content. */
    static bool copyReplacing (const juce::File& source, const juce::File& destination);

    /** The message of a failed save. */
    static constexpr const char* saveFailedTitle = "Save preset";
    static constexpr const char* saveFailedMessage = "An error occured while saving your preset";
};
} // namespace QEL
