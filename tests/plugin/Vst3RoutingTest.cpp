#include "plugin/RoutingFigures.h"
#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

#include <juce_dsp/juce_dsp.h>

#include <map>

namespace tessaro::test
{
namespace
{
    using Settings = std::vector<std::pair<const char*, float>>;

    /** A stretch of the click's render, from..to samples after the dry click, whose RMS level must move by db. */
    struct Window
    {
        int from, to;
        double db;
    };

    /** What the change must do besides being heard: move one tone of the voice by a level in dB, put the
        first echo of a click a number of samples after it, move stretches of the click's render by levels
        in dB, or make the click's reverb decay by 60 dB in a number of seconds. */
    struct Effect
    {
        enum class Kind
        {
            heard,
            toneDb,
            echoSamples,
            clickDb,
            decaySeconds
        };
        Kind kind = Kind::heard;
        double hz = 0.0;
        double expected = 0.0;
        double tolerance = 0.0;
        std::vector<Window> windows {};
        double (*figure) (double hz, int latency) = nullptr; // computes `expected` for the bundle's latency
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

    /** A tone move whose size is computed for the bundle's latency. */
    Effect toneMovesByFigure (double hz, double (*figure) (double, int), double tolerance)
    {
        return { Effect::Kind::toneDb, hz, 0.0, tolerance, {}, figure };
    }

    Effect clickMovesBy (std::vector<Window> windows, double tolerance = 0.05)
    {
        return { Effect::Kind::clickDb, 0.0, 0.0, tolerance, std::move (windows) };
    }

    /** The click's reverb decays as the product's room reverb at a Reverb Time does in-process. */
    Effect decaysIn (double reverbTime, double relativeTolerance)
    {
        return { Effect::Kind::decaySeconds, 0.0, reverbTime, relativeTolerance };
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

    juce::AudioBuffer<float> voice (int numSamples)
    {
        return RoutingFigures::voice (numSamples);
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

    juce::AudioBuffer<float> click (int numSamples = 44100)
    {
        return RoutingFigures::click (numSamples);
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

    /** The bundle's latency at 44.1 kHz in 512-sample blocks (constant, whatever the settings). */
    int latency()
    {
        static const int samples = []
        {
            auto plugin = Vst3Bundle::create();
            plugin->prepareToPlay (44100.0, 512);
            return plugin->getLatencySamples();
        }();
        return samples;
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
            const double expected =
                c.effect.figure != nullptr ? c.effect.figure (c.effect.hz, latency()) : c.effect.expected;
            EXPECT_NEAR (toneDb (changed, c.effect.hz) - toneDb (reference, c.effect.hz), expected, c.effect.tolerance)
                << c.id << " at " << c.effect.hz << " Hz";
        }
        if (c.effect.kind == Effect::Kind::echoSamples)
        {
            EXPECT_NEAR (echoDelay (render (settings, click())), c.effect.expected, c.effect.tolerance) << c.id;
        }
        if (c.effect.kind == Effect::Kind::clickDb)
        {
            const auto clickBefore = render (c.context, click()), clickAfter = render (settings, click());
            const int dry = 1000 + latency();
            for (const auto& w : c.effect.windows)
            {
                const int end = std::min (dry + w.to, clickAfter.getNumSamples());
                const double moved = RoutingFigures::rmsDb (clickAfter, dry + w.from, end) -
                                     RoutingFigures::rmsDb (clickBefore, dry + w.from, end);
                EXPECT_NEAR (moved, w.db, c.effect.tolerance) << c.id << " over " << w.from << ".." << w.to;
            }
        }
        if (c.effect.kind == Effect::Kind::decaySeconds)
        {
            const auto tail = render (settings, click (3 * 44100));
            const double seconds = RoutingFigures::decaySeconds (tail, 1000 + latency() + 64);
            const double expected = RoutingFigures::roomDecaySeconds (c.effect.expected, 3 * 44100);
            EXPECT_NEAR (seconds / expected, 1.0, c.effect.tolerance) << c.id << ": " << seconds << " s";
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

    double ratioDb (double a, double b)
    {
        return juce::Decibels::gainToDecibels (a / b);
    }

    // The tone figures computed in-process agree with the bundle to a few thousandths of a dB.
    // The amounts are linear dry/wet blends: from 25 % to 75 % the dry click falls to a third and the wet
    // tail rises threefold (the room's wet starts at the dry click, so only its tail is measured).
    // Multiply's Low is a linear gain on its octave voice, heard after the click. The short echo (a 3/16
    // note) repeats every 4134 samples, each repeat scaled by the feedback.
    constexpr int everything = 1 << 24;
    const std::vector<Window> quarterToThreeQuarters { { 0, 1, ratioDb (0.25, 0.75) },
                                                       { 64, everything, ratioDb (0.75, 0.25) } };
    const std::vector<Window> wetQuarterToThreeQuarters { { 64, everything, ratioDb (0.75, 0.25) } };
    const int shortEcho = (int) std::lround (beat * 3.0 / 16.0);

    INSTANTIATE_TEST_SUITE_P (
        EveryParameter, Vst3Routing,
        ::testing::Values (
            RoutingCase { "paramMix", 50.0f, {}, true, toneMovesBy (150.0, halfMixMovesToneBy (150.0), 0.1) },
            RoutingCase { "paramBypass", 1.0f, {}, true }, RoutingCase { "paramCompressPower", 0.0f, {}, true },
            RoutingCase {
                "paramCompressInput", 6.0f, {}, true, toneMovesBy (1000.0, inputMovesToneBy (6.0, 1000.0), 0.1) },
            RoutingCase { "paramCompressCompression",
                          50.0f,
                          {},
                          true,
                          toneMovesByFigure (1000.0, RoutingFigures::compressionMovesToneBy, 0.02) },
            RoutingCase { "paramCompressOutput", -12.0f, {}, false },
            RoutingCase { "paramCompressSlow", 1.0f, {}, true }, RoutingCase { "paramCompressAuto", 0.0f, {}, true },
            RoutingCase { "paramEnhancePower", 0.0f, {}, true },
            RoutingCase { "paramEnhanceDeEss",
                          100.0f,
                          {},
                          true,
                          toneMovesByFigure (7500.0, RoutingFigures::deEssMovesToneBy, 0.02) },
            RoutingCase { "paramEnhanceDeNoise",
                          100.0f,
                          {},
                          true,
                          toneMovesByFigure (1000.0, RoutingFigures::deNoiseMovesToneBy, 0.02) },
            RoutingCase { "paramEnhanceAir",
                          100.0f,
                          {},
                          true,
                          toneMovesByFigure (13000.0, RoutingFigures::airMovesToneBy, 0.02) },
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
            RoutingCase { "paramMultiplyAmount",
                          75.0f,
                          { { "paramMultiplyAmount", 25.0f } },
                          true,
                          clickMovesBy ({ { 64, everything,
                                            ratioDb (RoutingFigures::multiplyWetLevel (75.0),
                                                     RoutingFigures::multiplyWetLevel (25.0)) } }) },
            RoutingCase { "paramMultiplyLow",
                          75.0f,
                          { { "paramMultiplyLow", 25.0f } },
                          true,
                          clickMovesBy ({ { 64, everything, ratioDb (0.75, 0.25) } }) },
            RoutingCase { "paramSpacePower", 0.0f, delayOn, true },
            RoutingCase { "paramSpaceReverbType", 1.0f, { { "paramSpaceReverbAmount", 50.0f } }, true },
            RoutingCase { "paramSpaceReverbTime",
                          90.0f,
                          { { "paramSpaceReverbType", 1.0f }, { "paramSpaceReverbAmount", 50.0f } },
                          true,
                          decaysIn (90.0, 0.05) },
            RoutingCase { "paramSpaceReverbAmount",
                          75.0f,
                          { { "paramSpaceReverbType", 1.0f }, { "paramSpaceReverbAmount", 25.0f } },
                          true,
                          clickMovesBy (wetQuarterToThreeQuarters) },
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
            RoutingCase { "paramSpaceDelayAmount",
                          75.0f,
                          { { "paramSpaceDelayType", 3.0f }, { "paramSpaceDelayAmount", 25.0f } },
                          true,
                          clickMovesBy (quarterToThreeQuarters) },
            RoutingCase { "paramSpaceDelayFeedback", 90.0f, shortDelay, true,
                          clickMovesBy ({ { shortEcho - 32, shortEcho + 300, 0.0 },
                                          { 2 * shortEcho - 32, 2 * shortEcho + 300, ratioDb (0.9, 0.5) },
                                          { 3 * shortEcho - 32, 3 * shortEcho + 300, 2.0 * ratioDb (0.9, 0.5) } }) },
            RoutingCase { "paramGainPower", 0.0f, { { "paramGainGain", 6.0f } }, true },
            RoutingCase { "paramGainType", 1.0f, { { "paramGainDrive", 50.0f } }, true },
            RoutingCase { "paramGainDrive",
                          100.0f,
                          { { "paramGainType", 1.0f } },
                          true,
                          toneMovesByFigure (1000.0, RoutingFigures::driveMovesToneBy, 0.02) },
            RoutingCase { "paramGainMix",
                          25.0f,
                          { { "paramGainType", 1.0f }, { "paramGainDrive", 100.0f } },
                          true,
                          toneMovesByFigure (1000.0, RoutingFigures::quarterMixMovesToneBy, 0.02) },
            RoutingCase { "paramGainGain", 6.0f, {}, true, toneMovesBy (1000.0, 6.0) },
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
