#pragma once

#include "TestSandbox.h"
#include "core/Params.h"
#include "core/PluginProcessor.h"
#include "editor/GuiTestSupport.h"
#include "editor/QELComponentInitializer.h"
#include "editor/QELSlider.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace panel_test
{
/** What a host hears of one parameter: "begin", "value" and "end", in order. */
struct HostRecorder : private juce::AudioProcessorParameter::Listener
{
    explicit HostRecorder (juce::AudioProcessorParameter& p) : parameter (p) { parameter.addListener (this); }
    ~HostRecorder() override { parameter.removeListener (this); }

    juce::AudioProcessorParameter& parameter;
    std::vector<juce::String> events;

private:
    void parameterValueChanged (int, float) override { events.push_back ("value"); }
    void parameterGestureChanged (int, bool starting) override { events.push_back (starting ? "begin" : "end"); }
};

/** A processor in a sandbox, and the editor's slider hook, for building panels without an editor. */
struct PanelTest : ::testing::Test
{
    test_support::Sandbox sandbox;
    std::unique_ptr<OrvaneTessaroAudioProcessor> processor = std::make_unique<OrvaneTessaroAudioProcessor>();
    juce::AudioProcessorValueTreeState& state = processor->parameters;
    QELComponentInitializer initializer { [] (juce::QELSlider& slider, juce::Component* parent,
                                              juce::LookAndFeel* lookAndFeel, juce::Slider::SliderStyle style)
                                          { slider.initialize (parent, lookAndFeel, style); },
                                          {} };

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *state.getParameter (id); }

    /** The parameter's unnormalised value. */
    float valueOf (const juce::String& id) { return parameter (id).convertFrom0to1 (parameter (id).getValue()); }

    /** Sets an unnormalised value as the host does, on this thread. */
    void set (const juce::String& id, float value)
    {
        parameter (id).setValueNotifyingHost (parameter (id).convertTo0to1 (value));
    }

    /** Sets an unnormalised value as host automation does, from another thread. */
    void setFromAnotherThread (const juce::String& id, float value)
    {
        std::thread ([this, id, value] { set (id, value); }).join();
    }

    void TearDown() override { gui_test::pump (5); }
};
} // namespace panel_test
