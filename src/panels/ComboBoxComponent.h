#pragma once

#include "core/MessageThreadHandOff.h"
#include "editor/QELComboBoxComponent.h"
#include "editor/QELImageButton.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class OrvaneTessaroAudioProcessor;

namespace tessaro::gui
{
/** The type selector of a choice parameter: the current choice's name, centred between a left and
    a right arrow that step through the choices, wrapping at the ends; a press on the name opens a
    popup of all choices. A hidden combo box holds the items, the selection and the popup. */
class ComboBoxComponent : public juce::Component, public juce::AudioProcessorValueTreeState::Listener
{
public:
    /** Binds to parameterID, whose choices, in order, are items. */
    ComboBoxComponent (juce::AudioProcessorValueTreeState& parameters, OrvaneTessaroAudioProcessor& processor,
                       juce::Font& font, const juce::String& parameterID, juce::StringArray items);
    ~ComboBoxComponent() override;

    /** Opens the popup for a press on the selector itself strictly between the arrows. */
    void mouseDown (const juce::MouseEvent& e) override;
    /** Arrows at the sides, label across, the hidden box over everything. */
    void resized() override;
    /** Shows the new choice's name, on the message thread (handed over there, without allocating, when called
        elsewhere). */
    void parameterChanged (const juce::String& changedID, float newValue) override;

    /** Steps to the previous (-1) or next (+1) choice, wrapping, from the value held in the
        parameter state's tree; the write sets the parameter without a gesture. */
    void step (int direction);

    /** The name shown for a choice index, empty outside the list. */
    juce::String itemText (int index) const;

    juce::AudioProcessorValueTreeState& parameters;
    OrvaneTessaroAudioProcessor& processor;
    juce::Font& font;
    qel::ComboBoxComponent comboBox;
    std::unique_ptr<qel::ComboBoxComponent::Attachment> attachment;
    const juce::String parameterID;
    const juce::StringArray items;
    juce::QELLabel label;
    juce::DrawableButton leftButton { "Type Left", juce::DrawableButton::ImageFitted };
    juce::DrawableButton rightButton { "Type Right", juce::DrawableButton::ImageFitted };

protected:
    /** Opens the hidden box's popup menu. */
    virtual void showPopup();

private:
    void initComponents();
    void showChoice (float index);
    void showCurrentChoice();

    /** Choices that arrived off the message thread, shown in order. */
    QEL::MessageThreadHandOff<float> choices { [this] (float index) { showChoice (index); },
                                               [this] { showCurrentChoice(); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ComboBoxComponent)
};
} // namespace tessaro::gui
