#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace juce
{
/** What the preset store needs of a processor: apply a preset file, hand out the
    content to save, and name the root tag a preset of this product carries. */
class PreseteableProcessor
{
public:
    virtual ~PreseteableProcessor() = default;

    /** Applies a preset file; with keepParameters only the preset is recorded. */
    virtual void setPluginStateFromPreset (File presetFile, bool keepParameters) = 0;

    /** The content to write into a preset file; owned by the caller, never null. */
    virtual std::unique_ptr<XmlElement> getPluginState() = 0;

    /** The root tag every preset of this product carries. */
    virtual String getProductId() = 0;
};
} // namespace juce
