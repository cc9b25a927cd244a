#include "dsp/pitch/StftPitchShift.h"
#include "dsp/pitch/RFFT.h"
#include "dsp/pitch/Resampler.h"
#include "dsp/pitch/STFT.h"
#include "dsp/pitch/StftPitchShiftCore.h"

#include "dsp/SpaceTestSignals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
using stftpitchshift::StftPitchShift;
using Bins = std::vector<std::complex<float>>;

constexpr long frameLatency = 1024;

std::vector<float> shift (const std::vector<float>& input, double rate, double factor, double quefrency)
{
    StftPitchShift shifter (1024, 128, rate);
    std::vector<float> output (input.size());
    shifter.shiftpitch (input.size(), input.data(), output.data(), { factor }, quefrency);
    return output;
}

// ---------------------------------------------------------------------------------------------------------
// Real transform

TEST (RFFT, InverseOfForwardReturnsTheFrameAtEverySize)
{
    stftpitchshift::RFFT fft;

    for (std::size_t size : { 2u, 8u, 64u, 1024u, 4096u })
    {
        const auto frame = spacetest::noise (size, 1.0f, (std::uint32_t) size);
        Bins bins (size / 2 + 1);
        std::vector<float> back (size);

        fft.fft (frame, bins);
        fft.ifft (bins, back);

        for (std::size_t i = 0; i < size; ++i)
            ASSERT_NEAR (back[i], frame[i], 1.0e-5f) << "size " << size << " sample " << i;
    }
}

TEST (RFFT, ForwardScalesBinsByTwoOverN)
{
    // A cosine of amplitude a on bin 5 gives a in bin 5 (2/N scaling), a constant c gives 2c in bin 0.
    stftpitchshift::RFFT fft;
    const std::size_t n = 64;
    std::vector<double> frame (n);

    for (std::size_t i = 0; i < n; ++i)
        frame[i] = 0.25 + 0.75 * std::cos (2.0 * std::numbers::pi * 5.0 * (double) i / (double) n);

    std::vector<std::complex<double>> bins (n / 2 + 1);
    fft.fft (frame, bins);

    EXPECT_NEAR (bins[0].real(), 0.5, 1.0e-12);
    EXPECT_NEAR (bins[5].real(), 0.75, 1.0e-12);
    EXPECT_NEAR (std::abs (bins[5].imag()), 0.0, 1.0e-12);

    for (std::size_t k : { 1u, 4u, 6u, 32u })
        EXPECT_NEAR (std::abs (bins[k]), 0.0, 1.0e-12) << "bin " << k;
}

template <typename T> void expectHeadsMatchTheFullTransforms()
{
    // (frame size, samples that are not 0, samples or bins asked for): a short lifter, the octave voice's
    // 48 kHz case, a head across a group boundary, and the whole frame.
    const struct
    {
        std::size_t size, nonzero, count;
    } cases[] = { { 2, 1, 2 },       { 8, 3, 5 },       { 64, 1, 1 },      { 64, 17, 33 },
                  { 1024, 49, 257 }, { 1024, 45, 513 }, { 1024, 97, 100 }, { 1024, 1024, 513 } };
    stftpitchshift::RFFT fft;

    for (const auto& c : cases)
    {
        const auto noise = spacetest::noise (c.size, 1.0f, (std::uint32_t) (c.size + c.nonzero));
        std::vector<T> frame (c.size, T (0));
        std::copy_n (noise.begin(), c.nonzero, frame.begin());
        std::vector<std::complex<T>> bins (c.size / 2 + 1);
        fft.fft (frame, bins);

        std::vector<T> real (c.count);
        fft.fftRealHead (frame, real.data(), c.nonzero, std::min (c.count, c.size / 2 + 1));

        for (std::size_t k = 0; k < std::min (c.count, c.size / 2 + 1); ++k)
            ASSERT_EQ (real[k], bins[k].real()) << "size " << c.size << " nonzero " << c.nonzero << " bin " << k;

        std::vector<T> whole (c.size), head (c.size, T (7));
        fft.ifft (bins, whole);
        fft.ifftHead (bins, head, c.count);

        for (std::size_t i = 0; i < c.size; ++i)
            ASSERT_EQ (head[i], i < c.count ? whole[i] : T (7)) << "size " << c.size << " sample " << i;
    }
}

TEST (RFFT, HeadsOfTheTransformsAreTheFullTransformsBits)
{
    expectHeadsMatchTheFullTransforms<float>();
    expectHeadsMatchTheFullTransforms<double>();
}

TEST (RFFT, RejectsFrameSizesThatAreNotPowersOfTwo)
{
    stftpitchshift::RFFT fft;
    std::vector<float> frame (1000);
    Bins bins (501);

    try
    {
        fft.fft (frame, bins);
        FAIL() << "no error for 1000";
    }
    catch (const std::runtime_error& error)
    {
        EXPECT_STREQ (error.what(), "The specified frame size 1000 is not a power of 2! "
                                    "Please specify values like 1024, 2048, 4096 etc.");
    }

    EXPECT_THROW (stftpitchshift::CRFFT<double> (0), std::runtime_error);
    EXPECT_THROW (stftpitchshift::CRFFT<float> (1536), std::runtime_error);
}

// ---------------------------------------------------------------------------------------------------------
// smbFft

TEST (StftSmbFft, ForwardThenInverseScalesByNAndFindsTheBin)
{
    const long n = 16;
    std::vector<float> buffer (2 * n);

    for (long i = 0; i < n; ++i)
        buffer[(std::size_t) (2 * i)] = (float) std::cos (2.0 * std::numbers::pi * 3.0 * (double) i / (double) n);

    const auto original = buffer;
    stftpitchshift::STFT<float>::smbFft (buffer.data(), n, -1);

    // A real cosine on bin 3 puts n / 2 into bins 3 and n - 3.
    for (long k = 0; k < n; ++k)
    {
        const std::complex<float> bin (buffer[(std::size_t) (2 * k)], buffer[(std::size_t) (2 * k + 1)]);
        EXPECT_NEAR (std::abs (bin), (k == 3 || k == n - 3) ? n / 2.0f : 0.0f, 1.0e-4f) << "bin " << k;
    }

    stftpitchshift::STFT<float>::smbFft (buffer.data(), n, +1);

    for (std::size_t i = 0; i < buffer.size(); ++i)
        EXPECT_NEAR (buffer[i], original[i] * (float) n, 1.0e-4f) << "float " << i;
}

// ---------------------------------------------------------------------------------------------------------
// Resampler

TEST (Resampler, OctaveDownReadsEveryOtherBinAndSilencesTheTop)
{
    // x[j] = (j, -j): the output at i must read position i * 513 / 256.
    Bins x (513), y (513, { 7.0f, 7.0f });

    for (std::size_t j = 0; j < x.size(); ++j)
        x[j] = { (float) j, -(float) j };

    stftpitchshift::Resampler<float> (0.5).linear (x, y);

    const float r = 513.0f / 256.0f;

    for (std::size_t i : { 0u, 1u, 100u, 255u })
    {
        EXPECT_NEAR (y[i].real(), (float) i * r, 1.0e-3f) << i;
        EXPECT_NEAR (y[i].imag(), -(float) i * r, 1.0e-3f) << i;
    }

    for (std::size_t i = 256; i < y.size(); ++i)
        ASSERT_EQ (y[i], std::complex<float> (0.0f, 0.0f)) << i;
}

TEST (Resampler, UpwardsWorksInPlaceAndUnityCopies)
{
    Bins x (9);

    for (std::size_t j = 0; j < x.size(); ++j)
        x[j] = { (float) (j * j), 1.0f };

    // Factor 1.5: M2 = 13, r = 9 / 13; in place, every read must still see the original values.
    Bins inPlace = x;
    stftpitchshift::Resampler<float> (1.5).linear (inPlace, inPlace);

    const float r = 9.0f / 13.0f;

    for (std::size_t i = 0; i < inPlace.size(); ++i)
    {
        const float t = (float) i * r;
        const auto j = (std::size_t) t;
        const float expected = x[j].real() + (x[j + 1].real() - x[j].real()) * (t - (float) j);
        EXPECT_NEAR (inPlace[i].real(), expected, 1.0e-4f) << i;
    }

    Bins copy (9);
    stftpitchshift::Resampler<float> (1.0).linear (x, copy);
    EXPECT_EQ (copy, x);
}

TEST (Resampler, FactorsThatAreNotPositiveSilence)
{
    const Bins x (16, { 1.0f, 2.0f });

    for (double factor : { 0.0, -0.5, 0.01, std::nan ("") })
    {
        Bins y (16, { 5.0f, 5.0f });
        stftpitchshift::Resampler<float> (factor).linear (x, y);

        for (const auto& value : y)
            ASSERT_EQ (value, std::complex<float> (0.0f, 0.0f)) << "factor " << factor;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Spectral envelope

TEST (StftPitchShiftCore, LifterLengthFollowsTheRate)
{
    auto fft = std::make_shared<stftpitchshift::RFFT>();

    for (auto [rate, samples] : { std::pair { 44100.0, 44u }, { 48000.0, 48u }, { 96000.0, 96u } })
    {
        stftpitchshift::StftPitchShiftCore<float> core (fft, 1024, 128, rate);
        core.quefrency (0.001);
        EXPECT_EQ (core.quefrencyInSamples(), samples) << rate;
    }
}

TEST (StftPitchShiftCore, SilentBinsEnterTheLogSpectrumAsMinusTwelve)
{
    auto fft = std::make_shared<stftpitchshift::RFFT>();
    stftpitchshift::StftPitchShiftCore<float> core (fft, 1024, 128, 44100.0);
    core.quefrency (0.001);

    core.computeEnvelope (std::vector<float> (513, 0.0f));

    for (float e : core.spectralEnvelope())
        ASSERT_NEAR (std::log10 (e), -12.0f, 1.0e-3f);
}

TEST (StftPitchShiftCore, EnvelopeFollowsASmoothSpectrum)
{
    // A smooth tilt (magnitude 10 at DC falling to 0.1 at the top) survives liftering almost unchanged.
    auto fft = std::make_shared<stftpitchshift::RFFT>();
    stftpitchshift::StftPitchShiftCore<float> core (fft, 1024, 128, 44100.0);
    core.quefrency (0.001);

    std::vector<float> magnitudes (513);

    for (std::size_t k = 0; k < magnitudes.size(); ++k)
        magnitudes[k] = std::pow (10.0f, 1.0f - 2.0f * (float) k / 512.0f);

    core.computeEnvelope (magnitudes);

    for (std::size_t k : { 20u, 128u, 256u, 400u })
        EXPECT_NEAR (std::log10 (core.spectralEnvelope()[k]), std::log10 (magnitudes[k]), 0.05f) << k;
}

// ---------------------------------------------------------------------------------------------------------
// Streaming shifter

TEST (StftPitchShift, UnityFactorIsTheInputOneFrameLateAtPlusThreeAndAHalfDecibels)
{
    // The overlap-add sums 2 w^2 / (N / 2 O) over eight Hann frames: a gain of 1.5.
    for (double quefrency : { 0.0, 0.001 })
    {
        std::vector<float> impulse (6000, 0.0f);
        impulse[1000] = 1.0f;

        const auto out = shift (impulse, 48000.0, 1.0, quefrency);

        EXPECT_EQ (spacetest::firstAbove (out, 0.1f), 1000 + frameLatency) << quefrency;
        EXPECT_NEAR (out[1000 + frameLatency], 1.5f, 0.03f) << quefrency;

        const auto tone = spacetest::sine (1000.0, 48000.0, 24000);
        const auto toneOut = shift (tone, 48000.0, 1.0, quefrency);
        const double gainDb = 20.0 * std::log10 (spacetest::rms (toneOut.data() + 8000, 12000) /
                                                 spacetest::rms (tone.data() + 8000, 12000));
        EXPECT_NEAR (gainDb, 20.0 * std::log10 (1.5), 0.1) << quefrency;
    }
}

TEST (StftPitchShift, OctaveDownHalvesTheFrequency)
{
    for (auto [rate, quefrency] : { std::pair { 48000.0, 0.0 }, { 48000.0, 0.001 }, { 44100.0, 0.001 } })
    {
        const auto out = shift (spacetest::sine (1000.0, rate, 24000), rate, 0.5, quefrency);
        const double found = spacetest::dominantFrequency (out.data() + 8000, 8192, rate, 300.0, 1500.0, 2.0);
        EXPECT_NEAR (found, 500.0, 5.0) << rate << " Hz, quefrency " << quefrency;
    }
}

TEST (StftPitchShift, EnvelopeModeKeepsTheFormantWherePlainModeMovesIt)
{
    // A 200 Hz buzz with a formant at 1500 Hz, shifted an octave down.
    const double rate = 44100.0;
    const auto buzz = spacetest::formantBuzz (200.0, 1500.0, rate, 32768);

    auto formantRatio = [rate] (const std::vector<float>& y)
    {
        const float* steady = y.data() + 8192;
        return spacetest::bandEnergy (steady, 16384, rate, 1200.0, 1800.0) /
               spacetest::bandEnergy (steady, 16384, rate, 600.0, 900.0);
    };

    EXPECT_LT (formantRatio (shift (buzz, rate, 0.5, 0.0)), 0.1);
    EXPECT_GT (formantRatio (shift (buzz, rate, 0.5, 0.001)), 1.5);
}

TEST (StftPitchShift, AnyBlockSplitStreamsTheSameOutput)
{
    // Calls shorter than a hop only move samples through the FIFOs; frames run when the 128th new
    // sample arrives, whatever the call sizes.
    const auto input = spacetest::noise (5000);
    const auto whole = shift (input, 44100.0, 0.5, 0.001);

    for (std::size_t blockSize : { 1u, 100u, 127u, 128u, 129u, 1000u })
    {
        StftPitchShift shifter (1024, 128, 44100.0);
        std::vector<float> out (input);

        for (std::size_t start = 0; start < out.size(); start += blockSize)
        {
            const auto count = std::min (blockSize, out.size() - start);
            shifter.shiftpitch (count, out.data() + start, out.data() + start, { 0.5 }, 0.001); // in place
        }

        for (std::size_t i = 0; i < out.size(); ++i)
            ASSERT_EQ (out[i], whole[i]) << "block " << blockSize << " sample " << i;
    }
}

TEST (StftPitchShift, SilenceStaysSilentAndAChordStaysBounded)
{
    const auto silentOut = shift (std::vector<float> (4096, 0.0f), 44100.0, 0.5, 0.001);
    EXPECT_EQ (spacetest::peak (silentOut.data(), silentOut.size()), 0.0f);

    // Four partials below 5 kHz, the band the shifter is fed with in the product.
    std::vector<float> chord (16384, 0.0f);

    for (double frequency : { 300.0, 1100.0, 2500.0, 4700.0 })
    {
        const auto partial = spacetest::sine (frequency, 44100.0, chord.size(), 0.2);

        for (std::size_t i = 0; i < chord.size(); ++i)
            chord[i] += partial[i];
    }

    const double inputRms = spacetest::rms (chord.data(), chord.size());
    const float inputPeak = spacetest::peak (chord.data(), chord.size());

    for (auto [factor, quefrency] : { std::pair { 0.5, 0.001 }, { 0.97, 0.001 }, { 0.5, 0.0 }, { 2.0, 0.0 } })
    {
        const auto out = shift (chord, 44100.0, factor, quefrency);

        for (float s : out)
            ASSERT_TRUE (std::isfinite (s)) << factor;

        EXPECT_LT (spacetest::peak (out.data(), out.size()), 3.0f * inputPeak) << factor << " " << quefrency;
        EXPECT_GT (spacetest::rms (out.data() + 4096, 8192), 0.3 * inputRms) << factor << " " << quefrency;
    }
}

TEST (StftPitchShift, ResetForgetsEarlierAudio)
{
    StftPitchShift shifter (1024, 128, 44100.0);
    auto loud = spacetest::noise (3000);
    shifter.shiftpitch (loud.size(), loud.data(), loud.data(), { 0.5 }, 0.001);

    shifter.reset();

    std::vector<float> silence (3000, 0.0f);
    shifter.shiftpitch (silence.size(), silence.data(), silence.data(), { 0.5 }, 0.001);
    EXPECT_EQ (spacetest::peak (silence.data(), silence.size()), 0.0f);
}

TEST (StftPitchShift, AnEmptyFactorListKeepsThePitch)
{
    const auto tone = spacetest::sine (1000.0, 48000.0, 12000);
    StftPitchShift shifter (1024, 128, 48000.0);
    std::vector<float> out (tone.size());

    shifter.shiftpitch (tone.size(), tone.data(), out.data(), {}, 0.0);

    EXPECT_NEAR (spacetest::dominantFrequency (out.data() + 3000, 8192, 48000.0, 500.0, 1500.0, 2.0), 1000.0, 5.0);
}
} // namespace
