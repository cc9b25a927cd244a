#include "core/PluginProcessor.h"
#include "core/Params.h"
#include "core/PlatformPaths.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
/** A host's play head that reports a tempo, or a position without one. */
struct FixedPlayHead : juce::AudioPlayHead
{
    juce::Optional<double> bpm;
    bool hasPosition = true;

    juce::Optional<PositionInfo> getPosition() const override
    {
        if (! hasPosition)
            return {};
        PositionInfo info;
        info.setBpm (bpm);
        return info;
    }
};

class PluginProcessorTest : public ::testing::Test
{
protected:
    test_support::Sandbox sandbox;

    /** A processor whose six modules are switched off, so the chain only delays by its latency. */
    static std::unique_ptr<OrvaneTessaroAudioProcessor>
    makeProcessor (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out, int blockSize = 64)
    {
        auto processor = std::make_unique<OrvaneTessaroAudioProcessor>();
        for (const auto& id : { Params::paramCompressPower, Params::paramEnhancePower, Params::paramEQPower,
                                Params::paramMultiplyPower, Params::paramSpacePower, Params::paramGainPower })
            processor->parameters.getParameter (id)->setValueNotifyingHost (0.0f);
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        EXPECT_TRUE (processor->setBusesLayout (layout));
        processor->prepareToPlay (44100.0, blockSize);
        return processor;
    }

    juce::File factoryPreset() const
    {
        return QEL::PlatformPaths::presetRoot ("Orvane", "Orvane Tessaro")
            .getChildFile ("Factory")
            .getChildFile ("Easy Vocal Chain.orvane");
    }

    static float value (OrvaneTessaroAudioProcessor& p, const juce::String& id)
    {
        return p.parameters.getRawParameterValue (id)->load();
    }
};

/** Two different sines on two channels, so a swapped or dropped channel shows. */
juce::AudioBuffer<float> stereoSines (int numSamples)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int i = 0; i < numSamples; ++i)
    {
        buffer.setSample (0, i, 0.5f * std::sin (0.05f * (float) i));
        buffer.setSample (1, i, 0.25f * std::sin (0.11f * (float) i + 1.0f));
    }
    return buffer;
}

void expectBuffersEqual (const juce::AudioBuffer<float>& a, int channelA, const juce::AudioBuffer<float>& b,
                         int channelB, int offset = 0)
{
    for (int i = offset; i < a.getNumSamples(); ++i)
        ASSERT_EQ (a.getSample (channelA, i), b.getSample (channelB, i - offset)) << "sample " << i;
}

/** Runs a long buffer through the processor in host blocks of the given size, in place. */
void processInBlocks (juce::AudioProcessor& processor, juce::AudioBuffer<float>& buffer, int blockSize = 64,
                      bool bypassed = false)
{
    juce::MidiBuffer midi;
    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        const int n = juce::jmin (blockSize, buffer.getNumSamples() - start);
        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start, n);
        if (bypassed)
            processor.processBlockBypassed (block, midi);
        else
            processor.processBlock (block, midi);
    }
}

constexpr int defaultLatency = 2268; // the multiplier's 2048 and the limiter's look-ahead at 44.1 kHz
} // namespace

TEST_F (PluginProcessorTest, ANewInstanceWithoutFactoryPresetStartsAtTheDefaults)
{
    OrvaneTessaroAudioProcessor processor;

    EXPECT_EQ (processor.presetManagerModel->extension, "orvane");
    EXPECT_EQ (processor.presetManagerModel->defaultName, "Init");
    EXPECT_EQ (processor.presetManagerModel->currentPreset,
               processor.presetManagerModel->getRootPresetFolder().getChildFile ("Default.qelpreset"));
    EXPECT_FALSE (processor.presetManagerModel->changed);
    EXPECT_EQ (value (processor, Params::paramMix), 100.0f);
    EXPECT_EQ (processor.eqHighQ.load(), 0.707f);
    for (const auto& id : { Params::paramEQHighQ, Params::paramEQMidQ, Params::paramEQLowQ })
        EXPECT_EQ (dynamic_cast<juce::AudioParameterFloat&> (*processor.parameters.getParameter (id)).get(), 0.707f);
    EXPECT_EQ (processor.getLatencySamples(), defaultLatency);
    EXPECT_EQ (processor.parameters.state.getType().toString(), "orvane_tessaro");
    EXPECT_EQ (processor.lastHostTempo, 0.0);
    EXPECT_EQ (processor.midiLearnMapping.number, -1);
}

TEST_F (PluginProcessorTest, ANewInstanceStartsFromTheFactoryPresetWhenItIsThere)
{
    ASSERT_TRUE (factoryPreset().getParentDirectory().createDirectory());
    ASSERT_TRUE (factoryPreset().replaceWithText (
        R"(<?xml version="1.0" encoding="UTF-8"?><orvane_tessaro><PARAM id="paramMix" value="50"/>)"
        R"(<PARAM id="paramEQLowGain" value="-3"/></orvane_tessaro>)"));

    OrvaneTessaroAudioProcessor processor;

    EXPECT_EQ (value (processor, Params::paramMix), 50.0f);
    EXPECT_EQ (processor.eqLowGain.load(), -3.0f); // the router heard the change
    EXPECT_EQ (value (processor, Params::paramGainMix), 100.0f);
    EXPECT_EQ (processor.presetManagerModel->currentPreset, factoryPreset());
    EXPECT_FALSE (processor.presetManagerModel->changed);
    EXPECT_EQ (processor.presetPath, factoryPreset().getFullPathName());
}

TEST_F (PluginProcessorTest, AFactoryFileOfAnotherProductIsIgnored)
{
    ASSERT_TRUE (factoryPreset().getParentDirectory().createDirectory());
    ASSERT_TRUE (
        factoryPreset().replaceWithText (R"(<other_product><PARAM id="paramMix" value="50"/></other_product>)"));

    OrvaneTessaroAudioProcessor processor;

    EXPECT_EQ (value (processor, Params::paramMix), 100.0f);
    EXPECT_NE (processor.presetManagerModel->currentPreset, factoryPreset());
}

TEST_F (PluginProcessorTest, OneProgramWithAnEmptyName)
{
    OrvaneTessaroAudioProcessor processor;
    processor.setCurrentProgram (3);
    processor.changeProgramName (0, "Lead");

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "");
}

TEST_F (PluginProcessorTest, TheEditorTellsTheProcessorWhetherItIsVisible)
{
    OrvaneTessaroAudioProcessor processor;
    ASSERT_TRUE (processor.hasEditor());
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        ASSERT_NE (editor, nullptr);
        editor->setVisible (true);
        EXPECT_TRUE (processor.editorVisible);
        editor->setVisible (false);
        EXPECT_FALSE (processor.editorVisible);
        editor->setVisible (true);
        processor.editorBeingDeleted (editor.get());
    }
    EXPECT_FALSE (processor.editorVisible);
}

TEST_F (PluginProcessorTest, AParameterChangeMarksThePresetChanged)
{
    OrvaneTessaroAudioProcessor processor;
    processor.parameters.getParameter (Params::paramEQMidFreq)->setValueNotifyingHost (0.5f);

    EXPECT_TRUE (processor.presetManagerModel->changed);
    EXPECT_NEAR (processor.eqMidFreq.load(), 3905.55f, 0.1f);
}

TEST_F (PluginProcessorTest, ExactlyThreeBusLayoutsAreAccepted)
{
    OrvaneTessaroAudioProcessor processor;
    using Set = juce::AudioChannelSet;
    const struct
    {
        Set in, out;
        bool accepted;
    } cases[] = {
        { Set::mono(), Set::mono(), true },
        { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::stereo(), true },
        { Set::stereo(), Set::mono(), false },
        { Set::disabled(), Set::stereo(), false },
        { Set::create5point1(), Set::create5point1(), false },
        { Set::stereo(), Set::create5point1(), false },
    };

    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.in);
        layout.outputBuses.add (c.out);
        EXPECT_EQ (processor.checkBusesLayoutSupported (layout), c.accepted)
            << c.in.getDescription() << " -> " << c.out.getDescription();
    }
}

TEST_F (PluginProcessorTest, StereoChannelsComeBackInTheirOwnChannels)
{
    auto processor = makeProcessor (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
    const auto input = stereoSines (defaultLatency + 256);
    auto buffer = input;

    processInBlocks (*processor, buffer);

    expectBuffersEqual (buffer, 0, input, 0, defaultLatency);
    expectBuffersEqual (buffer, 1, input, 1, defaultLatency);
}

TEST_F (PluginProcessorTest, MonoInputFeedsBothStereoOutputs)
{
    auto processor = makeProcessor (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo());
    const auto input = stereoSines (defaultLatency + 256);
    auto buffer = input; // channel 1 holds garbage the processor must replace

    processInBlocks (*processor, buffer);

    expectBuffersEqual (buffer, 0, input, 0, defaultLatency);
    expectBuffersEqual (buffer, 1, input, 0, defaultLatency);
}

TEST_F (PluginProcessorTest, MonoToMonoWritesOnlyChannelZero)
{
    auto processor = makeProcessor (juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono());
    const auto input = stereoSines (defaultLatency + 256);
    juce::AudioBuffer<float> buffer (1, input.getNumSamples());
    buffer.copyFrom (0, 0, input, 0, 0, input.getNumSamples());

    processInBlocks (*processor, buffer);

    expectBuffersEqual (buffer, 0, input, 0, defaultLatency);
}

TEST_F (PluginProcessorTest, EmptyAndOversizedHostBlocksAreSafe)
{
    auto processor = makeProcessor (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo(), 64);
    juce::MidiBuffer midi;

    juce::AudioBuffer<float> empty (2, 0);
    processor->processBlock (empty, midi);

    // Far more than the prepared size: processed in prepared-size chunks, sample for sample.
    const auto input = stereoSines (defaultLatency + 640);
    auto buffer = input;
    processor->processBlock (buffer, midi);
    expectBuffersEqual (buffer, 0, input, 0, defaultLatency);
    expectBuffersEqual (buffer, 1, input, 1, defaultLatency);
}

TEST_F (PluginProcessorTest, SilenceInGivesSilenceOut)
{
    auto processor = makeProcessor (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;

    for (int block = 0; block < 20; ++block)
    {
        processor->processBlock (buffer, midi);
        EXPECT_EQ (buffer.getMagnitude (0, 64), 0.0f);
    }
}

TEST_F (PluginProcessorTest, TheHostTempoReachesTheChainOnlyWhenItChanges)
{
    auto processor = makeProcessor (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;

    // Without a play head nothing is read.
    processor->processBlock (buffer, midi);
    EXPECT_EQ (processor->lastHostTempo, 0.0);
    EXPECT_EQ (processor->tessaroProcessor.tempo.load(), 120.0);

    FixedPlayHead playHead;
    playHead.bpm = 90.0;
    processor->setPlayHead (&playHead);
    processor->processBlock (buffer, midi);
    EXPECT_EQ (processor->lastHostTempo, 90.0);
    EXPECT_EQ (processor->tessaroProcessor.tempo.load(), 90.0);

    // A play head without a tempo, or without a position, means 120.
    playHead.bpm = {};
    processor->processBlock (buffer, midi);
    EXPECT_EQ (processor->tessaroProcessor.tempo.load(), 120.0);

    playHead.bpm = 75.0;
    processor->processBlock (buffer, midi);
    playHead.hasPosition = false;
    processor->processBlock (buffer, midi);
    EXPECT_EQ (processor->lastHostTempo, 120.0);

    // A reported 0 is handed on, and the chain keeps its last real tempo.
    playHead.hasPosition = true;
    playHead.bpm = 0.0;
    processor->processBlock (buffer, midi);
    EXPECT_EQ (processor->lastHostTempo, 0.0);
    EXPECT_EQ (processor->tessaroProcessor.tempo.load(), 120.0);

    processor->setPlayHead (nullptr);
}

TEST_F (PluginProcessorTest, HostBypassCopiesAMonoInputToBothOutputs)
{
    auto processor = makeProcessor (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo());
    const auto input = stereoSines (defaultLatency + 256);
    auto buffer = input;

    processInBlocks (*processor, buffer, 64, true);

    expectBuffersEqual (buffer, 0, input, 0, defaultLatency);
    expectBuffersEqual (buffer, 1, input, 0, defaultLatency);
}

TEST_F (PluginProcessorTest, AMonoInputKeepsBothSidesWhenTheHostBypassTakesOver)
{
    // Processed first, then bypassed: the bypass history was fed from the input, not from
    // an output channel that had no input and was cleared.
    // After the 441-sample crossfade (within 8 blocks) the output is the mono input, delayed, on both sides.
    auto processor = makeProcessor (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo());
    const auto input = stereoSines (defaultLatency + 1024);
    auto buffer = input;
    juce::AudioBuffer<float> first (buffer.getArrayOfWritePointers(), 2, 0, defaultLatency);
    juce::AudioBuffer<float> rest (buffer.getArrayOfWritePointers(), 2, defaultLatency, 1024);

    processInBlocks (*processor, first);
    processInBlocks (*processor, rest, 64, true);

    for (int i = defaultLatency + 512; i < buffer.getNumSamples(); ++i)
        ASSERT_EQ (buffer.getSample (1, i), input.getSample (0, i - defaultLatency)) << i;
}

// The host compensates the latency the plug-in reports, so a bypassed track is the input delayed by
// that latency. The host's bypass works as the chain's own: the chain runs on underneath and the output
// crossfades over 10 ms, so coming back plays the chain's current sound, never audio from before.
TEST_F (PluginProcessorTest, HostBypassCrossfadesToTheInputDelayedByTheReportedLatency)
{
    auto processor = makeProcessor (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
    constexpr int latency = defaultLatency;
    constexpr int ramp = 512; // 441 samples, ending within the 7th block of 64
    EXPECT_EQ (processor->getLatencySamples(), latency);

    const auto input = stereoSines (64 * 160);
    auto normal = input;
    processInBlocks (*processor, normal);

    auto fresh = makeProcessor (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> output (2, input.getNumSamples());
    for (int block = 0; block < 160; ++block)
    {
        juce::AudioBuffer<float> buffer (2, 64);
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, input, ch, block * 64, 64);

        if (block >= 40 && block < 80)
            fresh->processBlockBypassed (buffer, midi);
        else
            fresh->processBlock (buffer, midi);

        for (int ch = 0; ch < 2; ++ch)
            output.copyFrom (ch, block * 64, buffer, ch, 0, 64);
    }

    for (int ch = 0; ch < 2; ++ch)
    {
        for (int i = 40 * 64 + ramp; i < 80 * 64; ++i)
            ASSERT_EQ (output.getSample (ch, i), input.getSample (ch, i - latency)) << "channel " << ch << " " << i;
        for (int i = 80 * 64 + ramp; i < output.getNumSamples(); ++i)
            ASSERT_EQ (output.getSample (ch, i), normal.getSample (ch, i)) << "channel " << ch << " " << i;
    }
}

TEST_F (PluginProcessorTest, TheChainsBypassParameterSwitchesItWithARamp)
{
    auto processor = makeProcessor (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
    processor->parameters.getParameter (Params::paramBypass)->setValueNotifyingHost (1.0f);

    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;
    processor->processBlock (buffer, midi);

    EXPECT_FALSE (processor->tessaroProcessor.active.load());
    EXPECT_TRUE (processor->tessaroProcessor.isRamping());
}
