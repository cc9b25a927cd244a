#include "editor/QELComboBoxComponent.h"

namespace qel
{
ComboBoxComponent::Attachment::Attachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID,
                                           ComboBoxComponent& box)
    : QEL::ComboBoxAttachment (state, parameterID, box)
{
    box.setParameter (state.getParameter (parameterID));
}

bool ComboBoxComponent::isEditorGesture (const juce::MouseEvent& e) noexcept
{
    return e.mods.isCtrlDown() && e.mods.isAltDown();
}

void ComboBoxComponent::mouseDown (const juce::MouseEvent& e)
{
    if (! isEditorGesture (e))
        juce::ComboBox::mouseDown (e);
}

void ComboBoxComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEditorGesture (e))
        juce::ComboBox::mouseDrag (e);
}

void ComboBoxComponent::mouseUp (const juce::MouseEvent& e)
{
    if (! isEditorGesture (e))
        juce::ComboBox::mouseUp (e);
}
} // namespace qel
