#include "dsp/pitch/RFFT.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace stftpitchshift
{
namespace
{
    bool isPowerOfTwo (std::size_t n) noexcept
    {
        return n != 0 && (n & (n - 1)) == 0;
    }

    std::size_t reverseBits (std::size_t index, std::size_t count) noexcept
    {
        std::size_t reversed = 0;

        for (std::size_t bit = 1; bit < count; bit <<= 1)
        {
            reversed = (reversed << 1) | (index & 1);
            index >>= 1;
        }

        return reversed;
    }
} // namespace

template <typename T> CRFFT<T>::CRFFT (std::size_t size) : n (size), half (size / 2)
{
    if (! isPowerOfTwo (size))
        throw std::runtime_error ("The specified frame size " + std::to_string (size) + " is not a power of 2! " +
                                  "Please specify values like 1024, 2048, 4096 etc.");

    const double pi = std::numbers::pi;

    for (std::size_t k = 0; k < half / 2; ++k)
    {
        twiddleReal.push_back ((T) std::cos (-2.0 * pi * (double) k / (double) half));
        twiddleImag.push_back ((T) std::sin (-2.0 * pi * (double) k / (double) half));
    }

    for (std::size_t k = 0; k <= half; ++k)
    {
        const auto w = std::polar (1.0, -2.0 * pi * (double) k / (double) n);
        const auto factor = 0.5 * (1.0 - std::complex<double> (0.0, 1.0) * w);
        const std::complex<T> a { T (factor.real()), T (factor.imag()) };
        const std::complex<T> b = T (1) - a;
        splitReal.push_back (a.real());
        splitImag.push_back (a.imag());
        mirrorReal.push_back (b.real());
        mirrorImag.push_back (b.imag());
    }

    for (std::size_t k = 0; k < half; ++k)
        bitReversal.push_back (reverseBits (k, half));

    // Each stage's twiddles one after the other, so a stage reads them contiguously.
    for (std::size_t length = 2; length <= half; length <<= 1)
        for (std::size_t j = 0; j < length / 2; ++j)
        {
            stageReal.push_back (twiddleReal[j * (half / length)]);
            stageImag.push_back (twiddleImag[j * (half / length)]);
        }

    workReal.resize (std::max<std::size_t> (half, 1));
    workImag.resize (std::max<std::size_t> (half, 1));
}

template <typename T> void CRFFT<T>::transform (bool inverse)
{
    bitReverse();
    stages (1, inverse, half);
}

template <typename T> void CRFFT<T>::bitReverse() noexcept
{
    // Real and imaginary parts in separate arrays: packed complex floats stall the store-to-load
    // forwarding of every butterfly.
    T* re = workReal.data();
    T* im = workImag.data();

    for (std::size_t i = 0; i < half; ++i)
    {
        const auto j = bitReversal[i];

        if (i < j)
        {
            std::swap (re[i], re[j]);
            std::swap (im[i], im[j]);
        }
    }
}

/** The butterfly stages from span firstSpan on, computing only what the outputs [0, needed) depend on: after
    the stage of span s that is every position whose offset in its group of 2 s lies below needed, so a stage
    whose span is at least needed runs only the upper outputs of its first needed butterflies per group. */
template <typename T> void CRFFT<T>::stages (std::size_t firstSpan, bool inverse, std::size_t needed) noexcept
{
    T* re = workReal.data();
    T* im = workImag.data();
    const T sign = inverse ? T (-1) : T (1);

    if (firstSpan == 1 && half >= 4 && needed > 2)
    {
        firstQuadStages (sign);
        firstSpan = 4;
    }

    for (std::size_t span = firstSpan; span < half; span <<= 1)
    {
        const T* stageTwiddleReal = stageReal.data() + span - 1;
        const T* stageTwiddleImag = stageImag.data() + span - 1;

        for (std::size_t start = 0; start < half; start += 2 * span)
            if (needed <= span)
                butterflyGroupHead (re + start, im + start, stageTwiddleReal, stageTwiddleImag, sign, span, needed);
            else
                butterflyGroup (re + start, im + start, stageTwiddleReal, stageTwiddleImag, sign, span);
    }
}

template <typename T>
void CRFFT<T>::butterflyGroup (T* __restrict re, T* __restrict im, const T* __restrict twiddleRe,
                               const T* __restrict twiddleIm, T sign, std::size_t span) noexcept
{
    T* __restrict re2 = re + span;
    T* __restrict im2 = im + span;

    for (std::size_t j = 0; j < span; ++j)
    {
        const T wr = twiddleRe[j];
        const T wi = sign * twiddleIm[j];
        const T vr = re2[j] * wr - im2[j] * wi;
        const T vi = re2[j] * wi + im2[j] * wr;
        re2[j] = re[j] - vr;
        im2[j] = im[j] - vi;
        re[j] += vr;
        im[j] += vi;
    }
}

namespace
{
    /** One butterfly as butterflyGroup computes it, on values in registers. */
    template <typename T> inline void butterfly (T& r1, T& i1, T& r2, T& i2, T wr, T wi) noexcept
    {
        const T vr = r2 * wr - i2 * wi;
        const T vi = r2 * wi + i2 * wr;
        r2 = r1 - vr;
        i2 = i1 - vi;
        r1 += vr;
        i1 += vi;
    }
} // namespace

/** The stages of span 1 and 2 as one pass over groups of four points, held in registers: the same
    butterflies with the same twiddles as two passes of butterflyGroup, without 3 N / 8 tiny groups. */
template <typename T> void CRFFT<T>::firstQuadStages (T sign) noexcept
{
    T* re = workReal.data();
    T* im = workImag.data();
    const T wr0 = stageReal[0], wi0 = sign * stageImag[0];
    const T wr1 = stageReal[1], wi1 = sign * stageImag[1];
    const T wr2 = stageReal[2], wi2 = sign * stageImag[2];

    for (std::size_t start = 0; start < half; start += 4)
    {
        T r0 = re[start], i0 = im[start], r1 = re[start + 1], i1 = im[start + 1];
        T r2 = re[start + 2], i2 = im[start + 2], r3 = re[start + 3], i3 = im[start + 3];
        butterfly (r0, i0, r1, i1, wr0, wi0);
        butterfly (r2, i2, r3, i3, wr0, wi0);
        butterfly (r0, i0, r2, i2, wr1, wi1);
        butterfly (r1, i1, r3, i3, wr2, wi2);
        re[start] = r0;
        im[start] = i0;
        re[start + 1] = r1;
        im[start + 1] = i1;
        re[start + 2] = r2;
        im[start + 2] = i2;
        re[start + 3] = r3;
        im[start + 3] = i3;
    }
}

template <typename T>
void CRFFT<T>::butterflyGroupHead (T* __restrict re, T* __restrict im, const T* __restrict twiddleRe,
                                   const T* __restrict twiddleIm, T sign, std::size_t span, std::size_t count) noexcept
{
    const T* __restrict re2 = re + span;
    const T* __restrict im2 = im + span;

    for (std::size_t j = 0; j < count; ++j)
    {
        const T wr = twiddleRe[j];
        const T wi = sign * twiddleIm[j];
        const T vr = re2[j] * wr - im2[j] * wi;
        const T vi = re2[j] * wi + im2[j] * wr;
        re[j] += vr;
        im[j] += vi;
    }
}

template <typename T> void CRFFT<T>::fft (const T* frame, std::complex<T>* dft)
{
    if (half == 0)
    {
        dft[0] = frame[0];
        return;
    }

    for (std::size_t k = 0; k < half; ++k)
    {
        workReal[k] = frame[2 * k];
        workImag[k] = frame[2 * k + 1];
    }

    transform (false);

    // dft[k] = (z a + conj (z[N/2 - k]) b) / (N / 2), with z the half-size transform (z[N/2] = z[0]); the
    // complex products are written out in the order the compiler's complex multiply uses, so the bins
    // are the same to the last bit.
    const T scale = T (1) / (T) half;
    T* out = reinterpret_cast<T*> (dft);
    splitBin (0, 0, 0, scale, out);
    splitBin (half, 0, 0, scale, out);

    const T* __restrict re = workReal.data();
    const T* __restrict im = workImag.data();
    const T* __restrict ar = splitReal.data();
    const T* __restrict ai = splitImag.data();
    const T* __restrict br = mirrorReal.data();
    const T* __restrict bi = mirrorImag.data();

    for (std::size_t k = 1; k < half; ++k)
    {
        const T zr = re[k], zi = im[k];
        const T mr = re[half - k], mi = -im[half - k];
        out[2 * k] = ((zr * ar[k] - zi * ai[k]) + (mr * br[k] - mi * bi[k])) * scale;
        out[2 * k + 1] = ((zr * ai[k] + zi * ar[k]) + (mr * bi[k] + mi * br[k])) * scale;
    }
}

template <typename T> void CRFFT<T>::splitBin (std::size_t k, std::size_t i, std::size_t m, T scale, T* out) noexcept
{
    const T zr = workReal[i], zi = workImag[i];
    const T mr = workReal[m], mi = -workImag[m];
    out[2 * k] = ((zr * splitReal[k] - zi * splitImag[k]) + (mr * mirrorReal[k] - mi * mirrorImag[k])) * scale;
    out[2 * k + 1] = ((zr * splitImag[k] + zi * splitReal[k]) + (mr * mirrorImag[k] + mi * mirrorReal[k])) * scale;
}

template <typename T> void CRFFT<T>::fftRealHead (const T* frame, T* real, std::size_t nonzero, std::size_t count)
{
    if (half == 0)
    {
        real[0] = frame[0];
        return;
    }

    loadSparse (frame, std::min (nonzero, n));

    const T scale = T (1) / (T) half;
    const T* __restrict re = workReal.data();
    const T* __restrict im = workImag.data();
    const T* __restrict ar = splitReal.data();
    const T* __restrict ai = splitImag.data();
    const T* __restrict br = mirrorReal.data();
    const T* __restrict bi = mirrorImag.data();

    // The real part of fft's bins: bin 0 and bin N / 2 read z[0] twice, the others z[k] and z[N/2 - k].
    for (std::size_t k = 0; k < std::min (count, half + 1); ++k)
    {
        const std::size_t i = k % half;
        const std::size_t m = (half - k) % half;
        const T zr = re[i], zi = im[i];
        const T mr = re[m], mi = -im[m];
        real[k] = ((zr * ar[k] - zi * ai[k]) + (mr * br[k] - mi * bi[k])) * scale;
    }
}

/** The half-size transform of a frame that is 0 from index nonzero on, left in the workspace. Only the
    first A points z[k] = (frame[2 k], frame[2 k + 1]) can be other than 0 (A the power of two at or above
    nonzero / 2), so after bit reversal they stand at the starts of blocks of B = N / 2 / A points, the rest
    0; the stages of span below B add 0 to them and spread them over their blocks. Each block is filled with
    its value instead, and the transform goes on from span B. */
template <typename T> void CRFFT<T>::loadSparse (const T* frame, std::size_t nonzero) noexcept
{
    std::size_t points = 1;

    while (points < half && 2 * points < nonzero)
        points <<= 1;

    const std::size_t block = half / points;
    T* re = workReal.data();
    T* im = workImag.data();

    for (std::size_t start = 0; start < half; start += block)
    {
        const auto k = bitReversal[start];
        std::fill (re + start, re + start + block, frame[2 * k]);
        std::fill (im + start, im + start + block, frame[2 * k + 1]);
    }

    stages (block, false, half);
}

template <typename T> void CRFFT<T>::ifft (const std::complex<T>* dft, T* frame)
{
    if (half == 0)
    {
        frame[0] = dft[0].real();
        return;
    }

    splitInput (dft);
    transform (true);

    for (std::size_t k = 0; k < half; ++k)
    {
        frame[2 * k] = workReal[k];
        frame[2 * k + 1] = workImag[k];
    }
}

template <typename T> void CRFFT<T>::ifftHead (const std::complex<T>* dft, T* frame, std::size_t count)
{
    if (half == 0)
    {
        frame[0] = dft[0].real();
        return;
    }

    count = std::min (count, n);
    const std::size_t points = (count + 1) / 2;

    splitInput (dft);
    bitReverse();
    stages (1, true, points);

    for (std::size_t k = 0; k < points; ++k)
    {
        frame[2 * k] = workReal[k];

        if (2 * k + 1 < count)
            frame[2 * k + 1] = workImag[k];
    }
}

template <typename T> void CRFFT<T>::splitInput (const std::complex<T>* dft) noexcept
{
    // z[k] = dft[k] conj (a) + conj (dft[N/2 - k]) conj (b), the products written out as in fft.
    const T* in = reinterpret_cast<const T*> (dft);
    const T* __restrict ar = splitReal.data();
    const T* __restrict ai = splitImag.data();
    const T* __restrict br = mirrorReal.data();
    const T* __restrict bi = mirrorImag.data();
    T* __restrict re = workReal.data();
    T* __restrict im = workImag.data();

    for (std::size_t k = 0; k < half; ++k)
    {
        const T xr = in[2 * k], xi = in[2 * k + 1];
        const T mr = in[2 * (half - k)], mi = -in[2 * (half - k) + 1];
        const T car = ar[k], cai = -ai[k], cbr = br[k], cbi = -bi[k];
        re[k] = (xr * car - xi * cai) + (mr * cbr - mi * cbi);
        im[k] = (xr * cai + xi * car) + (mr * cbi + mi * cbr);
    }
}

template class CRFFT<float>;
template class CRFFT<double>;

template <typename T> CRFFT<T>& RFFT::plan (std::size_t size)
{
    auto& plans = [this]() -> auto&
    {
        if constexpr (std::is_same_v<T, float>)
            return floatPlans;
        else
            return doublePlans;
    }
    ();

    auto found = plans.find (size);

    if (found == plans.end())
        found = plans.emplace (size, std::make_shared<CRFFT<T>> (size)).first;

    return *found->second;
}

void RFFT::prepare (std::size_t size)
{
    plan<float> (size);
    plan<double> (size);
}

void RFFT::fft (const std::vector<float>& frame, std::vector<std::complex<float>>& dft)
{
    assert (dft.size() == frame.size() / 2 + 1);
    plan<float> (frame.size()).fft (frame.data(), dft.data());
}

void RFFT::fft (const std::vector<double>& frame, std::vector<std::complex<double>>& dft)
{
    assert (dft.size() == frame.size() / 2 + 1);
    plan<double> (frame.size()).fft (frame.data(), dft.data());
}

void RFFT::ifft (const std::vector<std::complex<float>>& dft, std::vector<float>& frame)
{
    assert (dft.size() == frame.size() / 2 + 1);
    plan<float> (frame.size()).ifft (dft.data(), frame.data());
}

void RFFT::ifft (const std::vector<std::complex<double>>& dft, std::vector<double>& frame)
{
    assert (dft.size() == frame.size() / 2 + 1);
    plan<double> (frame.size()).ifft (dft.data(), frame.data());
}

void RFFT::ifftHead (const std::vector<std::complex<float>>& dft, std::vector<float>& frame, std::size_t count)
{
    assert (dft.size() == frame.size() / 2 + 1);
    plan<float> (frame.size()).ifftHead (dft.data(), frame.data(), count);
}

void RFFT::ifftHead (const std::vector<std::complex<double>>& dft, std::vector<double>& frame, std::size_t count)
{
    assert (dft.size() == frame.size() / 2 + 1);
    plan<double> (frame.size()).ifftHead (dft.data(), frame.data(), count);
}

void RFFT::fftRealHead (const std::vector<float>& frame, float* real, std::size_t nonzero, std::size_t count)
{
    plan<float> (frame.size()).fftRealHead (frame.data(), real, nonzero, count);
}

void RFFT::fftRealHead (const std::vector<double>& frame, double* real, std::size_t nonzero, std::size_t count)
{
    plan<double> (frame.size()).fftRealHead (frame.data(), real, nonzero, count);
}
} // namespace stftpitchshift
