#pragma once

#include "plugin/Vst3ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <utility>
#include <vector>

namespace tessaro::test
{
/** A parameter by ID and a plain value in its own unit (choices by index, toggles 0/1). */
using Setting = std::pair<const char*, float>;

/** The normalised value a host sends for a plain value of a parameter. */
inline float normalisedOf (const char* id, float plain)
{
    const auto& row = parameterTable()[(size_t) parameterIndex (id)];
    switch (row.kind)
    {
        case ParameterRow::Kind::floating: return row.range.convertTo0to1 (plain);
        case ParameterRow::Kind::toggle: return plain != 0.0f ? 1.0f : 0.0f;
        case ParameterRow::Kind::choice: return plain / (float) (row.choices.size() - 1);
    }
    return 0.0f;
}

/** Applies settings to a hosted instance as a host does; they reach the plug-in with the next block. */
inline void apply (juce::AudioPluginInstance& plugin, const std::vector<Setting>& settings)
{
    for (const auto& [id, plain] : settings)
    {
        const int index = parameterIndex (id);
        jassert (index >= 0);
        auto* parameter = plugin.getParameters()[index];
        parameter->beginChangeGesture();
        parameter->setValueNotifyingHost (normalisedOf (id, plain));
        parameter->endChangeGesture();
    }
}

/** The heaviest setting: every module on and working, the longest reverb, a tape echo, the limiter. */
inline const std::vector<Setting>& heaviestSettings()
{
    static const std::vector<Setting> settings {
        { "paramCompressCompression", 60.0f },
        { "paramEnhanceDeEss", 50.0f },
        { "paramEnhanceDeNoise", 30.0f },
        { "paramEnhanceAir", 50.0f },
        { "paramEQHighGain", 3.0f },
        { "paramEQMidGain", -3.0f },
        { "paramEQLowGain", 2.0f },
        { "paramMultiplyAmount", 50.0f },
        { "paramMultiplyLow", 50.0f },
        { "paramSpaceReverbType", 3.0f },
        { "paramSpaceReverbAmount", 50.0f },
        { "paramSpaceReverbTime", 80.0f },
        { "paramSpaceDelayType", 2.0f },
        { "paramSpaceDelayAmount", 40.0f },
        { "paramGainType", 1.0f },
        { "paramGainDrive", 40.0f },
        { "paramGainLimit", 1.0f },
    };
    return settings;
}
} // namespace tessaro::test
