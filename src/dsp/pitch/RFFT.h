#pragma once

#include <complex>
#include <cstddef>
#include <map>
#include <memory>
#include <vector>

namespace stftpitchshift
{
/** A real discrete Fourier transform of a power-of-two frame size N.

    fft turns N samples into the N / 2 + 1 bins of the real spectrum, scaled by 2 / N; ifft turns the bins
    back into N samples without scaling, so ifft (fft (x)) returns x. The frame size is taken from the
    frame vector; the bin vector must hold N / 2 + 1 values. */
class FFT
{
public:
    virtual ~FFT() = default;

    /** Forward transform of a float frame. */
    virtual void fft (const std::vector<float>& frame, std::vector<std::complex<float>>& dft) = 0;
    /** Forward transform of a double frame. */
    virtual void fft (const std::vector<double>& frame, std::vector<std::complex<double>>& dft) = 0;
    /** Inverse transform into a float frame. */
    virtual void ifft (const std::vector<std::complex<float>>& dft, std::vector<float>& frame) = 0;
    /** Inverse transform into a double frame. */
    virtual void ifft (const std::vector<std::complex<double>>& dft, std::vector<double>& frame) = 0;

    /** ifft, computing only frame[0, count); the rest of the float frame is left as it was. */
    virtual void ifftHead (const std::vector<std::complex<float>>& dft, std::vector<float>& frame,
                           std::size_t count) = 0;
    /** ifft, computing only frame[0, count); the rest of the double frame is left as it was. */
    virtual void ifftHead (const std::vector<std::complex<double>>& dft, std::vector<double>& frame,
                           std::size_t count) = 0;

    /** The real parts of the bins [0, count) of fft (frame), for a float frame that is 0 from index nonzero
        on; real holds count values. */
    virtual void fftRealHead (const std::vector<float>& frame, float* real, std::size_t nonzero, std::size_t count) = 0;
    /** The real parts of the bins [0, count) of fft (frame), for a double frame that is 0 from index nonzero
        on; real holds count values. */
    virtual void fftRealHead (const std::vector<double>& frame, double* real, std::size_t nonzero,
                              std::size_t count) = 0;
};

/** The plan of one real transform size: an N / 2 point complex FFT (twiddles and bit-reversal order) and
    the split factors that turn it into an N point real transform. */
template <typename T> class CRFFT
{
public:
    /** Builds the plan; throws std::runtime_error when size is 0 or not a power of two. */
    explicit CRFFT (std::size_t size);

    /** Forward real transform of frame (size samples) into size / 2 + 1 bins, divided by size / 2. */
    void fft (const T* frame, std::complex<T>* dft);
    /** Inverse real transform of size / 2 + 1 bins into size samples, unscaled. */
    void ifft (const std::complex<T>* dft, T* frame);
    /** ifft, computing only frame[0, count) to the same bits; the other samples are left as they were. */
    void ifftHead (const std::complex<T>* dft, T* frame, std::size_t count);
    /** The real parts of fft's bins [0, count) to the same bits, for a frame that is 0 from index nonzero on. */
    void fftRealHead (const T* frame, T* real, std::size_t nonzero, std::size_t count);

    /** The frame size N. */
    std::size_t size() const noexcept { return n; }

private:
    void transform (bool inverse);
    void bitReverse() noexcept;
    void stages (std::size_t firstSpan, bool inverse, std::size_t needed) noexcept;
    void firstQuadStages (T sign) noexcept;
    void loadSparse (const T* frame, std::size_t nonzero) noexcept;
    void splitInput (const std::complex<T>* dft) noexcept;
    void splitBin (std::size_t k, std::size_t i, std::size_t m, T scale, T* out) noexcept;
    static void butterflyGroup (T* __restrict re, T* __restrict im, const T* __restrict twiddleRe,
                                const T* __restrict twiddleIm, T sign, std::size_t span) noexcept;
    static void butterflyGroupHead (T* __restrict re, T* __restrict im, const T* __restrict twiddleRe,
                                    const T* __restrict twiddleIm, T sign, std::size_t span,
                                    std::size_t count) noexcept;

    std::size_t n = 0;
    std::size_t half = 0;
    std::vector<T> twiddleReal, twiddleImag; // e^(-2 pi i k / (N / 2)), k < N / 4
    std::vector<T> stageReal, stageImag;     // the twiddles each stage uses, stage after stage
    // The split factors a = 0.5 (1 - i W^k), W = e^(-2 pi i / N), k <= N / 2, and b = 1 - a, part by part;
    // the inverse uses their conjugates.
    std::vector<T> splitReal, splitImag, mirrorReal, mirrorImag;
    std::vector<std::size_t> bitReversal;
    std::vector<T> workReal, workImag;
};

/** The real transform with one plan cache per precision, keyed by frame size. Plans are built on the
    first use of a size (allocation) and live as long as the transform; the cache is not locked. */
class RFFT : public FFT
{
public:
    void fft (const std::vector<float>& frame, std::vector<std::complex<float>>& dft) override;
    void fft (const std::vector<double>& frame, std::vector<std::complex<double>>& dft) override;
    void ifft (const std::vector<std::complex<float>>& dft, std::vector<float>& frame) override;
    void ifft (const std::vector<std::complex<double>>& dft, std::vector<double>& frame) override;
    void ifftHead (const std::vector<std::complex<float>>& dft, std::vector<float>& frame, std::size_t count) override;
    void ifftHead (const std::vector<std::complex<double>>& dft, std::vector<double>& frame,
                   std::size_t count) override;
    void fftRealHead (const std::vector<float>& frame, float* real, std::size_t nonzero, std::size_t count) override;
    void fftRealHead (const std::vector<double>& frame, double* real, std::size_t nonzero, std::size_t count) override;

    /** Builds the plans of a frame size ahead of use, so that later transforms of it do not allocate. */
    void prepare (std::size_t size);

private:
    template <typename T> CRFFT<T>& plan (std::size_t size);

    std::map<std::size_t, std::shared_ptr<CRFFT<float>>> floatPlans;
    std::map<std::size_t, std::shared_ptr<CRFFT<double>>> doublePlans;
};
} // namespace stftpitchshift
