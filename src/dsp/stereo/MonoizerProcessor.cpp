#include "dsp/stereo/MonoizerProcessor.h"

#include "dsp/base/DspConstants.h"

#include <cmath>

namespace QEL
{
void MonoizerProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);

    const double n = std::tan (juce::MathConstants<double>::pi * (double) cutoff / newSampleRate);
    const double d = 1.0 / (1.0 + kSqrtTwo * n + n * n);

    const juce::SpinLock::ScopedLockType lock (side.lock);
    side.b0 = (float) d;
    side.b1 = (float) (-2.0 * d);
    side.b2 = (float) d;
    side.a1 = (float) (2.0 * d * (n * n - 1.0));
    side.a2 = (float) (d * (1.0 - kSqrtTwo * n + n * n));
}

void MonoizerProcessor::reset()
{
    QELProcessorBase::reset();
    side.s1 = side.s2 = 0.0f;
}

void MonoizerProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels)
{
    if (numOutputChannels != 2)
        return;

    constexpr double invSqrtTwo = 0.70710678118654752;
    float* left = out[0];
    float* right = out[1];
    auto& f = side;

    for (int i = 0; i < numSamples; ++i)
    {
        const float s = (float) (((double) left[i] - (double) right[i]) * invSqrtTwo);
        float y = f.b0 * s + f.s1;
        if (std::abs (y) <= 1.0e-8f)
            y = 0.0f;
        f.s1 = f.b1 * s - f.a1 * y + f.s2;
        f.s2 = f.b2 * s - f.a2 * y;

        const double m = ((double) left[i] + (double) right[i]) * invSqrtTwo;
        left[i] = (float) ((m + y) * invSqrtTwo);
        right[i] = (float) ((m - y) * invSqrtTwo);
    }
}
} // namespace QEL
