#include "chain/GainProcessor.h"

namespace tessaro::dsp
{
GainProcessor::GainProcessor()
{
    setLimit (false);
}

int GainProcessor::lookAheadSamplesFor (double rate) noexcept
{
    return (int) std::floor ((double) lookAheadSeconds * rate);
}

int GainProcessor::getLatencyInSamples()
{
    return limit.load() ? lookAheadSamplesFor (limiterRate.load()) : 0;
}

void GainProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
    saturation.prepare (spec);
    outputGain.prepare (spec);
    limiterRate.store (spec.sampleRate);
    lookAheadDelay.prepare (std::max (2, (int) spec.numChannels), lookAheadSamplesFor (spec.sampleRate));
    setDryPathLatency (getLatencyInSamples());
}

void GainProcessor::reset()
{
    ModuleProcessorBase::reset();
    saturation.reset();
    outputGain.juce::QELProcessorBase::reset();
    lookAheadDelay.reset();
}

void GainProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                 int numChannels)
{
    saturation.process (out, out, numSamples, numInputChannels, numChannels);
    outputGain.process (out, out, numSamples, numInputChannels, numChannels);

    lookAheadDelay.setDelay (getLatencyInSamples());
    if (lookAheadDelay.getDelay() > 0)
        lookAheadDelay.process (out, numChannels, numSamples);
}

void GainProcessor::setLimit (bool on)
{
    limit.store (on);
    setDryPathLatency (getLatencyInSamples());
}
} // namespace tessaro::dsp
