// The MIDI handler of the processor base: learning a new mapping, or applying the stored ones.
#include "core/QELAudioProcessorBase.h"
#include "core/StateKeys.h"

namespace
{
/** A path read from a file or a state: only an absolute path names a file. */
juce::File absoluteFileOrNone (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}
} // namespace

// MIDI mappings: learning a new mapping, or applying the stored ones.
//
// This product takes no MIDI and never calls the handler. A product that does would
// call it from its audio callback: scene changes and preset loads go to the message
// thread through a hand-off that neither allocates nor locks, but learning changes the
// mapping list that the message thread also reads; such a product must hand the list
// over between threads.
void QELAudioProcessorBase::handleMidiEvents (juce::MidiBuffer& midiMessages)
{
    for (const auto metadata : midiMessages)
    {
        if (metadata.numBytes < 1)
            continue;

        const int status = metadata.data[0] & 0xf0;
        const int d1 = metadata.numBytes > 1 ? metadata.data[1] : 0;
        const int d2 = metadata.numBytes > 2 ? metadata.data[2] : 0;

        if (status == 0x90 && d2 != 0)
            handleNoteOn (d1, d2);
        else if (status == 0x80 || status == 0x90)
            handleNoteOff (d1);
        else if (status == 0xc0)
            handleProgramChange (d1);
        else if (status == 0xb0)
            handleController (d1, d2);
    }
}

void QELAudioProcessorBase::learnMapping (int signal, int number)
{
    // The template keeps what was learned: the editor shows it once learning has ended.
    midiLearnMapping.signal = signal;
    midiLearnMapping.number = number;
    midiMappingsModel->addNewMapping (midiLearnMapping, juce::QELMidiMappingsModel::notify);
    midiLearnActive = false;
}

void QELAudioProcessorBase::removeMappingsReplacedByLearning()
{
    if (! midiLearnReplaces || midiLearnMapping.type != juce::QELMidiMapping::parameterType)
        return;

    auto& mappings = midiMappingsModel->mappings;
    for (int i = mappings.size(); --i >= 0;)
        if (mappings[i]->type == juce::QELMidiMapping::parameterType && mappings[i]->data1 == midiLearnMapping.data1)
            midiMappingsModel->removeMapping (i);

    midiMappingsModel->sendChangeNotification();
}

void QELAudioProcessorBase::handleNoteOn (int note, int velocity)
{
    if (midiLearnActive)
    {
        removeMappingsReplacedByLearning();
        if (midiLearnNoteFullValue)
            midiLearnMapping.custom_value = 1;
        learnMapping (juce::QELMidiMapping::noteSignal, note);
        return;
    }

    bool presetMapped = false;
    for (auto* mapping : midiMappingsModel->mappings)
    {
        if (mapping->signal != juce::QELMidiMapping::noteSignal || mapping->number != note)
            continue;

        if (mapping->type == juce::QELMidiMapping::parameterType)
            setMappedParameter (*mapping, velocity);
        else if (mapping->type == juce::QELMidiMapping::liveType)
            runLiveControl (*mapping);
        else if (mapping->type == juce::QELMidiMapping::presetType)
            presetMapped = true;
    }

    if (presetMapped)
        midiTasks.post ({ MidiTask::loadNotePresets, note });
}

void QELAudioProcessorBase::handleNoteOff (int note)
{
    if (midiLearnActive)
        return;

    for (auto* mapping : midiMappingsModel->mappings)
        if (mapping->signal == juce::QELMidiMapping::noteSignal && mapping->number == note &&
            mapping->type == juce::QELMidiMapping::parameterType && mapping->is_momentary)
            setParameterNormalised (mapping->data1, 0.0f);
}

void QELAudioProcessorBase::handleProgramChange (int program)
{
    if (midiLearnActive)
    {
        if (midiLearnMapping.type == juce::QELMidiMapping::liveType)
            learnMapping (juce::QELMidiMapping::programChangeSignal, program);
        return;
    }

    if (auto* mapping = findLastMapping (juce::QELMidiMapping::programChangeSignal, program))
        if (mapping->type == juce::QELMidiMapping::liveType)
            runLiveControl (*mapping);
}

void QELAudioProcessorBase::handleController (int controller, int value)
{
    if (midiLearnActive)
    {
        removeMappingsReplacedByLearning();
        learnMapping (juce::QELMidiMapping::controlChangeSignal, controller);
        return;
    }

    if (auto* mapping = findLastMapping (juce::QELMidiMapping::controlChangeSignal, controller))
    {
        if (mapping->type == juce::QELMidiMapping::parameterType)
            setMappedParameter (*mapping, value);
        else if (mapping->type == juce::QELMidiMapping::liveType)
            runLiveControl (*mapping);
    }
}

juce::QELMidiMapping* QELAudioProcessorBase::findLastMapping (int signal, int number) const
{
    auto& mappings = midiMappingsModel->mappings;
    for (int i = mappings.size(); --i >= 0;)
        if (mappings[i]->signal == signal && mappings[i]->number == number)
            return mappings[i];
    return nullptr;
}

// A fixed custom value wins; otherwise the 7-bit value maps 126 to full scale.
void QELAudioProcessorBase::setMappedParameter (const juce::QELMidiMapping& mapping, int value)
{
    const float normalised = mapping.custom_value != -1 ? (float) mapping.custom_value : (float) value / 126.0f;
    setParameterNormalised (mapping.data1, normalised);
}

void QELAudioProcessorBase::setParameterNormalised (const juce::String& parameterID, float normalised)
{
    if (auto* parameter = parameters.getParameter (parameterID))
    {
        parameter->setValue (normalised);
        parameter->sendValueChangedMessageToListeners (normalised);
    }
}

void QELAudioProcessorBase::runLiveControl (const juce::QELMidiMapping& mapping)
{
    auto& live = *liveModel;

    if (mapping.data1 == juce::LIVE_SCENE_MAPPING)
    {
        midiTasks.post ({ MidiTask::selectScene, mapping.custom_value });
        return;
    }

    const bool previous = mapping.data1 == juce::LIVE_PREV_GROUP_MAPPING;
    if (! previous && mapping.data1 != juce::LIVE_NEXT_GROUP_MAPPING)
        return;

    live.browsedGroup = previous ? juce::jmax (0, live.browsedGroup - 1)
                                 : juce::jmin (juce::LiveModel::numGroups - 1, live.browsedGroup + 1);
    live.browsedScene = live.browsedGroup == live.activeGroup ? live.activeScene : -1;
}

// On the message thread: the scene in the group browsed now, or every preset mapped to the note, in list order.
void QELAudioProcessorBase::runMidiTask (const MidiTask& task)
{
    if (task.kind == MidiTask::selectScene)
    {
        liveModel->setScene (liveModel->browsedGroup, task.number, true, false);
        return;
    }

    juce::StringArray paths;
    for (const auto* mapping : midiMappingsModel->mappings)
        if (mapping->type == juce::QELMidiMapping::presetType && mapping->signal == juce::QELMidiMapping::noteSignal &&
            mapping->number == task.number)
            paths.add (mapping->data1);

    for (const auto& path : paths)
        presetManagerModel->loadPreset (absoluteFileOrNone (path), false);
}
