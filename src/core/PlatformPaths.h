#pragma once

#include <juce_core/juce_core.h>

namespace QEL
{
/** The one place that knows where the makers' files live on each platform.

    macOS: presets under /Library/Audio/Presets/<brand>/<product>, per-user files
    under ~/Library/Application Support/<brand>/<product>, documents under
    /Applications/<brand>/<product>.
    Linux: presets under ~/.local/share/<brand>/<product>/Presets, per-user files
    under ~/.config/<brand>/<product>, documents under ~/.local/share/<brand>/<product>.

    Tests redirect both to a temporary folder with ScopedBaseOverride. */
struct PlatformPaths
{
    /** Machine-wide preset root of a product (not created). */
    static juce::File presetRoot (const juce::String& brand, const juce::String& product);

    /** Per-user folder of a product: MIDI, Live and the settings file live here (not created). */
    static juce::File userFolder (const juce::String& brand, const juce::String& product);

    /** Folder of a product's installed documents, such as its manual (not created). */
    static juce::File applicationFolder (const juce::String& brand, const juce::String& product);

    /** While alive, every path above is resolved below `base` instead of the real folders. */
    class ScopedBaseOverride
    {
    public:
        explicit ScopedBaseOverride (const juce::File& base);
        ~ScopedBaseOverride();

        ScopedBaseOverride (const ScopedBaseOverride&) = delete;
        ScopedBaseOverride& operator= (const ScopedBaseOverride&) = delete;

    private:
        juce::File previous;
    };
};
} // namespace QEL
