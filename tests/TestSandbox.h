#pragma once

#include "core/PlatformPaths.h"

#include <juce_core/juce_core.h>

namespace test_support
{
/** A fresh folder under the system temp folder, removed with everything in it. */
struct TempFolder
{
    TempFolder() { folder.createDirectory(); }
    ~TempFolder() { folder.deleteRecursively(); }

    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tessaro-test", {}, false);
};

/** A temp folder that every preset and per-user path points into while it lives. */
struct Sandbox
{
    TempFolder temp;
    juce::File folder { temp.folder };
    QEL::PlatformPaths::ScopedBaseOverride paths { folder };
};
} // namespace test_support
