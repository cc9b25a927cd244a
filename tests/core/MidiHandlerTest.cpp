#include "core/ProcessorFixture.h"
#include "presets/MidiMappingFixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace state_test;
using Mapping = juce::QELMidiMapping;

namespace
{
constexpr int parameterType = Mapping::parameterType;
constexpr int liveType = Mapping::liveType;
constexpr int presetType = Mapping::presetType;
constexpr int controller = Mapping::controlChangeSignal;
constexpr int program = Mapping::programChangeSignal;
constexpr int note = Mapping::noteSignal;

/** A template as the editor arms it: type and target, signal and number still open. */
Mapping learnTemplate (int type, const juce::String& data1, bool momentary = false)
{
    return makeMapping (type, 0, data1, -1, -1, momentary);
}

juce::MidiBuffer midi (std::initializer_list<juce::MidiMessage> messages)
{
    juce::MidiBuffer buffer;
    int position = 0;
    for (const auto& message : messages)
        buffer.addEvent (message, position++);
    return buffer;
}

juce::MidiMessage noteOn (int number, int velocity, int channel = 1)
{
    return juce::MidiMessage::noteOn (channel, number, (juce::uint8) velocity);
}

juce::MidiMessage noteOff (int number)
{
    return juce::MidiMessage::noteOff (1, number);
}

juce::MidiMessage cc (int number, int value, int channel = 1)
{
    return juce::MidiMessage::controllerEvent (channel, number, value);
}

juce::MidiMessage pc (int number)
{
    return juce::MidiMessage::programChange (1, number);
}

/** Records the values a parameter announces, in order. */
struct ValueRecorder : public juce::AudioProcessorParameter::Listener
{
    explicit ValueRecorder (juce::AudioProcessorParameter& p) : parameter (p) { parameter.addListener (this); }
    ~ValueRecorder() override { parameter.removeListener (this); }

    void parameterValueChanged (int, float newValue) override { values.push_back (newValue); }
    void parameterGestureChanged (int, bool) override {}

    juce::AudioProcessorParameter& parameter;
    std::vector<float> values;
};

struct CountingMappingsListener : public juce::QELMidiMappingsModel::Listener
{
    void onMappingsChange() override { ++changes; }
    int changes = 0;
};

class MidiHandlerTest : public ::testing::Test
{
protected:
    MidiHandlerTest()
    {
        deliverPostedCalls();
        processor->midiMappingsModel->addListener (&mappingsListener);
    }
    ~MidiHandlerTest() override { processor->midiMappingsModel->removeListener (&mappingsListener); }

    void send (juce::MidiBuffer buffer) { processor->handleMidiEvents (buffer); }

    void addMapping (const Mapping& m)
    {
        processor->midiMappingsModel->addNewMapping (m, juce::QELMidiMappingsModel::silent);
    }

    void startLearning (const Mapping& templ, bool replaces = false, bool noteFullValue = false)
    {
        processor->midiLearnMapping = templ;
        processor->midiLearnReplaces = replaces;
        processor->midiLearnNoteFullValue = noteFullValue;
        processor->midiLearnActive = true;
    }

    const juce::OwnedArray<Mapping>& mappings() const { return processor->midiMappingsModel->mappings; }

    float normalised (const juce::String& id) const { return processor->parameters.getParameter (id)->getValue(); }

    /** A preset whose content differs from the defaults. */
    juce::File distinctPreset() const
    {
        auto source = makeProcessor();
        applyDistinctValues (*source);
        return writeXml (sandbox.folder.getChildFile ("presets/Distinct.orvane"), *source->getPluginState());
    }

    Sandbox sandbox;
    std::unique_ptr<Processor> processor = makeProcessor();
    CountingMappingsListener mappingsListener;
};
} // namespace

//==============================================================================
TEST_F (MidiHandlerTest, NoteOnLearnsANoteMappingAndEndsLearning)
{
    for (const bool momentary : { false, true })
    {
        SCOPED_TRACE (momentary ? "momentary" : "latching");
        processor->midiMappingsModel->mappings.clear();
        setValue (*processor, "paramGainDrive", 40.0f);
        startLearning (learnTemplate (parameterType, "paramGainDrive", momentary));

        send (midi ({ noteOn (60, 100, 5) }));

        ASSERT_EQ (mappings().size(), 1);
        const auto& learned = *mappings()[0];
        EXPECT_EQ (learned.type, parameterType);
        EXPECT_EQ (learned.signal, note);
        EXPECT_EQ (learned.number, 60);
        EXPECT_EQ (learned.data1, "paramGainDrive");
        EXPECT_EQ (learned.custom_value, -1);
        EXPECT_EQ (learned.is_momentary, momentary);
        EXPECT_FALSE (processor->midiLearnActive);
        EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 40.0f) << "the learning note applies nothing";

        // The editor shows what was learned from the template.
        EXPECT_EQ (processor->midiLearnMapping.signal, note);
        EXPECT_EQ (processor->midiLearnMapping.number, 60);

        send (midi ({ noteOff (60) }));
        EXPECT_EQ (valueOf (*processor, "paramGainDrive"), momentary ? 0.0f : 40.0f);
    }
}

TEST_F (MidiHandlerTest, LearningPostsOneChangeNotificationPerLearnedMapping)
{
    startLearning (learnTemplate (parameterType, "paramMix"));
    send (midi ({ cc (11, 64) }));
    EXPECT_EQ (mappingsListener.changes, 0) << "posted, not called at once";

    deliverPostedCalls();
    EXPECT_EQ (mappingsListener.changes, 1);
}

TEST_F (MidiHandlerTest, FullValueGivesLearnedNotesTheValueOneButNotControllers)
{
    startLearning (learnTemplate (parameterType, "paramMix"), false, true);
    send (midi ({ noteOn (61, 20) }));
    startLearning (learnTemplate (parameterType, "paramGainDrive"), false, true);
    send (midi ({ cc (12, 20) }));

    ASSERT_EQ (mappings().size(), 2);
    EXPECT_EQ (mappings()[0]->custom_value, 1);
    EXPECT_EQ (mappings()[1]->signal, controller);
    EXPECT_EQ (mappings()[1]->number, 12);
    EXPECT_EQ (mappings()[1]->custom_value, -1);
}

TEST_F (MidiHandlerTest, ProgramChangeIsLearnedOnlyForLiveTemplates)
{
    startLearning (learnTemplate (parameterType, "paramMix"));
    send (midi ({ pc (5), noteOff (60), noteOn (60, 0) }));
    EXPECT_TRUE (processor->midiLearnActive) << "ignored; learning goes on";
    EXPECT_EQ (mappings().size(), 0);

    startLearning (learnTemplate (liveType, juce::LIVE_NEXT_GROUP_MAPPING));
    send (midi ({ pc (5) }));
    EXPECT_FALSE (processor->midiLearnActive);
    ASSERT_EQ (mappings().size(), 1);
    EXPECT_EQ (mappings()[0]->type, liveType);
    EXPECT_EQ (mappings()[0]->signal, program);
    EXPECT_EQ (mappings()[0]->number, 5);
    EXPECT_EQ (mappings()[0]->data1, "liveNextGroup");
}

TEST_F (MidiHandlerTest, ReplacingLearnRemovesTheParametersEarlierMappings)
{
    struct Case
    {
        bool replaces;
        juce::StringArray expectedList; // "data1/signal/number"
        int notifications;
    };
    const Case cases[] = {
        { true, { "paramGainDrive/1/2", "liveNextGroup/1/3", "paramMix/1/5" }, 2 },
        { false, { "paramMix/1/1", "paramGainDrive/1/2", "paramMix/3/40", "liveNextGroup/1/3", "paramMix/1/5" }, 1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.replaces ? "replacing" : "adding");
        processor->midiMappingsModel->mappings.clear();
        deliverPostedCalls();
        mappingsListener.changes = 0;

        addMapping (makeMapping (parameterType, controller, "paramMix", 1));
        addMapping (makeMapping (parameterType, controller, "paramGainDrive", 2));
        addMapping (makeMapping (parameterType, note, "paramMix", 40));
        addMapping (makeMapping (liveType, controller, juce::LIVE_NEXT_GROUP_MAPPING, 3));

        startLearning (learnTemplate (parameterType, "paramMix"), c.replaces);
        send (midi ({ cc (5, 1) }));
        deliverPostedCalls();

        juce::StringArray list;
        for (const auto* m : mappings())
            list.add (m->data1 + "/" + juce::String (m->signal) + "/" + juce::String (m->number));
        EXPECT_EQ (list.joinIntoString (" "), c.expectedList.joinIntoString (" "));
        EXPECT_EQ (mappingsListener.changes, c.notifications);
    }
}

TEST_F (MidiHandlerTest, ReplacingLearnNotifiesEvenWhenNothingWasRemoved)
{
    startLearning (learnTemplate (parameterType, "paramMix"), true);
    send (midi ({ noteOn (70, 90) }));
    deliverPostedCalls();
    EXPECT_EQ (mappingsListener.changes, 2);
    EXPECT_EQ (mappings().size(), 1);
}

//==============================================================================
TEST_F (MidiHandlerTest, NoteVelocityIsScaledBy126AndClamped)
{
    // velocity -> normalised value of "Gain - Drive" (0..100)
    const std::pair<int, float> cases[] = { { 63, 0.5f }, { 126, 1.0f }, { 127, 1.0f }, { 21, 0.1666f } };
    addMapping (makeMapping (parameterType, note, "paramGainDrive", 60));

    for (const auto& [velocity, expected] : cases)
    {
        setValue (*processor, "paramGainDrive", 90.0f);
        send (midi ({ noteOn (60, velocity, 9) }));
        EXPECT_NEAR (normalised ("paramGainDrive"), expected, 0.001f) << "velocity " << velocity;
    }
}

TEST_F (MidiHandlerTest, CustomValueOverridesTheIncomingValue)
{
    addMapping (makeMapping (parameterType, note, "paramGainDrive", 60, 0));
    addMapping (makeMapping (parameterType, controller, "paramMix", 7, 0));
    setValue (*processor, "paramGainDrive", 50.0f);

    send (midi ({ noteOn (60, 127), cc (7, 127) }));

    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 0.0f);
    EXPECT_EQ (valueOf (*processor, "paramMix"), 0.0f);
}

TEST_F (MidiHandlerTest, MomentaryNoteReturnsToZeroOnEitherKindOfNoteOff)
{
    addMapping (makeMapping (parameterType, note, "paramGainDrive", 60, -1, true));
    addMapping (makeMapping (parameterType, note, "paramMix", 60, -1, false));

    send (midi ({ noteOn (60, 126) }));
    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 100.0f);
    send (midi ({ noteOff (60) }));
    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 0.0f);

    send (midi ({ noteOn (60, 63) }));
    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 50.0f);
    send (midi ({ noteOn (60, 0) }));
    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 0.0f);

    EXPECT_EQ (valueOf (*processor, "paramMix"), 50.0f) << "a latching mapping ignores the note off";
    send (midi ({ noteOff (61) }));
}

TEST_F (MidiHandlerTest, NotesActThroughEveryMappingInListOrder)
{
    addMapping (makeMapping (parameterType, note, "paramMix", 60, 1));
    addMapping (makeMapping (parameterType, note, "paramMix", 60, -1));
    addMapping (makeMapping (parameterType, note, "paramGainDrive", 60, -1));
    addMapping (makeMapping (parameterType, note, "paramEnhanceAir", 61, -1));
    setValue (*processor, "paramMix", 20.0f);

    ValueRecorder recorder (*processor->parameters.getParameter ("paramMix"));
    send (midi ({ noteOn (60, 63) }));

    EXPECT_EQ (recorder.values, (std::vector<float> { 1.0f, 0.5f }));
    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 50.0f);
    EXPECT_EQ (valueOf (*processor, "paramEnhanceAir"), 0.0f);
}

TEST_F (MidiHandlerTest, ControllersAndProgramChangesActThroughTheLastMappingOnly)
{
    addMapping (makeMapping (parameterType, controller, "paramMix", 7));
    addMapping (makeMapping (parameterType, controller, "paramGainDrive", 7));
    send (midi ({ cc (7, 63) }));
    EXPECT_EQ (valueOf (*processor, "paramMix"), 100.0f);
    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 50.0f);

    // A last mapping of a type the message cannot drive hides the earlier ones.
    addMapping (makeMapping (parameterType, controller, "paramEnhanceAir", 8));
    addMapping (makeMapping (presetType, controller, distinctPreset().getFullPathName(), 8));
    addMapping (makeMapping (liveType, program, juce::LIVE_NEXT_GROUP_MAPPING, 3));
    addMapping (makeMapping (parameterType, program, "paramEnhanceAir", 3));
    const auto before = captureState (*processor);

    send (midi ({ cc (8, 100), pc (3) }));
    deliverPostedCalls();
    EXPECT_EQ (differences (before, captureState (*processor)), "");
}

TEST_F (MidiHandlerTest, MappingsOnUnknownParametersAreSkipped)
{
    addMapping (makeMapping (parameterType, controller, "paramRetired", 1));
    addMapping (makeMapping (parameterType, note, "", 1));
    addMapping (makeMapping (liveType, controller, "liveSomewhere", 2));
    const auto before = captureState (*processor);

    send (midi ({ cc (1, 100), noteOn (1, 100), noteOff (1), cc (2, 1), juce::MidiMessage::pitchWheel (1, 5000),
                  juce::MidiMessage::aftertouchChange (1, 1, 50), juce::MidiMessage::channelPressureChange (1, 20) }));

    EXPECT_EQ (differences (before, captureState (*processor)), "");
}

//==============================================================================
TEST_F (MidiHandlerTest, GroupControlsMoveTheBrowsedGroupWithinItsLimits)
{
    struct Case
    {
        const juce::String& control;
        int browsedGroup, activeGroup, activeScene;
        int expectedGroup, expectedScene;
    };
    const Case cases[] = {
        { juce::LIVE_PREV_GROUP_MAPPING, 0, 0, 2, 0, 2 }, { juce::LIVE_NEXT_GROUP_MAPPING, 9, 0, 2, 9, -1 },
        { juce::LIVE_NEXT_GROUP_MAPPING, 9, 9, 4, 9, 4 }, { juce::LIVE_PREV_GROUP_MAPPING, 0, 3, 1, 0, -1 },
        { juce::LIVE_PREV_GROUP_MAPPING, 4, 3, 1, 3, 1 }, { juce::LIVE_NEXT_GROUP_MAPPING, 4, 3, 1, 5, -1 },
    };
    addMapping (makeMapping (liveType, controller, juce::LIVE_PREV_GROUP_MAPPING, 20));
    addMapping (makeMapping (liveType, note, juce::LIVE_NEXT_GROUP_MAPPING, 21));

    auto& live = *processor->liveModel;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.control + " from " + juce::String (c.browsedGroup));
        live.browsedGroup = c.browsedGroup;
        live.browsedScene = 5;
        live.activeGroup = c.activeGroup;
        live.activeScene = c.activeScene;

        send (midi ({ c.control == juce::LIVE_PREV_GROUP_MAPPING ? cc (20, 127) : noteOn (21, 1) }));

        EXPECT_EQ (live.browsedGroup, c.expectedGroup);
        EXPECT_EQ (live.browsedScene, c.expectedScene);
        EXPECT_EQ (live.activeGroup, c.activeGroup);
        EXPECT_EQ (live.activeScene, c.activeScene);
    }
}

TEST_F (MidiHandlerTest, LiveSceneIsSelectedOnTheMessageThreadInTheGroupBrowsedThen)
{
    const auto preset = distinctPreset();
    auto& live = *processor->liveModel;
    live.groups[1]->scenes[3]->presetPath = preset.getFullPathName();
    addMapping (makeMapping (liveType, note, juce::LIVE_SCENE_MAPPING, 70, 3));

    send (midi ({ noteOn (70, 100) }));
    EXPECT_EQ (live.activeScene, -1) << "posted, not run at once";

    live.browsedGroup = 1;
    deliverPostedCalls();

    EXPECT_EQ (live.activeGroup, 1);
    EXPECT_EQ (live.activeScene, 3);
    EXPECT_EQ (processor->presetManagerModel->currentPreset.getFullPathName(), preset.getFullPathName());
    EXPECT_EQ (valueOf (*processor, "paramMix"), 75.0f) << "the scene's preset was applied";
}

TEST_F (MidiHandlerTest, LiveSceneWithoutAValidSceneChangesNothing)
{
    addMapping (makeMapping (liveType, program, juce::LIVE_SCENE_MAPPING, 4, 3));    // scene 3 has no preset
    addMapping (makeMapping (liveType, controller, juce::LIVE_SCENE_MAPPING, 4, 6)); // no scene 6
    const auto before = captureState (*processor);

    send (midi ({ pc (4), cc (4, 1) }));
    deliverPostedCalls();

    EXPECT_EQ (differences (before, captureState (*processor)), "");
}

TEST_F (MidiHandlerTest, PresetMappingLoadsThePresetOnTheMessageThread)
{
    const auto preset = distinctPreset();
    addMapping (makeMapping (presetType, note, preset.getFullPathName(), 50));
    addMapping (makeMapping (presetType, note, sandbox.folder.getChildFile ("none.orvane").getFullPathName(), 51));

    send (midi ({ noteOn (51, 100) }));
    deliverPostedCalls();
    EXPECT_EQ (valueOf (*processor, "paramMix"), 100.0f) << "a missing file loads nothing";

    send (midi ({ noteOn (50, 100) }));
    EXPECT_EQ (valueOf (*processor, "paramMix"), 100.0f) << "posted, not run at once";
    deliverPostedCalls();

    EXPECT_EQ (valueOf (*processor, "paramMix"), 75.0f);
    EXPECT_EQ (processor->presetManagerModel->currentPreset.getFullPathName(), preset.getFullPathName());
    EXPECT_EQ (processor->presetPath, preset.getFullPathName());
}

TEST_F (MidiHandlerTest, PostedTasksOutlivingTheProcessorAreDropped)
{
    addMapping (makeMapping (presetType, note, distinctPreset().getFullPathName(), 50));
    addMapping (makeMapping (liveType, note, juce::LIVE_SCENE_MAPPING, 50, 0));

    send (midi ({ noteOn (50, 100) }));
    processor->midiMappingsModel->removeListener (&mappingsListener);
    processor.reset();

    // A new instance, most likely in the freed memory, is alive when the old one's preset load and scene
    // change come off the message queue: they must not land in it.
    processor = makeProcessor();
    processor->midiMappingsModel->addListener (&mappingsListener);
    deliverPostedCalls();

    const auto untouched = makeProcessor();
    deliverPostedCalls();
    EXPECT_EQ (differences (captureState (*untouched), captureState (*processor)), "");
    EXPECT_EQ (mappingsListener.changes, 0);
}

//==============================================================================
TEST_F (MidiHandlerTest, MidiSentToTheInstanceChangesNothing)
{
    EXPECT_FALSE (processor->acceptsMidi());
    EXPECT_FALSE (processor->producesMidi());

    addMapping (makeMapping (parameterType, note, "paramMix", 60));
    addMapping (makeMapping (parameterType, controller, "paramGainDrive", 7));
    addMapping (makeMapping (presetType, note, distinctPreset().getFullPathName(), 62));
    addMapping (makeMapping (liveType, controller, juce::LIVE_NEXT_GROUP_MAPPING, 8));
    processor->prepareToPlay (44100.0, 256);

    juce::AudioBuffer<float> audio (2, 256);
    for (const bool learning : { false, true })
    {
        SCOPED_TRACE (learning ? "learning" : "mappings armed");
        processor->midiLearnActive = learning;
        processor->midiLearnMapping = learnTemplate (parameterType, "paramEnhanceAir");
        const auto before = captureState (*processor);

        for (int block = 0; block < 4; ++block)
        {
            audio.clear();
            auto buffer = midi ({ noteOn (60, 100), cc (7, 90), noteOn (62, 100), cc (8, 127), pc (1), noteOff (60) });
            processor->processBlock (audio, buffer);
        }
        deliverPostedCalls();

        EXPECT_EQ (differences (before, captureState (*processor)), "");
        EXPECT_EQ (processor->midiLearnActive.load(), learning);
    }
}
