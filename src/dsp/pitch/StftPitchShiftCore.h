#pragma once

#include "dsp/pitch/BinMath.h"
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
          envelope (bins), logEnvelope (bins), binPhaseStep (bins), binFrequency (bins), workA (bins), workB (bins),
          workC (bins), workD (bins)
    {
        for (std::size_t k = 0; k < bins; ++k)
        {
            binPhaseStep[k] = (double) k * stftphaseinc;
            binFrequency[k] = (double) k * stftfreqinc;
        }
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
    void computeEnvelope (const std::vector<T>& mags) { computeEnvelope (mags, bins); }

    /** The last computed envelope; a shifted frame refreshes only the lower half of the bins, which it uses. */
    const std::vector<T>& spectralEnvelope() const noexcept { return envelope; }

private:
    /** Turns each bin into the pair (magnitude, true frequency in Hz). */
    void analyse (std::vector<std::complex<T>>& dft)
    {
        double* real = workA.data();
        double* imag = workB.data();
        double* length = workC.data();
        double* phase = workD.data();

        for (std::size_t k = 0; k < bins; ++k)
        {
            real[k] = dft[k].real();
            imag[k] = dft[k].imag();
        }

        BinMath::lengths (real, imag, length, bins);
        BinMath::phases (real, imag, phase, bins);
        unwrap (dft, length, phase);
    }

    /** The frequency of each bin from its phase advance since the last frame. */
    void unwrap (std::vector<std::complex<T>>& dft, const double* __restrict length,
                 const double* __restrict phase) noexcept
    {
        const double pi = std::numbers::pi;
        T* __restrict last = lastPhase.data();
        T* __restrict out = reinterpret_cast<T*> (dft.data());
        const double* __restrict step = binPhaseStep.data();
        const double* __restrict centre = binFrequency.data();

        for (std::size_t k = 0; k < bins; ++k)
        {
            double delta = phase[k] - (double) last[k] - step[k];
            last[k] = (T) phase[k];

            // The advance off its expected value, brought to [-pi, pi] by an even multiple of pi.
            int q = (int) (delta / pi);
            q = q >= 0 ? q + (q & 1) : q - (q & 1);
            delta -= pi * (double) q;

            const double frequency = centre[k] + delta * (double) oversampling / (2.0 * pi) * stftfreqinc;
            out[2 * k] = (T) (2.0 * length[k]);
            out[2 * k + 1] = (T) frequency;
        }
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

    /** computeEnvelope for the first count bins of the envelope; the others keep their last values. */
    void computeEnvelope (const std::vector<T>& mags, std::size_t count)
    {
        for (std::size_t k = 0; k < bins; ++k)
            logSpectrum[k] = { mags[k] == T (0) ? T (-12) : std::log10 (mags[k]), T (0) };

        // The lifter keeps the cepstrum up to the lifter length and zeroes the rest, so only that part is
        // transformed back, and only the real parts of the bins asked for are transformed forward.
        const std::size_t kept = std::min (quefrencySamples + 1, n);
        fft->ifftHead (logSpectrum, cepstrum, kept);
        lifter();
        fft->fftRealHead (cepstrum, logEnvelope.data(), kept, count);

        for (std::size_t k = 0; k < count; ++k)
            envelope[k] = std::pow (T (10), logEnvelope[k]);
    }

    void flattenEnvelope (std::vector<std::complex<T>>& dft)
    {
        for (std::size_t k = 0; k < bins; ++k)
            magnitudes[k] = dft[k].real();

        computeEnvelope (magnitudes, envelopeBins());

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

    /** Advances each bin's phase by its frequency and turns (magnitude, phase) back into a bin. */
    void synthesise (std::vector<std::complex<T>>& dft)
    {
        const double pi = std::numbers::pi;
        double* sum = workA.data();
        double* phase = workB.data();
        const T* in = reinterpret_cast<const T*> (dft.data());

        for (std::size_t k = 0; k < bins; ++k)
        {
            const double frequency = in[2 * k + 1];
            const double delta = (frequency - binFrequency[k]) / stftfreqinc * 2.0 * pi / (double) oversampling;
            sum[k] = (double) (T) ((double) phaseSum[k] + binPhaseStep[k] + delta);
        }

        wrap (sum, phase);

        // The float sine and cosine stay the library's: the chain downstream hears their last bit. A bin of
        // magnitude 0 at a finite phase stays 0 without them (the bins above the shifted band, half of them an
        // octave down); whether that zero is +0 or -0 cannot reach the output, which the overlap-add sums
        // from +0.
        for (std::size_t k = 0; k < bins; ++k)
        {
            const T magnitude = dft[k].real();
            const auto wrapped = (T) phase[k];
            phaseSum[k] = wrapped;

            if (magnitude == T (0) && std::isfinite (wrapped))
                dft[k] = {};
            else
                dft[k] = { magnitude * std::cos (wrapped), magnitude * std::sin (wrapped) };
        }
    }

    /** std::remainder (sum, 2 pi) of each phase sum. */
    void wrap (const double* sum, double* phase) const noexcept
    {
        if constexpr (std::is_same_v<T, float>)
            BinMath::wrapPhases (sum, phase, bins);
        else
            for (std::size_t k = 0; k < bins; ++k)
                phase[k] = std::remainder (sum[k], 2.0 * std::numbers::pi);
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
    std::vector<T> envelope, logEnvelope;

    std::vector<double> binPhaseStep, binFrequency; // k times the phase advance and the spacing of bin k
    std::vector<double> workA, workB, workC, workD; // one frame's per-bin values on their way through BinMath
};
} // namespace stftpitchshift
