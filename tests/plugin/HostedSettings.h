#pragma once

#include "plugin/HeaviestSettings.h"
#include "plugin/Vst3ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <utility>
#include <vector>

namespace tessaro::test
{
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

} // namespace tessaro::test
