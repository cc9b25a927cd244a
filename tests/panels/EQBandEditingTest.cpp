// An EQ view's reports become parameter changes inside change gestures, as a host records them:
//
//   press on the handle, drag, drag, release  ->  begin, value, value, end   (per moved parameter)
//   wheel step / double click                 ->  begin, value, end

#include "EQViewTestSupport.h"
#include "TestSandbox.h"
#include "core/Params.h"
#include "core/PluginProcessor.h"
#include "panels/EQBandEditing.h"
#include "panels/EQBandFeed.h"
#include "panels/EQComponent.h"

#include <gtest/gtest.h>

using eq_view_test::event;
using namespace Params;

namespace
{
/** What a host sees of the processor's parameters: "begin", "end" or a value, per parameter ID. */
struct HostLog : juce::AudioProcessorListener
{
    explicit HostLog (OrvaneTessaroAudioProcessor& p) : processor (p) { p.addListener (this); }
    ~HostLog() override { processor.removeListener (this); }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { add (index, "value"); }
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override { add (index, "begin"); }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override { add (index, "end"); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    void add (int index, const char* what)
    {
        const auto id = dynamic_cast<juce::AudioProcessorParameterWithID*> (processor.getParameters()[index])->paramID;
        events[id].add (what);
    }
    juce::String of (const juce::String& id) { return events[id].joinIntoString (" "); }

    OrvaneTessaroAudioProcessor& processor;
    std::map<juce::String, juce::StringArray> events;
};

struct Fixture
{
    Fixture()
    {
        view.setSize (182, 72);
        view.lockFrequencyModifiers = 1;
        view.lockGainModifiers = 5;
        refresh();
    }
    void refresh()
    {
        tessaro::gui::EQBandFeed::refresh (view, processor, tessaro::gui::EQBandSlot::mid);
        view.recomputeCurves();
    }
    float value (const juce::String& id) { return processor.parameters.getRawParameterValue (id)->load(); }

    /** Press on the band's handle, drag through the points, release. */
    void drag (std::initializer_list<juce::Point<float>> points, juce::ModifierKeys keys = {})
    {
        const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
        const auto handle = view.handlePoint (*view.bands[0]);
        view.mouseDown (event (view, handle, left));
        for (auto p : points)
            view.mouseDrag (event (view, p, keys.withFlags (juce::ModifierKeys::leftButtonModifier), handle, true));
        const auto up = event (view, handle, keys);
        view.mouseUp (up);
        editing.mouseUp (up);
    }

    test_support::Sandbox sandbox;
    OrvaneTessaroAudioProcessor processor;
    tessaro::gui::EQComponent view { { 0.707f, 3.5f, 0.01f } };
    tessaro::gui::EQBandEditing editing { processor.parameters, view, paramEQMidGain, paramEQMidFreq, paramEQMidQ };
};
} // namespace

TEST (EQBandEditing, ADragIsOneGesturePerMovedParameter)
{
    Fixture f;
    HostLog host (f.processor);
    f.drag ({ { 141.25f, 49.6f }, { 141.25f, 22.4f } }); // 5 kHz, -6 dB, then +6 dB

    EXPECT_EQ (host.of (paramEQMidFreq), "begin value value end");
    EXPECT_EQ (host.of (paramEQMidGain), "begin value value end");
    EXPECT_NEAR (f.value (paramEQMidFreq), 5000.0f, 5.0f);
    EXPECT_FLOAT_EQ (f.value (paramEQMidGain), 6.0f);
    EXPECT_EQ (host.of (paramEQMidQ), "");
}

TEST (EQBandEditing, ShiftKeepsTheFrequencyAndShiftAltTheGain)
{
    Fixture f;
    {
        HostLog host (f.processor);
        f.drag ({ { 20.0f, 10.0f } }, juce::ModifierKeys (juce::ModifierKeys::shiftModifier));
        EXPECT_EQ (host.of (paramEQMidFreq), "");
        EXPECT_EQ (host.of (paramEQMidGain), "begin value end");
        EXPECT_FLOAT_EQ (f.value (paramEQMidGain), 11.5f);
    }
    f.refresh();
    {
        HostLog host (f.processor);
        f.drag ({ { 20.0f, 60.0f } }, juce::ModifierKeys (juce::ModifierKeys::shiftModifier | juce::ModifierKeys::altModifier));
        EXPECT_EQ (host.of (paramEQMidGain), "");
        EXPECT_EQ (host.of (paramEQMidFreq), "begin value end");
    }
}

TEST (EQBandEditing, EdgesClampAndAReportedSilenceWritesTheLowestGain)
{
    Fixture f;
    f.drag ({ { -50.0f, 500.0f } });
    EXPECT_FLOAT_EQ (f.value (paramEQMidFreq), 20.0f);
    EXPECT_FLOAT_EQ (f.value (paramEQMidGain), -15.0f);

    f.refresh();
    f.drag ({ { 500.0f, -50.0f } });
    EXPECT_FLOAT_EQ (f.value (paramEQMidFreq), 20000.0f);
    EXPECT_FLOAT_EQ (f.value (paramEQMidGain), 15.0f);

    // The panel's own conversions: linear 2.0 is 6.0206 dB, stored on the 0.1 dB grid; 0 is -100 dB.
    f.editing.setGain (2.0f);
    EXPECT_FLOAT_EQ (f.value (paramEQMidGain), 6.0f);
    f.editing.setGain (0.0f);
    EXPECT_FLOAT_EQ (f.value (paramEQMidGain), -15.0f);
}

TEST (EQBandEditing, WheelStepsAndDoubleClicksAreGesturesOfTheirOwn)
{
    Fixture f;
    auto* q = f.processor.parameters.getParameter (paramEQMidQ);
    HostLog host (f.processor);

    const float before = q->getValue();
    f.view.hoveredBand = 0;
    juce::MouseWheelDetails wheel {};
    wheel.deltaY = 0.2f;
    f.view.mouseWheelMove (event (f.view, { 100.0f, 36.0f }), wheel);
    EXPECT_EQ (host.of (paramEQMidQ), "begin value end");
    EXPECT_NEAR (q->getValue(), before + 0.02f, 0.002f) << "the nearest 0.01 of Q";

    q->setValueNotifyingHost (0.995f);
    f.editing.setQ (0.02f, true);
    EXPECT_FLOAT_EQ (q->getValue(), 1.0f);

    // Double click: gain and frequency back to 0 dB and 1 kHz, Q kept.
    f.editing.setGain (2.0f);
    f.editing.setFrequency (3000.0f);
    f.refresh();
    host.events.clear();
    const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    const auto handle = f.view.handlePoint (*f.view.bands[0]);
    f.view.mouseDown (event (f.view, handle, left));
    f.view.mouseDoubleClick (event (f.view, handle, left, {}, false, 2));
    EXPECT_EQ (host.of (paramEQMidGain), "begin value end");
    EXPECT_EQ (host.of (paramEQMidFreq), "begin value end");
    EXPECT_EQ (host.of (paramEQMidQ), "");
    EXPECT_FLOAT_EQ (f.value (paramEQMidGain), 0.0f);
    EXPECT_FLOAT_EQ (f.value (paramEQMidFreq), 1000.0f);
    EXPECT_FLOAT_EQ (q->getValue(), 1.0f);
}

TEST (EQBandEditing, TheViewFollowsTheParametersAtTheNextRefresh)
{
    Fixture f;
    f.processor.parameters.getParameter (paramEQMidGain)->setValueNotifyingHost (
        f.processor.parameters.getParameter (paramEQMidGain)->convertTo0to1 (6.0f));
    f.processor.parameters.getParameter (paramEQMidFreq)->setValueNotifyingHost (
        f.processor.parameters.getParameter (paramEQMidFreq)->convertTo0to1 (2000.0f));
    f.refresh();
    EXPECT_FLOAT_EQ (f.view.bands[0]->frequency, 2000.0f);
    EXPECT_NEAR (f.view.bands[0]->gain, 1.995f, 0.001f);
}
