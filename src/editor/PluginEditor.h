#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class QELAudioProcessorBase;

/** The editor the host opens. Until the product's own face is built it shows every
    parameter with JUCE's generic controls; it keeps the processor told whether it is visible. */
class OrvaneTessaroAudioProcessorEditor : public juce::GenericAudioProcessorEditor
{
public:
    explicit OrvaneTessaroAudioProcessorEditor (QELAudioProcessorBase& processorToEdit);
    ~OrvaneTessaroAudioProcessorEditor() override;

    /** Tells the processor whether the editor is showing. */
    void visibilityChanged() override;

private:
    QELAudioProcessorBase& owner;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OrvaneTessaroAudioProcessorEditor)
};
