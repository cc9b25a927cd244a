#include "plugin/Vst3TestSupport.h"

namespace tessaro::test
{
namespace
{
    using Vst3Description = HostedPluginTest;
    using Vst3Buses = HostedPluginTest;
    using Vst3Lifetime = HostedPluginTest;

    TEST_F (Vst3Description, EffectWithoutMidiTailOrPrograms)
    {
        const auto& description = Vst3Bundle::description();
        EXPECT_EQ (description.name, "Orvane Tessaro");
        EXPECT_EQ (description.pluginFormatName, "VST3");
        EXPECT_FALSE (description.isInstrument);
        EXPECT_EQ (description.category, "Fx");
        EXPECT_EQ (description.numInputChannels, 2);
        EXPECT_EQ (description.numOutputChannels, 2);

        EXPECT_EQ (plugin->getName(), "Orvane Tessaro");
        EXPECT_FALSE (plugin->acceptsMidi());
        EXPECT_FALSE (plugin->producesMidi());
        EXPECT_FALSE (plugin->isMidiEffect());
        EXPECT_EQ (plugin->getTailLengthSeconds(), 0.0);

        // JUCE's VST3 wrapper publishes a program list only for more than one program, so the
        // single program shows up as no list at all, and its name as empty.
        EXPECT_EQ (plugin->getNumPrograms(), 0);
        EXPECT_EQ (plugin->getProgramName (0), "");
    }

    TEST_F (Vst3Buses, DefaultIsStereoToStereo)
    {
        EXPECT_EQ (plugin->getBusCount (true), 1);
        EXPECT_EQ (plugin->getBusCount (false), 1);
        EXPECT_EQ (plugin->getChannelLayoutOfBus (true, 0), juce::AudioChannelSet::stereo());
        EXPECT_EQ (plugin->getChannelLayoutOfBus (false, 0), juce::AudioChannelSet::stereo());
    }

    // The host offers each layout; only the three of a mono or stereo vocal track are taken.
    // (A disabled input bus cannot be refused through VST3: JUCE's wrapper accepts any bus
    // activation a host makes and feeds silence; the processor's own refusal is tested in-process.)
    TEST_F (Vst3Buses, AcceptsMonoAndStereoPathsOnly)
    {
        const auto mono = juce::AudioChannelSet::mono();
        const auto stereo = juce::AudioChannelSet::stereo();
        const auto surround = juce::AudioChannelSet::create5point1();

        const struct
        {
            const char* what;
            juce::AudioChannelSet in, out;
            bool accepted;
        } cases[] = {
            { "mono -> mono", mono, mono, true },         { "mono -> stereo", mono, stereo, true },
            { "stereo -> stereo", stereo, stereo, true }, { "stereo -> mono", stereo, mono, false },
            { "5.1 -> 5.1", surround, surround, false },  { "stereo -> 5.1", stereo, surround, false },
        };

        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.what);
            ASSERT_TRUE (plugin->setBusesLayout (Audio::layout (stereo, stereo)));

            EXPECT_EQ (plugin->checkBusesLayoutSupported (Audio::layout (c.in, c.out)), c.accepted);
            EXPECT_EQ (plugin->setBusesLayout (Audio::layout (c.in, c.out)), c.accepted);

            const auto expectedIn = c.accepted ? c.in : stereo;
            const auto expectedOut = c.accepted ? c.out : stereo;
            EXPECT_EQ (plugin->getChannelLayoutOfBus (true, 0), expectedIn);
            EXPECT_EQ (plugin->getChannelLayoutOfBus (false, 0), expectedOut);
        }
    }

    // Instances come and go as a host opens and closes projects; each one works on its own.
    TEST_F (Vst3Lifetime, TenInstancesCreatedUsedAndDestroyed)
    {
        plugin.reset();

        for (int i = 0; i < 10; ++i)
        {
            SCOPED_TRACE (i);
            auto instance = Vst3Bundle::create();
            ASSERT_NE (instance, nullptr);
            EXPECT_EQ (instance->getName(), "Orvane Tessaro");

            instance->prepareToPlay (44100.0, 256);
            const auto input = Audio::sines ({ 440.0, 660.0 }, 1024, 44100.0);
            const auto output = Audio::stream (*instance, input, 256);
            instance->releaseResources();
            EXPECT_TRUE (Audio::allFinite (output));
        }
    }
} // namespace
} // namespace tessaro::test
