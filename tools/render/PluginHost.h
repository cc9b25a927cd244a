#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <optional>

namespace tessaro::render
{
/** Loads a VST3 bundle through JUCE's hosting and reaches its parameters the way a host does.

    A VST3 host only sees numeric parameter IDs: JUCE's plug-in wrapper derives them from the
    plug-in's own string IDs, so a parameter can be found by the string ID a preset or a state
    uses ("paramMix"), by the numeric ID the host sees, or by its display name. */
class PluginHost
{
public:
    /** Longest parameter name or value text asked of a plug-in. */
    static constexpr int maxTextLength = 1024;

    /** Loads the first plug-in of a .vst3 bundle, to be prepared at the given rate and block size.
        Returns nullptr and a readable message in `error` when the bundle cannot be loaded. */
    static std::unique_ptr<juce::AudioPluginInstance> load (const juce::File& bundle, double sampleRate, int blockSize,
                                                            juce::String& error);

    /** Describes the first plug-in of a .vst3 bundle; nullopt and a message in `error` when there is none. */
    static std::optional<juce::PluginDescription> describe (const juce::File& bundle, juce::String& error);

    /** Creates an instance from a description found by describe(). */
    static std::unique_ptr<juce::AudioPluginInstance>
    instantiate (const juce::PluginDescription& description, double sampleRate, int blockSize, juce::String& error);

    /** Finds a parameter by string ID, by the numeric VST3 ID derived from it, or by display name. */
    static juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& processor, const juce::String& idOrName);

    /** The numeric VST3 ID (as text) that JUCE's plug-in wrapper gives a string parameter ID. */
    static juce::String vst3IdFor (const juce::String& parameterID);

    /** Converts a plain value to the parameter's normalised value: a number in the parameter's unit
        ("25", "-3.5", "5000"), a choice text ("1/4"), a choice index ("3") or a switch word ("on").
        Returns nullopt and a message in `error` when the text is no legal value of the parameter. */
    static std::optional<float> toNormalised (const juce::AudioProcessorParameter& parameter,
                                              const juce::String& plainValue, juce::String& error);

    /** Sets "id=value" on a processor: finds the parameter, converts the value and sets it,
        notifying the host side. Fails with a readable message. */
    static juce::Result applySetting (juce::AudioProcessor& processor, const juce::String& id,
                                      const juce::String& plainValue);

private:
    static bool isListParameter (const juce::AudioProcessorParameter& parameter);
    static std::optional<float> listValue (const juce::AudioProcessorParameter& parameter, const juce::String& text,
                                           juce::String& error);
    static std::optional<float> numericValue (const juce::AudioProcessorParameter& parameter, const juce::String& text,
                                              juce::String& error);
};
} // namespace tessaro::render
