#pragma once

#include "editor/QELAudioProcessorEditorBase.h"
#include "lookandfeel/DefaultLookAndFeel.h"
#include "panels/TessaroComponent.h"

class OrvaneTessaroAudioProcessor;

/** The product's editor: the face (TessaroComponent) at one of five sizes of its 1300 x 800
    design, scaled by one transform; feeds the meter and the detector lamps every tick. */
class OrvaneTessaroAudioProcessorEditor : public QELAudioProcessorEditorBase,
                                          public juce::AudioProcessorValueTreeState::Listener
{
public:
    explicit OrvaneTessaroAudioProcessorEditor (OrvaneTessaroAudioProcessor& processorToEdit);
    ~OrvaneTessaroAudioProcessorEditor() override;

    /** Lays out the base, then gives the face its design size. */
    void resized() override;

    /** The base's tick, then the meter and the two lamps. */
    void updateUI() override;

    /** The base set-up, then a 70 x 30 centred text entry, and double-click resets. */
    void setupQELSlider (juce::QELSlider& slider, juce::Component* parent, juce::LookAndFeel* lookAndFeel,
                         juce::Slider::SliderStyle style) override;

    /** Not registered anywhere; does nothing. */
    void parameterChanged (const juce::String&, float) override {}

    OrvaneTessaroAudioProcessor& processor;
    std::unique_ptr<DefaultLookAndFeel> defaultLookAndFeel;
    TessaroComponent mainPanel;
    juce::PopupMenu helpMenu;

private:
    void toggleSizeMenu();
    void fillHelpMenu();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OrvaneTessaroAudioProcessorEditor)
};
