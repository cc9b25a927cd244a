#include "editor/EditorTestFixture.h"

#include <BinaryData.h>

using editor_test::EditorTest;

namespace
{
/** A component that tells which parameter it is bound to. */
struct BoundControl : juce::Component, juce::QELParametrizable
{
    juce::AudioProcessorParameter* parameter = nullptr;
    juce::AudioProcessorParameter* getParameter() override { return parameter; }
    void setParameter (juce::AudioProcessorParameter* p) override { parameter = p; }
};

/** A tempo the processor records. */
struct TempoProcessor : OrvaneTessaroAudioProcessor
{
    void setTempo (double bpm) override { tempi.push_back (bpm); }
    void cancelInputCalibration() override { ++cancels; }
    std::vector<double> tempi;
    int cancels = 0;
};
} // namespace

TEST_F (EditorTest, SharedViewsAreConfigured)
{
    auto& e = open();
    EXPECT_EQ (e.aboutBox.companyName, "Orvane");
    EXPECT_EQ (e.aboutBox.productName, "Orvane Tessaro");
    EXPECT_EQ (e.aboutBox.version, "1.0.0");
    EXPECT_TRUE (e.aboutBox.buildId.isNotEmpty() && e.aboutBox.buildId.containsOnly ("0123456789abcdef"));
    EXPECT_EQ (e.aboutBox.wrapperName, "Undefined");
    EXPECT_EQ (e.tempoBox.getTooltip(), "Host BPM Sync");
    EXPECT_EQ (e.tempoBox.listener, &e);
    EXPECT_EQ (e.calibration.listener, &e);
    EXPECT_EQ (e.hintBubble.findColour (juce::BubbleComponent::backgroundColourId), juce::Colours::black);
    EXPECT_EQ (e.hintBubble.findColour (juce::BubbleComponent::outlineColourId), juce::Colours::white);
    EXPECT_EQ (e.hintBubble.fadeOutLengthMs, 150);
}

TEST (SharedViews, TempoAndCalibrationReachTheProcessor)
{
    gui_test::Sandbox sandbox;
    TempoProcessor processor;
    {
        OrvaneTessaroAudioProcessorEditor editor (processor);
        editor.tempoBox.listener->onTempoChange (97.5f);
        editor.calibration.listener->cancelInputCalibration();
    }
    EXPECT_EQ (processor.tempi, std::vector<double> { 97.5 });
    EXPECT_EQ (processor.cancels, 1);
}

TEST_F (EditorTest, SlidersAreSetUpThroughTheHook)
{
    auto& e = open();
    juce::Component parent;
    juce::QELSlider slider;
    juce::LookAndFeel_V4 lnf;
    e.initializer->sliderSetup (slider, &parent, &lnf, juce::Slider::RotaryVerticalDrag);

    EXPECT_EQ (slider.getParentComponent(), &parent);
    EXPECT_EQ (slider.getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_FALSE (slider.altClickResets); // only AAX hosts get Alt-click reset
    EXPECT_FALSE (slider.contextMenuEnabled);
    EXPECT_TRUE (slider.midiLearnItemEnabled);
    EXPECT_FALSE (slider.doubleClickOpensTextEntry);
    EXPECT_TRUE (slider.doubleClickResets);
    EXPECT_EQ (slider.popupHideDelayMs, -1);
    EXPECT_EQ (slider.getTextEntry().getWidth(), 70);
    EXPECT_EQ (slider.getTextEntry().getHeight(), 30);
    EXPECT_EQ (slider.getTextEntry().getFont().getHeight(), 16.0f);

    // The learn entry arms learning in the processor with the control's template.
    juce::QELMidiMapping mapping;
    mapping.type = juce::QELMidiMapping::parameterType;
    mapping.data1 = "paramMix";
    mapping.custom_value = 7;
    processor->midiLearnReplaces = true;
    slider.onMidiLearn (mapping);
    EXPECT_TRUE (processor->midiLearnActive);
    EXPECT_EQ (processor->midiLearnMapping.data1, "paramMix");
    EXPECT_EQ (processor->midiLearnMapping.custom_value, 7);
    EXPECT_FALSE (processor->midiLearnReplaces);
}

TEST_F (EditorTest, ImageButtonsAreSetUpThroughTheHook)
{
    auto& e = open();
    juce::Component parent;
    juce::QELSimpleImageButton button;
    button.setTopLeftPosition (12, 34);
    juce::Image normal (juce::Image::ARGB, 24, 18, true), over, down;
    e.initializer->buttonSetup (button, &parent, normal, over, down);

    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (12, 34, 24, 18));
    EXPECT_EQ (button.naturalSize, juce::Point<int> (24, 18));
    EXPECT_EQ (button.getParentComponent(), &parent);
    EXPECT_TRUE (button.isVisible());
    EXPECT_FALSE (button.contextMenuEnabled);
    EXPECT_TRUE (button.midiLearnItemEnabled);
    EXPECT_EQ (button.helpManager, static_cast<juce::ContextualHelpManager*> (&e));
    button.onMidiLearn ({});
    EXPECT_TRUE (processor->midiLearnActive);
}

TEST_F (EditorTest, ControlParameterIndexOfBoundControls)
{
    auto& e = open();
    BoundControl control;
    juce::Component plain;
    EXPECT_EQ (e.getControlParameterIndex (plain), -1);
    EXPECT_EQ (e.getControlParameterIndex (control), -1);
    control.parameter = processor->getParameters()[5];
    EXPECT_EQ (e.getControlParameterIndex (control), 5);
}

TEST_F (EditorTest, HintBubblePointsAtTheTargetAndFades)
{
    auto& e = open();
    juce::QELSlider knob;
    knob.setBounds (400, 300, 60, 80);
    knob.hitBoxTop = 20;
    knob.hitBoxRight = 10;
    e.mainPanel.addAndMakeVisible (knob);

    e.showHint (&knob, {});
    EXPECT_FALSE (e.hintBubble.isVisible());

    juce::int64 now = 1000;
    e.hintBubble.clock = [&now] { return now; };
    e.showHint (&knob, "Compression amount");
    EXPECT_TRUE (e.hintBubble.isVisible());
    EXPECT_EQ (e.hintBubble.expiryTime, 1500);
    EXPECT_FALSE (e.hintBubble.deleteAfterUse);
    EXPECT_TRUE (e.hintBubble.isTimerRunning());
    EXPECT_EQ (e.hintBubble.getTimerInterval(), 77);
    EXPECT_GT (e.hintBubble.mouseClickCounter, juce::Desktop::getInstance().getMouseButtonClickCounter());

    // The bubble points at the knob's hit area (400..470 x 320..380) from its right, in the 19.5 font;
    // without the hit box it points at the knob's bounds (400..460 x 300..380).
    const auto withHitBox = e.hintBubble.getBounds();
    EXPECT_EQ (withHitBox.getCentreY(), 350);
    EXPECT_GT (withHitBox.getWidth(), juce::Font (19.5f).getStringWidth ("Compression amount"));
    knob.hitBoxTop = knob.hitBoxRight = 0;
    e.showHint (&knob, "Compression amount");
    const auto plain = e.hintBubble.getBounds();
    EXPECT_EQ (plain.getCentreY(), 340);
    EXPECT_EQ (withHitBox.getX() - plain.getX(), 10);

    now = 2000; // past its expiry: it fades out and hides
    gui_test::pump (400);
    EXPECT_FALSE (e.hintBubble.isVisible());
    e.mainPanel.removeChildComponent (&knob);
}
