#include "panels/ComboBoxComponent.h"

#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"

#include <BinaryData.h>

namespace tessaro::gui
{
ComboBoxComponent::ComboBoxComponent (juce::AudioProcessorValueTreeState& state,
                                      OrvaneTessaroAudioProcessor& productProcessor, juce::Font& panelFont,
                                      const juce::String& id, juce::StringArray choiceNames)
    : parameters (state), processor (productProcessor), font (panelFont), parameterID (id),
      items (std::move (choiceNames))
{
    initComponents();
}

ComboBoxComponent::~ComboBoxComponent()
{
    parameters.removeParameterListener (parameterID, this);
}

void ComboBoxComponent::initComponents()
{
    parameters.addParameterListener (parameterID, this);

    for (int i = 0; i < items.size(); ++i)
        comboBox.addItem (items[i], i + 1);
    comboBox.setLookAndFeel (nullptr);
    addChildComponent (comboBox);

    label.setFont (juce::Font (font).withHeight (17.08f));
    label.setColour (juce::Label::textColourId, CustomColours::TEXT_GENERIC);
    label.setJustificationType (juce::Justification::centred);
    label.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (label);

    const auto initArrow = [this] (juce::DrawableButton& button, const char* svg, int direction)
    {
        GuiUtils::initDrawableButton (button, svg, juce::Colours::white, juce::Colours::white, juce::Colours::white,
                                      juce::Colour (0xffe5eeff));
        button.onClick = [this, direction] { step (direction); };
        button.setTriggeredOnMouseDown (true);
        addAndMakeVisible (button);
    };
    initArrow (leftButton, BinaryData::preset_previous_svg, -1);
    initArrow (rightButton, BinaryData::preset_next_svg, +1);

    attachment = std::make_unique<qel::ComboBoxComponent::Attachment> (parameters, parameterID, comboBox);
    showChoice (
        parameters.getParameter (parameterID)->convertFrom0to1 (parameters.getParameter (parameterID)->getValue()));
}

juce::String ComboBoxComponent::itemText (int index) const
{
    return juce::isPositiveAndBelow (index, items.size()) ? items[index] : juce::String();
}

void ComboBoxComponent::showChoice (float index)
{
    label.setText (itemText ((int) index), juce::dontSendNotification);
}

void ComboBoxComponent::step (int direction)
{
    auto value = parameters.getParameterAsValue (parameterID);
    const int last = items.size() - 1;
    int choice = (int) (float) value.getValue() + direction;
    if (choice < 0)
        choice = last;
    else if (choice > last)
        choice = 0;
    value.setValue ((double) choice);
    showChoice ((float) choice);
}

void ComboBoxComponent::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent != this)
        return;
    const float x = e.position.x;
    if (x > (float) leftButton.getRight() && x < (float) rightButton.getX())
        showPopup();
}

void ComboBoxComponent::showPopup()
{
    comboBox.showPopup();
}

void ComboBoxComponent::resized()
{
    const int w = getWidth(), h = getHeight();
    leftButton.setBounds (12, h / 2 - 10, 16, 20);
    rightButton.setBounds (w - 28, h / 2 - 10, 16, 20);
    label.setBounds (0, h / 2 - 10, w, 20);
    comboBox.setBounds (0, 0, w, h);
}

void ComboBoxComponent::parameterChanged (const juce::String& changedID, float newValue)
{
    if (changedID != parameterID)
        return;
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        showChoice (newValue);
        return;
    }
    choices.post (newValue);
}

// Choices were lost while the hand-off was full: the parameter's value stands for them.
void ComboBoxComponent::showCurrentChoice()
{
    if (auto* value = parameters.getRawParameterValue (parameterID))
        showChoice (value->load());
}
} // namespace tessaro::gui
