#include "dsp/utility/QELBitcrusherProcessor.h"

#include <cmath>
#include <limits>

namespace juce
{
QELBitcrusherProcessor::QELBitcrusherProcessor() = default;

QELBitcrusherProcessor::~QELBitcrusherProcessor() = default;

void QELBitcrusherProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    QELProcessorBase::prepare (spec);
}

void QELBitcrusherProcessor::reset()
{
    QELProcessorBase::reset();
}

// The step is worked out once per block. For a whole bit depth it is a power of two: scaling by its inverse,
// truncating and scaling back are then exact and give what x - fmod (x, step) gives, zeros as +0 included.
void QELBitcrusherProcessor::crushChannel (float* samples, int numSamples) const noexcept
{
    const int factor = downsampleFactor;
    const float mix = crushMix;
    const float depth = bitDepth;
    const float quantStep = 1.0f / std::pow (2.0f, depth);
    const bool powerOfTwo = depth == std::floor (depth) && quantStep >= std::numeric_limits<float>::min();
    const float inverseStep = powerOfTwo ? 1.0f / quantStep : 0.0f;
    constexpr float exactlyScaled = 8388608.0f * 8388608.0f; // 2^46: far inside float range, above every fraction

    for (int j = 0; j < numSamples; ++j)
    {
        const float x = samples[j];
        const float scaled = x * inverseStep;
        float crushed = x;
        if (powerOfTwo && std::abs (scaled) < exactlyScaled)
            crushed = std::trunc (scaled) * quantStep + 0.0f;
        // Beyond float range the step underflows to 0, where fmod has no answer: the sample stays as it is.
        else if (quantStep > 0.0f)
            crushed = x - std::fmod (x, quantStep);

        // The held value is the first sample's already mixed output.
        if (factor >= 2 && j % factor != 0)
            crushed = samples[j - j % factor];

        samples[j] = crushed * mix + x * (1.0f - mix);
    }
}

void QELBitcrusherProcessor::processImpl (const float* const*, float* const* out, int numSamples, int,
                                          int numOutputChannels)
{
    for (int channel = 0; channel < numOutputChannels; ++channel)
        crushChannel (out[channel], numSamples);
}
} // namespace juce
