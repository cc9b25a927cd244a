#pragma once

#include <array>

namespace juce
{
/** The smbPitchShift phase vocoder with its frame fixed at 1024 samples and 8 times overlap: the input
    is analysed into bin magnitudes and true frequencies, the bins are moved by the pitch factor, and the
    frames are resynthesised and overlap-added. The output lags the input by 896 samples.

    The state (about 352 KB) lives in the instance and clears itself on the first call. */
class SmbPitchShift
{
public:
    static constexpr long frameSize = 1024;
    static constexpr long oversampling = 8;
    static constexpr long latency = frameSize - frameSize / oversampling;

    /** Shifts numSamples samples by the factor pitchShift; input and output may be the same array.
        fftFrameSize and osamp must be 1024 and 8. */
    void smbPitchShift (float pitchShift, long numSamples, long fftFrameSize, long osamp, float sampleRate,
                        const float* input, float* output) noexcept;

    /** Clears the whole state in place, as a new shifter starts. */
    void restart() noexcept;

    /** In-place complex FFT of 1024 interleaved values: sign −1 forward, +1 inverse, no scaling. */
    static void smbFft (float* buffer, long sign) noexcept;

private:
    void clearState() noexcept;
    void processFrame (float pitchShift, float sampleRate) noexcept;

    std::array<float, 8192> inputFifo {};
    std::array<float, 8192> outputFifo {};
    std::array<float, 16384> workspace {};
    std::array<float, 4097> lastPhase {};
    std::array<float, 4097> phaseSum {};
    std::array<float, 16384> outputAccumulator {};
    std::array<float, 8192> analysisFrequency {};
    std::array<float, 8192> analysisMagnitude {};
    std::array<float, 8192> synthesisFrequency {};
    std::array<float, 8192> synthesisMagnitude {};
    long rover = 0;
    long initialised = 0;
};
} // namespace juce
