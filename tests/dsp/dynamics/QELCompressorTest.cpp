#include "dsp/dynamics/QELCompressor.h"

#include "dsp/DynamicsSignals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using namespace dynamics_signals;

constexpr double rate = 44100.0;

/** Sets a compressor to 44.1 kHz with an envelope that follows its target at once. */
void makeInstant (juce::QELCompressor& compressor)
{
    compressor.setSampleRate (rate);
    compressor.setAttackEnabled (false);
    compressor.setReleaseEnabled (false);
}

/** Runs a held key through the compressor and returns the gain in dB it applies to a unit sample. */
float heldKeyGainDb (juce::QELCompressor& compressor, float keyDb, int numSamples = 8)
{
    float gainDb = 0.0f;
    for (int i = 0; i < numSamples; ++i)
    {
        float sample = 1.0f;
        compressor.processSingleSampleMono (sample, dbToLevel (keyDb));
        gainDb = (float) levelToDb (sample);
    }
    return gainDb;
}

//==============================================================================
TEST (QELEnvelopeDetector, CoefficientIsOnePoleOfTheTimeConstant)
{
    struct Case
    {
        float ms;
        double sampleRate;
        float coef;
    };
    const Case cases[] = {
        { 10.0f, 44100.0, (float) std::exp (-1000.0 / 441000.0) },
        { 100.0f, 48000.0, (float) std::exp (-1000.0 / 4800000.0) },
        { 0.0f, 48000.0, 0.0f }, // no smoothing
    };

    for (const auto& c : cases)
    {
        juce::QELEnvelopeDetector detector;
        detector.setSampleRate (c.sampleRate);
        detector.setTc (c.ms);
        EXPECT_FLOAT_EQ (detector.coef.load(), c.coef) << c.ms << " ms at " << c.sampleRate;
    }

    juce::QELEnvelopeDetector detector (10.0f);
    detector.setSampleRate (0.0);
    EXPECT_EQ (detector.coef.load(), 0.0f);
}

TEST (QELCompressor, StaticCurveOfHardAndSoftKnees)
{
    struct Case
    {
        float kneeDb, ratio, thresholdDb, keyDb, gainDb;
    };
    const Case cases[] = {
        { 0.0f, 0.25f, -20.0f, -10.0f, -7.5f },  // 10 dB over at 4:1
        { 0.0f, 0.25f, -20.0f, -25.0f, 0.0f },   // below the threshold
        { 0.0f, 1.0f, -20.0f, 0.0f, 0.0f },      // ratio 1 never compresses
        { 10.0f, 0.0f, -20.0f, -20.0f, -1.25f }, // in the knee: (0 + 5)^2 / 20
        { 10.0f, 0.0f, -20.0f, -15.0f, -5.0f },  // top of the knee
        { 10.0f, 0.0f, -20.0f, -25.1f, 0.0f },   // below the knee
        { 10.0f, 0.5f, -20.0f, 0.0f, -10.0f },   // above the knee
    };

    for (const auto& c : cases)
    {
        juce::QELCompressor compressor;
        makeInstant (compressor);
        compressor.knee = c.kneeDb;
        compressor.setRatio (c.ratio);
        compressor.setThresh (c.thresholdDb);
        EXPECT_NEAR (heldKeyGainDb (compressor, c.keyDb), c.gainDb, 1.0e-4)
            << "knee " << c.kneeDb << " ratio " << c.ratio << " key " << c.keyDb;
    }
}

TEST (QELCompressor, MeterReadsTheReductionAndZeroAtOnceBelowAHardThreshold)
{
    juce::QELCompressor compressor;
    compressor.setSampleRate (rate);
    compressor.setThresh (-20.0f);
    compressor.setRatio (0.25f);
    compressor.setAttackEnabled (false);

    heldKeyGainDb (compressor, -10.0f);
    EXPECT_NEAR (compressor.getLastGRDB(), -7.5f, 1.0e-4);

    // The key drops below the threshold: the meter reads 0 while the release still reduces the audio.
    const float gainDb = heldKeyGainDb (compressor, -40.0f, 100);
    EXPECT_EQ (compressor.getLastGRDB(), 0.0f);
    EXPECT_LT (gainDb, -3.0f);
}

TEST (QELCompressor, AttackAndReleaseFollowTheirTimeConstants)
{
    juce::QELCompressor compressor;
    compressor.setSampleRate (rate);
    compressor.setThresh (-30.0f);
    compressor.setRatio (0.0f);
    compressor.setAttack (10.0f);
    compressor.setRelease (100.0f);

    // 20 dB over: after one attack time the reduction has covered 1 - 1/e of the step.
    const float afterAttack = heldKeyGainDb (compressor, -10.0f, 441);
    EXPECT_NEAR (afterAttack, -20.0f * (1.0f - std::exp (-1.0f)), 0.01);

    heldKeyGainDb (compressor, -10.0f, 44100);
    const float afterRelease = heldKeyGainDb (compressor, -60.0f, 4410);
    EXPECT_NEAR (afterRelease, -20.0f * std::exp (-1.0f), 0.01);
}

TEST (QELCompressor, HoldKeepsTheReductionAfterEveryAttackStep)
{
    juce::QELCompressor compressor;
    compressor.holdMs = 50.0f;
    compressor.setSampleRate (48000.0);
    compressor.setThresh (-30.0f);
    compressor.setRatio (0.0f);
    compressor.setAttackEnabled (false);
    compressor.setReleaseEnabled (false);
    EXPECT_EQ (compressor.holdSamples, 2400);

    heldKeyGainDb (compressor, -10.0f, 1);
    EXPECT_NEAR (heldKeyGainDb (compressor, -60.0f, 2400), -20.0f, 1.0e-4);
    EXPECT_NEAR (heldKeyGainDb (compressor, -60.0f, 1), 0.0f, 1.0e-4);
}

TEST (QELCompressor, AmountScalesTheReductionAndMovesOver50Ms)
{
    juce::QELCompressor compressor;
    makeInstant (compressor);
    compressor.setThresh (-20.0f);
    compressor.setRatio (0.0f);
    EXPECT_EQ (compressor.amountRamp.getRampSteps(), 2205);

    compressor.amountRamp.setTargetValue (50.0f);
    const float midway = heldKeyGainDb (compressor, -10.0f, 1102);
    EXPECT_GT (midway, -10.0f);
    EXPECT_LT (midway, -7.0f);
    EXPECT_NEAR (heldKeyGainDb (compressor, -10.0f, 1103), -5.0f, 1.0e-4);
    EXPECT_EQ (compressor.amount, 50.0f);

    juce::QELCompressor at48k;
    at48k.setSampleRate (48000.0);
    EXPECT_EQ (at48k.amountRamp.getRampSteps(), 2400);
}

TEST (QELCompressor, RangeFloorsTheReduction)
{
    struct Case
    {
        float rangeDb, gainDb;
    };
    const Case cases[] = { { -6.0f, -6.0f }, { -100.0f, -40.0f } };

    for (const auto& c : cases)
    {
        juce::QELCompressor compressor;
        makeInstant (compressor);
        compressor.setThresh (-40.0f);
        compressor.setRatio (0.0f);
        compressor.rangeDb = c.rangeDb;
        EXPECT_NEAR (heldKeyGainDb (compressor, 0.0f), c.gainDb, 1.0e-3) << c.rangeDb;
    }

    juce::QELCompressor compressor;

    makeInstant (compressor);
    compressor.setRange (0.5f);
    EXPECT_EQ (compressor.rangeDb.load(), -12.0f);
    EXPECT_FLOAT_EQ (compressor.getRatio(), 0.505f);
}

TEST (QELCompressor, MakeUpFollowsRatioThresholdAndAmount)
{
    juce::QELCompressor compressor;
    makeInstant (compressor);
    compressor.setThresh (-40.0f);
    compressor.setRatio (0.02f);
    compressor.autoMakeup = true;
    EXPECT_NEAR (heldKeyGainDb (compressor, -60.0f), 19.6f, 1.0e-3);

    compressor.makeupScale = 0.5f;
    EXPECT_NEAR (heldKeyGainDb (compressor, -60.0f), 9.8f, 1.0e-3);

    compressor.makeupFromThreshold = true;
    EXPECT_NEAR (heldKeyGainDb (compressor, -60.0f), 40.0f, 1.0e-3);
}

TEST (QELCompressor, SilentKeyAndBypassLeaveTheAudioAlone)
{
    juce::QELCompressor compressor;
    makeInstant (compressor);
    compressor.setThresh (-80.0f);
    compressor.setRatio (0.0f);
    EXPECT_NEAR (heldKeyGainDb (compressor, -200.0f), 0.0f, 1.0e-6);

    heldKeyGainDb (compressor, -10.0f);
    const float meter = compressor.getLastGRDB();
    compressor.bypassed = true;
    float left = 0.5f, right = -0.25f;
    compressor.processSingleSampleStereo (left, right, 1.0f, 1.0f);
    EXPECT_EQ (left, 0.5f);
    EXPECT_EQ (right, -0.25f);
    EXPECT_EQ (compressor.getLastGRDB(), meter);
}

TEST (QELCompressor, BlockLinksAStereoPairAndOtherwiseProcessesChannelZeroOnly)
{
    constexpr int numSamples = 64;

    for (int channels : { 1, 2, 3 })
    {
        juce::QELCompressor compressor;
        makeInstant (compressor);
        compressor.setThresh (-20.0f);
        compressor.setRatio (0.0f);

        std::vector<std::vector<float>> audio ((size_t) channels, std::vector<float> (numSamples, 0.01f));
        std::fill (audio[0].begin(), audio[0].end(), 1.0f); // loud left, quiet others
        std::vector<float*> pointers;
        for (auto& channel : audio)
            pointers.push_back (channel.data());

        compressor.process (pointers.data(), pointers.data(), numSamples, channels, channels);

        EXPECT_NEAR (levelToDb (audio[0].back()), -20.0, 1.0e-3) << channels;
        if (channels == 2)
        {
            EXPECT_NEAR (levelToDb (audio[1].back() / 0.01), -20.0, 1.0e-3); // linked
        }
        if (channels == 3)
        {
            EXPECT_EQ (audio[1].back(), 0.01f); // untouched
        }
    }
}

TEST (QELCompressor, KeyHighPassIgnoresLowRumble)
{
    auto reductionOf50HzDb = [] (float highPassHz)
    {
        juce::QELCompressor compressor;
        compressor.setSampleRate (rate);
        compressor.setThresh (-40.0f);
        compressor.setRatio (0.0f);
        compressor.setSCHP (highPassHz);
        auto audio = sine (50.0, rate, 0.5f, 22050);
        for (auto& sample : audio)
            compressor.processSingleSampleMono (sample);
        return levelToDb (peak (audio, 11025) / 0.5);
    };

    EXPECT_LT (reductionOf50HzDb (0.0f), -15.0);
    EXPECT_GT (reductionOf50HzDb (1000.0f), -1.0);
}

TEST (QELCompressor, EmphasisShelvesTiltTheKey)
{
    struct Case
    {
        int mode;
        double hz, gainDb;
    };
    const Case cases[] = {
        { 0, 20.0, 0.0 }, { 1, 20.0, -12.0 }, { 1, 15000.0, 12.0 }, { 2, 20.0, -12.0 }, { 2, 15000.0, 12.0 },
    };

    for (const auto& c : cases)
    {
        juce::QELCompressor compressor;
        compressor.setSampleRate (rate);
        compressor.emphasisMode = c.mode;
        auto key = sine (c.hz, rate, 0.1f, 44100);
        for (auto& sample : key)
        {
            float right = sample;
            compressor.processSidechainFilters (sample, right);
        }
        EXPECT_NEAR (levelToDb (peak (key, 22050) / 0.1), c.gainDb, 0.5) << c.mode << " at " << c.hz;
    }
}

TEST (QELCompressor, LongSilenceAfterNoiseLeavesNoDenormalsOrNaN)
{
    juce::QELCompressor compressor;
    compressor.setSampleRate (48000.0);
    compressor.setThresh (-30.0f);
    compressor.setRatio (0.1f);
    compressor.setSCHP (80.0f);
    compressor.setSCLP (12000.0f);
    compressor.emphasisMode = 1;

    juce::Random random (7);
    std::vector<float> left (96000, 0.0f), right (96000, 0.0f);
    for (int i = 0; i < 4800; ++i)
    {
        left[(size_t) i] = random.nextFloat() * 2.0f - 1.0f;
        right[(size_t) i] = random.nextFloat() * 2.0f - 1.0f;
    }
    for (size_t i = 0; i < left.size(); ++i)
        compressor.processSingleSampleStereo (left[i], right[i]);

    EXPECT_TRUE (finiteAndNormal (left.data(), (int) left.size()));
    EXPECT_EQ (peak (left, 4800), 0.0);
    EXPECT_EQ (peak (right, 4800), 0.0);
    EXPECT_TRUE (std::isnormal (compressor.envelope));
}
} // namespace
