#include "chain/DelayWrapperProcessor.h"

namespace tessaro::dsp
{
DelayWrapperProcessor::DelayWrapperProcessor()
{
    blend.rampSeconds = 0.05f;
    blend.setMix (0.0f);
}

void DelayWrapperProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    delay.prepare (spec);
    blend.prepare (spec);
    dry.setSize (std::max (2, (int) spec.numChannels), std::max (1, (int) spec.maximumBlockSize));
}

void DelayWrapperProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                         int numChannels)
{
    if (numSamples > dry.getNumSamples() || numChannels > dry.getNumChannels())
        return;

    for (int ch = 0; ch < numChannels; ++ch)
        dry.copyFrom (ch, 0, out[ch], numSamples);

    delay.process (out, out, numSamples, numInputChannels, numChannels);
    blend.process (dry.getArrayOfReadPointers(), out, numSamples, numInputChannels, numChannels);
}
} // namespace tessaro::dsp
