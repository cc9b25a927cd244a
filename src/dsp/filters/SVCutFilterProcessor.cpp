#include "dsp/filters/SVCutFilterProcessor.h"

#include <algorithm>

namespace QEL
{
namespace
{
    /** Keeps a cut-off inside the band the filter can represent: above 0 Hz and at most 0.49 times the rate.
        Closer to the Nyquist frequency the prewarped gain grows without bound (tan (0.4999 pi) is about 3200),
        and in single precision the filter's rounding then keeps a silent input ringing for ever. */
    template <typename SampleType> SampleType representableCutoff (float hz, double rate) noexcept
    {
        return (SampleType) juce::jlimit (1.0e-3, 0.49 * rate, (double) hz);
    }
} // namespace

template <typename SampleType> SVCutFilterProcessor<SampleType>::SVCutFilterProcessor()
{
    using Type = juce::dsp::StateVariableTPTFilterType;
    highPass.filter.setType (Type::highpass);
    lowPass.filter.setType (Type::lowpass);
    applyCutoffs();
    highPass.setBypassSmooth (false);
    lowPass.setBypassSmooth (false);
}

template <typename SampleType> SVCutFilterProcessor<SampleType>::~SVCutFilterProcessor() = default;

template <typename SampleType> void SVCutFilterProcessor<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    highPass.prepare (spec);
    lowPass.prepare (spec);
    cutoffsChanged.store (false);
    applyCutoffs();
}

template <typename SampleType> void SVCutFilterProcessor<SampleType>::reset()
{
    juce::QELProcessorBase::reset();
    highPass.reset();
    lowPass.reset();
}

template <typename SampleType>
void SVCutFilterProcessor<SampleType>::processDryImpl (const float* const*, float* const*, int, int, int)
{
}

template <typename SampleType>
void SVCutFilterProcessor<SampleType>::processImpl (const float* const* in, float* const* out, int numSamples,
                                                    int numInputChannels, int numOutputChannels)
{
    applyPendingCutoffs();
    juce::ignoreUnused (in);
    highPass.process (out, out, numSamples, numInputChannels, numOutputChannels);
    lowPass.process (out, out, numSamples, numInputChannels, numOutputChannels);
}

template <typename SampleType> void SVCutFilterProcessor<SampleType>::setHighPassCutoff (float hz)
{
    highPassCutoff.store (hz);
    cutoffsChanged.store (true);
    highPass.setBypassSmooth (hz > minCutoff);
}

template <typename SampleType> void SVCutFilterProcessor<SampleType>::setLowPassCutoff (float hz)
{
    lowPassCutoff.store (hz);
    cutoffsChanged.store (true);
    lowPass.setBypassSmooth (hz < maxCutoff);
}

template <typename SampleType> void SVCutFilterProcessor<SampleType>::applyPendingCutoffs()
{
    if (cutoffsChanged.exchange (false))
        applyCutoffs();
}

template <typename SampleType> void SVCutFilterProcessor<SampleType>::applyCutoffs()
{
    highPass.filter.setCutoffFrequency (representableCutoff<SampleType> (highPassCutoff.load(), highPass.sampleRate));
    lowPass.filter.setCutoffFrequency (representableCutoff<SampleType> (lowPassCutoff.load(), lowPass.sampleRate));
}

template class SVCutFilterProcessor<float>;
template class SVCutFilterProcessor<double>;
} // namespace QEL
