#include "chain/ShelfPassFilterProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

using tessaro::dsp::ShelfPassFilterProcessor;
using namespace chain_test;

namespace
{
struct BandSetting
{
    float hz, q, db;
};

void apply (ShelfPassFilterProcessor& band, const BandSetting& s)
{
    band.setFrequency (s.hz);
    band.setQ (s.q);
    band.setGainDb (s.db);
}

/** Deterministic noise in -0.25..0.25 on both channels. */
juce::AudioBuffer<float> noise (int numSamples, int seed)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    juce::Random random (seed);
    for (int i = 0; i < numSamples; ++i)
    {
        const float v = 0.5f * random.nextFloat() - 0.25f;
        buffer.setSample (0, i, v);
        buffer.setSample (1, i, v);
    }
    return buffer;
}
} // namespace

// A band stepped to a new setting while it plays has, 50 ms later, the filter a band prepared at that
// setting has: fed the same signal from then on, the two agree once the history before the step has
// rung out of both, and the stepped one falls silent after the signal (also at 22.05 kHz, where the
// high band's corner sits near the Nyquist frequency).
TEST (ShelfPassFilterProcessor, AGlideArrivesAtTheNewSettingsFilterAndFallsSilent)
{
    struct Case
    {
        const char* what;
        int type;
        double rate;
        BandSetting from, to;
    };
    const Case cases[] = {
        { "low shelf up to a high-pass",
          ShelfPassFilterProcessor::lowBand,
          44100.0,
          { 100.0f, 0.707f, 8.0f },
          { 400.0f, 3.0f, -15.0f } },
        { "high shelf across the band",
          ShelfPassFilterProcessor::highBand,
          44100.0,
          { 20.0f, 0.1f, -15.0f },
          { 22000.0f, 10.0f, 15.0f } },
        { "high band near Nyquist at 22.05 kHz",
          ShelfPassFilterProcessor::highBand,
          22050.0,
          { 2000.0f, 0.707f, 3.0f },
          { 22000.0f, 4.0f, -12.0f } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ShelfPassFilterProcessor stepped, fresh;
        for (auto* band : { &stepped, &fresh })
            band->setType (c.type);
        apply (stepped, c.from);
        apply (fresh, c.to);
        for (auto* band : { &stepped, &fresh })
            band->prepare ({ c.rate, 64, 2 });

        auto warmUp = noise ((int) (0.2 * c.rate), 1);
        runInBlocks (stepped, warmUp, 64);
        apply (stepped, c.to);
        auto glide = noise ((int) (0.05 * c.rate), 2);
        runInBlocks (stepped, glide, 64);

        // Two seconds of the same noise: the stepped band's history fades, then both are one filter.
        auto a = noise ((int) (2.0 * c.rate), 3), b = a;
        runInBlocks (stepped, a, 64);
        runInBlocks (fresh, b, 64);
        const int lastSecond = (int) c.rate;
        for (int i = lastSecond; i < a.getNumSamples(); ++i)
            ASSERT_NEAR (a.getSample (0, i), b.getSample (0, i), 1.0e-4f) << i; // float rounding of two state paths

        juce::AudioBuffer<float> silence (2, (int) (2.0 * c.rate));
        silence.clear();
        runInBlocks (stepped, silence, 64);
        EXPECT_EQ (silence.getMagnitude (0, lastSecond, silence.getNumSamples() - lastSecond), 0.0f);
    }
}

// The band moves as a glide, not a switch: halfway through, its gain at a sine lies between the two
// settings' gains, and it has reached the new one after the glide.
TEST (ShelfPassFilterProcessor, AGainStepIsHeardAsAGlideOfTwentyMilliseconds)
{
    constexpr double rate = 44100.0;
    ShelfPassFilterProcessor band;
    band.setType (ShelfPassFilterProcessor::highBand);
    band.setFrequency (1000.0f);
    band.prepare ({ rate, 32, 2 });

    auto settle = sine (8000.0, rate, 22050);
    runInBlocks (band, settle, 32);
    band.setGainDb (12.0f);

    // 8 kHz lies well above the corner: its level follows the shelf gain. Measured over 2 ms windows.
    auto after = sine (8000.0, rate, 2205);
    runInBlocks (band, after, 32);
    const auto levelDb = [&] (int centre)
    { return juce::Decibels::gainToDecibels (after.getRMSLevel (0, centre - 44, 88) / (0.5f / std::sqrt (2.0f))); };

    EXPECT_LT (levelDb (100), 3.0f);
    EXPECT_GT (levelDb (441), 3.0f);
    EXPECT_LT (levelDb (441), 9.0f);
    EXPECT_NEAR (levelDb (1500), 12.0f, 0.3f);
}

// Two channels run side by side in one loop; each must come out exactly as a band given that channel
// alone does, in blocks of any length (the last two samples of a block take another path), at rest, in a
// glide, and with the shelf and the pass filter blended.
TEST (ShelfPassFilterProcessor, AStereoBlockIsTwoMonoBandsBitForBit)
{
    const BandSetting settings[] = { { 300.0f, 0.707f, 6.0f }, { 300.0f, 2.0f, -12.0f }, { 8000.0f, 0.5f, -20.0f } };
    const int blockLengths[] = { 1, 2, 3, 7, 64, 512 };

    for (const int type : { ShelfPassFilterProcessor::lowBand, ShelfPassFilterProcessor::highBand })
        for (const auto& setting : settings)
        {
            ShelfPassFilterProcessor stereo, left, right;
            for (auto* band : { &stereo, &left, &right })
            {
                band->setType (type);
                apply (*band, setting);
                band->prepare ({ 48000.0, 512, 2 });
            }

            auto input = noise (12000, 3);
            input.applyGain (1, 0, input.getNumSamples(), -0.7f); // the channels differ
            auto both = input, alone = input;
            int start = 0;
            for (int block = 0; start < input.getNumSamples(); ++block)
            {
                if (block == 20) // a glide to another gain, across blocks of every length
                    for (auto* band : { &stereo, &left, &right })
                        band->setGainDb (setting.db - 6.0f);

                const int n = std::min (blockLengths[block % 6], input.getNumSamples() - start);
                float* pair[2] = { both.getWritePointer (0, start), both.getWritePointer (1, start) };
                float* l[1] = { alone.getWritePointer (0, start) };
                float* r[1] = { alone.getWritePointer (1, start) };
                stereo.process (pair, pair, n, 2, 2);
                left.process (l, l, n, 1, 1);
                right.process (r, r, n, 1, 1);
                start += n;
            }

            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < input.getNumSamples(); ++i)
                    ASSERT_EQ (both.getSample (ch, i), alone.getSample (ch, i))
                        << "type " << type << " db " << setting.db << " ch " << ch << " " << i;
        }
}
