#pragma once

#include "editor/AboutComponent.h"
#include "editor/BubbleMessageComponent.h"
#include "editor/EditorDialogs.h"
#include "editor/HintClient.h"
#include "editor/InputCalibrationComponent.h"
#include "editor/PluginSettings.h"
#include "editor/PresetMenuComponent.h"
#include "editor/QELComponentInitializer.h"
#include "editor/QELMainContainerComponent.h"
#include "editor/QELMidiLearnComponent.h"
#include "editor/QELMidiMappingsComponent.h"
#include "editor/QELSimpleImageButton.h"
#include "editor/QELSlider.h"
#include "editor/QELTempoBoxComponent.h"
#include "editor/QELTextButton.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <unordered_map>

class QELAudioProcessorBase;

namespace juce
{
struct QELMidiMapping;
}

/** The makers' editor base: the container tree a product puts its face into, the settings
    store, the GUI sizes with their combo, the popup look-and-feel, the tooltip window, the
    widget set-up hooks, the shared views and a 33 ms tick that product editors extend.

    Members are declared in construction order; destruction runs in reverse. */
class QELAudioProcessorEditorBase : public juce::AudioProcessorEditor,
                                    public juce::Button::Listener,
                                    public juce::Timer,
                                    public juce::InputCalibrationListener,
                                    public juce::ContextualHelpManager,
                                    public juce::QELTempoBoxComponent::TempoListener
{
public:
    /** One entry of the size table. */
    struct SizeElement
    {
        int id = -1;
        juce::String name;
        float scale = 1.0f;
    };

    QELAudioProcessorEditorBase (QELAudioProcessorBase* processor, const juce::String& company,
                                 const juce::String& product, const juce::String& version, const juce::String& buildId);
    ~QELAudioProcessorEditorBase() override;

    //==============================================================================
    /** A double-click calls resolveButtonDoubleClick with the clicked component. */
    void mouseDown (const juce::MouseEvent& e) override;

    /** A release with Ctrl held calls resolveButtonDoubleClick with the component. */
    void mouseUp (const juce::MouseEvent& e) override;

    /** Keeps the processor told whether the editor is showing. */
    void visibilityChanged() override;

    /** Fills opaque black. */
    void paint (juce::Graphics& g) override;

    /** Lays out the main container (and the mappings view) at the layout scale. */
    void resized() override;

    /** The index of the parameter a parametrizable control is bound to, else -1. */
    int getControlParameterIndex (juce::Component& component) override;

    //==============================================================================
    /** Shows a hint bubble pointing at target. */
    void showHint (juce::Component* target, juce::String text) override;

    /** Tells the processor the user cancelled the input calibration. */
    void cancelInputCalibration() override;

    /** The 33 ms tick: runs updateUI. */
    void timerCallback() override;

    /** Does nothing; product editors may react to their buttons. */
    void buttonClicked (juce::Button*) override {}

    /** Hands a tempo from the tempo box to the processor. */
    void onTempoChange (float bpm) override;

    /** Per-tick work: the MIDI-learn overlay, then a repaint when repaintEveryTick is set. */
    virtual void updateUI();

    /** Hook for double-clicks and Ctrl-releases on listened components; does nothing here. */
    virtual void resolveButtonDoubleClick (juce::Component*) {}

    /** Sets up a parameter slider for this editor: the target of the sliderSetup hook. */
    virtual void setupQELSlider (juce::QELSlider& slider, juce::Component* parent, juce::LookAndFeel* lookAndFeel,
                                 juce::Slider::SliderStyle style);

    /** Applies a scale: one transform over the face, or a new layout at the scale. */
    virtual void setPluginScale (float scale, bool force);

    //==============================================================================
    /** Applies a size of the table and records its id in the settings (not saved). */
    void setGuiSize (int id);

    /** Rebuilds the options menu from the current switches. */
    void recreateOptionsMenu();

    /** Appends the Presets section. */
    void addPresetOptionsToMenu (juce::PopupMenu* menu);

    /** Appends the Live section. */
    void addLiveOptionsToMenu (juce::PopupMenu* menu);

    /** Appends the MIDI section. */
    void addMIDIOptionsToMenu (juce::PopupMenu* menu);

    //==============================================================================
    /** The actions of the options menu. */
    void loadPresetFromChooser();
    void deleteCurrentPreset();
    void importPresetsFromFolder();
    void openPresetFolder();
    void loadLiveSetFromChooser();
    void saveLiveSetToChooser();
    void clearCurrentLiveSet();
    void loadMidiMappingsFromChooser();
    void saveMidiMappingsToChooser();

    /** The processor as the makers' base. */
    QELAudioProcessorBase* getProcessorBase() const noexcept { return processorBase; }

    /** The name of a host wrapper type: "VST3" and so on, "Unknown" outside the known ones. */
    static juce::String wrapperTypeName (int wrapperType);

    /** A note number's text as the learn overlay shows it, "(C3)" for 60; empty outside 0..127. */
    static juce::String noteTextFor (int noteNumber);

    /** Sets up an image button for this editor: the target of the buttonSetup hook. */
    void setupImageButton (juce::QELSimpleImageButton& button, juce::Component* parent, juce::Image& normal,
                           juce::Image& over, juce::Image& down);

    /** The MIDI-learn callback of every control: arms learning in the processor with the template. */
    void learnMidiMapping (const juce::QELMidiMapping& mapping);

private:
    QELAudioProcessorBase* processorBase = nullptr;

public:
    //==============================================================================
    std::unique_ptr<QELComponentInitializer> initializer; // 1
    QELMainContainerComponent mainContainer;              // 2
    std::unique_ptr<juce::PresetMenuComponent> presetMenu; // 3 generic preset bar, never shown (null without a processor)
    juce::AboutComponent aboutBox;                        // 4
    juce::QELMidiMappingsComponent midiMappingsView;      // 5
    juce::QELMidiLearnComponent midiLearnOverlay;         // 6
    juce::QELTempoBoxComponent tempoBox;                  // 7
    QEL::PluginSettings pluginSettings;                   // 8
    bool repaintEveryTick = true;                         // 9
    bool useTransformScaling = false;                     // 10
    bool presetsInOptionsMenu = true;                     // 11
    juce::ComboBox sizeCombo;                             // 12
    std::unique_ptr<juce::PopupMenu> optionsMenu;         // 13
    juce::InputCalibrationComponent calibration;          // 14
    std::unordered_map<int, SizeElement> sizes;           // 15
    QEL::PopupMenuLookAndFeel popupLookAndFeel;           // 16
    QEL::BubbleMessageComponent hintBubble;               // 17
    float layoutScale = -1.0f;                            // 18
    bool contextMenusEnabled = false;                     // 19
    juce::TooltipWindow tooltipWindow { this, 100 };      // 20

    /** Where the options menu's choosers and questions go; tests replace them. */
    QEL::EditorDialogs dialogs;

    /** Receives the preset files found by "Import presets from folder..."; set by the preset bar. */
    std::function<void (const juce::Array<juce::File>&)> onImportPresets;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELAudioProcessorEditorBase)
};
