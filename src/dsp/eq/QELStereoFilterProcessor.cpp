#include "dsp/eq/QELStereoFilterProcessor.h"

namespace juce
{
void QELStereoFilterProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
}

void QELStereoFilterProcessor::reset()
{
    QELProcessorBase::reset();
    for (auto& filter : filters)
        filter.reset();
}

void QELStereoFilterProcessor::setCoefficients (juce::dsp::IIR::Coefficients<float>::Ptr coefficients)
{
    for (auto& filter : filters)
        filter.coefficients = coefficients;
}

void QELStereoFilterProcessor::processImpl (float* sample, int channel)
{
    *sample = filters[channel].processSample (*sample);
}

void QELStereoFilterProcessor::processImpl (const float* const*, float* const* out, int numSamples, int,
                                            int numOutputChannels)
{
    for (int channel = 0; channel < std::min (numOutputChannels, 2); ++channel)
    {
        auto& filter = filters[channel];
        float* samples = out[channel];
        for (int i = 0; i < numSamples; ++i)
            samples[i] = filter.processSample (samples[i]);
        filter.snapToZero();
    }
}
} // namespace juce
