#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

#include <juce_dsp/juce_dsp.h>

#include <map>

namespace tessaro::test
{
namespace
{
    using Settings = std::vector<std::pair<const char*, float>>;

    /** What the change must do besides being heard: move one tone of the voice by a level in dB, or put the
        first echo of a click a number of samples after it. */
    struct Effect
    {
        enum class Kind
        {
            heard,
            toneDb,
            echoSamples
        };
        Kind kind = Kind::heard;
        double hz = 0.0;
        double expected = 0.0;
        double tolerance = 0.0;
    };

    /** A parameter set through the host, on top of some settings that make its effect observable. */
    struct RoutingCase
    {
        const char* id;
        float value;
        Settings context;
        bool audible;
        Effect effect {};
    };

    void PrintTo (const RoutingCase& c, std::ostream* os)
    {
        *os << c.id;
    }

    constexpr double rate = 44100.0;

    Effect toneMovesBy (double hz, double db, double tolerance = 0.05)
    {
        return { Effect::Kind::toneDb, hz, db, tolerance };
    }

    Effect echoAfter (double samples)
    {
        return { Effect::Kind::echoSamples, 0.0, samples, 3.0 };
    }

    double factor (double db)
    {
        return juce::Decibels::decibelsToGain (db);
    }

    using Design = juce::dsp::IIR::Coefficients<double>;

    /** The magnitude in dB of an EQ band's biquad at a frequency. */
    double bandDb (const Design::Ptr& design, double hz)
    {
        return juce::Decibels::gainToDecibels (design->getMagnitudeForFrequency (hz, rate), -300.0);
    }

    /** The +6 dB bands at a frequency: the high and low shelves and the mid peak for a corner and a Q. */
    double highShelfDb (double corner, double q, double hz)
    {
        return bandDb (Design::makeHighShelf (rate, corner, q, factor (6.0)), hz);
    }

    double lowShelfDb (double corner, double q, double hz)
    {
        return bandDb (Design::makeLowShelf (rate, corner, q, factor (6.0)), hz);
    }

    double peakDb (double centre, double q, double hz)
    {
        return bandDb (Design::makePeakFilter (rate, centre, q, factor (6.0)), hz);
    }

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

    /** The voice through the Compress module at its defaults, by its static curve. */
    juce::AudioBuffer<float> compressedVoice (double inputGain)
    {
        auto buffer = voice (44100);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, (float) Audio::compressAtDefaults (inputGain * buffer.getSample (ch, i)));
        return buffer;
    }

    double toneDb (const juce::AudioBuffer<float>& buffer, double hz)
    {
        const int end = buffer.getNumSamples();
        return juce::Decibels::gainToDecibels (Audio::toneAmplitude (buffer, 0, hz, rate, end / 2, end), -300.0);
    }

    /** How far a tone moves when Compress's Input lifts the voice into its soft clip. */
    double inputMovesToneBy (double db, double hz)
    {
        return toneDb (compressedVoice (factor (db)), hz) - toneDb (compressedVoice (1.0), hz);
    }

    /** How far a tone moves when Mix 50 % adds the dry voice to the processed one (in phase at low tones). */
    double halfMixMovesToneBy (double hz)
    {
        const double processed = toneDb (compressedVoice (1.0), hz) - toneDb (voice (44100), hz);
        return juce::Decibels::gainToDecibels ((1.0 + factor (processed)) / 2.0) - processed;
    }

    /** A click at sample 1000. */
    juce::AudioBuffer<float> click()
    {
        juce::AudioBuffer<float> buffer (2, 44100);
        buffer.clear();
        buffer.setSample (0, 1000, 0.5f);
        buffer.setSample (1, 1000, 0.5f);
        return buffer;
    }

    /** The distance in samples from the dry click to the loudest sample after it (its first echo). */
    int echoDelay (const juce::AudioBuffer<float>& output)
    {
        int dry = 0;
        while (dry < output.getNumSamples() && std::abs (output.getSample (0, dry)) < 0.05f)
            ++dry;
        int echo = dry + 64;
        for (int i = echo; i < output.getNumSamples(); ++i)
            if (std::abs (output.getSample (0, i)) > std::abs (output.getSample (0, echo)))
                echo = i;
        return echo - dry;
    }

    juce::AudioBuffer<float> render (const Settings& settings, const juce::AudioBuffer<float>& input = voice (44100))
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
        return Audio::stream (*plugin, input, 512);
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
    // must not (Output under Auto, Time under Sync, a switch of a module that is transparent), nothing. The
    // level, frequency, Q and time controls also move a tone by the dB, or the echo by the samples, they stand for.
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

        if (c.effect.kind == Effect::Kind::toneDb)
        {
            EXPECT_NEAR (toneDb (changed, c.effect.hz) - toneDb (reference, c.effect.hz), c.effect.expected,
                         c.effect.tolerance)
                << c.id << " at " << c.effect.hz << " Hz";
        }
        if (c.effect.kind == Effect::Kind::echoSamples)
        {
            EXPECT_NEAR (echoDelay (render (settings, click())), c.effect.expected, c.effect.tolerance) << c.id;
        }
    }

    // The figures: the EQ bands are the biquads of their designs (the high band at its 5 kHz default, the
    // low at 100 Hz, the mid a peak at 1 kHz, each Q 0.707), heard after Compress, whose curve at Compression
    // 0 only Input and Mix change; echoes at 120 BPM, the host's tempo when it sends none.
    const double beat = rate * 60.0 / 120.0;

    const Settings delayOn { { "paramSpaceDelayType", 3.0f }, { "paramSpaceDelayAmount", 50.0f } };
    const Settings shortDelay { { "paramSpaceDelayType", 3.0f },
                                { "paramSpaceDelayAmount", 50.0f },
                                { "paramSpaceDelayNote", 5.0f } };
    const Settings doubled { { "paramMultiplyAmount", 50.0f } };

    INSTANTIATE_TEST_SUITE_P (
        EveryParameter, Vst3Routing,
        ::testing::Values (
            RoutingCase { "paramMix", 50.0f, {}, true, toneMovesBy (150.0, halfMixMovesToneBy (150.0), 0.1) },
            RoutingCase { "paramBypass", 1.0f, {}, true }, RoutingCase { "paramCompressPower", 0.0f, {}, true },
            RoutingCase {
                "paramCompressInput", 6.0f, {}, true, toneMovesBy (1000.0, inputMovesToneBy (6.0, 1000.0), 0.1) },
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
            RoutingCase {
                "paramEQHighFreq",
                1000.0f,
                { { "paramEQHighGain", 6.0f } },
                true,
                toneMovesBy (1000.0, highShelfDb (1000.0, 0.707, 1000.0) - highShelfDb (5000.0, 0.707, 1000.0)) },
            RoutingCase {
                "paramEQHighGain", 6.0f, {}, true, toneMovesBy (13000.0, highShelfDb (5000.0, 0.707, 13000.0)) },
            RoutingCase {
                "paramEQHighQ",
                3.0f,
                { { "paramEQHighGain", 6.0f } },
                true,
                toneMovesBy (13000.0, highShelfDb (5000.0, 3.0, 13000.0) - highShelfDb (5000.0, 0.707, 13000.0)) },
            RoutingCase { "paramEQMidFreq",
                          300.0f,
                          { { "paramEQMidGain", 6.0f } },
                          true,
                          toneMovesBy (1000.0, peakDb (300.0, 0.707, 1000.0) - 6.0) },
            RoutingCase { "paramEQMidGain", 6.0f, {}, true, toneMovesBy (1000.0, 6.0) },
            RoutingCase { "paramEQMidQ",
                          3.0f,
                          { { "paramEQMidGain", 6.0f } },
                          true,
                          toneMovesBy (150.0, peakDb (1000.0, 3.0, 150.0) - peakDb (1000.0, 0.707, 150.0)) },
            RoutingCase { "paramEQLowFreq",
                          400.0f,
                          { { "paramEQLowGain", 6.0f } },
                          true,
                          toneMovesBy (150.0, lowShelfDb (400.0, 0.707, 150.0) - lowShelfDb (100.0, 0.707, 150.0)) },
            RoutingCase { "paramEQLowGain", 6.0f, {}, true, toneMovesBy (150.0, lowShelfDb (100.0, 0.707, 150.0)) },
            RoutingCase { "paramEQLowQ",
                          3.0f,
                          { { "paramEQLowGain", 6.0f } },
                          true,
                          toneMovesBy (150.0, lowShelfDb (100.0, 3.0, 150.0) - lowShelfDb (100.0, 0.707, 150.0)) },
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
                          true,
                          echoAfter (0.1 * rate) },
            RoutingCase {
                "paramSpaceDelayType", 3.0f, { { "paramSpaceDelayAmount", 50.0f } }, true, echoAfter (beat / 2.0) },
            RoutingCase { "paramSpaceDelayTime", 100.0f, delayOn, false },
            RoutingCase { "paramSpaceDelayNote", 5.0f, delayOn, true, echoAfter (beat * 3.0 / 16.0) },
            RoutingCase { "paramSpaceDelayAmount", 50.0f, { { "paramSpaceDelayType", 3.0f } }, true },
            RoutingCase { "paramSpaceDelayFeedback", 90.0f, shortDelay, true },
            RoutingCase { "paramGainPower", 0.0f, { { "paramGainGain", 6.0f } }, true },
            RoutingCase { "paramGainType", 1.0f, { { "paramGainDrive", 50.0f } }, true },
            RoutingCase { "paramGainDrive", 100.0f, { { "paramGainType", 1.0f } }, true },
            RoutingCase { "paramGainMix", 0.0f, { { "paramGainType", 1.0f }, { "paramGainDrive", 100.0f } }, true },
            RoutingCase { "paramGainGain", 6.0f, {}, true, toneMovesBy (1000.0, 6.0) },
            RoutingCase { "paramGainPreFx",
                          1.0f,
                          { { "paramGainType", 1.0f },
                            { "paramGainDrive", 100.0f },
                            { "paramSpaceDelayType", 3.0f },
                            { "paramSpaceDelayAmount", 50.0f } },
                          true },
            RoutingCase { "paramGainLimit", 1.0f, {}, true }),
        [] (const ::testing::TestParamInfo<RoutingCase>& info) { return std::string (info.param.id); });
} // namespace
} // namespace tessaro::test
