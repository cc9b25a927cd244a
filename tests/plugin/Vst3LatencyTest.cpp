#include "plugin/HostedSettings.h"
#include "plugin/Vst3TestSupport.h"

namespace tessaro::test
{
namespace
{
    constexpr double sampleRate = 44100.0;
    constexpr int blockSize = 512;
    constexpr int settleSamples = 44100; // every ramp (0.01 s on/off, 0.05 s mix) is long over
    constexpr int impulseAt = 1000;      // within a block, so the block edge is not what aligns it
    constexpr float early = 1.0e-4f;     // -80 dBFS: nothing may arrive before the reported latency

    struct LatencyCase
    {
        const char* name;
        std::vector<Setting> settings;
        bool hostBypass = false;
    };

    void PrintTo (const LatencyCase& c, std::ostream* os)
    {
        *os << c.name;
    }

    class Vst3Latency : public HostedPluginTest, public ::testing::WithParamInterface<LatencyCase>
    {
    protected:
        /** Streams silence until the settings have settled, then an impulse; returns what follows it. */
        juce::AudioBuffer<float> impulseResponse (int length)
        {
            juce::AudioBuffer<float> input (2, settleSamples + impulseAt + length);
            input.clear();
            input.setSample (0, settleSamples + impulseAt, 1.0f);
            input.setSample (1, settleSamples + impulseAt, 1.0f);

            const auto output = Audio::stream (*plugin, input, blockSize);
            juce::AudioBuffer<float> response (2, length);
            for (int ch = 0; ch < 2; ++ch)
                response.copyFrom (ch, 0, output, ch, settleSamples + impulseAt, length);
            return response;
        }
    };

    /** Index of the first sample of a channel louder than -60 dBFS; -1 when there is none. */
    int onsetIndex (const juce::AudioBuffer<float>& buffer, int channel)
    {
        for (int n = 0; n < buffer.getNumSamples(); ++n)
            if (std::abs (buffer.getSample (channel, n)) > 1.0e-3f)
                return n;
        return -1;
    }

    /** Share of a channel's energy within [start, start + length). */
    double energyShare (const juce::AudioBuffer<float>& buffer, int channel, int start, int length)
    {
        double inside = 0.0, total = 0.0;
        for (int n = 0; n < buffer.getNumSamples(); ++n)
        {
            const double e = (double) buffer.getSample (channel, n) * buffer.getSample (channel, n);
            total += e;
            if (n >= start && n < start + length)
                inside += e;
        }
        return total > 0.0 ? inside / total : 0.0;
    }

    // An impulse comes out at exactly the latency the plug-in reports, whatever blend of wet and
    // dry the settings produce, so the host's delay compensation lines the track up with the others.
    // The chain's filters may spread it over a few samples (all-pass crossovers), never ahead of time.
    TEST_P (Vst3Latency, ImpulseArrivesAtTheReportedLatency)
    {
        plugin->prepareToPlay (sampleRate, blockSize);
        apply (*plugin, GetParam().settings);
        if (GetParam().hostBypass)
            setParameter (parameters().indexOf (plugin->getBypassParameter()), 1.0f);

        const auto response = impulseResponse (8192);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
        const int latency = plugin->getLatencySamples();

        ASSERT_TRUE (Audio::allFinite (response));
        for (int ch = 0; ch < 2; ++ch)
        {
            SCOPED_TRACE ("channel " + std::to_string (ch));
            EXPECT_EQ (onsetIndex (response, ch), latency);
            EXPECT_LE (Audio::peak (response, ch, 0, latency), early);
            // One arrival, not a wet and a dry copy apart: the energy sits in the first 1.5 ms.
            EXPECT_GE (energyShare (response, ch, latency, 64), 0.9);
        }
    }

    const std::vector<Setting> limiterOn { { "paramGainLimit", 1.0f } };

    INSTANTIATE_TEST_SUITE_P (
        WholePlugin, Vst3Latency,
        ::testing::Values (
            LatencyCase { "MixFull", {} }, LatencyCase { "MixHalf", { { "paramMix", 50.0f } } },
            LatencyCase { "MixNone", { { "paramMix", 0.0f } } },
            LatencyCase { "ChainBypass", { { "paramBypass", 1.0f } } }, LatencyCase { "HostBypass", {}, true },
            LatencyCase { "CompressOff", { { "paramCompressPower", 0.0f } } },
            LatencyCase { "EnhanceOff", { { "paramEnhancePower", 0.0f } } },
            LatencyCase { "EqOff", { { "paramEQPower", 0.0f } } },
            LatencyCase { "MultiplyOff", { { "paramMultiplyPower", 0.0f } } },
            LatencyCase { "SpaceOff", { { "paramSpacePower", 0.0f } } },
            LatencyCase { "GainOff", { { "paramGainPower", 0.0f } } }, LatencyCase { "LimitOn", limiterOn },
            LatencyCase { "LimitOnMixHalf", { { "paramGainLimit", 1.0f }, { "paramMix", 50.0f } } },
            LatencyCase { "LimitOnMixNone", { { "paramGainLimit", 1.0f }, { "paramMix", 0.0f } } },
            LatencyCase { "LimitOnChainBypass", { { "paramGainLimit", 1.0f }, { "paramBypass", 1.0f } } },
            LatencyCase { "LimitOnHostBypass", limiterOn, true },
            LatencyCase { "LimitOnGainOff", { { "paramGainLimit", 1.0f }, { "paramGainPower", 0.0f } } },
            LatencyCase { "LimitOnMultiplyOff", { { "paramGainLimit", 1.0f }, { "paramMultiplyPower", 0.0f } } },
            LatencyCase { "AllReordered",
                          { { "paramEnhancePreComp", 1.0f },
                            { "paramEQPre", 1.0f },
                            { "paramGainPreFx", 1.0f },
                            { "paramGainLimit", 1.0f } } }),
        [] (const ::testing::TestParamInfo<LatencyCase>& info) { return std::string (info.param.name); });

    // The latency is the multiplier's 2048 and the limiter's look-ahead, with Limit on or off, at
    // every rate, so switching Limit never makes the host re-align the track.
    using Vst3LatencyReport = HostedPluginTest;

    TEST_F (Vst3LatencyReport, LimitLeavesTheReportedLatencyAlone)
    {
        const auto latencyAfterABlock = [this]
        {
            Audio::stream (*plugin, juce::AudioBuffer<float> (2, blockSize), blockSize);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
            return plugin->getLatencySamples();
        };

        for (const auto& [rate, latency] : { std::pair { 44100.0, 2268 }, std::pair { 48000.0, 2287 },
                                              std::pair { 96000.0, 2527 } })
        {
            plugin->releaseResources();
            plugin->prepareToPlay (rate, blockSize);
            EXPECT_EQ (latencyAfterABlock(), latency) << rate;
            apply (*plugin, limiterOn);
            EXPECT_EQ (latencyAfterABlock(), latency) << rate;
            apply (*plugin, { { "paramGainLimit", 0.0f } });
            EXPECT_EQ (latencyAfterABlock(), latency) << rate;
        }
    }
} // namespace
} // namespace tessaro::test
