#include "dsp/pitch/StftPitchShift.h"

namespace stftpitchshift
{
StftPitchShift::StftPitchShift (std::size_t, std::size_t, double samplerate, bool)
    : fft (std::make_shared<RFFT>()),
      core (std::make_unique<StftPitchShiftCore<float>> (fft, fixedFramesize, fixedHopsize, samplerate)),
      stft (std::make_unique<STFT<float>> (fixedFramesize, fixedHopsize)), rate (samplerate)
{
    fft->prepare (fixedFramesize);
}

void StftPitchShift::shiftpitch (std::size_t size, const float* input, float* output,
                                 const std::vector<double>& factors, double quefrency, double)
{
    core->factors (factors);
    core->quefrency (quefrency);

    (*stft) (size, input, output, [this] (std::vector<std::complex<float>>& dft) { core->shiftpitch (dft); });
}

void StftPitchShift::reset()
{
    stft->reset();
    core->reset();
}
} // namespace stftpitchshift
