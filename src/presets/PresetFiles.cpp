#include "presets/PresetFiles.h"

namespace QEL
{
namespace
{
    /** Characters that at least one of the file systems presets travel between refuses. */
    bool isRefusedCharacter (juce::juce_wchar c)
    {
        return c < 0x20 || c == 0x7f || juce::String ("\"*:<>?|").containsChar (c);
    }

    /** Room for the longest extension a product gives its presets. */
    constexpr int maxNameBytes = 255 - 16;
} // namespace

juce::String PresetFiles::problemWithName (const juce::String& name, const juce::String& what)
{
    const auto subject = "A " + what + " name";

    if (name.isEmpty())
        return "Please enter a " + what + " name.";
    if (name.containsAnyOf ("/\\"))
        return subject + " cannot contain \"/\" or \"\\\".";
    if (name == "." || name == "..")
        return subject + " cannot be \".\" or \"..\".";
    if (name.startsWithChar ('~') || name.startsWithChar ('.'))
        return subject + " cannot start with \"~\" or \".\".";

    for (auto c : name)
        if (isRefusedCharacter (c))
            return subject + " cannot contain control characters or any of \" * : < > ? |";

    if ((int) name.getNumBytesAsUTF8() > maxNameBytes)
        return subject + " is too long.";

    return {};
}

juce::Array<juce::File> PresetFiles::listChildren (const juce::File& folder)
{
    juce::Array<juce::File> children;

    for (const auto& child : folder.findChildFiles (juce::File::findFilesAndDirectories,
                                                    false, "*"))
        if (! (child.isDirectory() && child.isSymbolicLink()))
            children.add (child);

    return children;
}

int PresetFiles::compareFoldersFirst (const juce::File& a, const juce::File& b)
{
    const auto aIsFolder = a.isDirectory(), bIsFolder = b.isDirectory();

    if (aIsFolder != bIsFolder)
        return aIsFolder ? -1 : 1;

    return a.getFullPathName().compareNatural (b.getFullPathName(), false);
}

void PresetFiles::sortFoldersFirst (juce::Array<juce::File>& files)
{
    struct Comparator
    {
        static int compareElements (const juce::File& a, const juce::File& b) { return compareFoldersFirst (a, b); }
    } comparator;

    files.sort (comparator);
}

bool PresetFiles::writeState (juce::PreseteableProcessor* processor, const juce::File& file,
                              const std::function<void (juce::XmlElement&)>& edit)
{
    if (processor == nullptr || file == juce::File() || file.isDirectory())
        return false;

    const auto state = processor->getPluginState();

    if (state == nullptr)
        return false;

    state->removeAttribute ("type");

    if (edit)
        edit (*state);

    return state->writeTo (file);
}

bool PresetFiles::copyReplacing (const juce::File& source, const juce::File& destination)
{
    if (! source.existsAsFile() || destination.isDirectory())
        return false;

    juce::TemporaryFile temporary (destination);
    return source.copyFileTo (temporary.getFile()) && temporary.overwriteTargetFileWithTemporary();
}
} // namespace QEL
