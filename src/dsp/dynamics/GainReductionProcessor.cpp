#include "dsp/dynamics/GainReductionProcessor.h"

#include <algorithm>
#include <cmath>

GainReductionProcessor::GainReductionProcessor() = default;

GainReductionProcessor::~GainReductionProcessor() = default;

void GainReductionProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    compressor.prepareToPlay (spec.sampleRate, (int) spec.maximumBlockSize);
    outputGain.prepare (spec);
    autoShare.reset (spec.sampleRate, autoFadeSeconds);
    autoShare.setCurrentAndTargetValue (autoGain.load() ? 1.0 : 0.0);
}

void GainReductionProcessor::reset()
{
    juce::QELProcessorBase::reset();
    compressor.reset();
    outputGain.reset();
}

double GainReductionProcessor::softClip (double t) noexcept
{
    const float squared = (float) t * (float) t;
    return t / ((double) squared * 0.25 + 1.0);
}

double GainReductionProcessor::autoGainFactor (double slay) noexcept
{
    return slay <= 50.0 ? std::pow (10.0, (2.0 - slay / 5.0) / 20.0) : std::pow (10.0, -0.4);
}

double GainReductionProcessor::autoGainFactorFor (double slay) noexcept
{
    if (slay != slaySeen)
    {
        slaySeen = slay;
        autoGainSeen = autoGainFactor (slay);
    }

    return autoGainSeen;
}

double GainReductionProcessor::autoShareAt (int sample, int numSamples) const noexcept
{
    if (autoShareStart == autoShareEnd)
        return autoShareEnd;

    // The share follows a raised cosine between its ends, so the level has no corner where the fade
    // starts or stops.
    const double position =
        autoShareStart + (autoShareEnd - autoShareStart) * (double) (sample + 1) / (double) numSamples;
    return 0.5 - 0.5 * std::cos (juce::MathConstants<double>::pi * position);
}

double GainReductionProcessor::levelAt (int sample, int numSamples, double slay) noexcept
{
    const double share = autoShareAt (sample, numSamples);

    if (share >= 1.0)
        return autoGainFactorFor (slay);
    if (share <= 0.0)
        return (double) outputLevel;
    return share * autoGainFactorFor (slay) + (1.0 - share) * (double) outputLevel;
}

void GainReductionProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                          int numInputChannels, int numOutputChannels)
{
    const bool compressorOn = compressor.active.load();
    autoShare.setTargetValue (autoGain.load() ? 1.0 : 0.0);
    autoShareStart = autoShare.getCurrentValue();
    autoShareEnd = numSamples > 0 ? autoShare.skip (numSamples) : autoShareStart;

    const int channels = std::min (numOutputChannels, maxChannels);

    if (compressorOn && compressor.prepareSteadyBlock())
        processSteady (in, out, numSamples, numInputChannels, channels);
    else
        processGliding (in, out, numSamples, numInputChannels, channels, compressorOn);

    outputGain.process (out, out, numSamples, numOutputChannels, numOutputChannels);
}

void GainReductionProcessor::processSteady (const float* const* in, float* const* out, int numSamples,
                                            int numInputChannels, int channels) noexcept
{
    // A ramp that stands still hands out its target at every step.
    const double slay = (double) compressor.slayRamp.getTargetValue();
    const bool levelSteady = autoShareStart == autoShareEnd;
    const double steadyLevel = levelAt (0, numSamples, slay);
    float* chunkPointers[maxChannels] = { chunk[0], chunk[1] };

    for (int start = 0; start < numSamples; start += steadyChunk)
    {
        const int count = std::min (steadyChunk, numSamples - start);

        for (int channel = 0; channel < channels; ++channel)
            for (int i = 0; i < count; ++i)
                chunk[channel][i] = (float) ((double) out[channel][start + i] * inputGain);

        compressor.compressSteadyBlock (chunkPointers, channels, count);

        for (int i = 0; i < count; ++i)
            chunkLevel[i] = levelSteady ? steadyLevel : levelAt (start + i, numSamples, slay);

        for (int channel = 0; channel < channels; ++channel)
        {
            const float* dry = (channel < numInputChannels ? in[channel] : out[channel]) + start;
            float* wet = out[channel] + start;
            for (int i = 0; i < count; ++i)
            {
                const double s = softClip ((double) chunk[channel][i] * drive) * chunkLevel[i];
                wet[i] = (float) ((1.0 - mix) * (double) dry[i] + mix * s);
            }
        }
    }
}

void GainReductionProcessor::processGliding (const float* const* in, float* const* out, int numSamples,
                                             int numInputChannels, int channels, bool compressorOn) noexcept
{
    float frame[maxChannels] = {};
    float* framePointers[maxChannels] = { &frame[0], &frame[1] };

    // Sample by sample across the channels: the compressor's and the automatic gain's ramps advance
    // once per sample, so both channels hear the same gain at the same moment.
    for (int i = 0; i < numSamples; ++i)
    {
        for (int channel = 0; channel < channels; ++channel)
            frame[channel] = (float) ((double) out[channel][i] * inputGain);

        if (compressorOn)
            compressor.processFrame (framePointers, channels);

        const double level = levelAt (i, numSamples, (double) compressor.slayRamp.getNextValue());

        for (int channel = 0; channel < channels; ++channel)
        {
            const double drySample = (double) (channel < numInputChannels ? in[channel] : out[channel])[i];
            const double s = softClip ((double) frame[channel] * drive) * level;
            out[channel][i] = (float) ((1.0 - mix) * drySample + mix * s);
        }
    }
}
