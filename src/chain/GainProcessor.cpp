#include "chain/GainProcessor.h"

#include <algorithm>

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
    missedInput.setSize (std::max (2, (int) spec.numChannels), std::max (1, lookAheadSamplesFor (spec.sampleRate)));
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
    if (resting)
        resumeFromRest (numSamples, numChannels);

    runStages (out, numSamples, numInputChannels, numChannels);
}

void GainProcessor::runStages (float* const* channels, int numSamples, int numInputChannels, int numChannels)
{
    saturation.process (channels, channels, numSamples, numInputChannels, numChannels);
    outputGain.process (channels, channels, numSamples, numInputChannels, numChannels);
    limiter.process (channels, channels, numSamples, numInputChannels, numChannels);
}

// Off, the module's output is its dry path alone, which already delays the input by the look-ahead.
void GainProcessor::processWhileOff (float* const*, int, int, int)
{
    resting = true;
}

// Back from a rest, the stages start again from silence and first hear the look-ahead's worth of input they
// missed, which the dry path still holds just before this block: the look-ahead lines then hold what they
// would have held had the stages run on, and nothing older, so the switch-on crossfade plays no old audio.
void GainProcessor::resumeFromRest (int numSamples, int numChannels)
{
    resting = false;
    saturation.reset();
    outputGain.reset();
    limiter.reset();
    limiter.clearBuffers();

    const int channels = std::min ({ numChannels, missedInput.getNumChannels(), 2 });
    const int missed = std::min (getLatencyInSamples(), missedInput.getNumSamples());
    auto* const* replay = missedInput.getArrayOfWritePointers();

    for (int ch = 0; ch < channels; ++ch)
        if (! dryDelay.readHistory (ch, replay[ch], missed, numSamples))
            return;

    const int piece = std::max (1, samplesPerBlock);
    for (int start = 0; start < missed; start += piece)
    {
        float* part[2] = { replay[0] + start, replay[channels - 1] + start };
        runStages (part, std::min (piece, missed - start), channels, channels);
    }
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
