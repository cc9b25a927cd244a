#include "dsp/utility/QELBitcrusherProcessor.h"

#include <cmath>

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

void QELBitcrusherProcessor::crushChannel (float* samples, int numSamples) const noexcept
{
    const int factor = downsampleFactor;
    const float mix = crushMix;

    for (int j = 0; j < numSamples; ++j)
    {
        const float x = samples[j];
        const float quantStep = 1.0f / std::pow (2.0f, bitDepth);
        // Beyond float range the step underflows to 0, where fmod has no answer: the sample stays as it is.
        float crushed = quantStep > 0.0f ? x - std::fmod (x, quantStep) : x;

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
