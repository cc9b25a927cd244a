#include "chain/MultiplyProcessor.h"

namespace tessaro::dsp
{
MultiplyProcessor::MultiplyProcessor()
{
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
    voiceDelay.prepare (std::max (2, (int) spec.numChannels), latencySamples);
    voiceDelay.setDelay (latencySamples);
}

void MultiplyProcessor::reset()
{
    ModuleProcessorBase::reset();
    voiceDelay.reset();
}

void MultiplyProcessor::setTempo (double bpm)
{
    ModuleProcessorBase::setTempo (bpm);
}

// Until the multiplier runs here, the module delays by its latency so the chain stays aligned.
void MultiplyProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numChannels)
{
    voiceDelay.process (out, numChannels, numSamples);
}

void MultiplyProcessor::setSpread (float percent)
{
    spread.store (juce::jlimit (0.0f, 200.0f, percent));
}

void MultiplyProcessor::setOffset (float percent)
{
    offset.store (offsetFor (percent));
}

void MultiplyProcessor::setAmount (float percent)
{
    amount.store (amountFor (percent));
}

void MultiplyProcessor::setLow (float percent)
{
    lowGain.store (lowGainFor (percent));
}
} // namespace tessaro::dsp
