#include "presets/PresetManagerRegexHelper.h"

#include <climits>
#include <cstdlib>

const std::regex FOLDER_ORDER_RGX ("_(\\d\\d) (.*)");

namespace
{
/** The leftmost order prefix of a folder name, split into its key and shown name. */
struct FolderPrefix
{
    bool found = false;
    int order = PresetManagerRegexHelper::noFolderOrder;
    juce::String shownName;
};

FolderPrefix findOrderPrefix (const juce::String& name)
{
    const auto text = name.toStdString();
    std::smatch match;

    if (! std::regex_search (text, match, FOLDER_ORDER_RGX))
        return {};

    return { true, std::stoi (match.str (1)), juce::String::fromUTF8 (match.str (2).c_str()) };
}

/** Reads a decimal integer the way C's atoi does (leading blanks, a sign, stop at
    the first non-digit, 0 without digits), clamped to int instead of overflowing. */
int readLeadingInteger (const juce::String& text)
{
    const long value = std::strtol (text.toRawUTF8(), nullptr, 10);
    return (int) juce::jlimit ((long) INT_MIN, (long) INT_MAX, value);
}

/** The "order" attribute of a "qelpreset" file's root element; 0 when absent or unreadable. */
int presetFileOrder (const juce::File& file)
{
    if (! file.hasFileExtension ("qelpreset") || ! file.existsAsFile())
        return 0;

    const auto xml = juce::parseXML (file);

    if (xml == nullptr || ! xml->hasAttribute ("order"))
        return 0;

    return readLeadingInteger (xml->getStringAttribute ("order"));
}

int sortKey (const juce::File& file)
{
    if (file.isDirectory())
        return PresetManagerRegexHelper::extractFolderOrder (file.getFileName());

    return presetFileOrder (file);
}
} // namespace

juce::String PresetManagerRegexHelper::sanitizeFolderName (const juce::String& name)
{
    const auto prefix = findOrderPrefix (name);
    return prefix.found ? prefix.shownName : name;
}

int PresetManagerRegexHelper::extractFolderOrder (const juce::String& name)
{
    return findOrderPrefix (name).order;
}

int PresetFileComparator::compareElements (const juce::File& a, const juce::File& b)
{
    const bool aIsFolder = a.isDirectory();
    const bool bIsFolder = b.isDirectory();

    if (aIsFolder != bIsFolder)
        return aIsFolder ? -1 : 1;

    const int keyA = sortKey (a);
    const int keyB = sortKey (b);

    if (keyA != keyB)
        return keyA < keyB ? -1 : 1;

    return a.getFullPathName().compareNatural (b.getFullPathName(), false);
}
