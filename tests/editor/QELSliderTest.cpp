#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "editor/QELSlider.h"

using namespace widget_test;
using juce::ModifierKeys;

namespace
{
/** A panel with one knob set up as the product's panels do, bound to the host's Compress parameter. */
struct PanelKnob
{
    explicit PanelKnob (bool altClickResets = false)
    {
        panel.setBounds (0, 0, 400, 300);
        slider.initialize (&panel, nullptr, juce::Slider::RotaryVerticalDrag);
        slider.setBounds (100, 100, 60, 60);
        slider.altClickResets = altClickResets;
        slider.doubleClickOpensTextEntry = false;
        slider.doubleClickResets = true;
        slider.popupHideDelayMs = -1;
        slider.setPopupDisplayEnabled (false, false, nullptr);
        slider.popupEnabled = true;
        slider.popupParent = &panel;
        slider.popupPlacement = juce::BubbleComponent::below;
        slider.useHitBox = true;
        slider.dragDistance = 250.0f;
        slider.clock = clock.function();
        attachment = std::make_unique<juce::QELSlider::SliderAttachment> (host.state, "paramCompress", slider);
        host.events.clear();
        host.values.clear();
    }

    void click (ModifierKeys mods)
    {
        slider.mouseDown (mouseAt (slider, { 30, 30 }, mods));
        slider.mouseUp (mouseAt (slider, { 30, 30 }, mods));
    }

    float value()
    {
        return host.parameter ("paramCompress").convertFrom0to1 (host.parameter ("paramCompress").getValue());
    }

    ParameterHost host;
    ManualClock clock;
    juce::Component panel;
    juce::QELSlider slider;
    std::unique_ptr<juce::QELSlider::SliderAttachment> attachment;
};

using Events = std::vector<juce::String>;
} // namespace

TEST (QELSlider, ResetModifierDependsOnTheHost)
{
    struct Case
    {
        bool aax;
        int modifiers;
        bool resets;
    };
    const Case cases[] = {
        { false, ModifierKeys::ctrlModifier, true },
        { false, ModifierKeys::altModifier, false },
        { true, ModifierKeys::ctrlModifier, false },
        { true, ModifierKeys::altModifier, true },
        { true, ModifierKeys::altModifier | ModifierKeys::ctrlModifier, false },
    };
    for (const auto& c : cases)
    {
        PanelKnob knob (c.aax);
        knob.slider.setValue (80.0, juce::sendNotificationSync);
        knob.host.events.clear();

        knob.slider.mouseDown (mouseAt (knob.slider, { 30, 30 }, leftButton (c.modifiers)));
        EXPECT_EQ (knob.slider.getThumbBeingDragged(), c.resets ? -1 : 0) << c.modifiers;
        knob.slider.mouseUp (mouseAt (knob.slider, { 30, 30 }, leftButton (c.modifiers)));

        EXPECT_FLOAT_EQ (knob.value(), c.resets ? 25.0f : 80.0f) << "aax " << c.aax << " mods " << c.modifiers;
        // Either way the host sees one gesture: around the reset, or around the (motionless) click.
        const Events expected = c.resets ? Events { "begin", "value", "end" } : Events { "begin", "end" };
        EXPECT_EQ (knob.host.events, expected) << "aax " << c.aax << " mods " << c.modifiers;
    }
}

TEST (QELSlider, ShiftMidDragChangesTheRateWithoutAJump)
{
    PanelKnob knob;
    auto& s = knob.slider;
    const juce::Point<float> down { 30, 200 };

    auto drag = [&] (float y, int mods = 0)
    {
        s.mouseDrag (mouseAt (s, { 30, y }, leftButton (mods), 1, down, true));
        return knob.value();
    };

    s.mouseDown (mouseAt (s, down, leftButton()));
    EXPECT_EQ (s.getMouseDragSensitivity(), 250);
    EXPECT_NEAR (drag (150), 25.0f + 20.0f, 1e-3); // 50 of 250 points: a fifth of the range

    EXPECT_NEAR (drag (150, ModifierKeys::shiftModifier), 45.0f, 1e-3); // Shift alone: no jump
    EXPECT_EQ (s.getMouseDragSensitivity(), 1000);
    EXPECT_NEAR (drag (50, ModifierKeys::shiftModifier), 55.0f, 1e-3); // 100 of 1000 points

    EXPECT_NEAR (drag (50), 55.0f, 1e-3); // release Shift: no jump either
    EXPECT_NEAR (drag (25), 65.0f, 1e-3);
    EXPECT_NEAR (drag (-500), 100.0f, 1e-3);
    s.mouseUp (mouseAt (s, { 30, -500 }, leftButton(), 1, down, true));

    // One gesture around the whole drag, and every value on the parameter's 0.1 grid and in range.
    ASSERT_FALSE (knob.host.events.empty());
    EXPECT_EQ (knob.host.events.front(), "begin");
    EXPECT_EQ (knob.host.events.back(), "end");
    EXPECT_EQ (std::count (knob.host.events.begin(), knob.host.events.end(), "begin"), 1);
    for (float v : knob.host.values)
    {
        EXPECT_GE (v, 0.0f);
        EXPECT_LE (v, 100.0f);
        EXPECT_NEAR (v * 10.0f, std::round (v * 10.0f), 1e-3) << v;
    }
}

TEST (QELSlider, FineDragFactorScalesTheDragDistance)
{
    PanelKnob knob;
    knob.slider.fineDragFactor = 2.0f;
    knob.slider.mouseDown (mouseAt (knob.slider, { 30, 30 }, leftButton (ModifierKeys::shiftModifier)));
    EXPECT_EQ (knob.slider.getMouseDragSensitivity(), 500);
    EXPECT_TRUE (knob.slider.fineDragActive);
}

TEST (QELSlider, DoubleClickOnAPanelKnobResetsWithoutTheEntry)
{
    PanelKnob knob;
    knob.slider.setValue (70.0, juce::sendNotificationSync);
    int doubleClicks = 0;
    knob.slider.onDoubleClick = [&] (const juce::MouseEvent&, int thumb)
    {
        ++doubleClicks;
        EXPECT_EQ (thumb, -1);
    };

    knob.slider.mouseDoubleClick (mouseAt (knob.slider, { 30, 30 }, leftButton(), 2));

    EXPECT_FLOAT_EQ (knob.value(), 25.0f);
    EXPECT_FALSE (knob.slider.getTextEntry().isVisible());
    EXPECT_EQ (doubleClicks, 1);
}

TEST (QELSlider, AltClickResetsOnlyThroughThePlainAttachment)
{
    ParameterHost host;
    juce::Component panel;
    juce::QELSlider own, plain;
    for (auto* s : { &own, &plain })
    {
        s->initialize (&panel, nullptr, juce::Slider::RotaryVerticalDrag);
        s->setBounds (0, 0, 50, 50);
    }
    juce::QELSlider::SliderAttachment ownAttachment (host.state, "paramCompress", own);
    QEL::SliderAttachment plainAttachment (host.parameter ("paramQ"), plain);
    own.setValue (60.0, juce::sendNotificationSync);
    plain.setValue (5.0, juce::sendNotificationSync);

    EXPECT_EQ (own.getParameter(), &host.parameter ("paramCompress"));
    EXPECT_EQ (plain.getParameter(), nullptr);

    for (auto* s : { &own, &plain })
    {
        s->mouseDown (mouseAt (*s, { 20, 20 }, leftButton (ModifierKeys::altModifier)));
        s->mouseUp (mouseAt (*s, { 20, 20 }, leftButton (ModifierKeys::altModifier)));
    }
    EXPECT_DOUBLE_EQ (own.getValue(), 60.0);
    EXPECT_NEAR (plain.getValue(), 0.71, 1e-6);

    // Ctrl-click resets both.
    plain.setValue (5.0, juce::sendNotificationSync);
    for (auto* s : { &own, &plain })
        s->mouseDown (mouseAt (*s, { 20, 20 }, leftButton (ModifierKeys::ctrlModifier)));
    EXPECT_DOUBLE_EQ (own.getValue(), 25.0);
    EXPECT_NEAR (plain.getValue(), 0.71, 1e-6);
}

TEST (QELSlider, UnknownParameterLeavesTheSliderUnbound)
{
    ParameterHost host;
    juce::QELSlider slider;
    juce::QELSlider::SliderAttachment attachment (host.state, "noSuchParameter", slider);
    EXPECT_EQ (slider.getParameter(), nullptr);
}

TEST (QELSlider, TypedEntryFiltersLettersAndScalesKilo)
{
    juce::Component parent;
    parent.setBounds (0, 0, 300, 200);
    juce::QELSlider slider;
    slider.initialize (&parent, nullptr, juce::Slider::RotaryVerticalDrag);
    slider.setBounds (100, 50, 60, 60);
    slider.setRange (20.0, 20000.0, 1.0);
    slider.textFromValueFunction = [] (double v)
    { return v >= 1000.0 ? juce::String (v / 1000.0, 1) + " kHz" : juce::String (v) + " Hz"; };
    slider.valueFromTextFunction = [] (const juce::String& t) { return t.getDoubleValue(); };
    slider.setValue (2500.0);

    auto& entry = slider.getTextEntry();
    EXPECT_EQ (entry.getParentComponent(), &parent);
    EXPECT_EQ (entry.getBounds().getWidth(), 40);

    slider.mouseDoubleClick (mouseAt (slider, { 30, 30 }, leftButton(), 2));
    ASSERT_TRUE (entry.isVisible());
    EXPECT_EQ (entry.getText(), "2.5 kHz");
    EXPECT_EQ (entry.getBounds(), juce::Rectangle<int> (110, 66, 40, 28)); // centred on the slider

    slider.textEditorReturnKeyPressed (entry); // unchanged text: 2.5 * 1000
    EXPECT_DOUBLE_EQ (slider.getValue(), 2500.0);
    EXPECT_FALSE (entry.isVisible());

    slider.mouseDoubleClick (mouseAt (slider, { 30, 30 }, leftButton(), 2));
    entry.setText ({}, false);
    entry.insertTextAtCaret ("k1x2a3");
    EXPECT_EQ (entry.getText(), "123");
    slider.textEditorEscapeKeyPressed (entry);
    EXPECT_FALSE (entry.isVisible());
    EXPECT_DOUBLE_EQ (slider.getValue(), 2500.0);

    slider.mouseDoubleClick (mouseAt (slider, { 30, 30 }, leftButton(), 2));
    entry.setText ("25k", false); // as if pasted past the filter: limited by the range
    slider.textEditorReturnKeyPressed (entry);
    EXPECT_DOUBLE_EQ (slider.getValue(), 20000.0);
}

TEST (QELSlider, SpecialTextsReplaceExactValuesOnly)
{
    juce::QELSlider slider;
    slider.setRange (0.0, 10.0, 0.5);
    const auto plain = slider.Slider::getTextFromValue (0.0);
    EXPECT_EQ (slider.getTextFromValue (0.0), plain); // both special texts empty

    slider.specialValue1 = 0.0f;
    slider.specialText1 = "Off";
    slider.specialValue2 = 10.0f;
    slider.specialText2 = "Max";
    EXPECT_EQ (slider.getTextFromValue (0.0), "Off");
    EXPECT_EQ (slider.getTextFromValue (10.0), "Max");
    EXPECT_EQ (slider.getTextFromValue (0.5), slider.Slider::getTextFromValue (0.5));
    EXPECT_DOUBLE_EQ (slider.getValueFromText ("Off"), 0.0);
    EXPECT_DOUBLE_EQ (slider.getValueFromText ("Max"), 10.0);
    EXPECT_DOUBLE_EQ (slider.getValueFromText ("4.5"), 4.5);
}

TEST (QELSlider, HoverPopupWaitsAfterItClosed)
{
    PanelKnob knob;
    auto& s = knob.slider;
    s.mouseMove (mouseAt (s, { 30, 30 }));
    ASSERT_NE (s.getPopup(), nullptr);
    EXPECT_EQ (s.getPopup()->getParentComponent(), &knob.panel);
    EXPECT_FALSE (s.getPopup()->isTimerRunning()); // hide delay -1: stays until the mouse leaves

    s.mouseExit (mouseAt (s, { 70, 30 }));
    EXPECT_EQ (s.getPopup(), nullptr);

    knob.clock.ms += 250.0;
    s.mouseMove (mouseAt (s, { 30, 30 }));
    EXPECT_EQ (s.getPopup(), nullptr);

    knob.clock.ms += 1.0;
    s.mouseMove (mouseAt (s, { 30, 30 }));
    EXPECT_NE (s.getPopup(), nullptr);

    s.popupHideDelayMs = 0;
    s.mouseMove (mouseAt (s, { 30, 31 }));
    ASSERT_NE (s.getPopup(), nullptr);
    EXPECT_EQ (s.getPopup()->getTimerInterval(), 1);
    s.getPopup()->timerCallback();
    EXPECT_EQ (s.getPopup(), nullptr);
}

TEST (QELSlider, PopupShowsOnMouseDownAndFollowsTheValue)
{
    PanelKnob knob;
    auto& s = knob.slider;
    s.mouseDown (mouseAt (s, { 30, 30 }, leftButton()));
    auto* popup = s.getPopup();
    ASSERT_NE (popup, nullptr);
    EXPECT_TRUE (popup->isVisible());
    EXPECT_EQ (popup->getText(), s.getTextFromValue (25.0));

    int w = 0, h = 0;
    popup->getContentSize (w, h);
    EXPECT_EQ (w, popup->getFont().getStringWidth (popup->getText()) + 18);
    EXPECT_EQ (h, (int) (popup->getFont().getHeight() * 1.6f));

    s.mouseDrag (mouseAt (s, { 30, 5 }, leftButton(), 1, { 30, 30 }, true));
    EXPECT_EQ (s.getPopup()->getText(), s.getTextFromValue (s.getValue()));

    s.mouseUp (mouseAt (s, { 30, 5 }, leftButton(), 1, { 30, 30 }, true)); // inside: stays
    EXPECT_NE (s.getPopup(), nullptr);

    s.mouseDown (mouseAt (s, { 30, 30 }, leftButton()));
    s.mouseUp (mouseAt (s, { 30, 60 }, leftButton(), 1, { 30, 30 }, true)); // outside: closes
    EXPECT_EQ (s.getPopup(), nullptr);

    s.popupHeightFactor = 2.0f;
    s.showPopupDisplay();
    s.getPopup()->getContentSize (w, h);
    EXPECT_EQ (h, (int) (2.0f * s.getPopup()->getFont().getHeight() * 1.6f));
}

TEST (QELSlider, HitBoxIsStrict)
{
    juce::QELSlider slider;
    slider.setBounds (0, 0, 40, 30);
    slider.useHitBox = true;
    struct Case
    {
        int x, y;
        bool hits;
    };
    for (auto c : { Case { 0, 10, false }, Case { 10, 0, false }, Case { 39, 29, true }, Case { 1, 1, true },
                    Case { 40, 10, false } })
        EXPECT_EQ (slider.hitTest (c.x, c.y), c.hits) << c.x << "," << c.y;

    slider.hitBoxLeft = 5;
    slider.hitBoxTop = -3;
    slider.hitBoxRight = 4;
    EXPECT_FALSE (slider.hitTest (5, 10));
    EXPECT_TRUE (slider.hitTest (6, 0));
    EXPECT_TRUE (slider.hitTest (43, 10));
}

TEST (QELSlider, TwoValuePopupSwitchesThumbAfterTheWait)
{
    juce::Component parent;
    parent.setBounds (0, 0, 400, 100);
    ManualClock clock;
    juce::QELSlider slider;
    slider.initialize (&parent, nullptr, juce::Slider::TwoValueHorizontal);
    slider.setBounds (0, 0, 200, 40);
    slider.setRange (0.0, 100.0, 1.0);
    slider.setMinAndMaxValues (20.0, 80.0);
    slider.popupEnabled = true;
    slider.popupParent = &parent;
    slider.clock = clock.function();

    slider.mouseMove (mouseAt (slider, { 30, 20 }));
    EXPECT_EQ (slider.hoveredThumb, 1);
    ASSERT_NE (slider.getPopup(), nullptr);
    EXPECT_EQ (slider.getPopup()->getText(), slider.getTextFromValue (20.0));

    slider.mouseMove (mouseAt (slider, { 150, 20 }));
    EXPECT_EQ (slider.hoveredThumb, 2);
    EXPECT_EQ (slider.getPopup(), nullptr);

    clock.ms += 251.0;
    slider.mouseMove (mouseAt (slider, { 151, 20 }));
    ASSERT_NE (slider.getPopup(), nullptr);
    EXPECT_EQ (slider.getPopup()->getText(), slider.getTextFromValue (80.0));
}

TEST (QELSlider, ContextMenuAndMidiLearn)
{
    ParameterHost host;
    juce::QELSlider slider;
    juce::QELSlider::SliderAttachment attachment (host.state, "paramCompress", slider);
    bool locked = true;
    int lockToggles = 0;
    std::vector<juce::QELMidiMapping> learnt;
    slider.lockItemEnabled = true;
    slider.isParameterLocked = [&] { return locked; };
    slider.onLockToggle = [&] { ++lockToggles; };
    slider.setOnParamMidiLearn (true, [&] (juce::QELMidiMapping m) { learnt.push_back (m); });

    slider.buildContextMenu();
    std::vector<std::tuple<int, juce::String, bool>> items;
    for (juce::PopupMenu::MenuItemIterator it (slider.contextMenu); it.next();)
    {
        const auto& item = it.getItem();
        if (! item.isSeparator)
            items.emplace_back (item.itemID, item.text, item.isTicked);
    }
    const std::vector<std::tuple<int, juce::String, bool>> expected {
        { 0, "Param: Compress Amount Of The Fast ", false }, // the name cut to 28 characters
        { 101, "Lock parameter", true },
        { 100, "MIDI learn...", false },
    };
    EXPECT_EQ (items, expected);

    slider.handleContextMenuResult (101);
    slider.handleContextMenuResult (100);
    slider.handleContextMenuResult (7);
    EXPECT_EQ (lockToggles, 1);
    ASSERT_EQ (learnt.size(), 1u);
    const auto& m = learnt.front();
    EXPECT_EQ (m.type, 1);
    EXPECT_EQ (m.signal, 0);
    EXPECT_EQ (m.data1, "paramCompress");
    EXPECT_EQ (m.custom_value, -1);
    EXPECT_EQ (m.number, -1);
    EXPECT_EQ (m.lastValue, -1);
    EXPECT_FALSE (m.is_momentary);
}

TEST (QELSlider, ModifierChangesReachTheParent)
{
    struct Panel : juce::Component
    {
        void modifierKeysChanged (const ModifierKeys& m) override { seen = m; }
        ModifierKeys seen;
    } panel;
    juce::QELSlider slider;
    slider.initialize (&panel, nullptr, juce::Slider::RotaryVerticalDrag);
    slider.modifierKeysChanged (ModifierKeys (ModifierKeys::shiftModifier));
    EXPECT_TRUE (panel.seen.isShiftDown());
}
