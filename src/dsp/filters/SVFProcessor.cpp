#include "dsp/filters/SVFProcessor.h"

#include <algorithm>

namespace QEL
{
template <typename SampleType> SVFProcessor<SampleType>::SVFProcessor() = default;

template <typename SampleType> SVFProcessor<SampleType>::~SVFProcessor() = default;

template <typename SampleType> void SVFProcessor<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    filter.prepare (spec);
}

template <typename SampleType> void SVFProcessor<SampleType>::reset()
{
    juce::QELProcessorBase::reset();
    filter.reset();
}

template <typename SampleType>
void SVFProcessor<SampleType>::processImpl (const float* const*, float* const* out, int numSamples, int,
                                            int numOutputChannels)
{
    const int channels = std::min ({ numOutputChannels, 2, filter.getNumChannels() });

    for (int channel = 0; channel < channels; ++channel)
    {
        float* samples = out[channel];

        for (int i = 0; i < numSamples; ++i)
            samples[i] = (float) filter.processSample (channel, (SampleType) samples[i]);
    }

    filter.snapToZero();
}

template class SVFProcessor<float>;
template class SVFProcessor<double>;
} // namespace QEL
