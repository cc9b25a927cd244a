#pragma once

#include "editor/HintClient.h"
#include "editor/ParameterAttachments.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace qel
{
/** The widget library's combo box: a JUCE combo box that also carries the parameter it controls
    and a hint. Presses with Ctrl and Alt held are left to the editor. */
class ComboBoxComponent : public juce::ComboBox, public juce::QELParametrizable, public QEL::SettableHintClient
{
public:
    /** Binds the box to a parameter of the state and hands the box that parameter. */
    class Attachment : public QEL::ComboBoxAttachment
    {
    public:
        Attachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, ComboBoxComponent& box);
        virtual ~Attachment() = default;
    };

    using juce::ComboBox::ComboBox;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

    juce::AudioProcessorParameter* getParameter() override { return parameter; }
    void setParameter (juce::AudioProcessorParameter* newParameter) override { parameter = newParameter; }

private:
    static bool isEditorGesture (const juce::MouseEvent& e) noexcept;

    juce::AudioProcessorParameter* parameter = nullptr;
};
} // namespace qel
