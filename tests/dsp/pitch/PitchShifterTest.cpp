#include "dsp/pitch/PitchShifter.h"
#include "dsp/pitch/PitchShifterProcessor_V2.h"
#include "dsp/pitch/SmbPitchShift.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
std::vector<float> sine (double hz, double rate, int length, float amplitude = 0.5f)
{
    std::vector<float> x ((std::size_t) length);
    for (int i = 0; i < length; ++i)
        x[(std::size_t) i] = amplitude * (float) std::sin (2.0 * M_PI * hz * i / rate);
    return x;
}

// Power of a Hann-windowed stretch at one frequency (Goertzel).
double powerAt (const std::vector<float>& x, std::size_t from, std::size_t length, double rate, double hz)
{
    const double coefficient = 2.0 * std::cos (2.0 * M_PI * hz / rate);
    double s1 = 0.0, s2 = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double window = 0.5 - 0.5 * std::cos (2.0 * M_PI * (double) i / (double) length);
        const double s0 = x[from + i] * window + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

// The strongest frequency of a stretch between lo and hi Hz: a 2 Hz scan, then 0.1 Hz around the best.
double dominantFrequency (const std::vector<float>& x, std::size_t from, std::size_t length, double rate, double lo,
                          double hi)
{
    auto scan = [&] (double a, double b, double step)
    {
        double best = a, bestPower = -1.0;
        for (double f = a; f <= b; f += step)
            if (const double p = powerAt (x, from, length, rate, f); p > bestPower)
            {
                bestPower = p;
                best = f;
            }
        return best;
    };
    const double coarse = scan (lo, hi, 2.0);
    return scan (coarse - 2.0, coarse + 2.0, 0.1);
}
} // namespace

TEST (DelayLinePitchShifter, UnityRatioDelaysByHalfTheBuffer)
{
    QEL::PitchShifter<float, QEL::DLLinear> shifter;
    shifter.prepare (2);
    const auto in = sine (300.0, 48000.0, 12000);
    for (std::size_t i = 0; i < in.size(); ++i)
    {
        const float y = shifter.processSample (1, in[i]);
        ASSERT_EQ (shifter.crossfade[1], 0.0f);
        ASSERT_EQ (y, i >= 2048 ? in[i - 2048] : 0.0f) << i;
    }
    // The other channel was not touched.
    EXPECT_EQ (shifter.writeIndex[0], 0);
}

TEST (DelayLinePitchShifter, ResetSilencesWhatWasPlayed)
{
    QEL::PitchShifter<float, QEL::DLLinear> shifter;
    shifter.prepare (2);
    shifter.ratio = 1.2f;
    for (int round = 0; round < 2; ++round)
    {
        for (float x : sine (440.0, 48000.0, 6000))
        {
            shifter.processSample (0, x);
            shifter.processSample (1, x);
        }
        shifter.reset();
        for (int i = 0; i < 8192; ++i)
        {
            ASSERT_EQ (shifter.processSample (0, 0.0f), 0.0f) << "round " << round << " sample " << i;
            ASSERT_EQ (shifter.processSample (1, 0.0f), 0.0f);
        }
    }
}

TEST (DelayLinePitchShifter, ShiftsASineByTheRatio)
{
    const double rate = 48000.0;
    for (float ratio : { 0.9f, 1.06f, 1.5f })
    {
        QEL::PitchShifter<float, QEL::DLLinear> shifter;
        shifter.prepare (1);
        shifter.ratio = ratio;
        const auto in = sine (440.0, rate, 48000);
        std::vector<float> out (in.size());
        for (std::size_t i = 0; i < in.size(); ++i)
            out[i] = shifter.processSample (0, in[i]);

        const double f = dominantFrequency (out, 24000, 16384, rate, 300.0, 800.0);
        EXPECT_NEAR (f, 440.0 * ratio, 440.0 * ratio * 0.01) << "ratio " << ratio;
    }
}

TEST (DelayLinePitchShifter, ReadPositionRestartsAtZeroAndCrossfadesToTheOtherTap)
{
    QEL::PitchShifter<float, QEL::DLLinear> shifter;
    shifter.prepare (1);
    shifter.ratio = 1.3f;

    int wraps = 0;
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 20000; ++i)
    {
        const float before = shifter.readPosition[0];
        shifter.processSample (0, 0.0f);
        if (shifter.readPosition[0] < before)
        {
            ++wraps;
            EXPECT_EQ (shifter.readPosition[0], 0.0f);
            EXPECT_GE ((int) (before + 1.3f), 4096);
        }
        lowest = std::min (lowest, shifter.crossfade[0]);
        highest = std::max (highest, shifter.crossfade[0]);
    }
    EXPECT_GE (wraps, 5);
    EXPECT_EQ (lowest, 0.0f);
    EXPECT_EQ (highest, 1.0f);
}

TEST (SmbPitchShift, UnityFactorResynthesisesTheInputLate)
{
    auto shifter = std::make_unique<juce::SmbPitchShift>();
    const double rate = 44100.0;
    const auto in = sine (441.0, rate, 16384);
    std::vector<float> out (in.size());
    // Uneven block lengths: the stream does not depend on them.
    for (std::size_t start = 0, n = 100; start < in.size(); start += n, n = n % 300 + 77)
    {
        const auto len = std::min (n, in.size() - start);
        shifter->smbPitchShift (1.0f, (long) len, 1024, 8, (float) rate, in.data() + start, out.data() + start);
    }

    // The sine comes out 896 samples late: before that only the first frames' faint start-up.
    auto peak = [&out] (std::size_t from, std::size_t to)
    {
        float p = 0.0f;
        for (std::size_t i = from; i < to; ++i)
            p = std::max (p, std::abs (out[i]));
        return p;
    };
    EXPECT_LT (peak (0, 896), 0.02f * peak (1024, 4096));
    EXPECT_GT (peak (1024, 4096), 0.4f);
    EXPECT_NEAR (dominantFrequency (out, 4096, 8192, rate, 300.0, 600.0), 441.0, 1.0);
}

TEST (SmbPitchShift, ShiftsASineByTheFactor)
{
    const double rate = 44100.0;
    for (float factor : { 0.5f, 0.75f, 1.5f, 2.0f })
    {
        auto shifter = std::make_unique<juce::SmbPitchShift>();
        auto signal = sine (440.0, rate, 32768);
        shifter->smbPitchShift (factor, (long) signal.size(), 1024, 8, (float) rate, signal.data(), signal.data());

        const double f = dominantFrequency (signal, 8192, 16384, rate, 150.0, 1000.0);
        EXPECT_NEAR (f, 440.0 * factor, 440.0 * factor * 0.01) << "factor " << factor;
    }
}

TEST (SmbPitchShift, ForwardAndInverseTransformsRoundTrip)
{
    std::vector<float> data (2048), original;
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = (float) std::sin (0.37 * (double) i) + (float) (i % 7) * 0.1f;
    original = data;

    // A cosine at bin 5 lands in bins 5 and 1019 with half the length each.
    std::vector<float> tone (2048, 0.0f);
    for (int k = 0; k < 1024; ++k)
        tone[(std::size_t) (2 * k)] = (float) std::cos (2.0 * M_PI * 5.0 * k / 1024.0);
    juce::SmbPitchShift::smbFft (tone.data(), -1);
    EXPECT_NEAR (tone[10], 512.0f, 1e-2f);
    EXPECT_NEAR (tone[2 * 1019], 512.0f, 1e-2f);
    EXPECT_NEAR (tone[12], 0.0f, 1e-2f);

    juce::SmbPitchShift::smbFft (data.data(), -1);
    juce::SmbPitchShift::smbFft (data.data(), 1);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_NEAR (data[i] / 1024.0f, original[i], 1e-4f);
}

TEST (PitchShifterProcessorV2, ShiftsBothChannelsAndFollowsMono)
{
    const double rate = 48000.0;
    QEL::PitchShifterProcessor_V2 shifter;
    shifter.prepare ({ rate, 512, 2 });
    shifter.pitchFactor = 2.0f;

    auto left = sine (300.0, rate, 24576);
    auto right = sine (500.0, rate, 24576);
    for (std::size_t start = 0; start < left.size(); start += 512)
    {
        float* channels[] = { left.data() + start, right.data() + start };
        shifter.process (channels, channels, 512, 2, 2);
    }
    EXPECT_NEAR (dominantFrequency (left, 8192, 16384, rate, 200.0, 1200.0), 600.0, 6.0);
    EXPECT_NEAR (dominantFrequency (right, 8192, 16384, rate, 200.0, 1200.0), 1000.0, 10.0);

    // One output channel: only out[0] is written, from in[0].
    std::vector<float> mono (1024, 0.25f), untouched (1024, 0.75f);
    float* monoChannels[] = { mono.data(), untouched.data() };
    shifter.process (monoChannels, monoChannels, 1024, 1, 1);
    EXPECT_EQ (untouched[100], 0.75f);
}

// A shifter that is not heard moves its taps in runs; where it ends must be exactly where sample-by-sample
// processing ends, for ratios that land on rounding ties, unity, octaves and the voices' detunes, in
// blocks of every size and with the ratio changing between blocks.
TEST (DelayLinePitchShifter, AdvanceLandsWhereProcessingLands)
{
    const float tieAtTopBinade = 1.0f + std::ldexp (1.0f, -12) + std::ldexp (1.0f, -13);
    const float ratios[] = { 1.0f, 0.5f, 2.0f, 1.3f, tieAtTopBinade, 0.99480f, 1.00521f, 0.94387f, 1.05946f };
    juce::Random random (23);

    for (const float ratio : ratios)
    {
        QEL::PitchShifter<float, QEL::DLLinear> heard, unheard;
        heard.prepare (1);
        unheard.prepare (1);
        int crossfadeChanges = 0;

        for (int block = 0; block < 1500; ++block)
        {
            // Every other ratio drifts a little from block to block, as a voice's detune does.
            const float r = (block % 2 == 0) ? ratio : ratio * (1.0f + 0.004f * (random.nextFloat() - 0.5f));
            heard.ratio = unheard.ratio = r;
            const int length = 1 + random.nextInt (block % 3 == 0 ? 64 : 700);
            const float before = heard.crossfade[0];

            for (int i = 0; i < length; ++i)
                heard.processSample (0, 0.0f);
            unheard.advance (0, length);

            crossfadeChanges += heard.crossfade[0] != before ? 1 : 0;
            ASSERT_EQ (unheard.writeIndex[0], heard.writeIndex[0]) << "ratio " << ratio << " block " << block;
            ASSERT_EQ (unheard.readPosition[0], heard.readPosition[0]) << "ratio " << ratio << " block " << block;
            ASSERT_EQ (unheard.crossfade[0], heard.crossfade[0]) << "ratio " << ratio << " block " << block;
        }
        // The runs crossed the crossfades, not only the stretches between them (where the taps move apart
        // fast enough to reach one).
        if (std::abs (ratio - 1.0f) > 0.004f)
        {
            EXPECT_GT (crossfadeChanges, 10) << "ratio " << ratio;
        }
    }
}
