#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

#include <map>

namespace tessaro::test
{
namespace
{
    using Settings = std::vector<std::pair<const char*, float>>;

    /** A parameter set through the host, on top of some settings that make its effect observable. */
    struct RoutingCase
    {
        const char* id;
        float value;
        Settings context;
        bool audible;
    };

    float normalised (const char* id, float plain)
    {
        const auto& row = parameterTable()[(size_t) parameterIndex (id)];
        switch (row.kind)
        {
            case ParameterRow::Kind::floating: return row.range.convertTo0to1 (plain);
            case ParameterRow::Kind::toggle: return plain;
            case ParameterRow::Kind::choice: return plain / (float) (row.choices.size() - 1);
        }
        return plain;
    }

    /** A voice-like test signal: low, mid and air tones with sibilant bursts at 7.5 kHz. */
    juce::AudioBuffer<float> voice (int numSamples)
    {
        juce::AudioBuffer<float> buffer (2, numSamples);
        for (int i = 0; i < numSamples; ++i)
        {
            const double t = i / 44100.0;
            const bool burst = (i % 13230) >= 8820;
            const double s = 0.12 * std::sin (juce::MathConstants<double>::twoPi * 150.0 * t) +
                             0.12 * std::sin (juce::MathConstants<double>::twoPi * 1000.0 * t) +
                             0.05 * std::sin (juce::MathConstants<double>::twoPi * 13000.0 * t) +
                             (burst ? 0.2 * std::sin (juce::MathConstants<double>::twoPi * 7500.0 * t) : 0.0);
            buffer.setSample (0, i, (float) s);
            buffer.setSample (1, i, (float) (0.9 * s));
        }
        return buffer;
    }

    juce::AudioBuffer<float> render (const Settings& settings)
    {
        auto plugin = Vst3Bundle::create();
        for (const auto& [id, value] : settings)
        {
            auto* parameter = plugin->getParameters()[parameterIndex (id)];
            parameter->beginChangeGesture();
            parameter->setValueNotifyingHost (normalised (id, value));
            parameter->endChangeGesture();
        }
        plugin->prepareToPlay (44100.0, 512);
        return Audio::stream (*plugin, voice (44100), 512);
    }

    float largestDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
    {
        float difference = 0.0f;
        for (int ch = 0; ch < 2; ++ch)
            difference = std::max (difference, Audio::maxDelayedDifference (a, ch, b, ch, 0));
        return difference;
    }

    class Vst3Routing : public ::testing::TestWithParam<RoutingCase>
    {
    protected:
        ScopedHome home;
    };

    // Each parameter, set as a host sets it, changes what a listener hears, or, where the product says it
    // must not (Output under Auto, Time under Sync, a switch of a module that is transparent), nothing.
    TEST_P (Vst3Routing, TheParameterHasItsAudibleEffect)
    {
        const auto& c = GetParam();
        const auto reference = render (c.context);
        auto settings = c.context;
        settings.emplace_back (c.id, c.value);
        const auto changed = render (settings);

        ASSERT_TRUE (Audio::allFinite (changed));
        if (c.audible)
            EXPECT_GT (largestDifference (changed, reference), 1.0e-4f) << c.id;
        else
            EXPECT_LT (largestDifference (changed, reference), 1.0e-6f) << c.id;
    }

    const Settings delayOn { { "paramSpaceDelayType", 3.0f }, { "paramSpaceDelayAmount", 50.0f } };
    const Settings shortDelay { { "paramSpaceDelayType", 3.0f },
                                { "paramSpaceDelayAmount", 50.0f },
                                { "paramSpaceDelayNote", 5.0f } };
    const Settings doubled { { "paramMultiplyAmount", 50.0f } };

    INSTANTIATE_TEST_SUITE_P (
        EveryParameter, Vst3Routing,
        ::testing::Values (
            RoutingCase { "paramMix", 50.0f, {}, true }, RoutingCase { "paramBypass", 1.0f, {}, true },
            RoutingCase { "paramCompressPower", 0.0f, {}, true }, RoutingCase { "paramCompressInput", 6.0f, {}, true },
            RoutingCase { "paramCompressCompression", 100.0f, {}, true },
            RoutingCase { "paramCompressOutput", -12.0f, {}, false },
            RoutingCase { "paramCompressSlow", 1.0f, {}, true }, RoutingCase { "paramCompressAuto", 0.0f, {}, true },
            RoutingCase { "paramEnhancePower", 0.0f, {}, true }, RoutingCase { "paramEnhanceDeEss", 100.0f, {}, true },
            RoutingCase { "paramEnhanceDeNoise", 100.0f, {}, true },
            RoutingCase { "paramEnhanceAir", 100.0f, {}, true },
            RoutingCase { "paramEnhancePreComp",
                          1.0f,
                          { { "paramCompressCompression", 100.0f }, { "paramEnhanceDeNoise", 60.0f } },
                          true },
            RoutingCase { "paramEQPower", 0.0f, { { "paramEQLowGain", 6.0f } }, true },
            RoutingCase { "paramEQHighFreq", 1000.0f, { { "paramEQHighGain", 6.0f } }, true },
            RoutingCase { "paramEQHighGain", 6.0f, {}, true },
            RoutingCase { "paramEQHighQ", 3.0f, { { "paramEQHighGain", 6.0f } }, true },
            RoutingCase { "paramEQMidFreq", 300.0f, { { "paramEQMidGain", 6.0f } }, true },
            RoutingCase { "paramEQMidGain", 6.0f, {}, true },
            RoutingCase { "paramEQMidQ", 3.0f, { { "paramEQMidGain", 6.0f } }, true },
            RoutingCase { "paramEQLowFreq", 400.0f, { { "paramEQLowGain", 6.0f } }, true },
            RoutingCase { "paramEQLowGain", 6.0f, {}, true },
            RoutingCase { "paramEQLowQ", 3.0f, { { "paramEQLowGain", 6.0f } }, true },
            RoutingCase {
                "paramEQPre", 1.0f, { { "paramCompressCompression", 100.0f }, { "paramEQLowGain", 12.0f } }, true },
            RoutingCase { "paramEQAdLib", 1.0f, {}, true }, RoutingCase { "paramMultiplyPower", 0.0f, doubled, true },
            RoutingCase { "paramMultiplySpread", 0.0f, doubled, true },
            RoutingCase { "paramMultiplyOffset", 100.0f, doubled, true },
            RoutingCase { "paramMultiplyAmount", 50.0f, {}, true },
            RoutingCase { "paramMultiplyLow", 100.0f, doubled, true },
            RoutingCase { "paramSpacePower", 0.0f, delayOn, true },
            RoutingCase { "paramSpaceReverbType", 1.0f, { { "paramSpaceReverbAmount", 50.0f } }, true },
            RoutingCase { "paramSpaceReverbTime",
                          90.0f,
                          { { "paramSpaceReverbType", 1.0f }, { "paramSpaceReverbAmount", 50.0f } },
                          true },
            RoutingCase { "paramSpaceReverbAmount", 50.0f, { { "paramSpaceReverbType", 1.0f } }, true },
            RoutingCase { "paramSpaceDelaySync",
                          0.0f,
                          { { "paramSpaceDelayType", 3.0f },
                            { "paramSpaceDelayAmount", 50.0f },
                            { "paramSpaceDelayTime", 100.0f } },
                          true },
            RoutingCase { "paramSpaceDelayType", 3.0f, { { "paramSpaceDelayAmount", 50.0f } }, true },
            RoutingCase { "paramSpaceDelayTime", 100.0f, delayOn, false },
            RoutingCase { "paramSpaceDelayNote", 5.0f, delayOn, true },
            RoutingCase { "paramSpaceDelayAmount", 50.0f, { { "paramSpaceDelayType", 3.0f } }, true },
            RoutingCase { "paramSpaceDelayFeedback", 90.0f, shortDelay, true },
            RoutingCase { "paramGainPower", 0.0f, { { "paramGainGain", 6.0f } }, true },
            RoutingCase { "paramGainType", 1.0f, { { "paramGainDrive", 50.0f } }, true },
            RoutingCase { "paramGainDrive", 100.0f, { { "paramGainType", 1.0f } }, true },
            RoutingCase { "paramGainMix", 0.0f, { { "paramGainType", 1.0f }, { "paramGainDrive", 100.0f } }, true },
            RoutingCase { "paramGainGain", 6.0f, {}, true },
            RoutingCase { "paramGainPreFx",
                          1.0f,
                          { { "paramGainType", 1.0f },
                            { "paramGainDrive", 100.0f },
                            { "paramSpaceDelayType", 3.0f },
                            { "paramSpaceDelayAmount", 50.0f } },
                          true },
            // The latency stays with Limit on or off: the limiter is heard where the voice passes full scale.
            RoutingCase { "paramGainLimit", 1.0f, { { "paramGainGain", 20.0f } }, true }),
        [] (const ::testing::TestParamInfo<RoutingCase>& info) { return std::string (info.param.id); });
} // namespace
} // namespace tessaro::test
