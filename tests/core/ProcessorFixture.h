#pragma once

#include "TestSandbox.h"
#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"
#include "core/StateKeys.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace state_test
{
using Sandbox = test_support::Sandbox;

using Processor = OrvaneTessaroAudioProcessor;

/** A processor as the host creates it (must live inside a Sandbox). */
inline std::unique_ptr<Processor> makeProcessor()
{
    return std::make_unique<Processor>();
}

/** Delivers the calls posted to the message thread so far. */
inline void deliverPostedCalls()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (30);
}

//==============================================================================
/** The IDs of all host parameters, in the processor's order. */
inline juce::StringArray parameterIds (Processor& p)
{
    juce::StringArray ids;
    for (auto* parameter : p.getParameters())
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
            ids.add (withId->paramID);
    return ids;
}

/** The unnormalised value of a parameter, as the parameter state holds it. */
inline float valueOf (Processor& p, const juce::String& id)
{
    return p.parameters.getRawParameterValue (id)->load();
}

/** Sets a parameter the way the host does, from an unnormalised value. */
inline void setValue (Processor& p, const juce::String& id, float value)
{
    auto* parameter = p.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

/** A set of values away from every default, each on its parameter's grid. */
inline std::vector<std::pair<juce::String, float>> distinctValues()
{
    return { { "paramMix", 75.0f },
             { "paramBypass", 0.0f },
             { "paramCompressPower", 0.0f },
             { "paramCompressInput", -3.5f },
             { "paramCompressCompression", 40.0f },
             { "paramCompressSlow", 1.0f },
             { "paramEnhanceAir", 22.5f },
             { "paramEQHighFreq", 8000.0f },
             { "paramEQHighGain", 4.5f },
             { "paramEQMidQ", 2.5f },
             { "paramEQLowGain", -6.0f },
             { "paramMultiplySpread", 150.0f },
             { "paramSpaceReverbTime", 70.0f },
             { "paramSpaceDelayType", 2.0f },
             { "paramSpaceDelayNote", 4.0f },
             { "paramSpaceDelayFeedback", 35.0f },
             { "paramGainType", 3.0f },
             { "paramGainGain", 2.0f },
             { "paramGainLimit", 1.0f } };
}

/** Moves every parameter of distinctValues(). */
inline void applyDistinctValues (Processor& p)
{
    for (const auto& [id, value] : distinctValues())
        setValue (p, id, value);
}

/** One line per parameter whose value is not finite or lies outside its range. */
inline juce::String parametersOutOfRange (Processor& p)
{
    juce::String out;
    for (const auto& id : parameterIds (p))
    {
        const auto value = valueOf (p, id);
        const auto& range = p.parameters.getParameter (id)->getNormalisableRange();
        if (! (std::isfinite (value) && value >= range.start && value <= range.end))
            out << id << " = " << value << "\n";
    }
    return out;
}

//==============================================================================
/** Everything a host state or a preset can change on an instance. */
struct InstanceState
{
    std::vector<std::pair<juce::String, float>> values;
    int guiLastView = 0;
    int inputMode = 0;
    bool changed = false;
    juce::String presetPath;
    juce::String currentPreset;
    int activeGroup = 0, activeScene = 0, browsedGroup = 0, browsedScene = 0;
    juce::String liveFile;
    int numMappings = 0;
    int latency = 0;
};

inline InstanceState captureState (Processor& p)
{
    InstanceState s;
    for (const auto& id : parameterIds (p))
        s.values.emplace_back (id, valueOf (p, id));
    s.guiLastView = p.guiLastView;
    s.inputMode = p.inputMode;
    s.changed = p.presetManagerModel->changed;
    s.presetPath = p.presetPath;
    s.currentPreset = p.presetManagerModel->currentPreset.getFullPathName();
    s.activeGroup = p.liveModel->activeGroup;
    s.activeScene = p.liveModel->activeScene;
    s.browsedGroup = p.liveModel->browsedGroup;
    s.browsedScene = p.liveModel->browsedScene;
    s.liveFile = p.liveModel->currentFile.getFullPathName();
    s.numMappings = p.midiMappingsModel->mappings.size();
    s.latency = p.getLatencySamples();
    return s;
}

/** One line per field that differs; empty when the two states are the same. Values
    compare bit for bit, so a NaN never passes for an unchanged value. */
inline juce::String differences (const InstanceState& a, const InstanceState& b)
{
    juce::String out;
    const auto field = [&out] (const char* name, const auto& x, const auto& y)
    {
        if (! (x == y))
            out << name << ": " << juce::String (x) << " -> " << juce::String (y) << "\n";
    };

    if (a.values.size() != b.values.size())
        out << "parameter count " << (int) a.values.size() << " -> " << (int) b.values.size() << "\n";

    for (size_t i = 0; i < std::min (a.values.size(), b.values.size()); ++i)
        if (std::memcmp (&a.values[i].second, &b.values[i].second, sizeof (float)) != 0)
            out << a.values[i].first << ": " << a.values[i].second << " -> " << b.values[i].second << "\n";

    field ("guiLastView", a.guiLastView, b.guiLastView);
    field ("inputMode", a.inputMode, b.inputMode);
    field ("changed", (int) a.changed, (int) b.changed);
    field ("presetPath", a.presetPath, b.presetPath);
    field ("currentPreset", a.currentPreset, b.currentPreset);
    field ("activeGroup", a.activeGroup, b.activeGroup);
    field ("activeScene", a.activeScene, b.activeScene);
    field ("browsedGroup", a.browsedGroup, b.browsedGroup);
    field ("browsedScene", a.browsedScene, b.browsedScene);
    field ("liveFile", a.liveFile, b.liveFile);
    field ("numMappings", a.numMappings, b.numMappings);
    field ("latency", a.latency, b.latency);
    return out;
}

//==============================================================================
/** The host's save. */
inline juce::MemoryBlock saveState (Processor& p)
{
    juce::MemoryBlock blob;
    p.getStateInformation (blob);
    return blob;
}

/** The host's restore. */
inline void restoreState (Processor& p, const juce::MemoryBlock& blob)
{
    p.setStateInformation (blob.getData(), (int) blob.getSize());
}

/** Writes a little-endian 32-bit value into a blob. */
inline void putCount (juce::MemoryBlock& blob, juce::uint32 count)
{
    for (int i = 0; i < 4; ++i)
        blob[4 + i] = (char) ((count >> (8 * i)) & 0xff);
}

/** A blob around arbitrary text: "VC2!", the text's byte count, the text, one zero byte. */
inline juce::MemoryBlock blobFromText (const juce::String& text)
{
    const auto utf8 = text.toRawUTF8();
    const auto numBytes = text.getNumBytesAsUTF8();

    juce::MemoryBlock blob;
    blob.append ("VC2!\0\0\0\0", 8);
    blob.append (utf8, numBytes);
    blob.append ("", 1);
    putCount (blob, (juce::uint32) numBytes);
    return blob;
}

/** The XML text of a blob (bytes 8 up to, not including, the final zero byte). */
inline juce::String textOfBlob (const juce::MemoryBlock& blob)
{
    return juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + 8, (int) blob.getSize() - 9);
}

/** The XML element a blob carries. */
inline std::unique_ptr<juce::XmlElement> xmlOfBlob (const juce::MemoryBlock& blob)
{
    return juce::parseXML (textOfBlob (blob));
}

/** A blob around an XML element, in the single-line form the host state uses. */
inline juce::MemoryBlock blobFromXml (const juce::XmlElement& xml)
{
    return blobFromText (xml.toString (juce::XmlElement::TextFormat().singleLine()));
}

/** The per-instance element of an XML state or preset. */
inline juce::XmlElement* additionalDataOf (juce::XmlElement& xml)
{
    return xml.getChildByAttribute ("id", ADDITIONAL_DATA);
}

/** The attribute names of an element, in order, separated by blanks. */
inline juce::String attributeNames (const juce::XmlElement& element)
{
    juce::StringArray names;
    for (int i = 0; i < element.getNumAttributes(); ++i)
        names.add (element.getAttributeName (i));
    return names.joinIntoString (" ");
}

/** Writes an XML element to a file as the preset store does, creating the folders. */
inline juce::File writeXml (const juce::File& file, const juce::XmlElement& xml)
{
    file.getParentDirectory().createDirectory();
    xml.writeTo (file);
    return file;
}

/** Writes text to a file, creating the folders. */
inline juce::File writeText (const juce::File& file, const juce::String& text)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText (text);
    return file;
}

/** The live per-instance element of the parameter state, or an invalid tree. */
inline juce::ValueTree liveAdditionalData (Processor& p)
{
    return p.parameters.state.getChildWithProperty ("id", ADDITIONAL_DATA);
}
} // namespace state_test
