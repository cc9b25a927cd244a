#include "dsp/eq/StereoFilterProcessor_V3.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

#include <thread>

using QEL::DynamicEQProcessor;
using QEL::FilterData;
using QEL::StereoFilterProcessor_V3;

namespace
{
constexpr double fs = 44100.0;
constexpr int blockSize = 256;

FilterData band (int type, float hz, float gainDb, float q = 0.707f, int slope = 1)
{
    FilterData d;
    d.type = type;
    d.frequency = hz;
    d.gain = std::pow (10.0f, gainDb / 20.0f);
    d.q = q;
    d.slope = slope;
    return d;
}

/** A band as the chain builds it: ramps of 0.01 s, then the record, then prepare. */
void build (StereoFilterProcessor_V3& processor, const FilterData& d, int channels = 2)
{
    processor.rampSeconds = 0.01f;
    processor.setFilterData (d);
    processor.prepare ({ fs, (juce::uint32) blockSize, (juce::uint32) channels });
}

void run (juce::QELProcessorBase& processor, juce::AudioBuffer<float>& buffer)
{
    const int channels = buffer.getNumChannels();
    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        float* pointers[2] = { buffer.getWritePointer (0, start),
                               channels > 1 ? buffer.getWritePointer (1, start) : nullptr };
        processor.process (pointers, pointers, std::min (blockSize, buffer.getNumSamples() - start), channels,
                           channels);
    }
}

/** Two channels: left and right hold a sine at hz scaled by leftGain and rightGain. */
juce::AudioBuffer<float> sinePair (double hz, int numSamples, float leftGain = 0.5f, float rightGain = 0.5f)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int i = 0; i < numSamples; ++i)
    {
        const float x = (float) std::sin (2.0 * FilterMeasure::pi * hz * i / fs);
        buffer.setSample (0, i, leftGain * x);
        buffer.setSample (1, i, rightGain * x);
    }
    return buffer;
}

double rmsOfLastHalf (const juce::AudioBuffer<float>& buffer, int channel)
{
    const int n = buffer.getNumSamples();
    return buffer.getRMSLevel (channel, n / 2, n - n / 2);
}

/** Gain in dB at hz of a band (both channels alike). */
double bandGainDb (const FilterData& d, double hz)
{
    StereoFilterProcessor_V3 processor;
    build (processor, d);
    auto buffer = sinePair (hz, (int) fs / 2);
    const double in = rmsOfLastHalf (buffer, 0);
    run (processor, buffer);
    return FilterMeasure::toDb (rmsOfLastHalf (buffer, 0) / in);
}
} // namespace

TEST (StereoFilterProcessor, ChainDefaultBandIsTransparent)
{
    StereoFilterProcessor_V3 processor;
    build (processor, band (2, 1000.0f, 0.0f));

    juce::AudioBuffer<float> buffer (2, 4096);
    const auto noise = FilterMeasure::noise (8192, 5);
    for (int i = 0; i < 4096; ++i)
    {
        buffer.setSample (0, i, noise[(size_t) i]);
        buffer.setSample (1, i, noise[(size_t) (4096 + i)]);
    }
    const auto input = buffer;
    run (processor, buffer);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 4096; ++i)
            ASSERT_NEAR (buffer.getSample (channel, i), input.getSample (channel, i), 1e-6f) << i;
}

TEST (StereoFilterProcessor, TypesAndSlopesHaveTheirResponses)
{
    const struct
    {
        int type, slope;
        float gainDb, q;
        double atCornerDb;
        double farHz, farDb, tolerance;
    } cases[] = {
        { 0, 0, 0.0f, 0.707f, -3.01, 125.0, -18.1, 0.1 }, // first order: 6 dB per octave
        { 0, 1, 0.0f, 0.707f, -3.01, 125.0, -36.1, 0.2 },
        { 0, 2, 0.0f, 2.0f, -6.02, 125.0, -54.2, 0.3 },   // Butterworth then first order: 18 dB per octave
        { 0, 3, 0.0f, 0.707f, -6.02, 125.0, -72.2, 0.3 }, // twice: 24 dB per octave
        { 4, 0, 0.0f, 0.707f, -3.01, 8000.0, -18.94, 0.3 },
        { 4, 3, 0.0f, 0.707f, -6.02, 4000.0, -49.4, 0.5 },
        { 1, 0, 12.0f, 0.707f, 6.0, 20.0, 12.0, 0.1 },
        { 2, 0, 12.0f, 1.0f, 12.0, 50.0, 0.0, 0.1 },
        { 2, 0, -12.0f, 1.0f, -12.0, 50.0, 0.0, 0.1 },
        { 3, 0, -12.0f, 0.707f, -6.0, 20.0, 0.0, 0.1 },
        { 5, 0, -12.0f, 0.707f, -6.0, 20.0, 0.0, 0.1 }, // its low shelf stage is not heard
        { 6, 0, 0.0f, 2.0f, 0.0, 250.0, -17.57, 0.1 },
        { 6, 3, 0.0f, 2.0f, 0.0, 250.0, -35.14, 0.2 },
    };

    for (const auto& c : cases)
    {
        const auto d = band (c.type, 1000.0f, c.gainDb, c.q, c.slope);
        EXPECT_NEAR (bandGainDb (d, 1000.0), c.atCornerDb, c.tolerance) << c.type << "/" << c.slope;
        EXPECT_NEAR (bandGainDb (d, c.farHz), c.farDb, c.tolerance) << c.type << "/" << c.slope;
    }
}

TEST (StereoFilterProcessor, BandPassWithoutADesignPassesTheSignal)
{
    // Slopes 1 and 2 make no band-pass design: a band that never had one stays transparent.
    for (int slope : { 1, 2 })
        EXPECT_NEAR (bandGainDb (band (6, 1000.0f, 0.0f, 2.0f, slope), 250.0), 0.0, 1e-4) << slope;
}

TEST (StereoFilterProcessor, ChannelModesPickTheirPartOfTheSignal)
{
    const auto cut = [] (int channelMode)
    {
        auto d = band (2, 1000.0f, -30.0f, 1.0f);
        d.channelMode = channelMode;
        return d;
    };

    const struct
    {
        int channelMode;
        float leftGain, rightGain;
        double leftDb, rightDb;
    } cases[] = {
        { 0, 0.5f, 0.5f, -30.0, -30.0 },  { 1, 0.5f, 0.5f, -30.0, 0.0 }, { 2, 0.5f, 0.5f, 0.0, -30.0 },
        { 3, 0.5f, 0.5f, -30.0, -30.0 },  { 3, 0.5f, -0.5f, 0.0, 0.0 },  { 4, 0.5f, 0.5f, 0.0, 0.0 },
        { 4, 0.5f, -0.5f, -30.0, -30.0 }, { 5, 0.5f, 0.5f, 0.0, 0.0 },
    };

    for (const auto& c : cases)
    {
        StereoFilterProcessor_V3 processor;
        build (processor, cut (c.channelMode));
        auto buffer = sinePair (1000.0, (int) fs / 2, c.leftGain, c.rightGain);
        run (processor, buffer);
        EXPECT_NEAR (FilterMeasure::toDb (rmsOfLastHalf (buffer, 0) / (0.5 / std::sqrt (2.0))), c.leftDb, 0.1)
            << c.channelMode << " " << c.rightGain;
        EXPECT_NEAR (FilterMeasure::toDb (rmsOfLastHalf (buffer, 1) / (0.5 / std::sqrt (2.0))), c.rightDb, 0.1)
            << c.channelMode << " " << c.rightGain;
    }
}

TEST (StereoFilterProcessor, MidModeAtUnityGainGivesTheInputBack)
{
    StereoFilterProcessor_V3 processor;
    auto d = band (2, 1000.0f, 0.0f);
    d.channelMode = 3;
    build (processor, d);
    auto buffer = sinePair (300.0, 2048, 0.7f, -0.2f);
    const auto input = buffer;
    run (processor, buffer);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 2048; ++i)
            ASSERT_NEAR (buffer.getSample (channel, i), input.getSample (channel, i), 1e-6f);
}

TEST (StereoFilterProcessor, FrequencyChangeGlidesInEqualStepsOverTheRamp)
{
    StereoFilterProcessor_V3 processor;
    build (processor, band (2, 100.0f, 6.0f));
    auto warm = sinePair (440.0, 512);
    run (processor, warm);

    processor.setFilterData (band (2, 1000.0f, 6.0f));
    juce::AudioBuffer<float> buffer (2, 1);
    float previous = processor.smoothFrequency.getCurrentValue();
    for (int n = 1; n <= 440; ++n)
    {
        float* pointers[2] = { buffer.getWritePointer (0), buffer.getWritePointer (1) };
        processor.process (pointers, pointers, 1, 2, 2);
        const float now = processor.smoothFrequency.getCurrentValue();
        EXPECT_NEAR (now - previous, 900.0f / 440.0f, 0.01f) << n;
        EXPECT_EQ (processor.smoothFrequency.isSmoothing(), n < 440) << n;
        previous = now;
    }
    EXPECT_EQ (previous, 1000.0f);
}

TEST (StereoFilterProcessor, SwitchingTheBandOffAndOnCrossfades)
{
    StereoFilterProcessor_V3 processor;
    auto d = band (2, 1000.0f, -30.0f, 1.0f);
    build (processor, d);
    auto settle = sinePair (1000.0, 4410);
    run (processor, settle);

    d.switchedOn = false;
    processor.setFilterData (d);
    auto fading = sinePair (1000.0, 4410);
    run (processor, fading);
    // Half-way through the 10 ms ramp the level lies between the cut and the input; afterwards the input.
    EXPECT_GT (fading.getRMSLevel (0, 200, 41), 0.02);
    EXPECT_LT (fading.getRMSLevel (0, 200, 41), 0.3);
    EXPECT_NEAR (FilterMeasure::toDb (rmsOfLastHalf (fading, 0) / (0.5 / std::sqrt (2.0))), 0.0, 0.01);

    d.switchedOn = true;
    processor.setFilterData (d);
    auto back = sinePair (1000.0, 4410);
    run (processor, back);
    EXPECT_NEAR (FilterMeasure::toDb (rmsOfLastHalf (back, 0) / (0.5 / std::sqrt (2.0))), -30.0, 0.1);
}

TEST (StereoFilterProcessor, SplitModesSendTheTransientOrTheSustainedShareThroughTheBand)
{
    // A steady tone is mostly sustain: the transient-only band leaves most of it, the sustain-only band
    // cuts it, and split mode 3 passes it.
    const auto steadyDb = [] (int splitMode)
    {
        auto d = band (2, 1000.0f, -24.0f, 1.0f);
        d.splitMode = splitMode;
        return bandGainDb (d, 1000.0);
    };
    EXPECT_NEAR (steadyDb (0), -24.0, 0.1);
    EXPECT_GT (steadyDb (1), -3.0);
    EXPECT_LT (steadyDb (2), -10.0);
    EXPECT_NEAR (steadyDb (3), 0.0, 1e-4);

    // The onset of a tone is mostly transient: the transient-only band cuts it.
    StereoFilterProcessor_V3 processor;
    auto d = band (2, 1000.0f, -24.0f, 1.0f);
    d.splitMode = 1;
    build (processor, d);
    auto onset = sinePair (1000.0, 441);
    run (processor, onset);
    EXPECT_LT (onset.getRMSLevel (0, 100, 341), 0.5 * 0.5 / std::sqrt (2.0));
}

TEST (DynamicEQProcessor, GainFollowsTheExcessUpToTheRange)
{
    // A tone at the band's centre peaking 3.6 dB or 16 dB above the threshold: the envelope settles a
    // little below the peak excess, the gain follows it dB for dB and stops at the range.
    const struct
    {
        float rangeDb, inputPeakDb;
        float minEnvelope, maxEnvelope;
    } cases[] = {
        { 6.0f, -16.4f, 2.0f, 3.1f },
        { 6.0f, -4.0f, 6.0f, 16.0f },
        { -6.0f, -16.4f, 2.0f, 3.1f },
        { -6.0f, -4.0f, 6.0f, 16.0f },
    };

    for (const auto& c : cases)
    {
        StereoFilterProcessor_V3 processor;
        auto d = band (2, 1000.0f, c.rangeDb, 1.0f);
        d.dynamic = true;
        d.threshold = -20.0f;
        d.attack = 0.1f;
        d.release = 40.0f;
        build (processor, d, 1);

        const float amplitude = std::pow (10.0f, c.inputPeakDb / 20.0f);
        juce::AudioBuffer<float> mono (1, (int) fs / 2);
        for (int i = 0; i < mono.getNumSamples(); ++i)
            mono.setSample (0, i, amplitude * (float) std::sin (2.0 * FilterMeasure::pi * 1000.0 * i / fs));
        const double in = rmsOfLastHalf (mono, 0);
        run (processor, mono);

        const float envelope = processor.dynamicEQ.envelopeState[0];
        EXPECT_GT (envelope, c.minEnvelope) << c.rangeDb << " " << c.inputPeakDb;
        EXPECT_LT (envelope, c.maxEnvelope) << c.rangeDb << " " << c.inputPeakDb;

        const double expectedDb = c.rangeDb > 0.0f ? std::min (c.rangeDb, envelope) : std::max (c.rangeDb, -envelope);
        EXPECT_NEAR (FilterMeasure::toDb (processor.dynamicEQ.dynamicGain), expectedDb, 1e-4);
        EXPECT_NEAR (FilterMeasure::toDb (rmsOfLastHalf (mono, 0) / in), expectedDb, 0.25)
            << c.rangeDb << " " << c.inputPeakDb;
    }
}

TEST (DynamicEQProcessor, ZeroGainRecordCutsFullyOnceTheExcessReachesOneHundredDecibels)
{
    StereoFilterProcessor_V3 processor;
    auto d = band (2, 1000.0f, 0.0f, 1.0f);
    d.gain = 0.0f;
    d.dynamic = true;
    d.threshold = -150.0f;
    build (processor, d, 1);
    EXPECT_EQ (processor.dynamicEQ.range, -100.0f);

    auto buffer = sinePair (1000.0, 22050, 0.9f);
    juce::AudioBuffer<float> mono (1, buffer.getNumSamples());
    mono.copyFrom (0, 0, buffer, 0, 0, buffer.getNumSamples());
    run (processor, mono);

    EXPECT_EQ (processor.dynamicEQ.dynamicGain, 0.0f);
    for (int i = 0; i < mono.getNumSamples(); ++i)
        ASSERT_TRUE (std::isfinite (mono.getSample (0, i)));
    // The deepest cut the single-precision peak form can hold: well over 20 dB, and stable.
    EXPECT_LT (rmsOfLastHalf (mono, 0), 0.1 * 0.9 / std::sqrt (2.0));
    EXPECT_LT (mono.getMagnitude (0, 11025, 11025), 0.9f);
}

TEST (DynamicEQProcessor, QuietSignalLeavesTheBandFlat)
{
    StereoFilterProcessor_V3 processor;
    auto d = band (1, 200.0f, 12.0f);
    d.dynamic = true;
    d.shapedDetector = true;
    d.threshold = -20.0f;
    build (processor, d, 1);

    juce::AudioBuffer<float> mono (1, 22050);
    for (int i = 0; i < 22050; ++i)
        mono.setSample (0, i, 0.01f * (float) std::sin (2.0 * FilterMeasure::pi * 100.0 * i / fs));
    const auto input = mono;
    run (processor, mono);
    EXPECT_EQ (processor.dynamicEQ.dynamicGain, 1.0f);
    for (int i = 0; i < 22050; ++i)
        ASSERT_NEAR (mono.getSample (0, i), input.getSample (0, i), 1e-6f);
}

TEST (StereoFilterProcessor, RecordsFromAnotherThreadArriveWholeAndTheLastOneWins)
{
    StereoFilterProcessor_V3 processor;
    build (processor, band (2, 1000.0f, 10.0f));

    std::atomic<bool> writing { true };
    std::thread writer (
        [&]
        {
            for (int n = 0; n < 3000; ++n)
            {
                // Frequency and gain always travel together: 100·k Hz with k dB.
                const int k = 1 + n % 20;
                processor.setFilterData (band (2, 100.0f * (float) k, (float) k));
            }
            processor.setFilterData (band (2, 2500.0f, -6.0f));
            writing = false;
        });

    const auto source = sinePair (440.0, blockSize);
    auto buffer = source;
    int torn = 0;
    while (writing)
    {
        buffer = source;
        run (processor, buffer);
        const auto& d = processor.filterData;
        const double expectedDb = d.frequency == 2500.0f ? -6.0 : d.frequency / 100.0;
        torn +=
            std::abs (FilterMeasure::toDb (d.gain) - expectedDb) > 1e-4 || ! std::isfinite (buffer.getSample (0, 0));
    }
    writer.join();
    EXPECT_EQ (torn, 0);

    run (processor, buffer);
    EXPECT_EQ (processor.filterData.frequency, 2500.0f);
    EXPECT_EQ (processor.smoothFrequency.getTargetValue(), 2500.0f);
}

TEST (StereoFilterProcessor, SilenceAfterSoundEndsInExactZeros)
{
    for (bool dynamic : { false, true })
    {
        StereoFilterProcessor_V3 processor;
        auto d = band (2, 120.0f, 12.0f, 4.0f);
        d.dynamic = dynamic;
        d.threshold = -40.0f;
        build (processor, d);
        auto tone = sinePair (120.0, 4410, 0.9f, 0.9f);
        run (processor, tone);

        juce::AudioBuffer<float> silence (2, (int) fs / 2);
        silence.clear();
        run (processor, silence);
        for (int channel = 0; channel < 2; ++channel)
            for (int i = silence.getNumSamples() - blockSize; i < silence.getNumSamples(); ++i)
                ASSERT_EQ (silence.getSample (channel, i), 0.0f) << dynamic;
    }
}

// A band at rest runs both channels side by side in one loop; each must come out exactly as a band given
// that channel alone does, in blocks of any length (the last two samples of a block take another path),
// with one or two sections, across a change of frequency that ramps.
TEST (StereoFilterProcessor, AStereoBlockIsTwoMonoBandsBitForBit)
{
    const FilterData records[] = { band (2, 1000.0f, 6.0f, 2.0f), band (0, 120.0f, 0.0f, 0.9f, 3),
                                   band (4, 5000.0f, 0.0f, 0.707f, 2) };
    const int blockLengths[] = { 1, 2, 3, 7, 64, 256 };
    const auto noise = FilterMeasure::noise (24000, 9);

    for (const auto& record : records)
    {
        StereoFilterProcessor_V3 stereo, left, right;
        build (stereo, record, 2);
        build (left, record, 1);
        build (right, record, 1);

        juce::AudioBuffer<float> both (2, 12000);
        for (int i = 0; i < 12000; ++i)
        {
            both.setSample (0, i, noise[(size_t) i]);
            both.setSample (1, i, noise[(size_t) (12000 + i)]);
        }
        auto alone = both;

        int start = 0;
        for (int block = 0; start < both.getNumSamples(); ++block)
        {
            if (block == 400) // a new frequency ramps over the following blocks
            {
                auto moved = record;
                moved.frequency *= 1.5f;
                for (auto* processor : { &stereo, &left, &right })
                    processor->setFilterData (moved);
            }

            const int n = std::min (blockLengths[block % 6], both.getNumSamples() - start);
            float* pair[2] = { both.getWritePointer (0, start), both.getWritePointer (1, start) };
            float* l[1] = { alone.getWritePointer (0, start) };
            float* r[1] = { alone.getWritePointer (1, start) };
            stereo.process (pair, pair, n, 2, 2);
            left.process (l, l, n, 1, 1);
            right.process (r, r, n, 1, 1);
            start += n;
        }

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < both.getNumSamples(); ++i)
                ASSERT_EQ (both.getSample (ch, i), alone.getSample (ch, i))
                    << "type " << record.type << " ch " << ch << " " << i;
    }
}
