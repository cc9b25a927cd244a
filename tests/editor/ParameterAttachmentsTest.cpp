#include "editor/ParameterAttachments.h"
#include "editor/GuiTestSupport.h"
#include "editor/QELComboBoxComponent.h"
#include "editor/QELSlider.h"
#include "editor/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
using widget_test::leftButton;
using widget_test::mouseAt;

/** A processor with one parameter of each kind a control attaches to, recording what a host hears of them. */
class AttachmentHost : public widget_test::StubHostProcessor, private juce::AudioProcessorParameter::Listener
{
public:
    AttachmentHost()
        : state (*this, nullptr, "state",
                 { std::make_unique<juce::AudioParameterFloat> (
                       juce::ParameterID { "level", 1 }, "Level", juce::NormalisableRange<float> (-24.0f, 24.0f, 0.5f),
                       0.0f,
                       juce::AudioParameterFloatAttributes().withStringFromValueFunction (
                           [] (float v, int) { return juce::String (v, 1) + " dB"; })),
                   std::make_unique<juce::AudioParameterFloat> (
                       juce::ParameterID { "freq", 1 }, "Frequency",
                       juce::NormalisableRange<float> (20.0f, 20000.0f, 1.0f, 0.25f), 1000.0f),
                   std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "on", 1 }, "On", false),
                   std::make_unique<juce::AudioParameterChoice> (
                       juce::ParameterID { "type", 1 }, "Type", juce::StringArray { "Room", "Hall", "Plate", "Spring" },
                       0) })
    {
        for (auto* p : getParameters())
            p->addListener (this);
    }

    ~AttachmentHost() override
    {
        for (auto* p : getParameters())
            p->removeListener (this);
    }

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *state.getParameter (id); }

    float plain (const juce::String& id) { return parameter (id).convertFrom0to1 (parameter (id).getValue()); }

    /** Sets plain values the way the VST3 wrapper delivers a host's automation: on the audio thread, value then
        listeners, one after another. */
    void automate (std::vector<std::pair<juce::String, float>> changes)
    {
        std::thread audio (
            [this, &changes]
            {
                for (const auto& [id, value] : changes)
                {
                    const float normalised = parameter (id).convertTo0to1 (value);
                    parameter (id).setValue (normalised);
                    parameter (id).sendValueChangedMessageToListeners (normalised);
                }
            });
        audio.join();
        events.clear();
    }

    /** "begin", "value" and "end" entries, in the order the host got them. */
    std::vector<juce::String> events;

    juce::AudioProcessorValueTreeState state;

private:
    void parameterValueChanged (int, float) override { events.push_back ("value"); }
    void parameterGestureChanged (int, bool starting) override { events.push_back (starting ? "begin" : "end"); }
};

/** Two sliders, a toggle and a box, attached to the host's parameters as the product's panels attach theirs. */
struct Controls
{
    explicit Controls (AttachmentHost& h) : host (h)
    {
        for (auto* name : { "Room", "Hall", "Plate", "Spring" })
            box.addItem (name, box.getNumItems() + 1);
        level.setBounds (0, 0, 60, 60);
        toggle.setBounds (0, 0, 80, 30);
        level.setSliderStyle (juce::Slider::RotaryVerticalDrag);
        level.setMouseDragSensitivity (100);
        attachments.levelAttachment = std::make_unique<QEL::SliderAttachment> (h.state, "level", level);
        attachments.freqAttachment = std::make_unique<QEL::SliderAttachment> (h.state, "freq", freq);
        attachments.toggleAttachment = std::make_unique<QEL::ButtonAttachment> (h.state, "on", toggle);
        attachments.boxAttachment = std::make_unique<QEL::ComboBoxAttachment> (h.state, "type", box);
        host.events.clear();
    }

    AttachmentHost& host;
    juce::Slider level, freq;
    juce::ToggleButton toggle;
    juce::ComboBox box;

    struct
    {
        std::unique_ptr<QEL::SliderAttachment> levelAttachment, freqAttachment;
        std::unique_ptr<QEL::ButtonAttachment> toggleAttachment;
        std::unique_ptr<QEL::ComboBoxAttachment> boxAttachment;
    } attachments;
};

bool isOneGesture (const std::vector<juce::String>& events)
{
    return events.size() >= 3 && events.front() == "begin" && events.back() == "end" &&
           std::count (events.begin(), events.end(), "begin") == 1 &&
           std::count (events.begin(), events.end(), "end") == 1;
}
} // namespace

// A host's automation on the audio thread leaves every control alone there; the message thread's next ticks show
// the latest value of each, with the parameter's text.
TEST (ParameterAttachments, AutomationFromTheAudioThreadShowsOnceTheMessageLoopRuns)
{
    AttachmentHost host;
    Controls controls (host);

    std::vector<std::pair<juce::String, float>> changes;
    for (int i = 0; i < 100; ++i) // a ramp: only where it ends counts
        changes.emplace_back ("level", -24.0f + 0.5f * (float) i);
    changes.emplace_back ("level", 6.0f);
    changes.emplace_back ("freq", 5000.0f);
    changes.emplace_back ("on", 1.0f);
    changes.emplace_back ("type", 2.0f);
    host.automate (changes);

    EXPECT_EQ (controls.level.getValue(), 0.0);
    EXPECT_EQ (controls.freq.getValue(), 1000.0);
    EXPECT_FALSE (controls.toggle.getToggleState());
    EXPECT_EQ (controls.box.getSelectedItemIndex(), 0);

    ASSERT_TRUE (gui_test::pumpUntil ([&] { return controls.box.getText() == "Plate"; }));

    EXPECT_EQ (controls.level.getValue(), 6.0);
    EXPECT_EQ (controls.level.getTextFromValue (controls.level.getValue()), "6.0 dB");
    EXPECT_EQ (controls.freq.getValue(), 5000.0);
    EXPECT_TRUE (controls.toggle.getToggleState());
    EXPECT_EQ (controls.box.getText(), "Plate");
    EXPECT_TRUE (host.events.empty()) << "showing a value sends nothing back to the host";

    host.automate ({ { "on", 0.0f }, { "type", 3.0f } });
    ASSERT_TRUE (gui_test::pumpUntil ([&] { return controls.box.getText() == "Spring"; }));
    EXPECT_FALSE (controls.toggle.getToggleState());
    EXPECT_EQ (controls.box.getText(), "Spring");
}

// The person's own moves reach the host as one gesture each, with the value the control shows.
TEST (ParameterAttachments, UserMovesAreOneGestureWithTheValue)
{
    AttachmentHost host;
    Controls controls (host);
    auto& knob = controls.level;
    const juce::Point<float> down { 30.0f, 50.0f };

    knob.mouseDown (mouseAt (knob, down, leftButton()));
    for (const float y : { 45.0f, 40.0f, 25.0f })
        knob.mouseDrag (mouseAt (knob, { 30.0f, y }, leftButton(), 1, down, true));
    knob.mouseUp (mouseAt (knob, { 30.0f, 25.0f }, leftButton(), 1, down, true));

    EXPECT_TRUE (isOneGesture (host.events))
        << juce::StringArray (host.events.data(), (int) host.events.size()).joinIntoString (" ");
    EXPECT_GT (knob.getValue(), 0.0);
    EXPECT_FLOAT_EQ (host.plain ("level"), (float) knob.getValue());

    host.events.clear();
    controls.toggle.triggerClick(); // a click, delivered by the message loop
    gui_test::pump (5);
    EXPECT_EQ (host.events, (std::vector<juce::String> { "begin", "value", "end" }));
    EXPECT_EQ (host.plain ("on"), 1.0f);

    host.events.clear();
    controls.box.setSelectedItemIndex (1, juce::sendNotificationSync); // what a choice in the popup does
    EXPECT_EQ (host.events, (std::vector<juce::String> { "begin", "value", "end" }));
    EXPECT_EQ (host.plain ("type"), 1.0f);

    // A move to the value the parameter holds already tells the host nothing.
    host.events.clear();
    controls.box.setSelectedItemIndex (1, juce::sendNotificationSync);
    knob.setValue (knob.getValue(), juce::sendNotificationSync);
    EXPECT_TRUE (host.events.empty());
}

// The slider takes the parameter's mapping (a skewed range keeps its skew), default and text both ways.
TEST (ParameterAttachments, SliderTakesTheParametersRangeDefaultAndText)
{
    AttachmentHost host;
    Controls controls (host);
    auto& freq = host.parameter ("freq");

    for (const float hz : { 20.0f, 100.0f, 1000.0f, 8000.0f, 20000.0f })
        EXPECT_NEAR (controls.freq.valueToProportionOfLength (hz), freq.convertTo0to1 (hz), 1e-6) << hz;
    EXPECT_EQ (controls.freq.getDoubleClickReturnValue(), 1000.0);
    EXPECT_EQ (controls.level.getValueFromText ("-6.5"), -6.5);
    EXPECT_EQ (controls.level.getTextFromValue (-6.5), "-6.5 dB");
    EXPECT_EQ (controls.level.getInterval(), 0.5);
}

// An attachment destroyed while a value waits for the message thread shows nothing afterwards; the control stays
// as it was, and a new attachment shows the current value at once.
TEST (ParameterAttachments, NothingArrivesAfterTheAttachmentIsGone)
{
    AttachmentHost host;
    Controls controls (host);
    host.automate ({ { "level", 12.0f }, { "on", 1.0f }, { "type", 3.0f } });

    controls.attachments.levelAttachment.reset();
    controls.attachments.toggleAttachment.reset();
    controls.attachments.boxAttachment.reset();
    gui_test::pump (40);

    EXPECT_EQ (controls.level.getValue(), 0.0);
    EXPECT_FALSE (controls.toggle.getToggleState());
    EXPECT_EQ (controls.box.getSelectedItemIndex(), 0);

    QEL::SliderAttachment again (host.state, "level", controls.level);
    EXPECT_EQ (controls.level.getValue(), 12.0);
}

// The product's derived attachments keep their extra part: the control learns its parameter.
TEST (ParameterAttachments, DerivedAttachmentsHandTheParameterToTheControl)
{
    AttachmentHost host;
    juce::QELSlider slider;
    qel::ComboBoxComponent box;
    for (auto* name : { "Room", "Hall", "Plate", "Spring" })
        box.addItem (name, box.getNumItems() + 1);

    juce::QELSlider::SliderAttachment sliderAttachment (host.state, "level", slider);
    qel::ComboBoxComponent::Attachment boxAttachment (host.state, "type", box);
    EXPECT_EQ (slider.getParameter(), &host.parameter ("level"));
    EXPECT_EQ (box.getParameter(), &host.parameter ("type"));
    EXPECT_FALSE (slider.isDoubleClickReturnEnabled());

    host.automate ({ { "level", -3.0f }, { "type", 1.0f } });
    ASSERT_TRUE (gui_test::pumpUntil ([&] { return box.getText() == "Hall"; }));
    EXPECT_EQ (slider.getValue(), -3.0);
    EXPECT_EQ (box.getText(), "Hall");
}
