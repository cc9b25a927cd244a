#include "chain/ReverbWrapperProcessor.h"

namespace tessaro::dsp
{
ReverbWrapperProcessor::ReverbWrapperProcessor()
{
    reverb.setBypass (false);
    blend.rampSeconds = 0.05f;
    blend.setMix (0.0f);
}

void ReverbWrapperProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    reverb.prepare (spec);
    blend.prepare (spec);
    dry.setSize (std::max (2, (int) spec.numChannels), std::max (1, (int) spec.maximumBlockSize));
}

void ReverbWrapperProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                          int numChannels)
{
    if (numSamples > dry.getNumSamples() || numChannels > dry.getNumChannels())
        return;

    for (int ch = 0; ch < numChannels; ++ch)
        dry.copyFrom (ch, 0, out[ch], numSamples);

    reverb.process (out, out, numSamples, numInputChannels, numChannels);
    blend.process (dry.getArrayOfReadPointers(), out, numSamples, numInputChannels, numChannels);
}
} // namespace tessaro::dsp
