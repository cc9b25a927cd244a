#pragma once

#include "editor/HintClient.h"
#include "presets/QELMidiMapping.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace juce
{
/** The image button the editor's buttonSetup hook prepares: an image button with a
    context-menu switch, a MIDI-learn entry and the help manager its hint goes to. */
class QELSimpleImageButton : public ImageButton, public QEL::SettableHintClient
{
public:
    using ImageButton::ImageButton;

    /** Turns the MIDI-learn entry on or off and sets what it calls. */
    void setOnParamMidiLearn (bool enabled, std::function<void (QELMidiMapping)> callback)
    {
        midiLearnItemEnabled = enabled;
        onMidiLearn = std::move (callback);
    }

    bool contextMenuEnabled = false;
    bool midiLearnItemEnabled = false;
    std::function<void (QELMidiMapping)> onMidiLearn;
    ContextualHelpManager* helpManager = nullptr;
    Point<int> naturalSize;
};
} // namespace juce
