#pragma once

#include <juce_core/juce_core.h>

namespace QEL
{
/** The build's id: the build time, given as __DATE__ ("Sep 17 2025") and __TIME__ ("20:08:17")
    and read as local time, in whole minutes since 1970, as lowercase hexadecimal. */
juce::String makeBuildId (const char* date, const char* time);
} // namespace QEL
