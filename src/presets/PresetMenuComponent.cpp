#include "presets/PresetMenuComponent.h"

namespace tessaro::gui
{
PresetMenuComponent::PresetMenuComponent (juce::PresetManagerModel* presetModel)
    : juce::OrvanePresetMenuComponent (presetModel), presetList (presetModel)
{
    saveMenu->setLookAndFeel (&popupMenuLookAndFeel);

    OrvanePresetMenuComponent::saveButton->setVisible (false);
    OrvanePresetMenuComponent::previousButton->setVisible (false);
    OrvanePresetMenuComponent::nextButton->setVisible (false);

    presetLabel.setJustificationType (juce::Justification::centredLeft);
    presetLabel.setEditable (false, false, true);
    presetLabel.setWantsKeyboardFocus (false);
    showBankSelector = false;

    for (auto* arrow : { &previousButton, &nextButton })
    {
        arrow->setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
        arrow->setColour (juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
        arrow->setLookAndFeel (&drawableButtonLookAndFeel);
        addAndMakeVisible (arrow);
    }

    previousButton.onClick = [this] { previousPreset(); };
    nextButton.onClick = [this] { nextPreset(); };
    saveButton.onClick = [this] { showSavePresetMenu (&saveButton, 0.0f); };
    addAndMakeVisible (saveButton);

    presetList.onPresetLoaded = [] {};
}

PresetMenuComponent::~PresetMenuComponent()
{
    for (auto* arrow : { &previousButton, &nextButton })
        arrow->setLookAndFeel (nullptr);

    saveMenu->setLookAndFeel (nullptr);
}

juce::Rectangle<int> PresetMenuComponent::scaled (juce::Rectangle<int> design) const
{
    const auto area = design.toFloat() * scale;
    return juce::Rectangle<int>::leftTopRightBottom ((int) std::floor (area.getX()), (int) std::floor (area.getY()),
                                                    (int) std::ceil (area.getRight()),
                                                    (int) std::ceil (area.getBottom()));
}

void PresetMenuComponent::showPresetMenu()
{
    auto* parent = getParentComponent();

    if (parent == nullptr)
        return;

    if (presetList.getParentComponent() != parent)
        parent->addChildComponent (presetList);

    presetList.setBounds (scaled (listArea()));
    presetList.toFront (false);
    presetList.setVisible (! presetList.isVisible());

    if (presetList.isVisible())
        presetList.loadAllPresets();

    if (onPresetListVisibilityChanged)
        onPresetListVisibilityChanged (presetList.isVisible());

    repaint();
}

//==============================================================================
void PresetMenuComponent::mouseEnter (const juce::MouseEvent&)
{
    isHovered = true;
    repaint();
}

void PresetMenuComponent::mouseExit (const juce::MouseEvent&)
{
    isHovered = false;
    repaint();
}

void PresetMenuComponent::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent == &presetLabel)
        showPresetMenu();

    isPressed = true;
    repaint();
}

void PresetMenuComponent::mouseUp (const juce::MouseEvent&)
{
    isPressed = false;
    repaint();
}

//==============================================================================
void PresetMenuComponent::paint (juce::Graphics& g)
{
    const auto colour = frameColours[isPressed ? 2 : (isHovered ? 1 : 0)];
    const auto open = presetList.isVisible();
    const auto width = (float) juce::jmax (0, getWidth() - 2), height = (float) juce::jmax (0, getHeight() - 2);

    juce::Path frame;
    frame.addRoundedRectangle (1.0f, 1.0f, width, height, 2.0f, 2.0f, true, true, ! open, ! open);
    g.setColour (colour);
    g.strokePath (frame, juce::PathStrokeType (1.0f));

    if (getHeight() - 4 > 0)
        for (auto x : { 246, 273 })
            g.fillRect (x, 2, 1, getHeight() - 4);
}

void PresetMenuComponent::resized()
{
    // The bar's size in design units, so that every rectangle below scales once.
    const auto w = juce::roundToInt ((float) getWidth() / scale), h = juce::roundToInt ((float) getHeight() / scale);
    presetLabel.setBounds (scaled ({ 5, 0, w - 80, h }));

    if (auto* image = saveButton.getCurrentImage())
        saveButton.setBounds (scaled ({ 220, (int) ((float) h / 2.0f - image->getDrawableBounds().getHeight() / 2.0f + 1.0f),
                                        image->getWidth(), image->getHeight() }));
    else
        saveButton.setBounds (scaled ({ 220, h / 2, 0, 0 }));

    previousButton.setBounds (scaled ({ 247, 2, 26, 31 }));
    nextButton.setBounds (scaled ({ 274, 2, 26, 31 }));

    if (getParentComponent() != nullptr && presetList.getParentComponent() != nullptr)
        presetList.setBounds (scaled (listArea()));
}
} // namespace tessaro::gui
