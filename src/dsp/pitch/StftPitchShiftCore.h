#pragma once

#include "dsp/pitch/RFFT.h"
#include "dsp/pitch/Resampler.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <numbers>
#include <type_traits>
#include <vector>

namespace stftpitchshift
{
/** The per-frame spectral work of the pitch shifter: analysis of each bin into magnitude and true
    frequency, an optional cepstral envelope that keeps formants in place, resampling of the spectrum by
    the pitch factor, and resynthesis with accumulated phases. Holds every work buffer, so a frame never
    allocates. */
template <typename T> class StftPitchShiftCore
{
public:
    /** A core for frames of framesize samples, hopsize apart, at samplerate, using the shared transform. */
    StftPitchShiftCore (std::shared_ptr<FFT> transform, std::size_t framesize, std::size_t hopsize, double samplerate)
        : fft (std::move (transform)), n (framesize), bins (framesize / 2 + 1),
          oversampling ((int) (framesize / hopsize)), stftfreqinc (samplerate / (double) framesize),
          stftphaseinc (2.0 * std::numbers::pi * (double) hopsize / (double) framesize), samplerate (samplerate),
          lastPhase (4097), phaseSum (4097), buffer (bins), magnitudes (bins), logSpectrum (bins), cepstrum (framesize),
          envelope (bins)
    {
    }

    /** Sets the pitch factors; only the first is applied, and an empty list leaves the pitch unchanged. */
    void factors (const std::vector<double>& values) noexcept { factor = values.empty() ? 1.0 : values.front(); }

    /** The applied pitch factor. */
    double firstFactor() const noexcept { return factor; }

    /** Sets the envelope's quefrency in seconds; 0 switches the envelope off. */
    void quefrency (double seconds) noexcept
    {
        quefrencySeconds = seconds;
        quefrencySamples = seconds > 0.0 && std::isfinite (seconds) ? (std::size_t) (seconds * samplerate) : 0;
    }

    /** The lifter length in cepstral samples. */
    std::size_t quefrencyInSamples() const noexcept { return quefrencySamples; }

    /** Clears the analysis and synthesis phases. */
    void reset()
    {
        std::fill (lastPhase.begin(), lastPhase.end(), T (0));
        std::fill (phaseSum.begin(), phaseSum.end(), T (0));
    }

    /** Shifts one frame of bins in place. */
    void shiftpitch (std::vector<std::complex<T>>& dft)
    {
        analyse (dft);

        const bool envelopeMode = quefrencySeconds != 0.0;

        if (envelopeMode)
            flattenEnvelope (dft);

        shift (dft);

        if (envelopeMode)
            restoreEnvelope (dft);

        synthesise (dft);
    }

    /** Magnitude -> log spectrum -> real cepstrum -> lifter -> spectral envelope, for the given magnitudes
        of the frame's bins. The result is left in envelope() (one value per bin). */
    void computeEnvelope (const std::vector<T>& mags)
    {
        for (std::size_t k = 0; k < bins; ++k)
            logSpectrum[k] = { mags[k] == T (0) ? T (-12) : std::log10 (mags[k]), T (0) };

        fft->ifft (logSpectrum, cepstrum);
        lifter();
        fft->fft (cepstrum, logSpectrum);

        for (std::size_t k = 0; k < bins; ++k)
            envelope[k] = std::pow (T (10), logSpectrum[k].real());
    }

    /** The last computed envelope. */
    const std::vector<T>& spectralEnvelope() const noexcept { return envelope; }

private:
    /** Turns each bin into the pair (magnitude, true frequency in Hz). */
    void analyse (std::vector<std::complex<T>>& dft)
    {
        const double pi = std::numbers::pi;

        for (std::size_t k = 0; k < bins; ++k)
        {
            const double real = dft[k].real();
            const double imag = dft[k].imag();
            const double magnitude = 2.0 * std::sqrt (real * real + imag * imag);
            const double phase = phaseOf (real, imag);

            double delta = phase - (double) lastPhase[k] - (double) k * stftphaseinc;
            lastPhase[k] = (T) phase;

            long q = (long) (delta / pi);
            q = q >= 0 ? q + (q & 1) : q - (q & 1);
            delta -= pi * (double) q;

            const double frequency =
                (double) k * stftfreqinc + delta * (double) oversampling / (2.0 * pi) * stftfreqinc;
            dft[k] = { (T) magnitude, (T) frequency };
        }
    }

    static double phaseOf (double real, double imag) noexcept
    {
        if (imag == 0.0)
            return 0.0;

        if (real == 0.0)
            return imag > 0.0 ? std::numbers::pi / 2.0 : -std::numbers::pi / 2.0;

        return std::atan2 (imag, real);
    }

    /** std::remainder (x, 2 pi) of a float phase, computed inline: the nearest multiple of 2 pi is taken off
        with 2 pi split in two parts, the larger one short enough that its product with the multiple is exact.
        For every float below 1024 in magnitude the result equals std::remainder's to the last bit (checked
        over all of them); larger phases and double frames go through std::remainder. */
    static double wrapPhase (T phase) noexcept
    {
        constexpr double twoPi = 2.0 * std::numbers::pi;
        const auto x = (double) phase;

        if constexpr (! std::is_same_v<T, float>)
            return std::remainder (x, twoPi);

        if (! (std::abs (x) < 1024.0))
            return std::remainder (x, twoPi);

        constexpr double high = std::bit_cast<double> (std::bit_cast<std::uint64_t> (twoPi) & ~std::uint64_t (0xff));
        constexpr double low = twoPi - high;
        constexpr double roundingShift =
            6755399441055744.0; // 1.5 * 2^52: adding and taking it off rounds to an integer

        const double multiple = (x / twoPi + roundingShift) - roundingShift;
        const double wrapped = (x - multiple * high) - multiple * low;

        if (wrapped > 0.5 * twoPi)
            return (x - (multiple + 1.0) * high) - (multiple + 1.0) * low;
        if (wrapped < -0.5 * twoPi)
            return (x - (multiple - 1.0) * high) - (multiple - 1.0) * low;
        return wrapped;
    }

    void lifter()
    {
        const std::size_t q = quefrencySamples;

        for (std::size_t i = 1; i < std::min (q, n); ++i)
            cepstrum[i] *= T (2);

        for (std::size_t i = q + 1; i < n; ++i)
            cepstrum[i] = T (0);
    }

    // The envelope covers the lower half of the bins only; the upper bins keep their magnitudes.
    std::size_t envelopeBins() const noexcept { return bins / 2 + 1; }

    void flattenEnvelope (std::vector<std::complex<T>>& dft)
    {
        for (std::size_t k = 0; k < bins; ++k)
            magnitudes[k] = dft[k].real();

        computeEnvelope (magnitudes);

        for (std::size_t k = 0; k < envelopeBins(); ++k)
        {
            const T e = envelope[k];

            if (std::abs (e) < FLT_MIN || ! std::isfinite (e))
            {
                envelope[k] = T (0);
                dft[k].real (T (0));
            }
            else
            {
                dft[k].real (dft[k].real() / e);
            }
        }
    }

    void restoreEnvelope (std::vector<std::complex<T>>& dft)
    {
        for (std::size_t k = 0; k < envelopeBins(); ++k)
            dft[k].real (dft[k].real() * envelope[k]);
    }

    void shift (std::vector<std::complex<T>>& dft)
    {
        Resampler<T> resampler (factor);
        resampler.linear (dft, buffer);

        for (std::size_t k = 0; k < bins; ++k)
            dft[k] = { buffer[k].real(), (T) ((double) buffer[k].imag() * factor) };
    }

    void synthesise (std::vector<std::complex<T>>& dft)
    {
        const double pi = std::numbers::pi;

        for (std::size_t k = 0; k < bins; ++k)
        {
            const T magnitude = dft[k].real();
            const double frequency = dft[k].imag();
            const double delta =
                (frequency - (double) k * stftfreqinc) / stftfreqinc * 2.0 * pi / (double) oversampling;
            const auto sum = (T) ((double) phaseSum[k] + (double) k * stftphaseinc + delta);
            const auto phase = (T) wrapPhase (sum);

            phaseSum[k] = phase;
            dft[k] = { magnitude * std::cos (phase), magnitude * std::sin (phase) };
        }
    }

    std::shared_ptr<FFT> fft;
    std::size_t n, bins;
    int oversampling;
    double stftfreqinc, stftphaseinc, samplerate;

    std::vector<T> lastPhase, phaseSum;
    double factor = 1.0;
    std::vector<std::complex<T>> buffer;

    double quefrencySeconds = 0.0;
    std::size_t quefrencySamples = 0;
    std::vector<T> magnitudes;
    std::vector<std::complex<T>> logSpectrum;
    std::vector<T> cepstrum;
    std::vector<T> envelope;
};
} // namespace stftpitchshift
