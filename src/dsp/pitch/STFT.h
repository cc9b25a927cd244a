#pragma once

#include "dsp/pitch/ButterflyColumn.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <numbers>
#include <utility>
#include <vector>

namespace stftpitchshift
{
/** The streaming short-time Fourier transform of the phase vocoder: input and output FIFOs, a Hann window,
    an in-place complex FFT and overlap-add. Every hop of new input runs one frame through a callback that
    edits the frame's N / 2 + 1 bins in place; the output lags the input by the frame size.

    Holds its FIFOs (8192 samples each), its workspace (the real and imaginary parts apart), its twiddle
    tables and its accumulator (16384 floats) from construction, so streaming never allocates. */
template <typename T> class STFT
{
public:
    /** The largest frame the FIFOs hold. */
    static constexpr std::size_t capacity = 8192;

    /** A streaming transform of the given frame size and hop (frame size at most 8192, a power of two). */
    STFT (std::size_t framesize, std::size_t hopsize)
        : inputFifo (capacity), outputFifo (capacity), workReal (capacity), workImag (capacity),
          outputAccumulator (2 * capacity), frame (framesize / 2 + 1), hann (framesize), n (framesize), hop (hopsize),
          oversampling (framesize / hopsize)
    {
        for (std::size_t k = 0; k < n; ++k)
            hann[k] = (T) (0.5 - 0.5 * std::cos (2.0 * std::numbers::pi * (double) k / (double) n));

        for (long i = 2; i < 2 * (long) n - 2; i += 2)
            if (const long j = reversedIndex (i, (long) n); i < j)
                swaps.emplace_back (i / 2, j / 2);

        for (const long sign : { -1L, 1L })
            buildTwiddles (sign);
    }

    /** Streams size samples from input to output (they may be the same array); frame (bins) is called
        for every hop of new input. */
    template <typename Callback> void operator() (std::size_t size, const T* input, T* output, Callback&& callback)
    {
        const std::size_t latency = n - hop;

        if (rover == 0)
            rover = latency;

        for (std::size_t i = 0; i < size; ++i)
        {
            inputFifo[rover] = input[i];
            output[i] = outputFifo[rover - latency];
            ++rover;

            if (rover >= n)
            {
                rover = latency;
                processFrame (callback);
            }
        }
    }

    /** Clears the FIFOs, the accumulator and the write position. */
    void reset()
    {
        std::fill (inputFifo.begin(), inputFifo.end(), T (0));
        std::fill (outputFifo.begin(), outputFifo.end(), T (0));
        std::fill (workReal.begin(), workReal.end(), T (0));
        std::fill (workImag.begin(), workImag.end(), T (0));
        std::fill (outputAccumulator.begin(), outputAccumulator.end(), T (0));
        rover = 0;
    }

    /** The in-place complex FFT of n interleaved complex values: bit-reversal reordering, then radix-2
        butterflies with recurrence twiddles. Sign -1 is the forward transform, +1 the inverse; neither
        scales. */
    static void smbFft (T* buffer, long n, long sign)
    {
        for (long i = 2; i < 2 * n - 2; i += 2)
        {
            const long j = reversedIndex (i, n);

            if (i < j)
                swapComplex (buffer, i, j);
        }

        butterflies (buffer, n, sign);
    }

    /** The frame size. */
    std::size_t framesize() const noexcept { return n; }
    /** The hop. */
    std::size_t hopsize() const noexcept { return hop; }

private:
    /** The float index that the float index i (of n interleaved complex values) moves to. */
    static long reversedIndex (long i, long n) noexcept
    {
        long j = 0;

        for (long mask = 2; mask < 2 * n; mask <<= 1)
        {
            if ((i & mask) != 0)
                ++j;
            j <<= 1;
        }

        return j;
    }

    static void swapComplex (T* buffer, long i, long j) noexcept
    {
        std::swap (buffer[i], buffer[j]);
        std::swap (buffer[i + 1], buffer[j + 1]);
    }

    /** The twiddles of every stage of butterflies for a sign, in the order smbFft's recurrence produces
        them and with the same values: each stage's run of twiddles lies contiguous, so a stage's butterflies
        run over neighbouring values and vectorise. */
    void buildTwiddles (long sign)
    {
        auto& real = sign < 0 ? forwardReal : inverseReal;
        auto& imag = sign < 0 ? forwardImag : inverseImag;

        forEachTwiddle ((long) n, sign,
                        [&] (long, long, long, T wr, T wi)
                        {
                            real.push_back (wr);
                            imag.push_back (wi);
                        });
    }

    /** Calls visit (length, span, j, wr, wi) for every twiddle of every butterfly stage of an n-point FFT, in
        the order smbFft's recurrence produces them and with its values. */
    template <typename Visit> static void forEachTwiddle (long n, long sign, Visit&& visit)
    {
        const long stages = std::lround (std::log2 ((double) n));

        for (long stage = 0, length = 2; stage < stages; ++stage)
        {
            length <<= 1;
            const long span = length >> 1;
            const double angle = std::numbers::pi / (double) (span >> 1);
            const double wr = std::cos (angle);
            const double wi = (double) sign * std::sin (angle);
            double ur = 1.0;
            double ui = 0.0;

            for (long j = 0; j < span; j += 2)
            {
                visit (length, span, j, (T) ur, (T) ui);
                const double next = ur * wr - ui * wi;
                ui = ur * wi + ui * wr;
                ur = next;
            }
        }
    }

    /** smbFft on the split workspace: the same swaps and the same butterflies with the same twiddles, one
        group of butterflies after the other instead of one twiddle after the other (every butterfly of a
        stage is independent, so each output is computed exactly as smbFft computes it). */
    void transform (long sign) noexcept
    {
        T* re = workReal.data();
        T* im = workImag.data();

        for (const auto& [i, j] : swaps)
        {
            std::swap (re[i], re[j]);
            std::swap (im[i], im[j]);
        }

        const T* twiddleReal = sign < 0 ? forwardReal.data() : inverseReal.data();
        const T* twiddleImag = sign < 0 ? forwardImag.data() : inverseImag.data();

        for (std::size_t span = 1; span < n; span <<= 1)
        {
            for (std::size_t start = 0; start < n; start += 2 * span)
                butterflyGroup (re + start, im + start, twiddleReal, twiddleImag, span);

            twiddleReal += span;
            twiddleImag += span;
        }
    }

    /** The span butterflies between re/im [0, span) and [span, 2 span). */
    static void butterflyGroup (T* __restrict re, T* __restrict im, const T* __restrict wr, const T* __restrict wi,
                                std::size_t span) noexcept
    {
        T* __restrict re2 = re + span;
        T* __restrict im2 = im + span;

        for (std::size_t j = 0; j < span; ++j)
        {
            const T tr = re2[j] * wr[j] - im2[j] * wi[j];
            const T ti = re2[j] * wi[j] + im2[j] * wr[j];
            re2[j] = re[j] - tr;
            im2[j] = im[j] - ti;
            re[j] += tr;
            im[j] += ti;
        }
    }

    static void butterflies (T* buffer, long n, long sign) noexcept
    {
        forEachTwiddle (n, sign,
                        [buffer, n] (long length, long span, long j, T wr1, T wi1)
                        { QEL::butterflyColumn (buffer, n, length, span, j, wr1, wi1); });
    }

    template <typename Callback> void processFrame (Callback& callback)
    {
        const std::size_t bins = n / 2 + 1;
        const std::size_t latency = n - hop;

        for (std::size_t k = 0; k < n; ++k)
        {
            workReal[k] = inputFifo[k] * hann[k];
            workImag[k] = T (0);
        }

        transform (-1);

        for (std::size_t k = 0; k < bins; ++k)
            frame[k] = { workReal[k], workImag[k] };

        callback (frame);

        for (std::size_t k = 0; k < bins; ++k)
        {
            workReal[k] = frame[k].real();
            workImag[k] = frame[k].imag();
        }

        std::fill (workReal.begin() + (std::ptrdiff_t) bins, workReal.begin() + (std::ptrdiff_t) n, T (0));
        std::fill (workImag.begin() + (std::ptrdiff_t) bins, workImag.begin() + (std::ptrdiff_t) n, T (0));

        transform (+1);

        const T norm = (T) (n / 2 * oversampling);

        for (std::size_t k = 0; k < n; ++k)
            outputAccumulator[k] += T (2) * hann[k] * workReal[k] / norm;

        std::copy_n (outputAccumulator.begin(), hop, outputFifo.begin());
        std::copy (outputAccumulator.begin() + (std::ptrdiff_t) hop,
                   outputAccumulator.begin() + (std::ptrdiff_t) (hop + n), outputAccumulator.begin());
        std::copy (inputFifo.begin() + (std::ptrdiff_t) hop, inputFifo.begin() + (std::ptrdiff_t) (hop + latency),
                   inputFifo.begin());
    }

    std::vector<T> inputFifo, outputFifo, workReal, workImag, outputAccumulator;
    std::vector<T> forwardReal, forwardImag, inverseReal, inverseImag; // per stage, as buildTwiddles lays them
    std::vector<std::complex<T>> frame;
    std::vector<T> hann;
    std::vector<std::pair<long, long>> swaps;
    std::size_t rover = 0;
    std::size_t n, hop, oversampling;
};
} // namespace stftpitchshift
