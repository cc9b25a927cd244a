#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace widget_test
{
/** A synthesized mouse event at a position of a component (headless tests never get real ones). */
inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> pos, juce::ModifierKeys mods = {},
                                 int clicks = 1, juce::Point<float> downPos = { -1.0f, -1.0f }, bool dragged = false)
{
    const auto now = juce::Time::getCurrentTime();
    if (downPos.x < 0.0f)
        downPos = pos;
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                             &c, &c, now, downPos, now, clicks, dragged);
}

inline juce::ModifierKeys leftButton (int extra = 0)
{
    return juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier | extra);
}

/** A processor that only holds parameters: the host side of the control tests. */
class StubHostProcessor : public juce::AudioProcessor
{
public:
    const juce::String getName() const override { return "host"; }
    void prepareToPlay (double, int) override {}
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock&) override {}
    void setStateInformation (const void*, int) override {}
};

/** A processor with one value-tree state holding two float parameters, recording what a host would
    see of the first one: gestures and values. */
class ParameterHost : public StubHostProcessor, private juce::AudioProcessorParameter::Listener
{
public:
    ParameterHost()
        : state (*this, nullptr, "state",
                 { std::make_unique<juce::AudioParameterFloat> (
                       juce::ParameterID { "paramCompress", 1 }, "Compress Amount Of The Fast Compressor",
                       juce::NormalisableRange<float> (0.0f, 100.0f, 0.1f), 25.0f),
                   std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "paramQ", 1 }, "Q",
                                                                juce::NormalisableRange<float> (0.1f, 10.0f, 0.01f),
                                                                0.71f) })
    {
        for (auto* p : getParameters())
            p->addListener (this);
    }

    ~ParameterHost() override
    {
        for (auto* p : getParameters())
            p->removeListener (this);
    }

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *state.getParameter (id); }

    /** "begin", "end" and "value" entries, in the order the host got them. */
    std::vector<juce::String> events;
    std::vector<float> values; // denormalised

    juce::AudioProcessorValueTreeState state;

private:
    void parameterValueChanged (int index, float newValue) override
    {
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (getParameters()[index]);
        events.push_back ("value");
        values.push_back (p->convertFrom0to1 (newValue));
    }

    void parameterGestureChanged (int, bool starting) override { events.push_back (starting ? "begin" : "end"); }
};

/** A clock the tests move by hand. */
struct ManualClock
{
    double ms = 10000.0;
    std::function<double()> function()
    {
        return [this] { return ms; };
    }
};
} // namespace widget_test
