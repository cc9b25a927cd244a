#include "dsp/dynamics/GainReductionProcessor.h"

#include "dsp/DynamicsSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using namespace dynamics_signals;

constexpr double rate = 48000.0;

/** Steady-state gain of the filter for a sine, in dB. */
double responseDb (GRIIRFilter& filter, double hz)
{
    filter.reset();
    const auto input = sine (hz, rate, 0.5f, 48000);
    std::vector<float> output (input.size());
    for (size_t i = 0; i < input.size(); ++i)
        output[i] = (float) filter.processSample ((double) input[i]);
    return levelToDb (rms (output, 24000) / rms (input, 24000));
}

TEST (GRIIRFilter, CookbookResponses)
{
    struct Case
    {
        int type;
        double hz, gain, q, probeHz, gainDb, toleranceDb;
    };
    const Case cases[] = {
        { 0, 1000.0, 1.0, 0.7071, 1000.0, -3.01, 0.05 }, // low-pass corner
        { 0, 1000.0, 1.0, 0.7071, 100.0, 0.0, 0.05 },    // low-pass pass band
        { 1, 1000.0, 1.0, 0.7071, 1000.0, -3.01, 0.05 }, // high-pass corner
        { 1, 1000.0, 1.0, 0.7071, 100.0, -40.0, 0.1 },   // 12 dB per octave
        { 2, 120.0, 0.501187, 0.5, 10.0, -6.0, 0.1 },    // the Slay key shelf: lows down 6 dB
        { 2, 120.0, 0.501187, 0.5, 5000.0, 0.0, 0.05 },  // highs untouched
        { 3, 2000.0, 4.0, 0.7071, 15000.0, 12.0, 0.3 },  // high shelf
        { 5, 1000.0, 1.0, 2.0, 1000.0, 0.0, 0.05 },      // band-pass peak at 0 dB
        { 4, 1000.0, 1.0, 2.0, 1000.0, 6.02, 0.05 },     // band-pass peak gain q
        { 6, 1000.0, 1.0, 2.0, 1000.0, -60.0, 60.0 },    // notch: deep
        { 7, 1000.0, 2.0, 1.0, 1000.0, 6.02, 0.05 },     // peak: the gain at the centre
        { 8, 1000.0, 1.0, 0.7071, 3000.0, 0.0, 0.05 },   // all-pass
    };

    for (const auto& c : cases)
    {
        GRIIRFilter filter;
        filter.setCoeff (c.hz, c.gain, c.q, c.type, (int) rate);
        const double measured = responseDb (filter, c.probeHz);
        if (c.type == 6)
        {
            EXPECT_LT (measured, -40.0);
        }
        else
        {
            EXPECT_NEAR (measured, c.gainDb, c.toleranceDb) << "type " << c.type << " at " << c.probeHz;
        }
    }
}

TEST (GRIIRFilter, LimitsTheFrequencyAndKeepsCoefficientsForAnUnknownType)
{
    GRIIRFilter high, limit;
    high.setCoeff (30000.0, 1.0, 0.7071, 0, 48000);
    limit.setCoeff (0.499 * 48000.0, 1.0, 0.7071, 0, 48000);
    EXPECT_EQ (high.frequency, 0.499 * 48000.0);
    EXPECT_EQ (high.b0, limit.b0);
    EXPECT_EQ (high.a1, limit.a1);

    GRIIRFilter filter;
    filter.setCoeff (1000.0, 1.0, 0.7071, 1, 48000);
    filter.setCoeff (1000.0, 1.0, 0.7071, 9, 48000);
    EXPECT_NEAR (responseDb (filter, 100.0), -40.0, 0.1); // still the high-pass
}

TEST (GREnvelopeFollower, HoldsThenReleasesAndGatesQuietLevels)
{
    GREnvelopeFollower follower;
    follower.prepare (48000);
    EXPECT_EQ (follower.holdSamples, 630); // 13.138125 ms

    for (int i = 0; i < 480; ++i)
        follower.process (0.5);
    EXPECT_NEAR (follower.output, 0.5, 1.0e-9);

    // After the hold the release heads for the new level; a level below -96 dB counts as silence.
    for (int i = 0; i < 630; ++i)
        follower.process (1.0e-3);
    EXPECT_NEAR (follower.output, 0.5, 1.0e-9);

    for (int i = 0; i < 48000; ++i)
        follower.process (1.0e-3);
    EXPECT_NEAR (follower.output, 1.0e-3, 1.0e-9);

    for (int i = 0; i < 48000; ++i)
        follower.process (1.0e-5);
    EXPECT_LT (follower.output, 1.0e-12); // heading for 0, not for 1e-5
}

//==============================================================================
/** A compressor at 48 kHz with a Slay amount that has settled. */
struct SettledCompressor : GainReductionCompressorProcessor
{
    explicit SettledCompressor (float slay)
    {
        setSlay (slay);
        prepare ({ rate, 64, 2 });
    }

    /** Runs a held level through channel 0 and returns the gain of the last sample in dB. */
    double heldLevelGainDb (float level, int numSamples = 48000)
    {
        float sample = level;
        for (int i = 0; i < numSamples; ++i)
        {
            sample = level;
            processImpl (&sample, 0);
        }
        return levelToDb (sample / level);
    }
};

TEST (GainReductionCompressorProcessor, LevelsTowardsMinus30DbAsSlayRises)
{
    struct Case
    {
        float slay, level;
        double offset, gainDb;
    };
    // The key shelf halves a held level, so 0.632 gives a key of 0.316 (-10 dB).
    const Case cases[] = {
        { 100.0f, 0.632456f, 0.0, -20.0 }, // 0.0316 / 0.316
        { 100.0f, 0.06f, 0.0, 0.0 },       // key 0.03, below the target level
        { 50.0f, 0.632456f, 0.01793, -20.5 },
        { 0.0f, 0.632456f, 1.0, -30.0 }, // the offset dominates: 0.0316 / 1.316, but never below 0.0316
    };

    for (const auto& c : cases)
    {
        SettledCompressor compressor (c.slay);
        EXPECT_NEAR (compressor.slayOffset.load(), c.offset, 1.0e-5) << c.slay;
        EXPECT_NEAR (compressor.heldLevelGainDb (c.level), c.gainDb, 0.05) << c.slay << " " << c.level;
        EXPECT_NEAR (levelToDb (compressor.gain.load()), c.gainDb, 0.05);
        EXPECT_TRUE (compressor.lastInputNonZero.load());
    }

    SettledCompressor silent (0.0f);
    silent.heldLevelGainDb (1.0f, 10);
    float sample = 0.0f;
    for (int i = 0; i < 4800; ++i)
        silent.processImpl (&sample, 0);
    EXPECT_EQ (sample, 0.0f);
    EXPECT_NEAR (silent.gain.load(), 0.0316227766, 1.0e-5);
    EXPECT_FALSE (silent.lastInputNonZero.load());
}

TEST (GainReductionCompressorProcessor, StereoSlayChangeCompletesIn50Ms)
{
    SettledCompressor compressor (0.0f);
    EXPECT_EQ (compressor.offsetRamp.getRampSteps(), 4800); // 100 ms of single steps
    compressor.setSlay (100.0f);

    std::vector<float> left (2368, 0.1f), right (2368, 0.1f);
    float* channels[] = { left.data(), right.data() };
    compressor.process (channels, channels, 2368, 2, 2);
    EXPECT_TRUE (compressor.offsetRamp.isSmoothing());

    compressor.process (channels, channels, 32, 2, 2); // 2400 stereo samples in all: 50 ms
    EXPECT_FALSE (compressor.offsetRamp.isSmoothing());
    EXPECT_EQ (compressor.offsetRamp.getCurrentValue(), 0.0f);
}

//==============================================================================
/** The Slay block at 48 kHz on a held level, returning the gain of the last sample in dB. */
double blockGainDb (GainReductionProcessor& block, float level, int numSamples = 9600)
{
    block.prepare ({ rate, 512, 2 });
    std::vector<float> left ((size_t) numSamples, level), right ((size_t) numSamples, level);
    float* channels[] = { left.data(), right.data() };
    for (int start = 0; start < numSamples; start += 512)
    {
        float* piece[] = { channels[0] + start, channels[1] + start };
        block.process (piece, piece, std::min (512, numSamples - start), 2, 2);
    }
    return levelToDb (left.back() / level);
}

TEST (GainReductionProcessor, ClipperAndAutomaticGain)
{
    struct Case
    {
        bool autoGain;
        float slay, level;
        double gainDb;
    };
    const double drive = 20.0 * 1.35;
    const float quiet = 1.0e-4f;                        // the clipper stays linear
    const float peakLevel = 2.0f / 22.387211385683397f; // t = 2: the clipper's peak of 1
    const Case cases[] = {
        { true, 0.0f, quiet, drive + 2.0 },
        { true, 25.0f, quiet, drive - 3.0 },
        { true, 50.0f, quiet, drive - 8.0 },
        { true, 80.0f, quiet, drive - 8.0 },
        { false, 80.0f, quiet, drive },
        { false, 0.0f, peakLevel, -levelToDb (peakLevel) },
        { false, 0.0f, 20.0f / 22.387211385683397f, levelToDb (20.0 / 101.0) - levelToDb (20.0 / 22.387211385683397) },
    };

    for (const auto& c : cases)
    {
        GainReductionProcessor block;
        block.compressor.setBypass (false); // the clipper and the gain alone
        block.compressor.setSlay (c.slay);
        block.autoGain = c.autoGain;
        EXPECT_NEAR (blockGainDb (block, c.level), c.gainDb, 0.01) << c.autoGain << " " << c.slay << " " << c.level;
    }
}

TEST (GainReductionProcessor, MixBlendsTheDrySignal)
{
    GainReductionProcessor dryOnly;
    dryOnly.mix = 0.0;
    EXPECT_EQ (blockGainDb (dryOnly, 0.3f), 0.0);

    GainReductionProcessor half;
    half.compressor.setBypass (false);
    half.mix = 0.5;
    const float level = 1.0e-3f;
    const double wet = std::pow (10.0, 1.35) / (1.0 + std::pow (10.0, 2.7) * 1.0e-6 / 4.0);
    EXPECT_NEAR (blockGainDb (half, level), levelToDb (0.5 + 0.5 * wet), 0.01);
}

TEST (GainReductionProcessor, SpeechLevelsComeOutLevelledAndSilenceStaysSilent)
{
    // Bursts 20 dB apart come out within a few dB of each other; the silence after them stays silent.
    GainReductionProcessor block;
    block.compressor.setSlay (100.0f);
    block.autoGain = true;
    block.prepare ({ rate, 256, 2 });

    auto loud = sine (300.0, rate, 0.5f, 9600);
    auto soft = sine (300.0, rate, 0.05f, 9600);
    std::vector<float> signal (loud);
    signal.insert (signal.end(), soft.begin(), soft.end());
    signal.resize (signal.size() + 96000, 0.0f);
    std::vector<float> right = signal;

    for (size_t start = 0; start < signal.size(); start += 256)
    {
        float* piece[] = { signal.data() + start, right.data() + start };
        block.process (piece, piece, 256, 2, 2);
    }

    const double loudOut = levelToDb (rms (std::vector<float> (signal.begin() + 4800, signal.begin() + 9600)));
    const double softOut = levelToDb (rms (std::vector<float> (signal.begin() + 14400, signal.begin() + 19200)));
    EXPECT_LT (std::abs (loudOut - softOut), 6.0);
    EXPECT_EQ (peak (signal, 19200 + 4800), 0.0);
    EXPECT_TRUE (finiteAndNormal (signal.data(), (int) signal.size()));
}
} // namespace
