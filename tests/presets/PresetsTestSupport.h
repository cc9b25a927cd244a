#pragma once

#include "TestSandbox.h"
#include "core/PlatformPaths.h"
#include "core/PreseteableProcessor.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <memory>
#include <ostream>

namespace juce
{
/** Readable failure messages for the JUCE types the preset tests compare. */
inline void PrintTo (const File& file, std::ostream* os)
{
    *os << file.getFullPathName();
}

inline void PrintTo (const StringArray& names, std::ostream* os)
{
    *os << "{ \"" << names.joinIntoString ("\", \"") << "\" }";
}
} // namespace juce

namespace presets_test
{
using TempFolder = test_support::TempFolder;
using SandboxedPaths = test_support::Sandbox;

/** Writes text to a file, creating its folders. */
inline juce::File writeText (const juce::File& file, const juce::String& text)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText (text);
    return file;
}

/** Delivers the calls posted to the message thread so far. */
inline void deliverPostedCalls()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
}

/** A processor that records what the preset store asks of it. Applying a preset
    runs `onApply`, standing in for the parameter listeners that move the
    changed flag. */
struct RecordingProcessor : public juce::PreseteableProcessor
{
    void setPluginStateFromPreset (juce::File file, bool keepParameters) override
    {
        appliedFiles.add (file);
        keepParametersFlags.add (keepParameters);

        if (onApply)
            onApply();
    }

    std::unique_ptr<juce::XmlElement> getPluginState() override
    {
        auto state = std::make_unique<juce::XmlElement> ("orvane_tessaro");
        state->setAttribute ("state_marker", stateMarker);
        return state;
    }

    juce::String getProductId() override { return "orvane_tessaro"; }

    juce::Array<juce::File> appliedFiles;
    juce::Array<bool> keepParametersFlags;
    std::function<void()> onApply;
    juce::String stateMarker { "current state" };
};
} // namespace presets_test
