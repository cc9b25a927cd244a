#include "core/StateKeys.h"

const juce::String ADDITIONAL_DATA { "additional_data" };
const juce::String PRESET_PATH { "preset_path" };
const juce::String PRESET_CHANGED { "preset_changed" };
const juce::String PRESET_VERSION { "preset_version" };
const juce::String GUI_LAST_VIEW { "gui_last_view" };
const juce::String INPUT_MODE { "input_mode" };
const juce::String LAST_LIVE_SET_FILE { "last_live_set_file" };
const juce::String LAST_MIDI_MAPPINGS_FILE { "last_midi_mappings_file" };
const juce::String MIDI_TAG { "midi" };
const juce::String INPUT_CALIBRATION_PARAM { "paramIn" };
const juce::String IR_1_PATH { "ir_1_path" };
const juce::String IR_2_PATH { "ir_2_path" };
const juce::String IR_1_BUFFER { "ir_1_buffer" };
const juce::String IR_2_BUFFER { "ir_2_buffer" };

const juce::String PRESET_CHANGED_VALUE { "changed" };
const juce::String PRESET_NOT_CHANGED_VALUE { "not_changed" };
const juce::String CURRENT_PRESET_VERSION { "1.0.0" };

const juce::String STATE_ID { "orvane_tessaro" };

namespace juce
{
const String LIVE_SCENE_PARAM { "paramScene" };
const String LIVE_SCENE_GROUP_PARAM { "paramSceneGroup" };
const String LIVE_SCENE_MAPPING { "liveScene" };
const String LIVE_PREV_GROUP_MAPPING { "livePrevGroup" };
const String LIVE_NEXT_GROUP_MAPPING { "liveNextGroup" };
} // namespace juce
