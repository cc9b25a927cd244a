#pragma once

#include <juce_core/juce_core.h>

/** Keys of the per-instance element that travels in the host state and in presets. */
extern const juce::String ADDITIONAL_DATA;
extern const juce::String PRESET_PATH;
extern const juce::String PRESET_CHANGED;
extern const juce::String PRESET_VERSION;
extern const juce::String GUI_LAST_VIEW;
extern const juce::String INPUT_MODE;
extern const juce::String LAST_LIVE_SET_FILE;
extern const juce::String LAST_MIDI_MAPPINGS_FILE;
extern const juce::String MIDI_TAG;
extern const juce::String INPUT_CALIBRATION_PARAM;
extern const juce::String IR_1_PATH;
extern const juce::String IR_2_PATH;
extern const juce::String IR_1_BUFFER;
extern const juce::String IR_2_BUFFER;

/** Values of "preset_changed". */
extern const juce::String PRESET_CHANGED_VALUE;
extern const juce::String PRESET_NOT_CHANGED_VALUE;

/** The version written into every preset. */
extern const juce::String CURRENT_PRESET_VERSION;

/** The product's state id: type of the parameter tree, root tag of state and presets. */
extern const juce::String STATE_ID;

namespace juce
{
/** Live position keys and the Live controls a MIDI mapping can target. */
extern const String LIVE_SCENE_PARAM;
extern const String LIVE_SCENE_GROUP_PARAM;
extern const String LIVE_SCENE_MAPPING;
extern const String LIVE_PREV_GROUP_MAPPING;
extern const String LIVE_NEXT_GROUP_MAPPING;
} // namespace juce
