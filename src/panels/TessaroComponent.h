#pragma once

#include "editor/PluginSettings.h"
#include "editor/QELComponentBase.h"
#include "editor/QELComponentInitializer.h"
#include "editor/QELImageButton.h"
#include "editor/QELSlider.h"
#include "lookandfeel/LookAndFeel.h"
#include "panels/CompressComponent.h"
#include "panels/EQModuleComponent.h"
#include "panels/EnhanceComponent.h"
#include "panels/GainComponent.h"
#include "panels/MultiplyComponent.h"
#include "panels/OverlayComponent.h"
#include "panels/ScaledImageComponent.h"
#include "panels/SpaceComponent.h"
#include "presets/PresetMenuComponent.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <functional>
#include <memory>

class OrvaneTessaroAudioProcessor;

/** The product's whole face at 1300 x 800: the header (background, logos, preset bar, resize
    and animation buttons, Bypass and Mix) over six module panels side by side, and a frosted
    backdrop behind the open preset list. Decides which film strips play. Message thread only. */
class TessaroComponent : public juce::QELComponentBase
{
public:
    /** Which film strips play: none, the one of the last hovered panel, or all. */
    enum AnimationMode
    {
        Off = 0,
        On = 1,
        AlwaysOn = 2
    };

    TessaroComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                      QEL::PluginSettings& settings, OrvaneTessaroAudioProcessor& processor);
    ~TessaroComponent() override;

    /** Builds and configures the header; called once by the constructor. */
    void initComponents();

    /** Applies a mode to the six strips, stores it in the settings and shows its icon; any
        other value does nothing. */
    void updateAnimationMode (int mode);

    /** The current animation mode. */
    int getAnimationMode() const noexcept { return animationMode; }

    /** Black under the background picture. */
    void paint (juce::Graphics& g) override;
    /** The seven vertical separators, over the panels' edges. */
    void paintOverChildren (juce::Graphics& g) override;
    /** The header and the six panels at their design rectangles. */
    void resized() override;
    /** Hides the Mix caption over the knob; in mode On plays the hovered panel's strip. */
    void mouseEnter (const juce::MouseEvent& e) override;
    /** Shows the Mix caption again. */
    void mouseExit (const juce::MouseEvent& e) override;
    /** A click outside the preset bar closes the open preset list. */
    void mouseDown (const juce::MouseEvent& e) override;

    /** The preset list was shown or hidden: blurs the face behind it, or clears the blur. */
    void presetListVisibilityChanged (bool shown);

    /** The six module panels in chain order. */
    std::array<tessaro::gui::ModulePanel*, 6> modulePanels() noexcept;

    /** Called by the Resize button; the editor opens or closes its size menu with it. */
    std::function<void()> resizeRequest;

    juce::AudioProcessorValueTreeState& parameters;
    QELComponentInitializer* initializer;
    QEL::PluginSettings& settings;
    OrvaneTessaroAudioProcessor& processor;

    tessaro::gui::CompressComponent compressPanel;
    tessaro::gui::EnhanceComponent enhancePanel;
    tessaro::gui::EQModuleComponent eqPanel;
    tessaro::gui::MultiplyComponent multiplyPanel;
    tessaro::gui::SpaceComponent spacePanel;
    tessaro::gui::GainComponent gainPanel;

    std::unique_ptr<juce::Drawable> brandLogo, productLogo;
    /** JUCE's default typeface, for the preset name. */
    juce::Font presetBarFont;
    /** Montserrat Regular, for the Mix caption. */
    juce::Font panelFont;
    juce::PopupMenu animationMenu;
    int animationMode = On;
    /** The editor's size selector: laid out here, never shown itself. */
    juce::ComboBox* sizeSelector = nullptr;
    tessaro::gui::ScaledImageComponent backgroundImage;
    tessaro::gui::LookAndFeel mixLookAndFeel, bypassLookAndFeel;
    juce::QELSlider mixSlider;
    juce::QELLabel mixCaption;
    juce::TextButton bypassButton;
    std::unique_ptr<juce::QELSlider::SliderAttachment> mixAttachment;
    std::unique_ptr<QEL::ButtonAttachment> bypassAttachment;
    juce::DrawableButton resizeButton { "Resize", juce::DrawableButton::ImageRaw };
    juce::DrawableButton animationButton { "Animation", juce::DrawableButton::ImageRaw };
    /** The product preset bar, on the processor's preset model. */
    tessaro::gui::PresetMenuComponent presetBar;
    tessaro::gui::OverlayComponent overlay;

private:
    /** The preset bar's drop-down list, or null while the bar has none. */
    juce::Component* presetList() noexcept;
    void initPresetBar();
    void showAnimationMenu();
    void placeAnimationButton();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TessaroComponent)
};
