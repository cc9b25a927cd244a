#pragma once

#include "lookandfeel/PresetMenuStyles.h"
#include "presets/OrvanePresetMenuComponent.h"
#include "presets/PresetMenuSelectionComponent.h"

#include <array>
#include <functional>

namespace tessaro::gui
{
/** The product's preset bar: the current preset's name, a Save button with its save menu,
    previous and next arrows, and a drop-down preset list with favourites that a press on the
    name opens below the bar, in the bar's parent. The name is read-only; new presets go
    straight into the user folder. */
class PresetMenuComponent : public juce::OrvanePresetMenuComponent
{
public:
    /** Builds the bar and its list on the model (not owned; it outlives the bar). */
    explicit PresetMenuComponent (juce::PresetManagerModel* model);
    ~PresetMenuComponent() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    /** A press on the name toggles the list; any press shows the pressed frame. */
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent&) override;
    /** The frame in the idle, hover or pressed colour and the dividers of the two arrows. */
    void paint (juce::Graphics& g) override;
    /** Lays out the name, the three buttons and, when attached, the list. */
    void resized() override;
    /** Opens or closes the drop-down list (nothing without a parent to show it in). */
    void showPresetMenu() override;

    /** A design rectangle at the bar's scale, rounded outwards. */
    juce::Rectangle<int> scaled (juce::Rectangle<int> design) const;

    /** Called with the list's visibility after every toggle. */
    std::function<void (bool)> onPresetListVisibilityChanged;
    bool isHovered = false;
    bool isPressed = false;
    CustomPopupMenuLookAndFeel popupMenuLookAndFeel;
    /** Frame and divider colours: idle, hovered, pressed. */
    std::array<juce::Colour, 3> frameColours { juce::Colour (0xffedefff), juce::Colour (0xffedefff),
                                               juce::Colour (0xffedefff) };
    CustomDrawableButtonLookAndFeel drawableButtonLookAndFeel;
    juce::DrawableButton saveButton { "Save Preset", juce::DrawableButton::ImageRaw };
    juce::DrawableButton previousButton { "Previous Preset", juce::DrawableButton::ImageOnButtonBackgroundOriginalSize };
    juce::DrawableButton nextButton { "Next Preset", juce::DrawableButton::ImageOnButtonBackgroundOriginalSize };
    /** The name's font while unchanged (the owner sets it). */
    juce::Font& presetNameFont = presetFont;
    /** The label showing the current preset's name. */
    juce::Label& presetNameLabel = presetLabel;
    PresetMenuSelectionComponent presetList;

    /** Where the list opens, in the parent, at scale 1. */
    static juce::Rectangle<int> listArea() { return { 9, 42, 304, 740 }; }

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetMenuComponent)
};
} // namespace tessaro::gui
