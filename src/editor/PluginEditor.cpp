#include "editor/PluginEditor.h"

#include "core/QELAudioProcessorBase.h"

OrvaneTessaroAudioProcessorEditor::OrvaneTessaroAudioProcessorEditor (QELAudioProcessorBase& processorToEdit)
    : juce::GenericAudioProcessorEditor (processorToEdit), owner (processorToEdit)
{
}

OrvaneTessaroAudioProcessorEditor::~OrvaneTessaroAudioProcessorEditor()
{
    owner.editorVisible = false;
}

void OrvaneTessaroAudioProcessorEditor::visibilityChanged()
{
    juce::GenericAudioProcessorEditor::visibilityChanged();
    owner.editorVisible = isVisible();
}
