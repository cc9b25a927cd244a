#pragma once

#include "dsp/pitch/RFFT.h"
#include "dsp/pitch/STFT.h"
#include "dsp/pitch/StftPitchShiftCore.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace stftpitchshift
{
/** A streaming phase-vocoder pitch shifter for one mono signal: frames of 1024 samples, a hop of 128,
    the spectrum resampled by the pitch factor and, on request, the spectral envelope (formants) kept in
    place. The output lags the input by one frame (1024 samples).

    Every buffer is allocated at construction; shiftpitch never allocates. */
class StftPitchShift
{
public:
    /** The frame size, whatever the constructor is given. */
    static constexpr std::size_t fixedFramesize = 1024;
    /** The hop, whatever the constructor is given. */
    static constexpr std::size_t fixedHopsize = 128;

    /** A shifter for samplerate; the frame size, hop and normalisation arguments are ignored. */
    StftPitchShift (std::size_t framesize, std::size_t hopsize, double samplerate, bool normalization = false);

    /** Shifts size samples of input into output (they may be the same array) by the first of factors
        (an empty list keeps the pitch). A quefrency other than 0 seconds keeps the spectral envelope; distortion
        is not used. The stream continues from the previous call. */
    void shiftpitch (std::size_t size, const float* input, float* output, const std::vector<double>& factors = { 1.0 },
                     double quefrency = 0.0, double distortion = 1.0);

    /** Clears the FIFOs, the accumulator and the phases, as if newly built. */
    void reset();

    /** The frame size (1024). */
    std::size_t framesize() const noexcept { return fixedFramesize; }
    /** The hop (128). */
    std::size_t hopsize() const noexcept { return fixedHopsize; }
    /** The sample rate given at construction. */
    double samplerate() const noexcept { return rate; }

private:
    std::shared_ptr<RFFT> fft;
    std::unique_ptr<StftPitchShiftCore<float>> core;
    std::unique_ptr<STFT<float>> stft;
    double rate;
};
} // namespace stftpitchshift
