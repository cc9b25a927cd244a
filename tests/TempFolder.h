#pragma once

#include <juce_core/juce_core.h>

#include <stdexcept>
#include <stdlib.h>

namespace test_support
{
/** Creates a new, empty folder under the system temp folder whose name no other process can take,
    even when ctest runs many test processes at once (a name picked first and created later can be). */
inline juce::File createUniqueTempFolder (const juce::String& prefix)
{
    auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                       .getChildFile (prefix + "-XXXXXX")
                       .getFullPathName()
                       .toStdString();

    if (::mkdtemp (pattern.data()) == nullptr)
        throw std::runtime_error ("cannot create a temp folder from " + pattern);

    return juce::File (juce::String (pattern));
}

/** A fresh folder under the system temp folder, removed with everything in it. */
struct TempFolder
{
    explicit TempFolder (const juce::String& prefix = "tessaro-test") : folder (createUniqueTempFolder (prefix)) {}
    ~TempFolder() { folder.deleteRecursively(); }

    juce::File folder;
};
} // namespace test_support
