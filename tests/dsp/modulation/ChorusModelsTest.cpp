#include "dsp/modulation/ChorusModels.h"

#include "dsp/BlockSignals.h"

#include <gtest/gtest.h>

namespace
{
constexpr double rate = 44100.0;

struct Stereo
{
    std::vector<float> left, right;
};

template <typename Chorus> Stereo runStereo (Chorus& chorus, Stereo signal, int blockSize = 256)
{
    for (size_t start = 0; start < signal.left.size(); start += (size_t) blockSize)
    {
        const int n = (int) std::min ((size_t) blockSize, signal.left.size() - start);
        float* channels[] = { signal.left.data() + start, signal.right.data() + start };
        chorus.process (channels, channels, n, 2, 2);
    }
    return signal;
}

Stereo impulses (int numSamples)
{
    Stereo s { std::vector<float> ((size_t) numSamples, 0.0f), std::vector<float> ((size_t) numSamples, 0.0f) };
    s.left[0] = s.right[0] = 1.0f;
    return s;
}

/** Sum of samples [from, to): the level of an echo of a unit impulse, whatever the filtering and
    interpolation spread it over. */
double sum (const std::vector<float>& samples, size_t from, size_t to)
{
    double total = 0.0;
    for (size_t i = from; i < to; ++i)
        total += samples[i];
    return total;
}

/** Energy of samples [from, to). */
double energy (const std::vector<float>& samples, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += (double) samples[i] * samples[i];
    return sum;
}
} // namespace

TEST (ChorusModels, LowPassAndHistoryAreSizedForTheRate)
{
    juce::QELChorusModel1 chorus;
    EXPECT_FLOAT_EQ (chorus.lowPassL.b0, 0.8132439f);
    EXPECT_FLOAT_EQ (chorus.lowPassL.b1, 1.6264878f);
    EXPECT_FLOAT_EQ (chorus.lowPassL.b2, 0.8132439f);
    EXPECT_FLOAT_EQ (chorus.lowPassL.a1, 1.5913005f);
    EXPECT_FLOAT_EQ (chorus.lowPassL.a2, 0.6616752f);
    EXPECT_TRUE (chorus.lowPassR.ready);

    chorus.prepareToPlay (44100.0, 256);
    EXPECT_EQ (chorus.voices.bufferLength, 4413);
    chorus.prepareToPlay (48000.0, 256);
    EXPECT_EQ (chorus.voices.bufferLength, 4803);

    // A shorter history keeps the carried-over write position inside it, and a rate whose Nyquist frequency
    // lies below the 20 kHz cut-off still gets a stable low-pass.
    runStereo (chorus, impulses (3000));
    chorus.prepareToPlay (22050.0, 256);
    EXPECT_EQ (chorus.voices.bufferLength, 2208);
    EXPECT_LT (chorus.voices.writeIndex, 2208);
    const auto out = runStereo (chorus, impulses (3000));
    EXPECT_TRUE (std::all_of (out.left.begin(), out.left.end(), [] (float s) { return std::abs (s) < 2.0f; }));
}

TEST (ChorusModels, WithoutTapsOrVoiceGainTheInputPassesUnchanged)
{
    const struct
    {
        int voices;
        float gain;
    } cases[] = { { 0, 0.5f }, { 1, 0.5f }, { 3, 0.0f } };

    const Stereo in { blocksignals::noise (2000, 0.5f, 3), blocksignals::noise (2000, 0.5f, 4) };

    for (const auto& c : cases)
    {
        juce::QELChorusModel1 one;
        one.prepareToPlay (rate, 256);
        one.numVoices = c.voices;
        one.voiceGain = c.gain;
        const auto outOne = runStereo (one, in);
        EXPECT_EQ (outOne.left, in.left) << c.voices;
        EXPECT_EQ (outOne.right, in.right) << c.voices;

        QEL::Chorus_V2 two;
        two.numVoices = c.voices;
        two.setVoiceGain (c.gain);
        two.prepareToPlay (rate, 256);
        const auto outTwo = runStereo (two, in);
        EXPECT_EQ (outTwo.left, in.left) << c.voices;
        EXPECT_EQ (outTwo.right, in.right) << c.voices;
    }
}

TEST (ChorusModels, ThreeVoicesSpreadOneTapToEachSide)
{
    // LFO held at a quarter turn: tap 0 sits at the top of the sweep (30 + 20 ms = 2205 samples),
    // tap 1 at the bottom (30 ms = 1323 samples).
    //   left:  . . . . echo@1323 . . . . . . . . . . .
    //   right: . . . . . . . . . . . . . . echo@2205 . .
    for (const bool spread : { true, false })
    {
        juce::QELChorusModel1 chorus;
        chorus.prepareToPlay (rate, 256);
        chorus.rateHz = 0.0f;
        chorus.voices.lfoPhase = 0.25f;
        chorus.stereoSpread = spread;

        const auto out = runStereo (chorus, impulses (3000));
        const double shortTapLeft = sum (out.left, 1315, 1400), longTapLeft = sum (out.left, 2195, 2280);
        const double shortTapRight = sum (out.right, 1315, 1400), longTapRight = sum (out.right, 2195, 2280);

        // Each tap: voice gain 0.5 times wet gain 0.5.
        EXPECT_NEAR (shortTapLeft, 0.25, 1.0e-3) << spread;
        EXPECT_NEAR (longTapRight, 0.25, 1.0e-3) << spread;
        EXPECT_NEAR (longTapLeft, spread ? 0.0 : 0.25, 1.0e-3) << spread;
        EXPECT_NEAR (shortTapRight, spread ? 0.0 : 0.25, 1.0e-3) << spread;
        EXPECT_EQ (energy (out.left, 1, 1300) + energy (out.right, 1, 1300), 0.0);
    }
}

TEST (ChorusModels, BothModelsSweepTheSameWayAndFallSilentAfterTheInput)
{
    juce::QELChorusModel1 one;
    QEL::Chorus_V2 two;
    one.prepareToPlay (rate, 256);
    two.prepareToPlay (rate, 256);

    Stereo in { blocksignals::sine (440.0, rate, 44100), blocksignals::sine (660.0, rate, 44100) };
    std::fill (in.left.begin() + 22050, in.left.end(), 0.0f);
    std::fill (in.right.begin() + 22050, in.right.end(), 0.0f);

    const auto outOne = runStereo (one, in);
    const auto outTwo = runStereo (two, in, 97);
    for (size_t i = 0; i < in.left.size(); ++i)
    {
        ASSERT_NEAR (outOne.left[i], outTwo.left[i], 1.0e-4f) << i;
        ASSERT_NEAR (outOne.right[i], outTwo.right[i], 1.0e-4f) << i;
    }

    // The echoes of the sweep end 50 ms after the input; the low-pass tail ends in exact zeros.
    EXPECT_GT (energy (outOne.left, 22050, 22050 + 2205), 1.0);
    EXPECT_EQ (energy (outOne.left, 30000, 44100) + energy (outOne.right, 30000, 44100), 0.0);
}

TEST (ChorusModels, SecondModelRampsItsSettingsOverFiftyMilliseconds)
{
    QEL::Chorus_V2 chorus;
    chorus.prepareToPlay (48000.0, 512);
    chorus.setRate (2.0f);
    chorus.setDepth (0.05f);

    auto silence = Stereo { std::vector<float> (2399), std::vector<float> (2399) };
    runStereo (chorus, silence, 512);
    EXPECT_TRUE (chorus.rate.isSmoothing());
    EXPECT_TRUE (chorus.depth.isSmoothing());

    runStereo (chorus, Stereo { std::vector<float> (1), std::vector<float> (1) });
    EXPECT_EQ (chorus.rate.getCurrentValue(), 2.0f);
    EXPECT_EQ (chorus.depth.getCurrentValue(), 0.05f);
}

// The first model looks each channel's taps up once a block (and hands more than its table holds to the shared
// tap sum): for every voice count and spread it adds, to the bit, what the shared tap sum gives sample by sample.
TEST (ChorusModels, FirstModelAddsExactlyTheSharedTapSum)
{
    for (const int voiceCount : { 1, 2, 3, 5, 20 })
        for (const bool spread : { true, false })
        {
            SCOPED_TRACE (std::to_string (voiceCount) + (spread ? " voices, spread" : " voices"));
            juce::QELChorusModel1 chorus;
            chorus.numVoices = voiceCount;
            chorus.stereoSpread = spread;
            chorus.voiceGain = 0.3f;
            chorus.rateHz = 3.0f;
            chorus.prepareToPlay (rate, 256);

            QEL::ChorusVoices voices;
            voices.prepare (chorus.maxDelay, chorus.maxDepth, rate);
            QEL::ChorusLowPass lowPass[2];
            for (auto& filter : lowPass)
                filter.design (chorus.lowPassCutoff, rate);

            const Stereo in { blocksignals::sine (440.0, rate, 6000), blocksignals::sine (1250.0, rate, 6000) };
            const auto out = runStereo (chorus, in, 200);

            const float phaseStep = (float) (3.0f * voices.inverseRate);
            float phi = 0.0f;
            int w = 0;
            for (int j = 0; j < 6000; ++j)
            {
                const float* x[] = { &in.left[(size_t) j], &in.right[(size_t) j] };
                const float* y[] = { &out.left[(size_t) j], &out.right[(size_t) j] };
                for (int c = 0; c < 2; ++c)
                {
                    const float tap = voices.tapSum (c, w, phi, voiceCount, spread, chorus.baseDelay.load(),
                                                     chorus.depth.load(), 0.3f, rate);
                    ASSERT_EQ (*y[c], lowPass[c].process (tap) * chorus.wetGain.load() + *x[c]) << j;
                    voices.write (c, w, *x[c]);
                }
                if (++w >= voices.bufferLength)
                    w = 0;
                phi += phaseStep;
                if (phi >= 1.0f)
                    phi -= 1.0f;
            }
        }
}
