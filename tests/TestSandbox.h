#pragma once

#include "core/PlatformPaths.h"

#include "TempFolder.h"

#include <juce_core/juce_core.h>

namespace test_support
{
/** A temp folder that every preset and per-user path points into while it lives. */
struct Sandbox
{
    TempFolder temp;
    juce::File folder { temp.folder };
    QEL::PlatformPaths::ScopedBaseOverride paths { folder };
};
} // namespace test_support
