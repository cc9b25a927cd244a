// A host's reset before an offline render: the render after it is the render of a new instance.
#include "plugin/HostedSettings.h"
#include "plugin/Vst3TestSupport.h"

namespace tessaro::test
{
namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;

    /** A named setting of the chain whose running state a reset must put back. */
    struct ResetCase
    {
        const char* name;
        std::vector<Setting> settings;
    };

    void PrintTo (const ResetCase& c, std::ostream* os)
    {
        *os << c.name;
    }

    /** A host state holding the settings, saved by a scratch instance. */
    juce::MemoryBlock stateWith (const std::vector<Setting>& settings)
    {
        auto plugin = Vst3Bundle::create (sampleRate, blockSize);
        plugin->prepareToPlay (sampleRate, blockSize);
        apply (*plugin, settings);
        juce::AudioBuffer<float> block (2, blockSize);
        juce::MidiBuffer midi;
        block.clear();
        plugin->processBlock (block, midi); // the settings reach the plug-in with a block
        juce::MemoryBlock state;
        plugin->getStateInformation (state);
        return state;
    }

    /** A new instance with the state restored and prepared, as a host opens a project. */
    std::unique_ptr<juce::AudioPluginInstance> opened (const juce::MemoryBlock& state)
    {
        auto plugin = Vst3Bundle::create (sampleRate, blockSize);
        plugin->setStateInformation (state.getData(), (int) state.getSize());
        plugin->prepareToPlay (sampleRate, blockSize);
        return plugin;
    }

    /** Noise bursts with silence between them: the tails ring through the silence. */
    juce::AudioBuffer<float> bursts()
    {
        juce::AudioBuffer<float> input (2, (int) sampleRate * 2);
        juce::Random random (23);
        for (int i = 0; i < input.getNumSamples(); ++i)
        {
            const float x = (i / 12000) % 2 == 0 ? 0.25f * (random.nextFloat() * 2.0f - 1.0f) : 0.0f;
            input.setSample (0, i, x);
            input.setSample (1, i, -0.5f * x);
        }
        return input;
    }

    class Vst3Reset : public ::testing::TestWithParam<ResetCase>
    {
    };

    // Two exports of one project: the second, after the host's reset, equals the first of a new instance to
    // the bit, though the detectors, the voices, the echo's drift and the reverb's modulation ran on through
    // the first.
    TEST_P (Vst3Reset, RenderAfterResetIsTheRenderOfANewInstance)
    {
        ScopedHome home;
        const auto state = stateWith (GetParam().settings);
        const auto input = bursts();

        auto fresh = opened (state);
        const auto expected = Audio::stream (*fresh, input, blockSize);
        ASSERT_GT (Audio::peak (expected, 0, 24000, 48000), 1.0e-3f) << "the tails are heard";

        auto used = opened (state);
        Audio::stream (*used, input, blockSize);
        used->reset();
        const auto again = Audio::stream (*used, input, blockSize);

        int firstDifference = -1;
        for (int i = 0; i < expected.getNumSamples() && firstDifference < 0; ++i)
            for (int ch = 0; ch < 2; ++ch)
                if (expected.getSample (ch, i) != again.getSample (ch, i))
                    firstDifference = i;
        EXPECT_EQ (firstDifference, -1) << "differs from sample " << firstDifference << ", peak difference "
                                        << Audio::maxDelayedDifference (again, 0, expected, 0, 0);
    }

    std::string caseName (const ::testing::TestParamInfo<ResetCase>& info)
    {
        return info.param.name;
    }

    /** A reverb of a type (1 Bright Room .. 4 Outer Space) heard at half its blend, with a reverb time. */
    ResetCase reverb (const char* name, float type, float time)
    {
        return {
            name,
            { { "paramSpaceReverbType", type }, { "paramSpaceReverbAmount", 50.0f }, { "paramSpaceReverbTime", time } }
        };
    }

    INSTANTIATE_TEST_SUITE_P (Chains, Vst3Reset,
                              ::testing::Values (ResetCase { "Defaults", {} },
                                                 ResetCase { "TapeEcho",
                                                             { { "paramSpaceDelayType", 2.0f },
                                                               { "paramSpaceDelayAmount", 50.0f },
                                                               { "paramSpaceDelayFeedback", 60.0f } } },
                                                 ResetCase { "Multiply", { { "paramMultiplyAmount", 50.0f } } },
                                                 reverb ("BrightRoom", 1.0f, 80.0f), reverb ("DarkRoom", 2.0f, 30.0f),
                                                 reverb ("Cathedral", 3.0f, 50.0f), reverb ("OuterSpace", 4.0f, 100.0f),
                                                 ResetCase { "AllTails",
                                                             { { "paramSpaceReverbType", 3.0f },
                                                               { "paramSpaceReverbAmount", 50.0f },
                                                               { "paramSpaceDelayType", 2.0f },
                                                               { "paramSpaceDelayAmount", 50.0f },
                                                               { "paramSpaceDelayFeedback", 60.0f },
                                                               { "paramMultiplyAmount", 50.0f } } }),
                              caseName);
} // namespace
} // namespace tessaro::test
