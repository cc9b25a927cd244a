#include "chain/MultiplyProcessor.h"

#include <algorithm>
#include <array>

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
    restedSamples = 0;
}

void MultiplyProcessor::setTempo (double bpm)
{
    ModuleProcessorBase::setTempo (bpm);
    multiplier.setTempo (bpm);
}

void MultiplyProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                     int numChannels)
{
    if (latencyLineBehind)
        refillLatencyLine (numSamples, numChannels);

    catchUpControls (numChannels);

    multiplier.process (out, out, numSamples, numInputChannels, numChannels);
}

void MultiplyProcessor::processWhileOff (float* const*, int numSamples, int, int numChannels)
{
    latencyLineBehind = true;
    restedSamples += numSamples;

    if (restedSamples >= restStepSamples)
        catchUpControls (numChannels);
}

void MultiplyProcessor::catchUpControls (int numChannels)
{
    if (restedSamples > 0)
        multiplier.restControls (restedSamples, numChannels);
    restedSamples = 0;
}

// The dry path delays the input by the same latency as the multiplier's own line and has already taken this
// block: the latency's worth of input before it is what the multiplier's line missed while it rested.
void MultiplyProcessor::refillLatencyLine (int numSamples, int numChannels) noexcept
{
    latencyLineBehind = false;
    auto& line = multiplier.latencyDelay;
    std::array<float, 256> piece {};

    for (int ch = 0; ch < std::min ({ numChannels, line.getNumChannels(), dryDelay.getNumChannels() }); ++ch)
        for (int done = 0; done < latencySamples;)
        {
            const int length = std::min ((int) piece.size(), latencySamples - done);
            const int newer = numSamples + latencySamples - done - length;
            if (! dryDelay.readHistory (ch, piece.data(), length, newer))
                std::fill (piece.begin(), piece.end(), 0.0f);
            line.push (ch, piece.data(), length);
            done += length;
        }
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
