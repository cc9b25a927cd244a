#pragma once

#include "presets/QELMidiMapping.h"

/** A mapping built in one expression: what it drives, the message that triggers it. */
inline juce::QELMidiMapping makeMapping (int type, int signal, const juce::String& data1, int number,
                                         int customValue = -1, bool momentary = false)
{
    juce::QELMidiMapping mapping;
    mapping.type = type;
    mapping.signal = signal;
    mapping.data1 = data1;
    mapping.number = number;
    mapping.custom_value = customValue;
    mapping.is_momentary = momentary;
    return mapping;
}
