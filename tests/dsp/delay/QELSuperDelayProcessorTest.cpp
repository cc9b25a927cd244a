#include "dsp/delay/QELSuperDelayProcessor.h"

#include "dsp/BlockSignals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double rate = 44100.0;

struct Stereo
{
    std::vector<float> left, right;
};

Stereo silence (int numSamples)
{
    return { std::vector<float> ((size_t) numSamples, 0.0f), std::vector<float> ((size_t) numSamples, 0.0f) };
}

/** A 20 ms, 1 kHz burst in a Hann window at `at`, the same on both channels: loud enough to measure,
    inside the band every loop filter passes. */
Stereo burstAt (int numSamples, int at, float amplitude = 0.5f)
{
    auto s = silence (numSamples);
    const int length = (int) (0.02 * rate);
    for (int i = 0; i < length; ++i)
    {
        const double window = 0.5 - 0.5 * std::cos (juce::MathConstants<double>::twoPi * i / length);
        s.left[(size_t) (at + i)] = s.right[(size_t) (at + i)] =
            amplitude * (float) (window * std::sin (juce::MathConstants<double>::twoPi * 1000.0 * i / rate));
    }
    return s;
}

double rmsOf (const std::vector<float>& x, double fromSeconds, double toSeconds)
{
    const auto from = (size_t) (fromSeconds * rate), to = (size_t) (toSeconds * rate);
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += (double) x[i] * x[i];
    return std::sqrt (sum / (double) (to - from));
}

/** Energy-weighted centre of samples [from, to), in samples. */
double centreOf (const std::vector<float>& x, size_t from, size_t to)
{
    double weighted = 0.0, total = 0.0;
    for (size_t i = from; i < to; ++i)
    {
        weighted += (double) i * x[i] * x[i];
        total += (double) x[i] * x[i];
    }
    return weighted / total;
}

/** The delay as the vocal chain sets it up: echo only, sync on at "1/8"; then one of its types. */
struct Delay
{
    explicit Delay (const char* type = "Modern")
    {
        delay.dryGain = 0.0f;
        delay.wetGain = 1.0f;
        delay.noteIndex = 9;
        setType (type);
        delay.prepare ({ rate, 512, 2 });
    }

    void setType (const std::string& type)
    {
        const bool pong = type == "Pong";
        delay.requestedType = pong ? 1 : 0;
        delay.rotationAngle = pong ? 1.5707964f : 0.0f;
        delay.lofiOn = type == "Lofi" || type == "Tape";
        delay.lofi.mode = type == "Tape" ? 2 : 0;
        delay.clipOn = type == "Tape";
        delay.drive = 0.0f;
        delay.spread = 0.0f;
    }

    void setFreeTime (float ms)
    {
        delay.noteIndex = 0;
        delay.freeTimeSeconds = ms / 1000.0f;
    }

    Stereo run (Stereo signal)
    {
        for (size_t start = 0; start < signal.left.size(); start += 512)
        {
            const int n = (int) std::min ((size_t) 512, signal.left.size() - start);
            float* channels[] = { signal.left.data() + start, signal.right.data() + start };
            delay.process (channels, channels, n, 2, 2);
        }
        return signal;
    }

    juce::QELSuperDelayProcessor delay;
};
} // namespace

TEST (QELSuperDelayProcessor, FirstEchoComesAtTheSetTime)
{
    const struct
    {
        int noteIndex;
        float freeMs;
        double bpm;
        double echoSeconds;
    } cases[] = {
        { 9, 0.0f, 120.0, 0.25 },                                                         // "1/8" at 120 BPM
        { 0, 250.0f, 120.0, 0.25 },                                                       // free time
        { 0, 350.0f, 120.0, 0.35 }, { 6, 0.0f, 90.0, 2.0 / 3.0 }, { 1, 0.0f, 60.0, 4.0 }, // one bar
        { 1, 0.0f, 20.0, 2.0 }, // a 12 s bar wraps around the 10 s line
    };

    for (const auto& c : cases)
    {
        Delay d;
        d.delay.setTempo (c.bpm);
        d.delay.noteIndex = c.noteIndex;
        d.delay.freeTimeSeconds = c.freeMs / 1000.0f;
        d.delay.feedback = 0.0f;

        const int burstStart = 100;
        const auto in = burstAt ((int) ((c.echoSeconds + 0.1) * rate), burstStart);
        const auto out = d.run (in);

        const size_t expected = (size_t) std::lround (c.echoSeconds * rate);
        const double inputCentre = centreOf (in.left, 0, in.left.size());
        EXPECT_NEAR (centreOf (out.left, expected - 2000, out.left.size()) - inputCentre, (double) expected, 3.0)
            << c.noteIndex << " " << c.freeMs;
        EXPECT_EQ (rmsOf (out.left, 0.0, (double) expected / rate - 0.001), 0.0) << "nothing before the echo";
        EXPECT_NEAR (rmsOf (out.left, 0.0, c.echoSeconds + 0.1), rmsOf (in.left, 0.0, c.echoSeconds + 0.1), 0.01)
            << "the echo keeps its level";
    }
}

TEST (QELSuperDelayProcessor, RepeatsDecayByTheFeedback)
{
    for (const float feedback : { 0.5f, 0.8f })
    {
        Delay d;
        d.delay.feedback = feedback;
        const auto out = d.run (burstAt ((int) (0.9 * rate), 0));

        const double first = rmsOf (out.left, 0.25, 0.3), second = rmsOf (out.left, 0.5, 0.55),
                     third = rmsOf (out.left, 0.75, 0.8);
        EXPECT_NEAR (second / first, feedback, 0.02 * feedback);
        EXPECT_NEAR (third / second, feedback, 0.02 * feedback);
    }
}

TEST (QELSuperDelayProcessor, PongSendsAMonoInputLeftFirstThenAcross)
{
    Delay d ("Pong");
    d.delay.feedback = 0.5f;
    d.run (silence ((int) (0.3 * rate))); // lets the input rotation settle at pi/4
    const auto in = burstAt ((int) (0.9 * rate), 0);
    const auto out = d.run (in);

    const double input = rmsOf (in.left, 0.0, 0.05);
    EXPECT_NEAR (rmsOf (out.left, 0.25, 0.3), std::sqrt (2.0) * input, 0.02 * input);
    EXPECT_LT (rmsOf (out.right, 0.25, 0.3), 1.0e-3 * input);
    EXPECT_NEAR (rmsOf (out.right, 0.5, 0.55), 0.5 * std::sqrt (2.0) * input, 0.02 * input);
    EXPECT_LT (rmsOf (out.left, 0.5, 0.55), 1.0e-3 * input);
    EXPECT_NEAR (rmsOf (out.left, 0.75, 0.8), 0.25 * std::sqrt (2.0) * input, 0.02 * input);
}

TEST (QELSuperDelayProcessor, ColouredTypesBandLimitAndClipTheEchoes)
{
    const struct
    {
        const char* type;
        double frequency;
        float amplitude;
        double minDb, maxDb;
    } cases[] = {
        { "Modern", 100.0, 0.5f, -0.5, 0.3 },
        { "Lofi", 100.0, 0.5f, -40.0, -20.0 }, // below the 350 Hz to 3 kHz band
        { "Lofi", 1000.0, 0.5f, -1.0, 0.3 },
        { "Tape", 1000.0, 1.0f, -30.0, -10.0 }, // atan (10 x) / 10 keeps every echo below 0.16
    };

    for (const auto& c : cases)
    {
        Delay d (c.type);
        d.delay.feedback = 0.0f;
        Stereo in { blocksignals::sine (c.frequency, rate, (int) (0.75 * rate), c.amplitude),
                    blocksignals::sine (c.frequency, rate, (int) (0.75 * rate), c.amplitude) };
        const auto out = d.run (in);
        const double db = 20.0 * std::log10 (rmsOf (out.left, 0.45, 0.75) / rmsOf (in.left, 0.2, 0.5));
        EXPECT_GT (db, c.minDb) << c.type << " at " << c.frequency;
        EXPECT_LT (db, c.maxDb) << c.type << " at " << c.frequency;
    }
}

TEST (QELSuperDelayProcessor, TimeChangesGlideAndTypeChangesFadeTheWriting)
{
    Delay d;
    d.setFreeTime (350.0f);
    d.run (silence (1000));
    EXPECT_FLOAT_EQ (d.delay.delaySamplesLeft, 0.35f * 44100.0f);

    d.setFreeTime (500.0f);
    d.run (silence ((int) (0.1 * rate)));
    const double share = (d.delay.delaySamplesLeft - 0.35 * rate) / (0.15 * rate);
    EXPECT_NEAR (share, 1.0 - std::exp (-1.0), 0.01);

    // Modern -> Pong: the writing fades out over 10 ms, the type switches, then it fades back in.
    d.setType ("Pong");
    d.run (silence (440));
    EXPECT_EQ (d.delay.currentType, 0);
    EXPECT_NEAR (d.delay.typeFade, 0.0f, 0.01f);
    d.run (silence (2));
    EXPECT_EQ (d.delay.currentType, 1);
    d.run (silence (442));
    EXPECT_EQ (d.delay.typeFade, 1.0f);
}

//  burst | off (fade ends) | on: silence where the old echoes were | a new burst echoes as usual
//  The lines are emptied a 64 kB slice per block while the delay runs again, never all in one block.
TEST (QELSuperDelayProcessor, SwitchingOffEmptiesTheLinesButResetKeepsThem)
{
    Delay d;
    d.run (burstAt ((int) (0.1 * rate), 0));
    d.delay.reset();
    EXPECT_GT (rmsOf (d.run (silence ((int) (0.3 * rate))).left, 0.1, 0.3), 0.01);

    d.run (burstAt ((int) (0.1 * rate), 0));
    d.delay.setBypassSmooth (false);
    d.run (silence (1024)); // past the 440-sample crossfade

    d.delay.setBypassSmooth (true);
    const auto firstBlock = [&d]
    {
        const auto before = d.delay.bufferLeft;
        d.run (silence (512));
        int zeroed = 0;
        for (size_t i = 0; i < before.size(); ++i)
            zeroed += before[i] != 0.0f && d.delay.bufferLeft[i] == 0.0f ? 1 : 0;
        return zeroed;
    }();
    EXPECT_LE (firstBlock, 8192) << "at most 32 kB of each line in one block";

    const auto out = d.run (silence ((int) (0.6 * rate)));
    EXPECT_EQ (rmsOf (out.left, 0.0, 0.6) + rmsOf (out.right, 0.0, 0.6), 0.0);
    const auto echo = d.run (burstAt ((int) (0.6 * rate), 0));
    EXPECT_GT (rmsOf (echo.left, 0.1, 0.6), 0.01) << "fresh echoes are heard while the old ones are still being emptied";

    d.delay.feedback = 0.0f;
    d.run (silence ((int) (10.5 * rate)));
    for (const auto* line : { &d.delay.bufferLeft, &d.delay.bufferRight })
        EXPECT_TRUE (std::all_of (line->begin(), line->end(), [] (float s) { return s == 0.0f; }));
}

TEST (QELSuperDelayProcessor, ZeroTimeEchoesTheInputAtOnceNotTheLineTenSecondsAgo)
{
    Delay d;
    d.setFreeTime (0.0f);
    d.delay.feedback = 0.0f;
    Stereo in { blocksignals::sine (1000.0, rate, 4410), blocksignals::sine (1000.0, rate, 4410) };
    const auto out = d.run (in);
    EXPECT_NEAR (rmsOf (out.left, 0.05, 0.1), rmsOf (in.left, 0.05, 0.1), 0.01);
    EXPECT_NEAR (d.delay.delaySamplesLeft, 2.0f, 1.0e-6f);
}

TEST (QELSuperDelayProcessor, TempoThatIsNotPositiveKeepsTheLastOne)
{
    Delay d;
    d.delay.setTempo (90.0);
    d.delay.setTempo (0.0);
    d.delay.setTempo (-30.0);
    EXPECT_FLOAT_EQ (d.delay.getDelayTime(), 60.0f / 90.0f / 2.0f);
}

TEST (QELSuperDelayProcessor, CubicReadWrapsNegativePositions)
{
    // line:  0  1  4  9  16  25  36  49     position -0.5 reads 36, 49 | 0, 1 with f = 0.5
    std::vector<float> line (8);
    for (size_t i = 0; i < line.size(); ++i)
        line[i] = (float) (i * i);

    EXPECT_FLOAT_EQ (juce::QELSuperDelayProcessor::getSample (line, -0.5f), 25.25f);
    EXPECT_EQ (juce::QELSuperDelayProcessor::getSample (line, 3.0f), 9.0f);
    EXPECT_EQ (juce::QELSuperDelayProcessor::getSample (line, -13.0f), 9.0f);
    EXPECT_FLOAT_EQ (juce::QELSuperDelayProcessor::getSample (line, 2.5f), 6.25f); // a parabola is read exactly
}

TEST (QELSuperDelayProcessor, LoopStagesTheChainLeavesOffWidenAndSaturateTheEchoes)
{
    const auto sideOverMid = [] (const Stereo& out)
    {
        double side = 0.0, mid = 0.0;
        for (size_t i = 0; i < out.left.size(); ++i)
        {
            side += std::pow (out.left[i] - out.right[i], 2.0);
            mid += std::pow (out.left[i] + out.right[i], 2.0);
        }
        return std::sqrt (side / mid);
    };

    Delay plain;
    const auto plainOut = plain.run (burstAt ((int) (0.6 * rate), 0));
    EXPECT_EQ (sideOverMid (plainOut), 0.0);

    Delay wide;
    wide.delay.stereoizerOn = true;
    wide.delay.stereoizer.setAmount (100.0f);
    EXPECT_GT (sideOverMid (wide.run (burstAt ((int) (0.6 * rate), 0))), 0.1);

    Delay driven;
    driven.delay.drive = 3.0f;
    const auto drivenOut = driven.run (burstAt ((int) (0.6 * rate), 0, 0.9f));
    const double level = rmsOf (drivenOut.left, 0.25, 0.3);
    EXPECT_TRUE (std::isfinite (level));
    EXPECT_GT (level, 0.05);
    EXPECT_LT (level, rmsOf (burstAt ((int) (0.6 * rate), 0, 0.9f).left, 0.0, 0.05));
}

TEST (QELSuperDelayProcessor, FractionalDelayReadsAsCleanlyAtTheEndOfTheLineAsAtItsStart)
{
    // A steady sine with a period of exactly 14 samples and a delay of 13639.25 samples: once settled, the
    // echo repeats every period, near the start of the 441000-sample line and near its end alike.
    Delay d;
    d.setFreeTime (1000.0f * 13639.25f / 44100.0f);
    d.delay.feedback = 0.0f;
    const int length = 440000;
    const auto tone = blocksignals::sine (3150.0, rate, length);
    const auto out = d.run (Stereo { tone, tone });

    const size_t early = 30000, late = early + 14 * 29000;
    float largest = 0.0f;
    for (size_t i = 0; i < 1400; ++i)
        largest = std::max (largest, std::abs (out.left[early + i] - out.left[late + i]));
    EXPECT_LT (largest, 2.0e-5f); // a float position near 430000 leaves about 2e-4 of jitter
}
