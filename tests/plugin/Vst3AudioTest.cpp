#include "plugin/Vst3TestSupport.h"

namespace tessaro::test
{
namespace
{
    constexpr double sampleRate = 44100.0;
    constexpr int blockSize = 512;
    constexpr int numBlocks = 300;
    constexpr float sameSignal = 1.0e-6f; // a float copy, not a processed signal
    constexpr float silence = 1.0e-6f;    // -120 dBFS
    constexpr int multiplyLatency = 2048; // the multiplier's dry delay, the same at every rate

    /** The level change in dB the chain gives a channel at its defaults: Compress's, the others are transparent. */
    float defaultsLevelDb (const juce::AudioBuffer<float>& input, int channel)
    {
        double in = 0.0, out = 0.0;
        for (int i = 0; i < input.getNumSamples(); ++i)
        {
            const double x = input.getSample (channel, i), y = Audio::compressAtDefaults (x);
            in += x * x;
            out += y * y;
        }
        return (float) (10.0 * std::log10 (out / in));
    }

    class Vst3Audio : public HostedPluginTest
    {
    protected:
        /** Sets the layout, switches the six modules off (the chain then only delays by its latency) unless
            asked not to, and prepares at 44.1 kHz with 512-sample blocks. */
        void prepare (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out, bool modulesOff = true)
        {
            ASSERT_TRUE (plugin->setBusesLayout (Audio::layout (in, out)));
            if (modulesOff)
                for (const int powerIndex : { 2, 8, 13, 25, 30, 40 })
                    setParameter (powerIndex, 0.0f);
            plugin->prepareToPlay (sampleRate, blockSize);
            latency = plugin->getLatencySamples();
            ASSERT_EQ (latency, multiplyLatency) << "Multiply's delay, with Limit off";
        }

        /** A signal long enough to outlast the reported latency by many blocks. */
        juce::AudioBuffer<float> signal (const std::vector<double>& frequencies) const
        {
            return Audio::sines (frequencies, numBlocks * blockSize, sampleRate);
        }

        int latency = 0;
    };

    using Vst3Bypass = Vst3Audio;

    // At its defaults the chain keeps a voice at about its level (about -1 dB), finite and in both channels.
    TEST_F (Vst3Audio, StereoAtDefaultsKeepsTheLevel)
    {
        prepare (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo(), false);
        const auto input = signal ({ 440.0, 1000.0 });
        const auto output = Audio::stream (*plugin, input, blockSize);

        ASSERT_TRUE (Audio::allFinite (output));
        for (int ch = 0; ch < 2; ++ch)
        {
            const float in = input.getRMSLevel (ch, 0, input.getNumSamples());
            const float out = output.getRMSLevel (ch, latency, output.getNumSamples() - latency);
            EXPECT_NEAR (juce::Decibels::gainToDecibels (out / in), defaultsLevelDb (input, ch), 0.1f) << ch;
        }
    }

    // With every module off each channel comes back in its own channel, shifted by exactly the
    // latency the host compensates.
    TEST_F (Vst3Audio, StereoWithModulesOffIsTheInputDelayedByTheReportedLatency)
    {
        prepare (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
        const auto input = signal ({ 440.0, 1000.0 });
        const auto output = Audio::stream (*plugin, input, blockSize);

        ASSERT_TRUE (Audio::allFinite (output));
        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, latency), sameSignal);
        EXPECT_LE (Audio::maxDelayedDifference (output, 1, input, 1, latency), sameSignal);
        EXPECT_GT (Audio::peak (output, 1, latency, output.getNumSamples()), 0.3f);
    }

    TEST_F (Vst3Audio, SilenceInGivesSilenceOut)
    {
        prepare (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
        juce::AudioBuffer<float> input (2, numBlocks * blockSize);
        input.clear();

        const auto output = Audio::stream (*plugin, input, blockSize);
        EXPECT_LE (Audio::peak (output, 0, 0, output.getNumSamples()), silence);
        EXPECT_LE (Audio::peak (output, 1, 0, output.getNumSamples()), silence);
    }

    // A mono track into a stereo insert: the second output is the processed copy, not silence.
    TEST_F (Vst3Audio, MonoToStereoFillsBothOutputs)
    {
        prepare (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo());
        const auto input = signal ({ 440.0 });
        const auto output = Audio::stream (*plugin, input, blockSize);

        ASSERT_EQ (output.getNumChannels(), 2);
        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, latency), sameSignal);
        EXPECT_LE (Audio::maxDelayedDifference (output, 1, output, 0, 0), sameSignal);
        EXPECT_GT (Audio::peak (output, 1, latency, output.getNumSamples()), 0.3f);
    }

    TEST_F (Vst3Audio, MonoToMonoKeepsTheChannel)
    {
        prepare (juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono());
        const auto input = signal ({ 440.0 });
        const auto output = Audio::stream (*plugin, input, blockSize);

        ASSERT_EQ (output.getNumChannels(), 1);
        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, latency), sameSignal);
    }

    /** Streams `input` through the prepared plug-in in blocks of the given sizes, then in blocks of 512. */
    juce::AudioBuffer<float> streamInBlocksOf (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& input,
                                               const std::vector<int>& sizes)
    {
        juce::AudioBuffer<float> output (input.getNumChannels(), input.getNumSamples());
        juce::MidiBuffer midi;

        int start = 0;
        for (size_t i = 0; start < input.getNumSamples(); ++i)
        {
            const int n = juce::jmin (i < sizes.size() ? sizes[i] : blockSize, input.getNumSamples() - start);

            juce::AudioBuffer<float> block (input.getNumChannels(), n);
            for (int ch = 0; ch < input.getNumChannels(); ++ch)
                block.copyFrom (ch, 0, input, ch, start, n);

            plugin.processBlock (block, midi);
            for (int ch = 0; ch < input.getNumChannels(); ++ch)
                output.copyFrom (ch, start, block, ch, 0, n);
            start += n;
        }

        return output;
    }

    // Hosts send empty blocks (transport jumps) and blocks of any length up to the prepared
    // maximum; the output stays the delayed input across them.
    TEST_F (Vst3Audio, EmptyAndShortBlocksKeepTheStreamIntact)
    {
        prepare (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
        const auto input = signal ({ 440.0, 1000.0 });
        const auto output = streamInBlocksOf (*plugin, input, { blockSize, 0, 1, blockSize - 1, 0, 0, 300, 7 });

        ASSERT_TRUE (Audio::allFinite (output));
        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, latency), sameSignal);
        EXPECT_LE (Audio::maxDelayedDifference (output, 1, input, 1, latency), sameSignal);
    }

    // With the host's bypass on, the input comes back unchanged, delayed by the reported latency
    // so it stays aligned with the latency the host compensates.
    TEST_F (Vst3Bypass, HostBypassDelaysTheInputByTheReportedLatency)
    {
        prepare (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo());
        setParameter (plugin->getParameters().indexOf (plugin->getBypassParameter()), 1.0f);
        ASSERT_EQ (plugin->getBypassParameter()->getValue(), 1.0f);

        const auto input = signal ({ 440.0, 1000.0 });
        const auto output = Audio::stream (*plugin, input, blockSize);

        EXPECT_LE (Audio::peak (output, 0, 0, latency), silence);
        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, latency), sameSignal);
        EXPECT_LE (Audio::maxDelayedDifference (output, 1, input, 1, latency), sameSignal);
    }

    TEST_F (Vst3Bypass, HostBypassOfMonoToStereoCarriesTheMonoSignalOnBothOutputs)
    {
        prepare (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo());
        setParameter (plugin->getParameters().indexOf (plugin->getBypassParameter()), 1.0f);

        const auto input = signal ({ 440.0 });
        const auto output = Audio::stream (*plugin, input, blockSize);

        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, latency), sameSignal);
        EXPECT_LE (Audio::maxDelayedDifference (output, 1, input, 0, latency), sameSignal);
    }
} // namespace
} // namespace tessaro::test
