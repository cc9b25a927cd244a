#pragma once

#include <juce_core/juce_core.h>

namespace juce
{
/** One MIDI mapping: an incoming message (signal + number) bound to a parameter,
    a Live Set control or a preset file. Copied by value. */
struct QELMidiMapping
{
    /** What a mapping drives. */
    enum Type
    {
        parameterType = 1,
        liveType = 2,
        presetType = 3
    };

    /** Which MIDI message triggers it. */
    enum Signal
    {
        controlChangeSignal = 1,
        programChangeSignal = 2,
        noteSignal = 3
    };

    /** 1 parameter, 2 Live control, 3 preset. */
    int type = 0;
    /** 1 control change, 2 program change, 3 note. */
    int signal = 0;
    /** Parameter ID, Live control name or full path of a preset file. */
    String data1;
    /** Value applied instead of the incoming one, or -1 to apply the incoming value. */
    int custom_value = -1;
    /** Controller, program or note number that triggers the mapping. */
    int number = 0;
    /** Transient: -1 whenever the mapping enters a model's list; never saved. */
    int lastValue = -1;
    /** For note mappings of a parameter: releasing the note sets the parameter back to 0. */
    bool is_momentary = false;
};
} // namespace juce
