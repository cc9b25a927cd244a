#include "dsp/stereo/MonoStereoProcessor.h"
#include "dsp/stereo/MonoizerProcessor.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

using QEL::MonoStereoProcessor;

namespace
{
constexpr double fs = 44100.0;
constexpr int blockSize = 512;

/** A stereo buffer of two unrelated signals: a 440 Hz sine left and noise right. */
juce::AudioBuffer<float> stereoMaterial (int numSamples)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    const auto noise = FilterMeasure::noise (numSamples, 7);
    for (int i = 0; i < numSamples; ++i)
    {
        buffer.setSample (0, i, 0.5f * (float) std::sin (2.0 * FilterMeasure::pi * 440.0 * i / fs));
        buffer.setSample (1, i, 0.3f * noise[(size_t) i]);
    }
    return buffer;
}

/** A mono-compatible buffer (L = R) holding a sine at hz. */
juce::AudioBuffer<float> dualMono (double hz, int numSamples)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int i = 0; i < numSamples; ++i)
    {
        const float x = 0.5f * (float) std::sin (2.0 * FilterMeasure::pi * hz * i / fs);
        buffer.setSample (0, i, x);
        buffer.setSample (1, i, x);
    }
    return buffer;
}

void processInBlocks (juce::QELProcessorBase& block, juce::AudioBuffer<float>& buffer)
{
    const int channels = buffer.getNumChannels();
    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        float* pointers[2] = { buffer.getWritePointer (0, start),
                               channels > 1 ? buffer.getWritePointer (1, start) : nullptr };
        block.process (pointers, pointers, std::min (blockSize, buffer.getNumSamples() - start), channels, channels);
    }
}

double rms (const float* x, int from, int to)
{
    double sum = 0.0;
    for (int i = from; i < to; ++i)
        sum += (double) x[i] * x[i];
    return std::sqrt (sum / (to - from));
}
} // namespace

TEST (MonoStereoProcessor, WidthZeroSumsToMonoOnOneOrTwoChannels)
{
    MonoStereoProcessor width;
    width.setWidth (0.0f);
    width.prepare ({ fs, blockSize, 2 });

    auto stereo = stereoMaterial (1024);
    const auto input = stereo;
    processInBlocks (width, stereo);
    for (int i = 0; i < 1024; ++i)
    {
        const float expected = 0.5f * (input.getSample (0, i) + input.getSample (1, i));
        ASSERT_EQ (stereo.getSample (0, i), expected) << i;
        ASSERT_EQ (stereo.getSample (1, i), expected) << i;
    }

    juce::AudioBuffer<float> mono (1, 512);
    mono.copyFrom (0, 0, input, 0, 0, 512);
    processInBlocks (width, mono);
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ (mono.getSample (0, i), 0.5f * input.getSample (0, i)) << i;
}

TEST (MonoStereoProcessor, NarrowingFollowsTheWidthLaw)
{
    const struct
    {
        float width, a;
    } cases[] = { { 25.0f, 0.5f }, { 40.0f, 0.2f }, { 0.001f, 1.0f - 0.001f / 50.0f } };

    for (const auto& c : cases)
    {
        MonoStereoProcessor width;
        width.setWidth (c.width); // before prepare: the amount is there at once
        width.prepare ({ fs, blockSize, 2 });

        auto buffer = stereoMaterial (1024);
        const auto input = buffer;
        processInBlocks (width, buffer);

        const float g = (1.0f - c.a) * 0.5f + 0.5f;
        for (int i = 0; i < 1024; ++i)
        {
            const float l = input.getSample (0, i), r = input.getSample (1, i);
            ASSERT_NEAR (buffer.getSample (0, i), g * (l + c.a * r), 1e-6f) << c.width << " at " << i;
            ASSERT_NEAR (buffer.getSample (1, i), g * (r + c.a * l), 1e-6f) << c.width << " at " << i;
        }
    }
}

TEST (MonoStereoProcessor, NewNarrowingGlidesOverFiftyMilliseconds)
{
    MonoStereoProcessor width;
    width.prepare ({ fs, blockSize, 2 });
    width.setWidth (45.0f);
    auto buffer = stereoMaterial (4096);
    processInBlocks (width, buffer);
    EXPECT_FLOAT_EQ (width.narrower.amount, 0.1f);

    width.setWidth (25.0f);
    auto more = stereoMaterial (2204);
    processInBlocks (width, more);
    EXPECT_LT (width.narrower.amount, 0.5f);
    auto rest = stereoMaterial (1);
    processInBlocks (width, rest);
    EXPECT_EQ (width.narrower.amount, 0.5f);
}

TEST (MonoStereoProcessor, WidthFiftyAndNaNLeaveTheAudioBitExact)
{
    MonoStereoProcessor width;
    width.prepare ({ fs, blockSize, 2 });
    width.setWidth (50.0f);
    width.setWidth (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (width.mode.load(), MonoStereoProcessor::unchanged);

    auto buffer = stereoMaterial (2048);
    const auto input = buffer;
    processInBlocks (width, buffer);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 2048; ++i)
            ASSERT_EQ (buffer.getSample (channel, i), input.getSample (channel, i));
}

TEST (MonoStereoProcessor, FullWidthAddsASideThatCancelsInTheMonoSum)
{
    MonoStereoProcessor width;
    width.prepare ({ fs, blockSize, 2 });
    width.setWidth (100.0f);

    // Let the stereoizer's output gain settle at 1 first.
    auto settle = dualMono (1000.0, (int) fs);
    processInBlocks (width, settle);

    auto buffer = dualMono (1000.0, 8192);
    const auto input = buffer;
    processInBlocks (width, buffer);

    double sideEnergy = 0.0;
    for (int i = 0; i < 8192; ++i)
    {
        const float l = buffer.getSample (0, i), r = buffer.getSample (1, i);
        ASSERT_NEAR (l + r, 2.0f * input.getSample (0, i), 1e-5f) << i;
        sideEnergy += (double) (l - r) * (l - r);
    }
    // A clearly audible side signal: more than -20 dB of the mid.
    const double sideAt1k = std::sqrt (sideEnergy / 8192.0) / rms (input.getReadPointer (0), 0, 8192);
    EXPECT_GT (sideAt1k, 0.1);

    // The lowest frequencies stay nearly mono: their side is more than 20 dB weaker.
    auto low = dualMono (30.0, (int) fs / 2);
    processInBlocks (width, low);
    double lowSide = 0.0;
    for (int i = 11025; i < 22050; ++i)
        lowSide += std::pow (low.getSample (0, i) - low.getSample (1, i), 2.0);
    EXPECT_LT (std::sqrt (lowSide / 11025.0) / rms (low.getReadPointer (0), 11025, 22050), 0.1 * sideAt1k);
}

TEST (QELStereoizerProcessor, SideStaysZeroForTheDelayAfterResetAtAnyRate)
{
    // The delay is tuned once for 44100 Hz: 374 samples at every rate.
    for (double rate : { 44100.0, 48000.0 })
    {
        QELStereoizerProcessor stereoizer;
        stereoizer.prepareToPlay (rate, blockSize);
        stereoizer.setAmount (100.0f);

        for (int i = 0; i < 2000; ++i)
        {
            double l = 0.3, r = 0.3;
            stereoizer.processStereoizer (l, r, 2);
        }
        stereoizer.reset();

        for (int i = 0; i < 374; ++i)
        {
            double l = 0.4, r = 0.4;
            stereoizer.processStereoizer (l, r, 2);
            ASSERT_EQ (l, r) << rate << " at " << i;
            ASSERT_EQ (l, 0.4 * stereoizer.outputGain) << rate << " at " << i;
        }
        double l = 0.4, r = 0.4;
        stereoizer.processStereoizer (l, r, 2);
        EXPECT_NE (l, r) << rate;
    }
}

TEST (QELStereoizerProcessor, OneChannelInAndOutKeepsTheMidScaledByTheOutputGain)
{
    QELStereoizerProcessor stereoizer;
    stereoizer.prepareToPlay (fs, blockSize);
    stereoizer.setAmount (60.0f);

    auto signal = FilterMeasure::noise (2048, 3);
    const auto input = signal;
    float* channel = signal.data();
    for (int start = 0; start < 2048; start += 512)
    {
        float* chunk = channel + start;
        const double gainBefore = stereoizer.outputGain;
        stereoizer.process (&chunk, &chunk, 512, 1, 1);
        // The gain rises monotonically within the block: the output lies between the two scalings.
        for (int i = 0; i < 512; ++i)
        {
            const double x = 2.0 * input[(size_t) (start + i)];
            const double lo = std::min (x * gainBefore, x * stereoizer.outputGain);
            const double hi = std::max (x * gainBefore, x * stereoizer.outputGain);
            ASSERT_GE (chunk[i], lo - 1e-6) << start + i;
            ASSERT_LE (chunk[i], hi + 1e-6) << start + i;
        }
    }
    EXPECT_GT (stereoizer.outputGain, 0.9);
}

// Widening set to 0 fades out over the amount ramp (no step in either channel), then leaves the buffer alone.
TEST (QELStereoizerProcessor, AmountZeroFadesTheWidthOutThenLeavesTheBufferUntouched)
{
    QELStereoizerProcessor stereoizer;
    stereoizer.prepareToPlay (fs, blockSize);
    stereoizer.setAmount (100.0f);
    auto warm = stereoMaterial (4096);
    processInBlocks (stereoizer, warm);

    stereoizer.setAmount (0.0f);
    auto buffer = stereoMaterial (8192);
    const auto input = buffer;
    processInBlocks (stereoizer, buffer);

    float largestChange = 0.0f, largestInputChange = 0.0f;
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 1; i < 4096; ++i)
        {
            largestChange =
                std::max (largestChange, std::abs (buffer.getSample (channel, i) - buffer.getSample (channel, i - 1)));
            largestInputChange = std::max (largestInputChange,
                                           std::abs (input.getSample (channel, i) - input.getSample (channel, i - 1)));
        }
    EXPECT_LT (largestChange, 2.0f * largestInputChange);

    for (int channel = 0; channel < 2; ++channel)
        for (int i = 4096; i < 8192; ++i)
            ASSERT_EQ (buffer.getSample (channel, i), input.getSample (channel, i));
}

// A move between unchanged and mono glides through the narrower: no sample jumps, and the end is the mono sum.
TEST (MonoStereoProcessor, MovingToMonoGlidesWithoutAStep)
{
    MonoStereoProcessor width;
    width.setWidth (50.0f);
    width.prepare ({ fs, blockSize, 2 });
    auto warm = stereoMaterial (1024);
    processInBlocks (width, warm);

    width.setWidth (0.0f);
    auto buffer = stereoMaterial (8192);
    const auto input = buffer;
    processInBlocks (width, buffer);

    float largestChange = 0.0f, largestInputChange = 0.0f;
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 1; i < 4096; ++i)
        {
            largestChange =
                std::max (largestChange, std::abs (buffer.getSample (channel, i) - buffer.getSample (channel, i - 1)));
            largestInputChange = std::max (largestInputChange,
                                           std::abs (input.getSample (channel, i) - input.getSample (channel, i - 1)));
        }
    EXPECT_LT (largestChange, 1.5f * largestInputChange);

    for (int i = 4096; i < 8192; ++i)
        ASSERT_EQ (buffer.getSample (0, i), 0.5f * (input.getSample (0, i) + input.getSample (1, i))) << i;
}

TEST (MonoizerProcessor, HighPassesOnlyTheSide)
{
    QEL::MonoizerProcessor monoizer;
    monoizer.cutoff = 200.0f;
    monoizer.prepareToPlay (fs, blockSize);

    const auto sideGainDb = [&] (double hz, float rightSign)
    {
        juce::AudioBuffer<float> buffer (2, (int) fs / 4);
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const float x = 0.5f * (float) std::sin (2.0 * FilterMeasure::pi * hz * i / fs);
            buffer.setSample (0, i, x);
            buffer.setSample (1, i, rightSign * x);
        }
        const double in = rms (buffer.getReadPointer (0), buffer.getNumSamples() / 2, buffer.getNumSamples());
        processInBlocks (monoizer, buffer);
        return FilterMeasure::toDb (
            rms (buffer.getReadPointer (0), buffer.getNumSamples() / 2, buffer.getNumSamples()) / in);
    };

    EXPECT_LT (sideGainDb (50.0, -1.0f), -20.0);
    EXPECT_NEAR (sideGainDb (200.0, -1.0f), -3.0, 0.1);
    EXPECT_NEAR (sideGainDb (5000.0, -1.0f), 0.0, 0.05);
    for (double hz : { 30.0, 200.0, 5000.0 })
        EXPECT_NEAR (sideGainDb (hz, 1.0f), 0.0, 1e-4) << hz;
}

TEST (MonoStereoProcessor, FullWidthDecorrelatesAMonoVoiceBandSignal)
{
    MonoStereoProcessor width;
    width.prepare ({ fs, blockSize, 2 });
    width.setWidth (100.0f);

    // Dual-mono noise: fully correlated going in.
    const int n = (int) fs;
    const auto noise = FilterMeasure::noise (n, 11);
    juce::AudioBuffer<float> buffer (2, n);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < n; ++i)
            buffer.setSample (channel, i, 0.3f * noise[(size_t) i]);
    const auto input = buffer;
    processInBlocks (width, buffer);

    double lr = 0.0, ll = 0.0, rr = 0.0;
    for (int i = n / 2; i < n; ++i)
    {
        const double l = buffer.getSample (0, i), r = buffer.getSample (1, i);
        lr += l * r;
        ll += l * l;
        rr += r * r;
        ASSERT_NEAR (l + r, 2.0 * input.getSample (0, i), 1e-5) << i;
    }
    EXPECT_LT (lr / std::sqrt (ll * rr), 0.8);
}
