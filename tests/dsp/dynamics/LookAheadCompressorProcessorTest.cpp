#include "dsp/dynamics/LookAheadCompressorProcessor.h"

#include "dsp/DynamicsSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using namespace dynamics_signals;

constexpr int blockSize = 64;

/** Stereo audio with both channels equal. */
struct StereoSignal
{
    explicit StereoSignal (std::vector<float> samples) : left (samples), right (std::move (samples)) {}

    std::vector<float> left, right;
};

void prepare (QEL::LookAheadCompressorProcessor& limiter, double rate, int maxBlock = blockSize)
{
    limiter.prepare ({ rate, (juce::uint32) maxBlock, 2 });
}

/** Runs the signal through the block entry in place, in blocks of the given size. */
void run (QEL::LookAheadCompressorProcessor& limiter, StereoSignal& signal, int size = blockSize)
{
    const int total = (int) signal.left.size();
    for (int start = 0; start < total; start += size)
    {
        float* channels[] = { signal.left.data() + start, signal.right.data() + start };
        limiter.process (channels, channels, std::min (size, total - start), 2, 2);
    }
}

TEST (LookAheadCompressorProcessor, DelaysTheAudioByTheLookAheadAtEveryRate)
{
    struct Case
    {
        double rate;
        int latency;
    };
    // 0.005 is a float slightly below 0.005: 239 samples at 48 kHz, not 240.
    const Case cases[] = { { 44100.0, 220 }, { 48000.0, 239 }, { 88200.0, 440 }, { 96000.0, 479 } };

    for (const auto& c : cases)
    {
        QEL::LookAheadCompressorProcessor limiter;
        prepare (limiter, c.rate);
        EXPECT_EQ (limiter.delayInSamples, c.latency) << c.rate;

        StereoSignal signal (std::vector<float> (1024, 0.0f));
        signal.left[10] = 0.5f; // below the threshold: passes unchanged
        run (limiter, signal);

        EXPECT_EQ (signal.left[(size_t) (10 + c.latency)], 0.5f) << c.rate;
        EXPECT_EQ (peak (signal.left), 0.5) << c.rate;
    }
}

TEST (LookAheadCompressorProcessor, ReductionFadesInLinearlyBeforeASpike)
{
    // A quiet bed shows the gain of every sample; a spike of 2 (+6 dBFS) sits at sample 1000.
    constexpr float bed = 0.001f;
    constexpr int spikeAt = 1000, latency = 239;
    StereoSignal signal (std::vector<float> (2048, bed));
    signal.left[spikeAt] = signal.right[spikeAt] = 2.0f;

    QEL::LookAheadCompressorProcessor limiter;
    prepare (limiter, 48000.0);
    run (limiter, signal);

    const int spikeOut = spikeAt + latency;
    EXPECT_NEAR (signal.left[(size_t) spikeOut], 1.0f, 1.0e-5);

    const double fullDb = levelToDb (0.5);
    for (int before : { 1, 60, 120, 200, 238 })
        EXPECT_NEAR (levelToDb (signal.left[(size_t) (spikeOut - before)] / bed), fullDb * (1.0 - before / 239.0),
                     1.0e-3)
            << before << " samples before";

    EXPECT_NEAR (signal.left[(size_t) (spikeOut - latency)], bed, 1.0e-9);
    EXPECT_NEAR (signal.left[(size_t) (spikeOut - 300)], bed, 1.0e-9);
}

TEST (LookAheadCompressorProcessor, ASpikeAtFullScaleIsNotReduced)
{
    StereoSignal signal (std::vector<float> (1024, 0.0f));
    signal.left[100] = 1.0f;

    QEL::LookAheadCompressorProcessor limiter;
    prepare (limiter, 48000.0);
    run (limiter, signal);

    EXPECT_EQ (signal.left[339], 1.0f);
}

TEST (LookAheadCompressorProcessor, LoudNoiseBurstsNeverPassFullScale)
{
    juce::Random random (3);
    std::vector<float> samples (48000, 0.0f);
    for (size_t i = 0; i < samples.size(); ++i)
        if ((i / 4800) % 2 == 1) // 100 ms bursts up to +12 dBFS
            samples[i] = (random.nextFloat() * 2.0f - 1.0f) * 4.0f;
    StereoSignal signal (samples);
    signal.right = samples;
    for (auto& sample : signal.right)
        sample *= -0.5f;

    QEL::LookAheadCompressorProcessor limiter;
    prepare (limiter, 48000.0);
    run (limiter, signal, 100); // blocks larger than prepared, split by the block entry

    EXPECT_LE (peak (signal.left), 1.0 + 1.0e-5);
    EXPECT_LE (peak (signal.right), 0.5 + 1.0e-5); // linked: the louder channel sets the gain
    EXPECT_TRUE (finiteAndNormal (signal.left.data(), (int) signal.left.size()));
}

TEST (LookAheadCompressorProcessor, StaticCurveWithoutLookAhead)
{
    struct Case
    {
        float kneeDb, thresholdDb, slope, makeupDb, inputDb, gainDb;
    };
    const Case cases[] = {
        { 0.0f, 0.0f, -1.0f, 0.0f, 6.0f, -6.0f },   // limiter
        { 0.0f, 0.0f, -1.0f, 0.0f, -3.0f, 0.0f },   // below
        { 6.0f, 0.0f, -1.0f, 0.0f, 0.0f, -0.75f },  // knee middle: -1 * 0.5 * 3^2 / 6
        { 6.0f, 0.0f, -0.5f, 0.0f, 10.0f, -5.0f },  // above the knee at 2:1
        { 0.0f, -10.0f, -0.5f, 3.0f, 0.0f, -2.0f }, // with make-up
        { 6.0f, 0.0f, -1.0f, 0.0f, -3.5f, 0.0f },   // below the knee
    };

    for (const auto& c : cases)
    {
        QEL::LookAheadCompressorProcessor compressor;
        compressor.lookAheadEnabled = false;
        compressor.knee = c.kneeDb;
        compressor.thresholdDb = c.thresholdDb;
        compressor.slope = c.slope;
        compressor.makeupDb = c.makeupDb;
        compressor.releaseSeconds = 0.0f;
        prepare (compressor, 48000.0);
        EXPECT_EQ (compressor.delayInSamples, 239);

        const float level = dbToLevel (c.inputDb);
        StereoSignal signal (std::vector<float> (blockSize, level));
        run (compressor, signal);
        EXPECT_NEAR (levelToDb (signal.left.back() / level), c.gainDb, 1.0e-3) << c.kneeDb << " " << c.inputDb;
    }
}

TEST (LookAheadCompressorProcessor, ReleaseFollowsItsTimeConstant)
{
    QEL::LookAheadCompressorProcessor limiter;
    limiter.lookAheadEnabled = false;
    prepare (limiter, 48000.0);

    StereoSignal loud (std::vector<float> (blockSize, 2.0f));
    run (limiter, loud);
    StereoSignal quiet (std::vector<float> (288, 0.1f)); // 6 ms
    run (limiter, quiet);

    EXPECT_NEAR (levelToDb (quiet.left.back() / 0.1f), levelToDb (0.5) * std::exp (-1.0), 0.01);
}

TEST (LookAheadCompressorProcessor, OversizedBlockMatchesPreparedBlocks)
{
    juce::Random random (5);
    std::vector<float> samples (1000);
    for (auto& sample : samples)
        sample = (random.nextFloat() * 2.0f - 1.0f) * 3.0f;

    QEL::LookAheadCompressorProcessor inPieces, whole;
    prepare (inPieces, 44100.0);
    prepare (whole, 44100.0);

    StereoSignal expected (samples), actual (samples);
    run (inPieces, expected);
    float* channels[] = { actual.left.data(), actual.right.data() };
    whole.processImpl (channels, channels, 1000, 2, 2); // straight past the block entry

    EXPECT_EQ (expected.left, actual.left);
    EXPECT_EQ (expected.right, actual.right);
}

TEST (LookAheadCompressorProcessor, SwitchingBackOnDoesNotReplayStaleAudio)
{
    QEL::LookAheadCompressorProcessor limiter;
    prepare (limiter, 44100.0);

    StereoSignal loud (std::vector<float> (1024, 0.8f));
    run (limiter, loud);

    limiter.setBypassSmooth (false);
    StereoSignal stillLoud (std::vector<float> (1024, 0.8f));
    run (limiter, stillLoud); // the off ramp (441 samples) ends inside this, with audio in the delay
    EXPECT_FALSE (limiter.isRamping());

    limiter.setBypassSmooth (true);
    StereoSignal afterSwitch (std::vector<float> (1024, 0.0f));
    run (limiter, afterSwitch);
    EXPECT_EQ (peak (afterSwitch.left), 0.0);
    EXPECT_EQ (limiter.envelope, 0.0f);
}

TEST (LookAheadCompressorProcessor, ZeroLookAheadLimitsWithoutLatency)
{
    QEL::LookAheadCompressorProcessor limiter;
    limiter.lookAheadSeconds = 0.0f;
    prepare (limiter, 48000.0);
    EXPECT_EQ (limiter.delayInSamples, 0);

    StereoSignal signal (sine (1000.0, 48000.0, 4.0f, 4800));
    const auto original = signal.left;
    run (limiter, signal);

    EXPECT_NEAR (signal.left[12], 1.0f, 1.0e-5); // the first crest, on time and at full scale
    EXPECT_LE (peak (signal.left), 1.0 + 1.0e-5);
    EXPECT_TRUE (finiteAndNormal (signal.left.data(), (int) signal.left.size()));
}

TEST (LookAheadCompressorProcessor, ResetKeepsTheDelayedAudio)
{
    QEL::LookAheadCompressorProcessor limiter;
    prepare (limiter, 44100.0, 256);

    StereoSignal first (std::vector<float> (256, 0.0f));
    first.left[200] = 0.5f;
    run (limiter, first, 256);
    limiter.reset();

    StereoSignal second (std::vector<float> (256, 0.0f));
    run (limiter, second, 256);
    EXPECT_EQ (second.left[200 + 220 - 256], 0.5f);
}
} // namespace

// Quiet speech-level audio around a loud burst that starts on a block boundary: before the burst's
// look-ahead and once its release has died away, the audio leaves bit for bit as it came in, delayed;
// the burst itself still fades in ahead of its peak and stays under full scale.
TEST (LookAheadCompressorProcessor, QuietAudioAroundABurstPassesBitForBit)
{
    constexpr int latency = 239, burstAt = 64 * 40, burstLength = 2400, length = 48000 * 2;
    auto samples = sine (440.0, 48000.0, 0.5f, length);
    for (int i = burstAt; i < burstAt + burstLength; ++i)
        samples[(size_t) i] *= 4.0f;
    StereoSignal signal (samples);

    QEL::LookAheadCompressorProcessor limiter;
    prepare (limiter, 48000.0);
    run (limiter, signal);

    const auto delayedInput = [&] (int n) { return samples[(size_t) (n - latency)]; };
    const auto firstDifferent = [&] (int from, int to)
    {
        for (int n = from; n < to; ++n)
            if (signal.left[(size_t) n] != delayedInput (n))
                return n;
        return to;
    };

    EXPECT_EQ (firstDifferent (latency, burstAt), burstAt); // the fade starts a look-ahead ahead of the burst
    const int beforePeak = burstAt + latency / 2;
    EXPECT_LT (std::abs (signal.left[(size_t) beforePeak]), 0.9f * std::abs (delayedInput (beforePeak)));
    EXPECT_LE (peak (signal.left), 1.0 + 1.0e-5);

    const int quietAgain = burstAt + burstLength + latency + 48000; // a second of release is ample
    EXPECT_EQ (firstDifferent (quietAgain, length), length);
}
