// The hosted plug-in under what real sessions throw at it: every sample rate, any block size,
// broken input and long random automation. It must never crash, never output a NaN, an infinity
// or a runaway level, and must fall silent again when its input does.
#include "plugin/HostedSettings.h"
#include "plugin/Vst3TestSupport.h"

#include <cmath>
#include <limits>
#include <random>

namespace tessaro::test
{
namespace
{
    constexpr int maxBlockSize = 8192;

    // Every boost the controls allow stacked together is about +75 dB; a level beyond +80 dBFS
    // can only come from a runaway feedback loop or a broken filter state.
    constexpr float bound = 1.0e4f;

    // -100 dBFS after the tails have died away.
    constexpr float silence = 1.0e-5f;

    /** What a stretch of output looked like. */
    struct Meter
    {
        long nonFinite = 0;
        float peak = 0.0f;

        void add (const juce::AudioBuffer<float>& block, int numChannels)
        {
            for (int ch = 0; ch < numChannels; ++ch)
                for (int n = 0; n < block.getNumSamples(); ++n)
                {
                    const float x = block.getSample (ch, n);
                    if (! std::isfinite (x))
                        ++nonFinite;
                    else
                        peak = juce::jmax (peak, std::abs (x));
                }
        }
    };

    /** A voice-like test signal: a gliding harmonic tone with noise, swelling and pausing. */
    class Source
    {
    public:
        Source (double rate, unsigned seed) : sampleRate (rate), random (seed) {}

        float next()
        {
            const double t = (double) (count++) / sampleRate;
            const double swell = std::max (0.0, std::sin (juce::MathConstants<double>::twoPi * 0.4 * t));
            phase += juce::MathConstants<double>::twoPi * (180.0 + 60.0 * std::sin (2.0 * t)) / sampleRate;
            const double tone = std::sin (phase) + 0.5 * std::sin (2.0 * phase) + 0.25 * std::sin (3.0 * phase);
            return (float) (0.25 * swell * (tone + 0.3 * noise (random)));
        }

    private:
        double sampleRate;
        std::mt19937 random;
        std::normal_distribution<double> noise { 0.0, 1.0 };
        double phase = 0.0;
        juce::int64 count = 0;
    };

    /** A prepared hosted instance with a stereo streaming loop of variable block sizes. */
    class Session
    {
    public:
        Session (double rate, int maxBlock = maxBlockSize) : sampleRate (rate), block (2, maxBlock)
        {
            plugin = Vst3Bundle::create (rate, maxBlock);
            if (plugin != nullptr)
                plugin->prepareToPlay (rate, maxBlock);
        }

        /** Runs `numSamples` of input in blocks whose sizes `nextSize` picks; `fill` writes each block. */
        template <typename NextSize, typename Fill> Meter run (juce::int64 numSamples, NextSize&& nextSize, Fill&& fill)
        {
            Meter meter;
            for (juce::int64 done = 0; done < numSamples;)
            {
                const int n = (int) std::min<juce::int64> (juce::jlimit (1, block.getNumSamples(), nextSize()),
                                                           numSamples - done);
                juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), 2, n);
                fill (view);
                plugin->processBlock (view, midi);
                meter.add (view, 2);
                done += n;
            }
            return meter;
        }

        /** Feeds silence for `seconds` and meters only the last half second. */
        Meter fadeOut (double seconds, int blockSize = 512)
        {
            const auto total = (juce::int64) (seconds * sampleRate);
            const auto tail = (juce::int64) (0.5 * sampleRate);
            run (
                total - tail, [=] { return blockSize; }, [] (auto& b) { b.clear(); });
            return run (
                tail, [=] { return blockSize; }, [] (auto& b) { b.clear(); });
        }

        /** Fills blocks from the voice-like source, the same on both channels but for a small offset. */
        auto voice (Source& source)
        {
            return [&source] (juce::AudioBuffer<float>& b)
            {
                for (int n = 0; n < b.getNumSamples(); ++n)
                {
                    const float x = source.next();
                    b.setSample (0, n, x);
                    b.setSample (1, n, 0.9f * x);
                }
            };
        }

        double sampleRate;
        std::unique_ptr<juce::AudioPluginInstance> plugin;
        juce::AudioBuffer<float> block;
        juce::MidiBuffer midi;
    };

    /** Endless or very long tails are a choice, not a fault: brings the echo's feedback and the
        room's time back to their defaults before listening for silence. */
    void shortenTails (juce::AudioPluginInstance& plugin)
    {
        apply (plugin, { { "paramSpaceDelayFeedback", 50.0f }, { "paramSpaceReverbTime", 50.0f } });
    }

    void expectSane (const Meter& meter, const char* stage)
    {
        EXPECT_EQ (meter.nonFinite, 0) << stage;
        EXPECT_LT (meter.peak, bound) << stage;
    }

    /** Block sizes drawn from 1 .. max, with a bias to the small and odd ones hosts send. */
    auto randomSizes (std::mt19937& random, int max)
    {
        return [&random, max]
        {
            const auto pick = random() % 4u;
            if (pick == 0)
                return 1 + (int) (random() % 16u);
            return 1 + (int) (random() % (unsigned) max);
        };
    }

    //==============================================================================
    class Vst3SampleRates : public ::testing::TestWithParam<double>
    {
    protected:
        ScopedHome home;
    };

    // The heaviest setting at every rate, with block sizes changing on every call.
    TEST_P (Vst3SampleRates, HeaviestSettingStaysFiniteAndFallsSilent)
    {
        const double rate = GetParam();
        Session session (rate);
        ASSERT_NE (session.plugin, nullptr);
        apply (*session.plugin, heaviestSettings());

        std::mt19937 random (7);
        Source source (rate, 11);
        expectSane (
            session.run ((juce::int64) (3.0 * rate), randomSizes (random, maxBlockSize), session.voice (source)),
            "voice");

        shortenTails (*session.plugin);
        const auto tail = session.fadeOut (30.0);
        expectSane (tail, "tail");
        EXPECT_LE (tail.peak, silence);
    }

    INSTANTIATE_TEST_SUITE_P (Rates, Vst3SampleRates, ::testing::Values (22050.0, 44100.0, 48000.0, 96000.0, 192000.0),
                              [] (const auto& info) { return std::to_string ((int) info.param); });

    //==============================================================================
    class Vst3BlockSizes : public ::testing::TestWithParam<int>
    {
    protected:
        ScopedHome home;
    };

    // A fixed block size, from a single sample to the largest a host announces; the signal
    // still comes out at the reported latency and at its level.
    TEST_P (Vst3BlockSizes, FixedBlockSizeKeepsTheSignal)
    {
        const int size = GetParam();
        Session session (48000.0);
        ASSERT_NE (session.plugin, nullptr);

        Source source (48000.0, 3);
        const auto meter = session.run (
            48000, [=] { return size; }, session.voice (source));
        expectSane (meter, "voice");
        EXPECT_GT (meter.peak, 0.05f);
        EXPECT_LE (session.fadeOut (2.0, size).peak, silence);
    }

    INSTANTIATE_TEST_SUITE_P (Sizes, Vst3BlockSizes, ::testing::Values (1, 2, 3, 17, 64, 511, 512, 1000, 4096, 8192),
                              [] (const auto& info) { return "Samples" + std::to_string (info.param); });

    //==============================================================================
    struct HostileInput
    {
        const char* name;
        float value;
        bool alternate; // flips sign every sample (a full-scale tone at Nyquist)
    };

    void PrintTo (const HostileInput& c, std::ostream* os)
    {
        *os << c.name;
    }

    class Vst3HostileInput : public ::testing::TestWithParam<HostileInput>
    {
    protected:
        ScopedHome home;
    };

    // A burst of broken or extreme input in the middle of a phrase, with every module working:
    // the output stays finite and bounded, and the plug-in recovers to silence afterwards.
    TEST_P (Vst3HostileInput, BurstLeavesNoTrace)
    {
        const auto value = GetParam().value;
        const bool alternate = GetParam().alternate;
        Session session (44100.0, 512);
        ASSERT_NE (session.plugin, nullptr);
        apply (*session.plugin, heaviestSettings());

        Source source (44100.0, 5);
        std::mt19937 random (9);
        const auto sizes = randomSizes (random, 512);
        expectSane (session.run (22050, sizes, session.voice (source)), "before");

        juce::int64 i = 0;
        const auto burst = [&] (juce::AudioBuffer<float>& b)
        {
            for (int n = 0; n < b.getNumSamples(); ++n, ++i)
            {
                const float x = alternate && (i % 2) != 0 ? -value : value;
                b.setSample (0, n, x);
                b.setSample (1, n, (i % 3) == 0 ? x : 0.5f * value);
            }
        };
        expectSane (session.run (22050, sizes, burst), "burst");
        expectSane (session.run (44100, sizes, session.voice (source)), "after");

        shortenTails (*session.plugin);
        const auto tail = session.fadeOut (30.0);
        expectSane (tail, "tail");
        EXPECT_LE (tail.peak, silence);
    }

    INSTANTIATE_TEST_SUITE_P (
        Bursts, Vst3HostileInput,
        ::testing::Values (HostileInput { "NaN", std::numeric_limits<float>::quiet_NaN(), false },
                           HostileInput { "PlusInfinity", std::numeric_limits<float>::infinity(), false },
                           HostileInput { "MinusInfinity", -std::numeric_limits<float>::infinity(), true },
                           HostileInput { "Denormal", 1.0e-40f, true }, HostileInput { "FullScaleDc", 1.0f, false },
                           HostileInput { "FullScaleNyquist", 1.0f, true }, HostileInput { "Overdriven", 8.0f, true }),
        [] (const auto& info) { return std::string (info.param.name); });

    //==============================================================================
    class Vst3RandomAutomation : public ::testing::TestWithParam<unsigned>
    {
    protected:
        ScopedHome home;
    };

    // Two minutes of a voice with every parameter, the host's bypass included, automated at
    // random, in blocks of random size; five seeds make ten minutes of audio.
    TEST_P (Vst3RandomAutomation, TwoMinutesStayFiniteBoundedAndFallSilent)
    {
        constexpr double rate = 44100.0;
        Session session (rate, 2048);
        ASSERT_NE (session.plugin, nullptr);
        auto& plugin = *session.plugin;
        const auto& parameters = plugin.getParameters();

        std::mt19937 random (GetParam());
        std::uniform_real_distribution<float> value (0.0f, 1.0f);
        const auto sizes = randomSizes (random, 2048);
        Source source (rate, GetParam() + 1);
        const auto voice = session.voice (source);

        Meter meter;
        for (int second = 0; second < 120; ++second)
        {
            for (int k = 0; k < 6; ++k)
            {
                auto* parameter = parameters[(int) (random() % (unsigned) parameters.size())];
                // The host's bypass only now and then, so the chain is heard most of the time.
                if (parameter == plugin.getBypassParameter() && random() % 4u != 0)
                    continue;
                parameter->setValueNotifyingHost (value (random));
            }
            const auto part = session.run ((juce::int64) rate, sizes, voice);
            meter.nonFinite += part.nonFinite;
            meter.peak = juce::jmax (meter.peak, part.peak);
        }
        expectSane (meter, "automation");
        RecordProperty ("peak", juce::String (meter.peak).toStdString());

        shortenTails (plugin);
        plugin.getBypassParameter()->setValueNotifyingHost (0.0f);
        shortenTails (*session.plugin);
        const auto tail = session.fadeOut (30.0);
        expectSane (tail, "tail");
        EXPECT_LE (tail.peak, silence);
    }

    INSTANTIATE_TEST_SUITE_P (Seeds, Vst3RandomAutomation, ::testing::Values (1u, 2u, 3u, 4u, 5u));
} // namespace
} // namespace tessaro::test
