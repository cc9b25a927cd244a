// A host's reset before an offline render: the render after it is the render of a new instance.
#include "plugin/HostedSettings.h"
#include "plugin/Vst3TestSupport.h"

namespace tessaro::test
{
namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;

    /** Cathedral reverb, Tape echo and Multiply, all heard. */
    const std::vector<Setting> runningTails { { "paramSpaceReverbType", 3.0f },     { "paramSpaceReverbAmount", 50.0f },
                                              { "paramSpaceDelayType", 2.0f },      { "paramSpaceDelayAmount", 50.0f },
                                              { "paramSpaceDelayFeedback", 60.0f }, { "paramMultiplyAmount", 50.0f } };

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

    // Two exports of one project: the second, after the host's reset, equals the first of a new instance to
    // the bit, though the reverb's modulation, the echo's drift and the voices ran on through the first.
    // Disabled until every module's reset puts its whole running state back in place: today the render after a
    // reset parts from a new instance's at the first sample out of the latency (Enhance after Compress: the
    // de-esser's and the de-noiser's detectors, the air compressors), and within 5 ms with the Cathedral reverb.
    TEST (Vst3Reset, DISABLED_RenderAfterResetIsTheRenderOfANewInstance)
    {
        ScopedHome home;
        const auto state = stateWith (runningTails);
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
} // namespace
} // namespace tessaro::test
