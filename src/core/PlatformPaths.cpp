#include "core/PlatformPaths.h"

namespace QEL
{
namespace
{
    juce::File& baseOverride()
    {
        static juce::File base;
        return base;
    }

    juce::File home()
    {
        const auto& base = baseOverride();
        return base == juce::File() ? juce::File::getSpecialLocation (juce::File::userHomeDirectory) : base;
    }
} // namespace

juce::File PlatformPaths::presetRoot (const juce::String& brand, const juce::String& product)
{
#if JUCE_MAC
    if (baseOverride() == juce::File())
        return juce::File ("/Library/Audio/Presets").getChildFile (brand).getChildFile (product);
#endif
    return home().getChildFile (".local/share").getChildFile (brand).getChildFile (product).getChildFile ("Presets");
}

juce::File PlatformPaths::userFolder (const juce::String& brand, const juce::String& product)
{
#if JUCE_MAC
    if (baseOverride() == juce::File())
        return home().getChildFile ("Library/Application Support").getChildFile (brand).getChildFile (product);
#endif
    return home().getChildFile (".config").getChildFile (brand).getChildFile (product);
}

juce::File PlatformPaths::applicationFolder (const juce::String& brand, const juce::String& product)
{
#if JUCE_MAC
    if (baseOverride() == juce::File())
        return juce::File ("/Applications").getChildFile (brand).getChildFile (product);
#endif
    return home().getChildFile (".local/share").getChildFile (brand).getChildFile (product);
}

PlatformPaths::ScopedBaseOverride::ScopedBaseOverride (const juce::File& base) : previous (baseOverride())
{
    baseOverride() = base;
}

PlatformPaths::ScopedBaseOverride::~ScopedBaseOverride()
{
    baseOverride() = previous;
}
} // namespace QEL
