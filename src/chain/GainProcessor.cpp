#include "chain/GainProcessor.h"

namespace tessaro::dsp
{
GainProcessor::GainProcessor()
{
    smoothCrossfade = true;
    outputGain.smoothShape = true;
    outputGain.rampSeconds = 0.02f;
    limiter.lookAheadEnabled = true;
    limiter.lookAheadSeconds = lookAheadSeconds;
    limiter.setBypass (false);
    reserveDryPath (0, lookAheadSeconds);
    limiter.reserveDryPath (0, lookAheadSeconds);
    setLimit (false);
}

int GainProcessor::lookAheadSamplesFor (double rate) noexcept
{
    return (int) std::floor ((double) lookAheadSeconds * rate);
}

int GainProcessor::getLatencyInSamples()
{
    return limiter.lookAheadEnabled ? lookAheadSamplesFor (limiterRate.load()) : 0;
}

void GainProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
    saturation.prepare (spec);
    outputGain.prepare (spec);
    limiterRate.store (spec.sampleRate);
    limiter.prepare (spec);
    alignDryPaths();
}

void GainProcessor::reset()
{
    ModuleProcessorBase::reset();
    saturation.reset();
    outputGain.juce::QELProcessorBase::reset();
    limiter.reset();
}

void GainProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                 int numChannels)
{
    saturation.process (out, out, numSamples, numInputChannels, numChannels);
    outputGain.process (out, out, numSamples, numInputChannels, numChannels);
    limiter.process (out, out, numSamples, numInputChannels, numChannels);
}

void GainProcessor::setLimit (bool on)
{
    limit.store (on);
    limiter.setBypassSmooth (on);
}

// The module's and the limiter's own dry paths carry the look-ahead whether Limit is on or off, so the
// latency never changes and switching either crossfades between aligned signals. With Limit off the
// limiter keeps running under its dry path, so switching it on plays no silence and no old audio.
void GainProcessor::alignDryPaths()
{
    const int latency = getLatencyInSamples();
    setDryPathLatency (latency);
    limiter.setDryPathLatency (latency);
}
} // namespace tessaro::dsp
