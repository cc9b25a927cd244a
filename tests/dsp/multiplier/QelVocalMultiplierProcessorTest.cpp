#include "dsp/multiplier/QelVocalMultiplierProcessor.h"

#include "dsp/SpaceTestSignals.h"

#include "SpokenPhrase.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace
{
using Stereo = std::array<std::vector<float>, 2>;

struct Settings
{
    float spread = 100.0f;
    float offset = 0.0f;
    float amount = 0.0f;
    float low = 0.0f;
};

/** A multiplier set up as the Multiply module sets it: six voices, then the four controls. */
std::unique_ptr<QelVocalMultiplierProcessor> makeMultiplier (Settings settings, double rate = 48000.0,
                                                             int blockSize = 512, float voicesAmount = 30.0f)
{
    auto multiplier = std::make_unique<QelVocalMultiplierProcessor>();
    multiplier->setVoicesAmount (voicesAmount);
    multiplier->setSpread (settings.spread);
    multiplier->setOffset (settings.offset);
    multiplier->setAmount (settings.amount);
    multiplier->setLow (settings.low);
    multiplier->prepare ({ rate, (juce::uint32) blockSize, 2 });
    return multiplier;
}

/** Runs both channels through the block entry in place, blockSize samples at a time. */
Stereo render (QelVocalMultiplierProcessor& multiplier, const Stereo& input, int blockSize = 512)
{
    Stereo out = input;
    const auto length = (int) out[0].size();

    for (int start = 0; start < length; start += blockSize)
    {
        float* channels[2] = { out[0].data() + start, out[1].data() + start };
        multiplier.process (channels, channels, std::min (blockSize, length - start), 2, 2);
    }

    return out;
}

Stereo mono (const std::vector<float>& signal)
{
    return { signal, signal };
}

/** The output minus the input delayed by the latency. */
std::vector<float> wetPart (const std::vector<float>& out, const std::vector<float>& in)
{
    std::vector<float> wet (out.size());

    for (std::size_t t = 0; t < out.size(); ++t)
        wet[t] = out[t] - (t >= 2048 ? in[t - 2048] : 0.0f);

    return wet;
}

double sideToMid (const Stereo& out, std::size_t from)
{
    double side = 0.0, mid = 0.0;

    for (std::size_t t = from; t < out[0].size(); ++t)
    {
        side += std::pow (out[0][t] - out[1][t], 2.0);
        mid += std::pow (out[0][t] + out[1][t], 2.0);
    }

    return std::sqrt (side / mid);
}

TEST (QelVocalMultiplier, WithoutAmountAndLowTheOutputIsTheInput2048SamplesLateAtEveryRate)
{
    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        auto multiplier = makeMultiplier ({ 100.0f, 50.0f, 0.0f, 0.0f }, rate);
        EXPECT_EQ (multiplier->getLatencyInSamples(), 2048);

        const Stereo input { spacetest::noise (8192, 0.5f, 3), spacetest::noise (8192, 0.5f, 4) };
        const auto out = render (*multiplier, input, 500);

        for (int c = 0; c < 2; ++c)
            for (std::size_t t = 0; t < out[0].size(); ++t)
                ASSERT_EQ (out[(size_t) c][t], t >= 2048 ? input[(size_t) c][t - 2048] : 0.0f)
                    << rate << " Hz, channel " << c << ", sample " << t;
    }
}

TEST (QelVocalMultiplier, SilenceInGivesSilenceOutAtFullSettings)
{
    auto multiplier = makeMultiplier ({ 200.0f, 100.0f, 100.0f, 100.0f });
    const auto out = render (*multiplier, mono (std::vector<float> (48000, 0.0f)));

    EXPECT_EQ (spacetest::peak (out[0].data(), out[0].size()), 0.0f);
    EXPECT_EQ (spacetest::peak (out[1].data(), out[1].size()), 0.0f);
}

TEST (QelVocalMultiplier, TheSameInputGivesTheSameEnsembleInEveryInstance)
{
    const auto input = mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 24000));
    const auto a = render (*makeMultiplier ({ 100.0f, 50.0f, 100.0f, 50.0f }), input);
    const auto b = render (*makeMultiplier ({ 100.0f, 50.0f, 100.0f, 50.0f }), input);

    EXPECT_EQ (a[0], b[0]);
    EXPECT_EQ (a[1], b[1]);
}

// A reset puts the voices, their drift, shifters and lines back: the next render is a new instance's, to the
// bit, in the voice mode, the single-voice mode (spectral shifter) and with the octave voice and widened copy.
// The feed's band limits fade in with a new stream's first block; a reset must start that fade again too.
TEST (QelVocalMultiplier, AfterAResetTheRenderIsANewInstancesRender)
{
    const Stereo input { spacetest::noise (24000, 0.3f, 5), spacetest::noise (24000, 0.3f, 6) };

    for (float voices : { 30.0f, 2.0f })
    {
        const Settings settings { 150.0f, 50.0f, 100.0f, 50.0f };
        auto fresh = makeMultiplier (settings, 48000.0, 512, voices);
        auto used = makeMultiplier (settings, 48000.0, 512, voices);
        render (*used, input);
        used->reset();

        const auto expected = render (*fresh, input);
        const auto again = render (*used, input);
        for (int c = 0; c < 2; ++c)
        {
            const auto differs =
                std::mismatch (expected[(size_t) c].begin(), expected[(size_t) c].end(), again[(size_t) c].begin());
            EXPECT_EQ (differs.first, expected[(size_t) c].end())
                << voices << " % voices, channel " << c << ", first difference at sample "
                << (differs.first - expected[(size_t) c].begin());
        }
    }
}

TEST (QelVocalMultiplier, AmountScalesTheVoiceBusOnItsDecadeCurve)
{
    // Amount 100 gives a wet level of 2, Amount 50 gives 2 (10^0.5 - 1) / 9: the voice bus itself is
    // the same, so the wet parts differ by exactly that ratio.
    const auto input = mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 24000));
    const auto full = render (*makeMultiplier ({ 100.0f, 50.0f, 100.0f, 0.0f }), input);
    const auto half = render (*makeMultiplier ({ 100.0f, 50.0f, 50.0f, 0.0f }), input);

    const auto wetFull = wetPart (full[0], input[0]);
    const auto wetHalf = wetPart (half[0], input[0]);
    const double ratio = (std::sqrt (10.0) - 1.0) / 9.0;

    EXPECT_GT (spacetest::rms (wetFull.data() + 8000, 16000), 0.5 * spacetest::rms (input[0].data() + 8000, 16000));

    for (std::size_t t = 0; t < wetFull.size(); ++t)
        ASSERT_NEAR (wetHalf[t], wetFull[t] * ratio, 1.0e-5) << t;
}

TEST (QelVocalMultiplier, SpreadSetsTheWidthOfTheEnsemble)
{
    // A mono voice: Spread 0 folds the voices to the centre (the output stays mono to the bit), 50 pans
    // them half way and narrows the bus, 100 spreads them from hard left to hard right.
    const auto input = mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 24000));

    const auto centred = render (*makeMultiplier ({ 0.0f, 50.0f, 100.0f, 50.0f }), input);
    EXPECT_EQ (centred[0], centred[1]);

    const double half = sideToMid (render (*makeMultiplier ({ 50.0f, 50.0f, 100.0f, 0.0f }), input), 8000);
    const double full = sideToMid (render (*makeMultiplier ({ 100.0f, 50.0f, 100.0f, 0.0f }), input), 8000);

    EXPECT_GT (half, 0.05);
    EXPECT_GT (full, 0.5);
    EXPECT_GT (full, 3.0 * half);
}

TEST (QelVocalMultiplier, SpreadAboveFullBringsInTheWidenedCopyAndTakesItOutAgain)
{
    auto multiplier = makeMultiplier ({ 150.0f, 50.0f, 100.0f, 0.0f });
    auto block = mono (std::vector<float> (512, 0.0f));
    render (*multiplier, block);
    EXPECT_FLOAT_EQ (multiplier->stereoCopyGain.getTargetValue(), 0.2f);
    EXPECT_FLOAT_EQ (multiplier->stereoizer.amount.load(), 50.0f);
    EXPECT_EQ (multiplier->widthStage.mode.load(), 0);

    multiplier->setSpread (90.0f);
    render (*multiplier, block);
    EXPECT_FLOAT_EQ (multiplier->stereoCopyGain.getTargetValue(), 0.0f);
    EXPECT_FLOAT_EQ (multiplier->stereoizer.amount.load(), 0.0f);
    EXPECT_FLOAT_EQ (multiplier->spreadPercent, 90.0f);
    EXPECT_EQ (multiplier->widthStage.mode.load(), 1); // narrowing to width 45
}

TEST (QelVocalMultiplier, OffsetStretchesTheVoiceDelays)
{
    // A 5 ms burst: the voices' echoes end about 50 ms x 0.6 after it at Offset 0 and 50 ms x 2 at
    // Offset 100, so the wet part's energy centre moves later by roughly 28.5 ms x 1.4.
    const double rate = 48000.0;
    std::vector<float> burst (24000, 0.0f);
    const auto tone = spacetest::sine (700.0, rate, 240, 0.5);
    std::copy (tone.begin(), tone.end(), burst.begin() + 4000);

    auto centre = [&] (float offset)
    {
        const auto out = render (*makeMultiplier ({ 100.0f, offset, 100.0f, 0.0f }, rate), mono (burst));
        const auto wet = wetPart (out[0], burst);
        double weighted = 0.0, energy = 0.0;

        for (std::size_t t = 0; t < wet.size(); ++t)
        {
            weighted += (double) t * wet[t] * wet[t];
            energy += (double) wet[t] * wet[t];
        }

        return weighted / energy / rate * 1000.0; // ms
    };

    EXPECT_NEAR (centre (100.0f) - centre (0.0f), 28.5 * 1.4, 10.0);
}

TEST (QelVocalMultiplier, LowAddsAVoiceAnOctaveDownAlignedWithTheDryPath)
{
    // Amount 0: what the output holds beyond the delayed input is the octave voice. A 200 Hz buzz has
    // partials at multiples of 200 Hz only; an octave down, the odd multiples of 100 Hz appear as strongly.
    const double rate = 48000.0;
    const auto buzz = spacetest::formantBuzz (200.0, 900.0, rate, 24576);
    const auto out = render (*makeMultiplier ({ 100.0f, 50.0f, 0.0f, 50.0f }, rate), mono (buzz));
    const auto octave = wetPart (out[0], buzz);

    double odd = 0.0, even = 0.0;

    for (int k = 1; k <= 10; ++k)
    {
        odd += spacetest::bandEnergy (octave.data() + 8192, 8192, rate, 200.0 * k - 110.0, 200.0 * k - 90.0);
        even += spacetest::bandEnergy (octave.data() + 8192, 8192, rate, 200.0 * k - 10.0, 200.0 * k + 10.0);
    }

    EXPECT_GT (odd / even, 0.5);
    EXPECT_GT (spacetest::rms (octave.data() + 8192, 8192), 0.5 * spacetest::rms (buzz.data() + 8192, 8192));

    // A 20 ms burst: the shifter's frame (1024) and the octave delay (1024) together match the dry delay.
    std::vector<float> burst (16384, 0.0f);
    std::copy (buzz.begin() + 4000, buzz.begin() + 4960, burst.begin() + 4000);
    const auto burstOut = render (*makeMultiplier ({ 100.0f, 50.0f, 0.0f, 50.0f }, rate), mono (burst));
    const auto burstOctave = wetPart (burstOut[0], burst);

    auto centre = [] (const std::vector<float>& x)
    {
        double weighted = 0.0, energy = 0.0;
        for (std::size_t t = 0; t < x.size(); ++t)
        {
            weighted += (double) t * x[t] * x[t];
            energy += (double) x[t] * x[t];
        }
        return weighted / energy;
    };

    EXPECT_NEAR (centre (burstOctave) - centre (burst), 2048.0, 128.0);
}

TEST (QelVocalMultiplier, RaisingLowAgainDoesNotReplayOldAudio)
{
    // Low up with a tone, Low down while the input goes silent, Low up again on silence: the octave
    // voice must not bring back the tone it held when it stopped. A reset forgets it as well.
    const double rate = 48000.0;
    auto multiplier = makeMultiplier ({ 100.0f, 50.0f, 0.0f, 50.0f }, rate);
    const auto tone = mono (spacetest::sine (1000.0, rate, 12000));
    const auto silence = mono (std::vector<float> (12000, 0.0f));

    render (*multiplier, tone);
    multiplier->setLow (0.0f);
    render (*multiplier, silence);
    multiplier->setLow (50.0f);
    const auto again = render (*multiplier, silence);

    EXPECT_LT (spacetest::peak (again[0].data(), again[0].size()), 1.0e-6f);

    render (*multiplier, tone);
    multiplier->reset();
    const auto afterReset = render (*multiplier, silence);

    EXPECT_LT (spacetest::peak (afterReset[0].data(), afterReset[0].size()), 1.0e-6f);
}

TEST (QelVocalMultiplier, VoicesThatComeBackDoNotReplayOldAudio)
{
    // Eighteen voices sing, twelve of them fade out, the input goes silent; when the twelve come back
    // they must be as silent as the input.
    auto multiplier = std::make_unique<QelVocalMultiplierProcessor>();
    multiplier->setVoicesAmount (100.0f);
    multiplier->setAmount (100.0f);
    multiplier->prepare ({ 48000.0, 512, 2 });

    render (*multiplier, mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 12288)));
    multiplier->setVoicesAmount (30.0f);
    render (*multiplier, mono (std::vector<float> (24576, 0.0f)));
    multiplier->setVoicesAmount (100.0f);
    const auto again = render (*multiplier, mono (std::vector<float> (12288, 0.0f)));

    EXPECT_LT (spacetest::peak (again[0].data(), again[0].size()), 1.0e-6f);
    EXPECT_LT (spacetest::peak (again[1].data(), again[1].size()), 1.0e-6f);

    // A reset (a restarted stream) forgets what every voice held.
    render (*multiplier, mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 12288)));
    multiplier->reset();
    const auto afterReset = render (*multiplier, mono (std::vector<float> (12288, 0.0f)));

    EXPECT_LT (spacetest::peak (afterReset[0].data(), afterReset[0].size()), 1.0e-6f);
}

TEST (QelVocalMultiplier, AtAmountZeroTheVoicesRestButTheirDriftAndPlacesGoOn)
{
    // One multiplier at Amount 0 (its voice bus unheard and not computed), one at a tiny Amount (computed):
    // their outputs differ only by that tiny wet part, and every voice's pitch, place and gain stays the same,
    // so a voice that comes back sings where it would have.
    auto resting = makeMultiplier ({ 100.0f, 30.0f, 0.0f, 0.0f });
    auto singing = makeMultiplier ({ 100.0f, 30.0f, 1.0e-3f, 0.0f });
    const auto buzz = mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 48000));

    for (auto* multiplier : { resting.get(), singing.get() })
        multiplier->setVoicesAmount (80.0f);
    const auto quiet = render (*resting, buzz);
    render (*singing, buzz);

    for (size_t t = 0; t < buzz[0].size(); ++t)
        ASSERT_EQ (quiet[0][t], t >= 2048 ? buzz[0][t - 2048] : 0.0f) << t;
    for (size_t i = 0; i < (size_t) QelVocalMultiplierProcessor::maxVoices; ++i)
    {
        EXPECT_EQ (resting->voicePitchOffsets[i], singing->voicePitchOffsets[i]) << i;
        EXPECT_EQ (resting->voicePans[i].getCurrentValue(), singing->voicePans[i].getCurrentValue()) << i;
        EXPECT_EQ (resting->voiceGains[i].getCurrentValue(), singing->voiceGains[i].getCurrentValue()) << i;
    }
    EXPECT_EQ (resting->singleVoiceFactor, singing->singleVoiceFactor);

    // Back at Amount 50 the voices sing again, from silence: the wet part grows and stays bounded.
    resting->setAmount (50.0f);
    const auto back = render (*resting, buzz);
    const auto wet = wetPart (back[0], buzz[0]);
    EXPECT_GT (spacetest::peak (wet.data() + 24000, 24000), 0.01f);
    EXPECT_LT (spacetest::peak (wet.data(), wet.size()), 4.0f);

    // The rested voices' taps (moved in runs while unheard) stand exactly where the singing ones' stand.
    render (*singing, buzz);
    for (size_t i = 0; i < (size_t) QelVocalMultiplierProcessor::maxVoices; ++i)
    {
        const auto& a = resting->voiceShifters[i];
        const auto& b = singing->voiceShifters[i];
        EXPECT_EQ (a.writeIndex[0], b.writeIndex[0]) << i;
        EXPECT_EQ (a.readPosition[0], b.readPosition[0]) << i;
        EXPECT_EQ (a.crossfade[0], b.crossfade[0]) << i;
    }
}

TEST (QelVocalMultiplier, RestingKeepsOnlyTheLatencyLineAndComesBackWithoutOldAudio)
{
    // Singing, then resting (as a switched-off module does) through a buzz, then processing silence: the
    // output is the latency line's content, the buzz 2048 samples late and then silence, never the voices'
    // old audio.
    auto multiplier = makeMultiplier ({ 100.0f, 0.0f, 100.0f, 50.0f });
    const auto buzz = mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 12288));
    render (*multiplier, buzz);

    auto held = buzz;
    for (int start = 0; start < 12288; start += 512)
    {
        float* channels[2] = { held[0].data() + start, held[1].data() + start };
        multiplier->processResting (channels, 512, 2, 2);
    }
    const auto after = render (*multiplier, mono (std::vector<float> (12288, 0.0f)));

    for (size_t t = 0; t < 2048; ++t)
        ASSERT_NEAR (after[0][t], buzz[0][12288 - 2048 + t], 1.0e-6f) << t;
    EXPECT_LT (spacetest::peak (after[0].data() + 2048, 12288 - 2048), 1.0e-6f);
}

TEST (QelVocalMultiplier, StaysBoundedOnLoudNoiseAtExtremeSettings)
{
    for (Settings settings : { Settings { 200.0f, 100.0f, 100.0f, 100.0f }, Settings { 0.0f, 0.0f, 100.0f, 100.0f } })
    {
        auto multiplier = makeMultiplier (settings);
        const Stereo input { spacetest::noise (48000, 1.0f, 5), spacetest::noise (48000, 1.0f, 6) };
        const auto out = render (*multiplier, input, 64);

        for (const auto& channel : out)
        {
            for (float s : channel)
                ASSERT_TRUE (std::isfinite (s));

            EXPECT_LT (spacetest::peak (channel.data(), channel.size()), 20.0f) << settings.spread;
        }
    }
}

TEST (QelVocalMultiplier, SingleVoiceModeRunsTheSpectralShifter)
{
    // Amount 2.5 % gives one voice: voices 0 and 1 at gain 0.5 and the STFT voice at 0.5.
    auto multiplier = std::make_unique<QelVocalMultiplierProcessor>();
    multiplier->setVoicesAmount (2.5f);
    multiplier->setAmount (100.0f);
    multiplier->prepare ({ 48000.0, 512, 2 });
    EXPECT_EQ (multiplier->voiceCount, 1);
    EXPECT_FLOAT_EQ (multiplier->singleVoiceGain, 0.5f);

    const auto input = mono (spacetest::formantBuzz (180.0, 900.0, 48000.0, 24000));
    const auto out = render (*multiplier, input);
    const auto wet = wetPart (out[0], input[0]);

    for (float s : out[0])
        ASSERT_TRUE (std::isfinite (s));

    EXPECT_GT (spacetest::rms (wet.data() + 8000, 16000), 0.1 * spacetest::rms (input[0].data() + 8000, 16000));
}

TEST (QelVocalMultiplier, VoiceCountLevelAndBaseDelaysFollowTheAmount)
{
    // Amount 30: six voices at 45, 26, 7, 12, 31 and 50 ms, the bus 35/17 dB down; amount 100: 18 voices,
    // 7 dB down; amount 10: two voices.
    struct Case
    {
        float amount;
        int voices;
        float compensationDb;
    };

    for (Case c : { Case { 30.0f, 6, -35.0f / 17.0f }, Case { 100.0f, 18, -7.0f }, Case { 10.0f, 2, -7.0f / 17.0f } })
    {
        QelVocalMultiplierProcessor multiplier;
        multiplier.setVoicesAmount (c.amount);
        EXPECT_EQ (multiplier.voiceCount, c.voices) << c.amount;
        EXPECT_NEAR (20.0f * std::log10 (multiplier.levelCompensation.getTargetValue()), c.compensationDb, 1.0e-4f);
    }

    QelVocalMultiplierProcessor multiplier;
    multiplier.setVoicesAmount (30.0f);
    const float expected[] = { 45.0f, 26.0f, 7.0f, 12.0f, 31.0f, 50.0f, 0.0f };

    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_NEAR (multiplier.voiceDelayTimes[i].getTargetValue(), expected[i], 1.0e-4f) << i;

    // Six voices at Spread 100 fan out from hard left to hard right, detuned evenly across +-0.09 semitone.
    multiplier.prepare ({ 48000.0, 512, 2 });
    juce::AudioBuffer<float> silence (2, 512);
    silence.clear();
    multiplier.process (silence.getArrayOfWritePointers(), silence.getArrayOfWritePointers(), 512, 2, 2);
    const float pans[] = { -1.0f, -0.6f, -0.2f, 0.2f, 0.6f, 1.0f };
    const float detunes[] = { -0.09f, -0.054f, -0.018f, 0.018f, 0.054f, 0.09f };

    for (std::size_t i = 0; i < 6; ++i)
    {
        EXPECT_NEAR (multiplier.voicePans[i].getTargetValue(), pans[i], 1.0e-6f) << i;
        EXPECT_NEAR (multiplier.voiceDetunes[i].getTargetValue(), detunes[i], 1.0e-6f) << i;
    }
}
} // namespace

namespace
{
/** The phrase the octave voice sings, rendered once; empty when espeak-ng is missing. */
const test_support::SpokenPhrase& spokenPhrase()
{
    static const auto phrase = test_support::speak ("Many voices sing along with one singer tonight.");
    return phrase;
}

/** The median pitch period in samples over the voiced 40 ms frames of x (normalised autocorrelation
    above 0.6, periods between minLag and maxLag). */
double medianPeriod (const std::vector<float>& x, double rate, int minLag, int maxLag)
{
    const auto frame = (std::size_t) (0.04 * rate);
    std::vector<double> periods;

    for (std::size_t start = 0; start + frame + (std::size_t) maxLag < x.size(); start += frame / 2)
    {
        const float* f = x.data() + start;

        if (spacetest::rms (f, frame) < 0.02)
            continue;

        double best = 0.0;
        int bestLag = 0;

        for (int lag = minLag; lag <= maxLag; ++lag)
        {
            double cross = 0.0, e0 = 0.0, e1 = 0.0;

            for (std::size_t i = 0; i < frame; ++i)
            {
                cross += (double) f[i] * f[i + (std::size_t) lag];
                e0 += (double) f[i] * f[i];
                e1 += (double) f[i + (std::size_t) lag] * f[i + (std::size_t) lag];
            }

            const double r = cross / std::sqrt (e0 * e1 + 1.0e-12);

            if (r > best)
            {
                best = r;
                bestLag = lag;
            }
        }

        if (best > 0.6)
            periods.push_back (bestLag);
    }

    if (periods.empty())
        return 0.0;

    std::nth_element (periods.begin(), periods.begin() + (long) periods.size() / 2, periods.end());
    return periods[periods.size() / 2];
}

TEST (QelVocalMultiplier, TheOctaveVoiceOfASpokenPhraseSpeaksAnOctaveLower)
{
    const auto& phrase = spokenPhrase();

    TESSARO_REQUIRE_SPEECH (phrase);

    const double rate = phrase.sampleRate;
    const auto out = render (*makeMultiplier ({ 100.0f, 0.0f, 0.0f, 50.0f }, rate), mono (phrase.samples));
    const auto octave = wetPart (out[0], phrase.samples);

    const int minLag = (int) (rate / 400.0), maxLag = (int) (rate / 40.0);
    const double voice = medianPeriod (phrase.samples, rate, minLag, maxLag);
    const double lower = medianPeriod (octave, rate, minLag, maxLag);

    ASSERT_GT (voice, 0.0);
    EXPECT_NEAR (lower / voice, 2.0, 0.2) << voice << " vs " << lower << " samples";
}
} // namespace
