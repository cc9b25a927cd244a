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

    /** A streaming transform of the given frame size and hop (frame size a power of two from 8 to 8192). */
    STFT (std::size_t framesize, std::size_t hopsize)
        : inputFifo (capacity), outputFifo (capacity), workReal (capacity), workImag (capacity),
          outputAccumulator (2 * capacity), frame (framesize / 2 + 1), hann (framesize), quadSource (framesize / 4),
          n (framesize), hop (hopsize), oversampling (framesize / hopsize)
    {
        for (std::size_t k = 0; k < n; ++k)
            hann[k] = (T) (0.5 - 0.5 * std::cos (2.0 * std::numbers::pi * (double) k / (double) n));

        for (std::size_t m = 0; m < n / 4; ++m)
            quadSource[m] = (std::size_t) reversedIndex (8 * (long) m, (long) n) / 2;

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

    /** One radix-2 butterfly of smbFft: (r1, i1) and (r2, i2) combined with the twiddle (wr, wi). */
    static void butterfly (T& r1, T& i1, T& r2, T& i2, T wr, T wi) noexcept
    {
        const T tr = r2 * wr - i2 * wi;
        const T ti = r2 * wi + i2 * wr;
        r2 = r1 - tr;
        i2 = i1 - ti;
        r1 += tr;
        i1 += ti;
    }

    /** smbFft's middle stages on the split workspace, from span 4 to span n / 4: the same butterflies with the
        same twiddles, one group after the other (every butterfly of a stage is independent, so each output is
        computed exactly as smbFft computes it). */
    void middleStages (const T* twiddleReal, const T* twiddleImag) noexcept
    {
        T* re = workReal.data();
        T* im = workImag.data();

        for (std::size_t span = 4; span < n / 2; span <<= 1)
            for (std::size_t start = 0; start < n; start += 2 * span)
                butterflyGroup (re + start, im + start, twiddleReal + span - 1, twiddleImag + span - 1, span);
    }

    /** The forward transform of the windowed input into the frame's bins. Bit reversal, windowing and the
        first two stages run as one pass over groups of four: positions 4 m, 4 m + 1, 4 m + 2 and 4 m + 3
        hold the inputs quadSource[m] plus 0, n / 2, n / 4 and 3 n / 4, with imaginary parts 0, and the first
        twiddle of every stage is exactly (1, 0). The last stage computes only the bins up to n / 2 that the
        frame keeps. */
    void forwardTransform() noexcept
    {
        const std::size_t quarter = n / 4;
        const std::size_t half = n / 2;
        const T* x = inputFifo.data();
        const T* w = hann.data();
        T* re = workReal.data();
        T* im = workImag.data();
        const T secondReal = forwardReal[2], secondImag = forwardImag[2];

        for (std::size_t m = 0; m < quarter; ++m)
        {
            const std::size_t r = quadSource[m];
            T r0 = x[r] * w[r], r1 = x[r + half] * w[r + half];
            T r2 = x[r + quarter] * w[r + quarter], r3 = x[r + half + quarter] * w[r + half + quarter];
            T i0 = T (0), i1 = T (0), i2 = T (0), i3 = T (0);
            butterfly (r0, i0, r1, i1, T (1), T (0));
            butterfly (r2, i2, r3, i3, T (1), T (0));
            butterfly (r0, i0, r2, i2, T (1), T (0));
            butterfly (r1, i1, r3, i3, secondReal, secondImag);
            storeQuad (re + 4 * m, im + 4 * m, r0, i0, r1, i1, r2, i2, r3, i3);
        }

        middleStages (forwardReal.data(), forwardImag.data());

        const T* wr = forwardReal.data() + half - 1;
        const T* wi = forwardImag.data() + half - 1;
        T* bins = reinterpret_cast<T*> (frame.data());
        const T nyquistReal = re[half] * wr[0] - im[half] * wi[0];
        const T nyquistImag = re[half] * wi[0] + im[half] * wr[0];
        bins[2 * half] = re[0] - nyquistReal;
        bins[2 * half + 1] = im[0] - nyquistImag;

        for (std::size_t j = 0; j < half; ++j)
        {
            const T tr = re[half + j] * wr[j] - im[half + j] * wi[j];
            const T ti = re[half + j] * wi[j] + im[half + j] * wr[j];
            bins[2 * j] = re[j] + tr;
            bins[2 * j + 1] = im[j] + ti;
        }
    }

    /** The inverse transform of the frame's bins (the bins above n / 2 being 0), overlap-added into the
        accumulator. The first pass reads the bins as forwardTransform reads the input; the bins at
        quadSource[m] plus n / 2 and 3 n / 4 lie above n / 2 and are 0, except bin n / 2 itself in the first
        group. Only the real part of the last stage is heard, so only it is computed. */
    void inverseTransform() noexcept
    {
        const std::size_t quarter = n / 4;
        const std::size_t half = n / 2;
        const T* bins = reinterpret_cast<const T*> (frame.data());
        T* re = workReal.data();
        T* im = workImag.data();
        const T secondReal = inverseReal[2], secondImag = inverseImag[2];

        {
            T r0 = bins[0], i0 = bins[1], r1 = bins[2 * half], i1 = bins[2 * half + 1];
            T r2 = bins[2 * quarter], i2 = bins[2 * quarter + 1], r3 = T (0), i3 = T (0);
            butterfly (r0, i0, r1, i1, T (1), T (0));
            butterfly (r2, i2, r3, i3, T (1), T (0));
            butterfly (r0, i0, r2, i2, T (1), T (0));
            butterfly (r1, i1, r3, i3, secondReal, secondImag);
            storeQuad (re, im, r0, i0, r1, i1, r2, i2, r3, i3);
        }

        for (std::size_t m = 1; m < quarter; ++m)
        {
            const std::size_t r = quadSource[m];
            T r0 = bins[2 * r], i0 = bins[2 * r + 1], r1 = T (0), i1 = T (0);
            T r2 = bins[2 * (r + quarter)], i2 = bins[2 * (r + quarter) + 1], r3 = T (0), i3 = T (0);
            butterfly (r0, i0, r1, i1, T (1), T (0));
            butterfly (r2, i2, r3, i3, T (1), T (0));
            butterfly (r0, i0, r2, i2, T (1), T (0));
            butterfly (r1, i1, r3, i3, secondReal, secondImag);
            storeQuad (re + 4 * m, im + 4 * m, r0, i0, r1, i1, r2, i2, r3, i3);
        }

        middleStages (inverseReal.data(), inverseImag.data());

        overlapAdd (re, im, inverseReal.data() + half - 1, inverseImag.data() + half - 1);
    }

    /** The real part of the inverse's last stage, windowed and added into the accumulator. */
    void overlapAdd (const T* __restrict re, const T* __restrict im, const T* __restrict wr,
                     const T* __restrict wi) noexcept
    {
        const std::size_t half = n / 2;
        const T* __restrict w = hann.data();
        T* __restrict sum = outputAccumulator.data();
        const T norm = (T) (n / 2 * oversampling);

        for (std::size_t j = 0; j < half; ++j)
        {
            const T tr = re[half + j] * wr[j] - im[half + j] * wi[j];
            sum[j] += T (2) * w[j] * (re[j] + tr) / norm;
            sum[half + j] += T (2) * w[half + j] * (re[j] - tr) / norm;
        }
    }

    static void storeQuad (T* re, T* im, T r0, T i0, T r1, T i1, T r2, T i2, T r3, T i3) noexcept
    {
        re[0] = r0;
        im[0] = i0;
        re[1] = r1;
        im[1] = i1;
        re[2] = r2;
        im[2] = i2;
        re[3] = r3;
        im[3] = i3;
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
        const std::size_t latency = n - hop;

        forwardTransform();
        callback (frame);
        inverseTransform();

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
    std::vector<std::size_t> quadSource; // the input (or bin) at position 4 m after bit reversal
    std::size_t rover = 0;
    std::size_t n, hop, oversampling;
};
} // namespace stftpitchshift
