#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace tessaro::render
{
/** Changes the sample rate of a whole buffer offline with a Blackman-windowed sinc kernel.
    The kernel is centred on each output instant, so timing is kept exactly; when the rate goes
    down its cut-off moves down with the new Nyquist frequency so nothing folds back. */
class Resampler
{
public:
    /** The buffer at `toRate`; a copy when both rates are equal. */
    static juce::AudioBuffer<float> resample (const juce::AudioBuffer<float>& input, double fromRate, double toRate);

private:
    static constexpr int zeroCrossings = 32; // on each side of the kernel's centre

    static double kernel (double distance, double cutoff, double radius) noexcept;
    static float valueAt (const float* input, int numInput, double position, double cutoff, double radius) noexcept;
};
} // namespace tessaro::render
