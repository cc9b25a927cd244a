#include "panels/CompressComponent.h"
#include "panels/EnhanceComponent.h"
#include "panels/GainComponent.h"
#include "panels/MultiplyComponent.h"
#include "panels/SpaceComponent.h"

#include "PanelTestSupport.h"
#include "editor/CustomColours.h"
#include "editor/WidgetTestSupport.h"

using namespace tessaro::gui;

namespace
{
/** The five panels with their own controls, each at the main panel's 202 x 706. */
struct Panels
{
    Panels (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
            OrvaneTessaroAudioProcessor& processor)
        : compress (state, initializer, processor), enhance (state, initializer, processor),
          multiply (state, initializer, processor), space (state, initializer, processor),
          gain (state, initializer, processor)
    {
        for (juce::Component* panel :
             { (juce::Component*) &compress, (juce::Component*) &enhance, (juce::Component*) &multiply,
               (juce::Component*) &space, (juce::Component*) &gain })
        {
            panel->setBounds (0, 0, 202, 706);
            panel->setVisible (true);
        }
    }

    CompressComponent compress;
    EnhanceComponent enhance;
    MultiplyComponent multiply;
    SpaceComponent space;
    GainComponent gain;
};

struct ModulePanelsTest : panel_test::PanelTest
{
    Panels panels { state, &initializer, *processor };
};

/** One control of a panel and the parameter it is bound to. */
struct Binding
{
    const char* name;
    std::function<juce::Component&(Panels&)> control;
    const juce::String& parameterID;
};

const std::vector<Binding>& bindings()
{
    static const std::vector<Binding> table = {
        { "Compress Input", [] (Panels& p) -> juce::Component& { return p.compress.inputKnob; },
          Params::paramCompressInput },
        { "Compress Compression", [] (Panels& p) -> juce::Component& { return p.compress.compressionKnob; },
          Params::paramCompressCompression },
        { "Compress Output", [] (Panels& p) -> juce::Component& { return p.compress.outputKnob; },
          Params::paramCompressOutput },
        { "Compress Slow", [] (Panels& p) -> juce::Component& { return p.compress.slowButton; },
          Params::paramCompressSlow },
        { "Compress Auto", [] (Panels& p) -> juce::Component& { return p.compress.autoButton; },
          Params::paramCompressAuto },
        { "Enhance De-Ess", [] (Panels& p) -> juce::Component& { return p.enhance.deEssKnob; },
          Params::paramEnhanceDeEss },
        { "Enhance De-Noise", [] (Panels& p) -> juce::Component& { return p.enhance.deNoiseKnob; },
          Params::paramEnhanceDeNoise },
        { "Enhance Air", [] (Panels& p) -> juce::Component& { return p.enhance.airKnob; }, Params::paramEnhanceAir },
        { "Enhance Pre Comp", [] (Panels& p) -> juce::Component& { return p.enhance.preCompButton; },
          Params::paramEnhancePreComp },
        { "Multiply Spread", [] (Panels& p) -> juce::Component& { return p.multiply.spreadSlider; },
          Params::paramMultiplySpread },
        { "Multiply Offset", [] (Panels& p) -> juce::Component& { return p.multiply.offsetArc; },
          Params::paramMultiplyOffset },
        { "Multiply Amount", [] (Panels& p) -> juce::Component& { return p.multiply.amountKnob; },
          Params::paramMultiplyAmount },
        { "Multiply Low", [] (Panels& p) -> juce::Component& { return p.multiply.lowKnob; }, Params::paramMultiplyLow },
        { "Space Reverb Amount", [] (Panels& p) -> juce::Component& { return p.space.reverbAmountKnob; },
          Params::paramSpaceReverbAmount },
        { "Space Reverb Time", [] (Panels& p) -> juce::Component& { return p.space.reverbTimeArc; },
          Params::paramSpaceReverbTime },
        { "Space Reverb Type", [] (Panels& p) -> juce::Component& { return p.space.reverbSelector->comboBox; },
          Params::paramSpaceReverbType },
        { "Space Delay Amount", [] (Panels& p) -> juce::Component& { return p.space.delayAmountKnob; },
          Params::paramSpaceDelayAmount },
        { "Space Delay Time", [] (Panels& p) -> juce::Component& { return p.space.delayTimeArc; },
          Params::paramSpaceDelayTime },
        { "Space Delay Note", [] (Panels& p) -> juce::Component& { return p.space.delayNoteArc; },
          Params::paramSpaceDelayNote },
        { "Space Delay Feedback", [] (Panels& p) -> juce::Component& { return p.space.delayFeedbackArc; },
          Params::paramSpaceDelayFeedback },
        { "Space Delay Sync", [] (Panels& p) -> juce::Component& { return p.space.syncButton; },
          Params::paramSpaceDelaySync },
        { "Space Delay Type", [] (Panels& p) -> juce::Component& { return p.space.delaySelector->comboBox; },
          Params::paramSpaceDelayType },
        { "Gain Drive", [] (Panels& p) -> juce::Component& { return p.gain.driveKnob; }, Params::paramGainDrive },
        { "Gain Mix", [] (Panels& p) -> juce::Component& { return p.gain.mixRing; }, Params::paramGainMix },
        { "Gain Gain", [] (Panels& p) -> juce::Component& { return p.gain.gainKnob; }, Params::paramGainGain },
        { "Gain Type", [] (Panels& p) -> juce::Component& { return p.gain.typeSelector->comboBox; },
          Params::paramGainType },
        { "Gain Pre FX", [] (Panels& p) -> juce::Component& { return p.gain.preFxButton; }, Params::paramGainPreFx },
        { "Gain Limit", [] (Panels& p) -> juce::Component& { return p.gain.limitButton; }, Params::paramGainLimit },
    };
    return table;
}

/** The value a control shows, in the parameter's own units. */
float shownValue (juce::Component& control)
{
    if (auto* slider = dynamic_cast<juce::Slider*> (&control))
        return (float) slider->getValue();
    if (auto* button = dynamic_cast<juce::Button*> (&control))
        return button->getToggleState() ? 1.0f : 0.0f;
    if (auto* box = dynamic_cast<juce::ComboBox*> (&control))
        return (float) box->getSelectedItemIndex();
    ADD_FAILURE() << "not a control";
    return 0.0f;
}

/** A gesture on the control as a person makes it: a drag, a click, or a choice from the list. */
void makeGesture (juce::Component& control)
{
    if (auto* slider = dynamic_cast<juce::Slider*> (&control))
    {
        const auto from = slider->getLocalBounds().getCentre().toFloat();
        const bool upperHalf = slider->valueToProportionOfLength (slider->getValue()) > 0.5;
        const auto to = from + (upperHalf ? juce::Point<float> (-40.0f, 40.0f) : juce::Point<float> (40.0f, -40.0f));
        slider->mouseDown (widget_test::mouseAt (*slider, from, widget_test::leftButton()));
        slider->mouseDrag (widget_test::mouseAt (*slider, to, widget_test::leftButton(), 1, from, true));
        slider->mouseUp (widget_test::mouseAt (*slider, to, {}, 1, from, true));
    }
    else if (auto* button = dynamic_cast<juce::Button*> (&control))
    {
        button->triggerClick();
        gui_test::pump (20);
    }
    else if (auto* box = dynamic_cast<juce::ComboBox*> (&control))
    {
        box->setSelectedItemIndex ((box->getSelectedItemIndex() + 2) % box->getNumItems(), juce::sendNotificationSync);
    }
}
} // namespace

TEST_F (ModulePanelsTest, EveryControlFollowsItsParameterFromAnotherThread)
{
    for (const auto& b : bindings())
    {
        auto& control = b.control (panels);
        auto& p = parameter (b.parameterID);
        const float before = shownValue (control);
        // A normalised 0.75 is away from every default; for switches it flips them to on.
        const float target = p.getValue() < 0.5f ? 0.75f : 0.25f;
        std::thread ([&p, target] { p.setValueNotifyingHost (target); }).join();
        EXPECT_EQ (shownValue (control), before) << b.name << ": changed before the message loop ran";
        gui_test::pumpUntil ([&] { return shownValue (control) != before; });
        EXPECT_FLOAT_EQ (shownValue (control), valueOf (b.parameterID)) << b.name;
        EXPECT_NE (shownValue (control), before) << b.name;
    }
}

TEST_F (ModulePanelsTest, EveryControlGestureReachesTheHostAsOneGesture)
{
    set (Params::paramCompressAuto, 0.0f); // Auto disables the Output knob
    gui_test::pump (10);
    for (const auto& b : bindings())
    {
        panel_test::HostRecorder host (parameter (b.parameterID));
        makeGesture (b.control (panels));
        ASSERT_GE (host.events.size(), 3u) << b.name;
        EXPECT_EQ (host.events.front(), "begin") << b.name;
        EXPECT_EQ (host.events.back(), "end") << b.name;
        EXPECT_EQ (std::count (host.events.begin(), host.events.end(), "begin"), 1) << b.name;
        EXPECT_NE (std::find (host.events.begin(), host.events.end(), "value"), host.events.end()) << b.name;
    }
}

TEST_F (ModulePanelsTest, ControlsSitWhereTheLayoutPutsThem)
{
    using R = juce::Rectangle<int>;
    const std::pair<juce::Component*, R> cases[] = {
        { &panels.compress.inputKnob, R (51, 330, 100, 100) },
        { &panels.compress.compressionKnob, R (51, 450, 100, 100) },
        { &panels.compress.outputKnob, R (51, 569, 100, 100) },
        { &panels.compress.inputCaption, R (31, 415, 140, 25) },
        { &panels.compress.compressionCaption, R (31, 535, 140, 25) },
        { &panels.compress.outputCaption, R (31, 654, 140, 25) },
        { &panels.compress.slowButton, R (130, 477, 76, 47) },
        { &panels.compress.autoButton, R (130, 596, 76, 47) },
        { &panels.compress.meter, R (10, 290, 182, 5) },
        { &panels.enhance.deEssKnob, R (51, 264, 100, 100) },
        { &panels.enhance.deNoiseKnob, R (51, 374, 100, 100) },
        { &panels.enhance.airKnob, R (51, 484, 100, 100) },
        { &panels.enhance.deEssCaption, R (31, 349, 140, 25) },
        { &panels.enhance.deNoiseCaption, R (31, 459, 140, 25) },
        { &panels.enhance.airCaption, R (31, 569, 140, 25) },
        { &panels.enhance.preCompButton, R (35, 631, 132, 57) },
        { &panels.enhance.deEssLamp, R (139, 304, 20, 20) },
        { &panels.enhance.deNoiseLamp, R (139, 414, 20, 20) },
        { &panels.multiply.view, R (10, 290, 182, 72) },
        { &panels.multiply.spreadSlider, R (10, 362, 182, 45) },
        { &panels.multiply.amountKnob, R (51, 480, 100, 100) },
        { &panels.multiply.offsetArc, R (29, 458, 144, 144) },
        { &panels.multiply.lowKnob, R (51, 570, 100, 100) },
        { &panels.multiply.spreadCaption, R (-10, 397, 222, 25) },
        { &panels.multiply.amountCaption, R (31, 565, 140, 25) },
        { &panels.multiply.offsetCaption, R (9, 463, 184, 25) },
        { &panels.multiply.lowCaption, R (31, 655, 140, 25) },
        { &panels.space.reverbAmountKnob, R (51, 300, 100, 100) },
        { &panels.space.reverbTimeArc, R (29, 278, 144, 144) },
        { panels.space.reverbSelector.get(), R (11, 415, 180, 35) },
        { &panels.space.delayAmountKnob, R (51, 535, 100, 100) },
        { &panels.space.delayTimeArc, R (29, 513, 144, 144) },
        { &panels.space.delayNoteArc, R (29, 513, 144, 144) },
        { &panels.space.delayFeedbackArc, R (29, 513, 144, 144) },
        { &panels.space.syncButton, R (141, 570, 30, 30) },
        { panels.space.delaySelector.get(), R (11, 650, 180, 35) },
        { &panels.space.reverbCaption, R (31, 385, 140, 25) },
        { &panels.space.reverbTimeCaption, R (9, 283, 184, 25) },
        { &panels.space.delayCaption, R (31, 620, 140, 25) },
        { &panels.space.delayTimeCaption, R (9, 518, 184, 25) },
        { &panels.space.feedbackCaption, R (9, 518, 184, 25) },
        { &panels.gain.driveKnob, R (51, 300, 100, 100) },
        { &panels.gain.driveCaption, R (31, 385, 140, 25) },
        { &panels.gain.mixRing, R (29, 278, 144, 144) },
        { &panels.gain.mixCaption, R (9, 283, 184, 25) },
        { panels.gain.typeSelector.get(), R (11, 415, 180, 35) },
        { &panels.gain.gainKnob, R (51, 480, 100, 100) },
        { &panels.gain.gainCaption, R (31, 565, 140, 25) },
        { &panels.gain.preFxButton, R (6, 631, 86, 57) },
        { &panels.gain.limitButton, R (111, 631, 85, 57) },
    };
    for (const auto& [component, bounds] : cases)
        EXPECT_EQ (component->getBounds(), bounds) << component->getName() << " " << bounds.toString();
}

TEST_F (ModulePanelsTest, PressesReachTheControlOnTop)
{
    auto& m = panels.multiply;
    auto& s = panels.space;
    auto& g = panels.gain;
    const struct
    {
        juce::Component& panel;
        juce::Point<int> at;
        juce::Component* expected;
    } cases[] = {
        // Arcs take the mouse only in the top 64 units of their box, over the top of their knob.
        { m, { 101, 521 }, &m.offsetArc },
        { m, { 101, 523 }, &m.amountKnob },
        { m, { 101, 380 }, &m.spreadSlider },
        { s, { 101, 341 }, &s.reverbTimeArc },
        { s, { 101, 343 }, &s.reverbAmountKnob },
        { s, { 160, 572 }, &s.delayNoteArc }, // Sync on: the note arc is in view
        { s, { 160, 585 }, &s.syncButton },
        { s, { 145, 585 }, &s.delayAmountKnob }, // the knob lies over the Sync button's left third
        { g, { 101, 320 }, &g.mixRing },
        { g, { 101, 342 }, &g.driveKnob },
        { g, { 101, 345 }, &g.driveKnob },
        { g, { 101, 360 }, &g.driveKnob },
        { g, { 40, 300 }, &g.mixRing },
        { g, { 50, 432 }, g.typeSelector.get() }, // on the label, which takes no clicks
        { g, { 25, 432 }, &g.typeSelector->leftButton },
    };
    for (const auto& c : cases)
        EXPECT_EQ (c.panel.getComponentAt (c.at), c.expected) << c.at.toString();

    set (Params::paramSpaceDelaySync, 0.0f);
    EXPECT_EQ (s.getComponentAt (juce::Point<int> (160, 572)), &s.delayTimeArc);
}

TEST_F (ModulePanelsTest, ArcsAreQuarterTurnsOverTheTopWithTheirOwnDragDistance)
{
    const std::pair<juce::QELSlider*, float> arcs[] = {
        { &panels.multiply.offsetArc, 250.0f },  { &panels.gain.mixRing, 250.0f },
        { &panels.space.reverbTimeArc, 200.0f }, { &panels.space.delayTimeArc, 200.0f },
        { &panels.space.delayNoteArc, 200.0f },  { &panels.space.delayFeedbackArc, 200.0f },
    };
    for (const auto& [arc, distance] : arcs)
    {
        const auto rotary = arc->getRotaryParameters();
        EXPECT_NEAR (rotary.startAngleRadians, 5.4977875f, 1e-5);
        EXPECT_NEAR (rotary.endAngleRadians, 7.0685835f, 1e-5);
        EXPECT_TRUE (rotary.stopAtEnd);
        EXPECT_EQ (arc->dragDistance, distance);
        EXPECT_EQ (arc->popupPlacement, juce::BubbleComponent::above);
        EXPECT_EQ (arc->popupOffset, juce::Point<int> (0, 41));
    }
    EXPECT_EQ (panels.multiply.spreadSlider.dragDistance, 350.0f);
    EXPECT_EQ (panels.multiply.amountKnob.dragDistance, 250.0f);
    EXPECT_EQ (panels.gain.driveKnob.getRotaryParameters().startAngleRadians,
               juce::MathConstants<float>::pi * 1.2f); // JUCE's default travel

    // The Gain knobs are bound with the plain attachment: the editor finds no parameter on them.
    for (auto* knob : { &panels.gain.driveKnob, &panels.gain.mixRing, &panels.gain.gainKnob })
        EXPECT_EQ (knob->getParameter(), nullptr);
    EXPECT_EQ (panels.multiply.offsetArc.getParameter(), &parameter (Params::paramMultiplyOffset));
}

TEST_F (ModulePanelsTest, CompressAutoDisablesOutputAlsoFromAnotherThread)
{
    auto& output = panels.compress.outputKnob;
    EXPECT_FALSE (output.isEnabled()); // Auto is on by default
    setFromAnotherThread (Params::paramCompressAuto, 0.0f);
    EXPECT_FALSE (output.isEnabled());
    EXPECT_TRUE (gui_test::pumpUntil ([&] { return output.isEnabled(); }));
    EXPECT_TRUE (panels.compress.inputKnob.isEnabled());
}

TEST_F (ModulePanelsTest, CompressScaleReadsShortNumbersUnderTheMeter)
{
    const char* texts[] = { "-18", "-12", "-6", "0" };
    const int lefts[] = { 10, 64, 118, 172 };
    for (int i = 0; i < 4; ++i)
    {
        const float v = CompressComponent::scaleValues[i];
        EXPECT_EQ (CompressComponent::scaleText (v), texts[i]);
        EXPECT_EQ (CompressComponent::scaleTextBounds (v, 202.0f), juce::Rectangle<int> (lefts[i], 305, 20, 12));
    }
    EXPECT_EQ (panels.compress.meter.range.start, -18.0f);
    EXPECT_EQ (panels.compress.meter.range.end, 0.0f);
    EXPECT_EQ (panels.compress.meter.range.skew, 1.0f);
}

TEST_F (ModulePanelsTest, MultiplyViewFollowsAmountAndSpread)
{
    auto& view = panels.multiply.view;
    EXPECT_FLOAT_EQ (view.getDensity(), 0.3f);
    EXPECT_FLOAT_EQ (view.getAmount(), 0.0f);
    EXPECT_FLOAT_EQ (view.getSpread(), 1.0f); // Spread 100 %

    setFromAnotherThread (Params::paramMultiplyAmount, 40.0f);
    setFromAnotherThread (Params::paramMultiplySpread, 200.0f);
    EXPECT_FLOAT_EQ (view.getAmount(), 0.0f);
    gui_test::pumpUntil ([&] { return view.getSpread() == 2.0f; });
    EXPECT_FLOAT_EQ (view.getAmount(), 0.4f);
    EXPECT_FLOAT_EQ (view.getSpread(), 2.0f);

    panels.multiply.parameterChanged (Params::paramMultiplyAmount, 150.0f); // limited before the view
    EXPECT_FLOAT_EQ (view.getAmount(), 1.0f);
    set (Params::paramMultiplyOffset, 80.0f); // Offset does not change the picture
    EXPECT_FLOAT_EQ (view.getAmount(), 1.0f);
}

TEST_F (ModulePanelsTest, SpaceShiftSwapsTheDelayArcForFeedback)
{
    auto& s = panels.space;
    const auto inView = [&s]
    {
        return juce::String (s.delayTimeArc.isVisible() ? "time " : "") + (s.delayNoteArc.isVisible() ? "note " : "") +
               (s.delayFeedbackArc.isVisible() ? "feedback " : "") + (s.delayTimeCaption.isVisible() ? "Time" : "") +
               (s.feedbackCaption.isVisible() ? "Feedback" : "");
    };
    EXPECT_EQ (inView(), "note Time"); // Sync is on by default

    s.modifierKeysChanged (juce::ModifierKeys::shiftModifier);
    EXPECT_EQ (inView(), "feedback Feedback");
    s.modifierKeysChanged ({});
    EXPECT_EQ (inView(), "note Time");

    setFromAnotherThread (Params::paramSpaceDelaySync, 0.0f);
    EXPECT_EQ (inView(), "note Time");
    EXPECT_TRUE (gui_test::pumpUntil ([&] { return inView() == "time Time"; }));

    // Sync changing while Shift shows feedback keeps feedback alone in view.
    s.modifierKeysChanged (juce::ModifierKeys::shiftModifier);
    set (Params::paramSpaceDelaySync, 1.0f);
    EXPECT_EQ (inView(), "feedback Feedback");
    s.modifierKeysChanged ({});
    EXPECT_EQ (inView(), "note Time");
}

TEST_F (ModulePanelsTest, SpaceDelayCaptionsHideOnlyForTheArcThatMatchesShift)
{
    auto& s = panels.space;
    const auto shift = juce::ModifierKeys (juce::ModifierKeys::shiftModifier);
    s.mouseEnter (gui_test::mouseEvent (s.delayNoteArc, { 70, 10 }, shift));
    EXPECT_TRUE (s.delayTimeCaption.isVisible());
    s.mouseEnter (gui_test::mouseEvent (s.delayNoteArc, { 70, 10 }));
    EXPECT_FALSE (s.delayTimeCaption.isVisible());
    s.mouseExit (gui_test::mouseEvent (s.delayNoteArc, { 70, 10 }));
    EXPECT_TRUE (s.delayTimeCaption.isVisible());

    s.modifierKeysChanged (shift);
    s.mouseEnter (gui_test::mouseEvent (s.delayFeedbackArc, { 70, 10 }, shift));
    EXPECT_FALSE (s.feedbackCaption.isVisible());
    s.mouseExit (gui_test::mouseEvent (s.delayFeedbackArc, { 70, 10 }, shift));
    EXPECT_TRUE (s.feedbackCaption.isVisible());

    s.mouseEnter (gui_test::mouseEvent (s.delayAmountKnob, { 50, 50 }));
    EXPECT_FALSE (s.delayCaption.isVisible());
    s.mouseEnter (gui_test::mouseEvent (s.reverbTimeArc, { 70, 10 }));
    EXPECT_FALSE (s.reverbTimeCaption.isVisible());
}

TEST_F (ModulePanelsTest, BypassDimsEachPanelsOwnParts)
{
    const auto dimmed = juce::Colour (0x80e5eeff);
    setFromAnotherThread (Params::paramBypass, 1.0f);
    EXPECT_TRUE (panels.compress.meter.enabled); // not before the message loop runs
    // Each panel hears Bypass through its own attachment: wait until the last of them has dimmed.
    gui_test::pumpUntil (
        [&]
        {
            return ! panels.compress.meter.enabled && ! panels.enhance.deEssLamp.isLampEnabled() &&
                   panels.multiply.view.isBypassed() && ! panels.space.syncButton.isEnabled() &&
                   panels.gain.mixStyle.bypassed && panels.space.arcStyle.bypassed &&
                   panels.gain.mixCaption.findColour (juce::Label::textColourId) == dimmed &&
                   panels.gain.typeSelector->label.findColour (juce::Label::textColourId) == dimmed;
        });

    EXPECT_FALSE (panels.compress.meter.enabled);
    EXPECT_FALSE (panels.enhance.deEssLamp.isLampEnabled());
    EXPECT_FALSE (panels.enhance.deNoiseLamp.isLampEnabled());
    EXPECT_TRUE (panels.multiply.view.isBypassed());
    EXPECT_FALSE (panels.space.syncButton.isEnabled());
    for (auto* selector :
         { panels.space.reverbSelector.get(), panels.space.delaySelector.get(), panels.gain.typeSelector.get() })
    {
        EXPECT_EQ (selector->label.findColour (juce::Label::textColourId), dimmed);
        EXPECT_TRUE (selector->isEnabled()); // selectors stay usable
    }
    for (auto* style : { &panels.compress.knobStyle, &panels.compress.bipolarKnobStyle, &panels.compress.buttonStyle,
                         &panels.multiply.buttonStyle, &panels.gain.mixStyle, &panels.space.arcStyle })
        EXPECT_TRUE (style->bypassed);
    for (auto* caption : { &panels.space.delayTimeCaption, &panels.space.feedbackCaption, &panels.gain.mixCaption })
        EXPECT_EQ (caption->findColour (juce::Label::textColourId), dimmed);
    EXPECT_FLOAT_EQ (panels.multiply.arcStyle.arcThicknessRatio, 0.08f);
    EXPECT_FLOAT_EQ (panels.space.arcStyle.arcThicknessRatio, 0.08f);
    EXPECT_FLOAT_EQ (panels.gain.mixStyle.arcThicknessRatio, 0.08f);

    // Module power off keeps a panel dimmed when Bypass goes off again; the others come back.
    set (Params::paramGainPower, 0.0f);
    set (Params::paramEnhancePower, 0.0f);
    set (Params::paramBypass, 0.0f);
    EXPECT_TRUE (panels.compress.meter.enabled);
    EXPECT_TRUE (panels.space.syncButton.isEnabled());
    EXPECT_FALSE (panels.multiply.view.isBypassed());
    EXPECT_EQ (panels.space.reverbSelector->label.findColour (juce::Label::textColourId), CustomColours::TEXT_GENERIC);
    EXPECT_FALSE (panels.enhance.deEssLamp.isLampEnabled());
    EXPECT_EQ (panels.gain.typeSelector->label.findColour (juce::Label::textColourId), dimmed);
    EXPECT_TRUE (panels.gain.mixStyle.bypassed);
    EXPECT_FLOAT_EQ (panels.gain.mixStyle.arcThicknessRatio, 0.08f);
}
