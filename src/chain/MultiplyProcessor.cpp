#include "chain/MultiplyProcessor.h"

namespace tessaro::dsp
{
MultiplyProcessor::MultiplyProcessor()
{
    smoothCrossfade = true;
    multiplier.setVoicesAmount (30.0f);
    setSpread (100.0f);
    setOffset (0.0f);
    setAmount (0.0f);
    setLow (0.0f);
    setDryPathLatency (latencySamples);
}

void MultiplyProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
    setDryPathLatency (latencySamples);
    multiplier.prepare (spec);
}

void MultiplyProcessor::reset()
{
    ModuleProcessorBase::reset();
    multiplier.reset();
}

void MultiplyProcessor::setTempo (double bpm)
{
    ModuleProcessorBase::setTempo (bpm);
    multiplier.setTempo (bpm);
}

void MultiplyProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                     int numChannels)
{
    multiplier.process (out, out, numSamples, numInputChannels, numChannels);
}

void MultiplyProcessor::processWhileOff (float* const* channels, int numSamples, int numInputChannels, int numChannels)
{
    multiplier.processResting (channels, numSamples, numInputChannels, numChannels);
}

void MultiplyProcessor::setSpread (float percent)
{
    spread.store (juce::jlimit (0.0f, 200.0f, percent));
    multiplier.setSpread (percent);
}

void MultiplyProcessor::setOffset (float percent)
{
    offset.store (offsetFor (percent));
    multiplier.setOffset (percent);
}

void MultiplyProcessor::setAmount (float percent)
{
    amount.store (amountFor (percent));
    multiplier.setAmount (percent);
}

void MultiplyProcessor::setLow (float percent)
{
    lowGain.store (lowGainFor (percent));
    multiplier.setLow (percent);
}
} // namespace tessaro::dsp
