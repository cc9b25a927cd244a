#include "render/PluginHost.h"

#include <charconv>
#include <cmath>

namespace tessaro::render
{
namespace
{
    std::optional<double> parseNumber (const juce::String& text)
    {
        const auto utf8 = text.trim().toStdString();
        if (utf8.empty())
            return std::nullopt;

        const auto* first = utf8.data();
        const auto* last = first + utf8.size();
        if (*first == '+')
            ++first;

        double value = 0.0;
        const auto [end, error] = std::from_chars (first, last, value);
        if (error != std::errc() || end != last || ! std::isfinite (value))
            return std::nullopt;

        return value;
    }

    juce::String stringIdOf (const juce::AudioProcessorParameter& parameter)
    {
        if (auto* hosted = dynamic_cast<const juce::HostedAudioProcessorParameter*> (&parameter))
            return hosted->getParameterID();

        if (auto* withId = dynamic_cast<const juce::AudioProcessorParameterWithID*> (&parameter))
            return withId->paramID;

        return {};
    }

    juce::String unmaskedVst3IdFor (const juce::String& parameterID)
    {
        return juce::String ((juce::uint32) parameterID.hashCode());
    }

    juce::AudioProcessorParameter* findFirst (juce::AudioProcessor& processor,
                                              const std::function<bool (juce::AudioProcessorParameter&)>& matches)
    {
        for (auto* parameter : processor.getParameters())
            if (matches (*parameter))
                return parameter;

        return nullptr;
    }

    juce::String listOfTexts (const juce::AudioProcessorParameter& parameter)
    {
        const int steps = parameter.getNumSteps();
        juce::StringArray texts;
        for (int i = 0; i < steps; ++i)
            texts.add ("\"" + parameter.getText ((float) i / (float) (steps - 1), PluginHost::maxTextLength) + "\"");

        return texts.joinIntoString (", ");
    }
} // namespace

std::optional<juce::PluginDescription> PluginHost::describe (const juce::File& bundle, juce::String& error)
{
    juce::VST3PluginFormat format;

    if (! bundle.exists())
    {
        error = "No plug-in at " + bundle.getFullPathName();
        return std::nullopt;
    }

    if (! format.fileMightContainThisPluginType (bundle.getFullPathName()))
    {
        error = bundle.getFullPathName() + " is not a .vst3 bundle";
        return std::nullopt;
    }

    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, bundle.getFullPathName());

    if (found.isEmpty())
    {
        error = "No VST3 plug-in could be loaded from " + bundle.getFullPathName();
        return std::nullopt;
    }

    return *found.getFirst();
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::instantiate (const juce::PluginDescription& description,
                                                                    double sampleRate, int blockSize,
                                                                    juce::String& error)
{
    juce::AudioPluginFormatManager formats;
    formats.addFormat (new juce::VST3PluginFormat());

    juce::String message;
    auto instance = formats.createPluginInstance (description, sampleRate, blockSize, message);

    if (instance == nullptr)
        error = "Could not create \"" + description.name + "\": " + (message.isEmpty() ? "unknown error" : message);

    return instance;
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::load (const juce::File& bundle, double sampleRate, int blockSize,
                                                             juce::String& error)
{
    if (const auto description = describe (bundle, error))
        return instantiate (*description, sampleRate, blockSize, error);

    return nullptr;
}

//==============================================================================
juce::String PluginHost::vst3IdFor (const juce::String& parameterID)
{
    // The wrapper hashes the string ID and clears the top bit, which some hosts reject.
    return juce::String ((juce::uint32) parameterID.hashCode() & 0x7fffffffu);
}

juce::AudioProcessorParameter* PluginHost::findParameter (juce::AudioProcessor& processor, const juce::String& idOrName)
{
    const auto wanted = idOrName.trim();
    if (wanted.isEmpty())
        return nullptr;

    if (auto* byId = findFirst (processor, [&] (auto& p) { return stringIdOf (p) == wanted; }))
        return byId;

    const auto numericIds = juce::StringArray { vst3IdFor (wanted), unmaskedVst3IdFor (wanted) };
    if (auto* byVst3Id = findFirst (processor, [&] (auto& p) { return numericIds.contains (stringIdOf (p)); }))
        return byVst3Id;

    return findFirst (processor, [&] (auto& p) { return p.getName (maxTextLength) == wanted; });
}

//==============================================================================
bool PluginHost::isListParameter (const juce::AudioProcessorParameter& parameter)
{
    // Switches and choices are discrete and show words, not numbers, at the start of their travel.
    const int steps = parameter.getNumSteps();
    return parameter.isDiscrete() && steps >= 2 && steps <= 4096 &&
           ! parseNumber (parameter.getText (0.0f, maxTextLength)).has_value();
}

std::optional<float> PluginHost::listValue (const juce::AudioProcessorParameter& parameter, const juce::String& text,
                                            juce::String& error)
{
    const int steps = parameter.getNumSteps();
    const auto positionOf = [steps] (int index) { return (float) index / (float) (steps - 1); };

    for (int i = 0; i < steps; ++i)
        if (parameter.getText (positionOf (i), maxTextLength).equalsIgnoreCase (text))
            return positionOf (i);

    if (const auto index = parseNumber (text))
        if (*index == std::floor (*index) && *index >= 0.0 && *index < (double) steps)
            return positionOf ((int) *index);

    if (steps == 2)
    {
        if (juce::StringArray { "on", "true", "yes" }.contains (text, true))
            return 1.0f;
        if (juce::StringArray { "off", "false", "no" }.contains (text, true))
            return 0.0f;
    }

    error = "\"" + text + "\" is not a value of " + parameter.getName (maxTextLength) + " (one of " +
            listOfTexts (parameter) + ", or an index 0 to " + juce::String (steps - 1) + ")";
    return std::nullopt;
}

std::optional<float> PluginHost::numericValue (const juce::AudioProcessorParameter& parameter, const juce::String& text,
                                               juce::String& error)
{
    const auto plain = parseNumber (text);
    if (! plain.has_value())
    {
        error = "\"" + text + "\" is not a number (" + parameter.getName (maxTextLength) + ")";
        return std::nullopt;
    }

    const float normalised = parameter.getValueForText (text);

    // The conversion clamps to the range: a value that lands on an end must be that end.
    if (normalised <= 0.0f || normalised >= 1.0f)
    {
        const auto end = parseNumber (parameter.getText (normalised, maxTextLength));
        const double tolerance = 1.0e-3 * juce::jmax (1.0, std::abs (*plain));
        if (! end.has_value() || std::abs (*end - *plain) > tolerance)
        {
            error = text + " is out of range for " + parameter.getName (maxTextLength) + " (" +
                    parameter.getText (0.0f, maxTextLength) + " to " + parameter.getText (1.0f, maxTextLength) + ")";
            return std::nullopt;
        }
    }

    return normalised;
}

std::optional<float> PluginHost::toNormalised (const juce::AudioProcessorParameter& parameter,
                                               const juce::String& plainValue, juce::String& error)
{
    const auto text = plainValue.trim();
    return isListParameter (parameter) ? listValue (parameter, text, error) : numericValue (parameter, text, error);
}

juce::Result PluginHost::applySetting (juce::AudioProcessor& processor, const juce::String& id,
                                       const juce::String& plainValue)
{
    auto* parameter = findParameter (processor, id);
    if (parameter == nullptr)
        return juce::Result::fail ("No parameter \"" + id + "\" in " + processor.getName());

    juce::String error;
    const auto normalised = toNormalised (*parameter, plainValue, error);
    if (! normalised.has_value())
        return juce::Result::fail (error);

    parameter->beginChangeGesture();
    parameter->setValueNotifyingHost (*normalised);
    parameter->endChangeGesture();
    return juce::Result::ok();
}
} // namespace tessaro::render
