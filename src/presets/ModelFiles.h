#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace QEL::ModelFiles
{
/** An existing file (not a folder) with the given extension: a file a model may load. */
inline bool isLoadable (const juce::File& file, const juce::String& extension)
{
    return file != juce::File() && file.existsAsFile() && file.hasFileExtension (extension);
}

/** Writes a model's tree as XML in the default text format, creating the file and its
    folders; returns whether the write succeeded. */
inline bool writeTree (const juce::ValueTree& tree, const juce::File& file)
{
    const auto xml = tree.createXml();

    if (! file.exists())
        file.create();

    return xml != nullptr && xml->writeTo (file);
}
} // namespace QEL::ModelFiles
