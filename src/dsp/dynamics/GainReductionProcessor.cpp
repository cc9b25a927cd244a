#include "dsp/dynamics/GainReductionProcessor.h"

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
    return autoShareStart + (autoShareEnd - autoShareStart) * (double) (sample + 1) / (double) numSamples;
}

void GainReductionProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                          int numInputChannels, int numOutputChannels)
{
    const bool compressorOn = compressor.active.load();
    autoShare.setTargetValue (autoGain.load() ? 1.0 : 0.0);
    autoShareStart = autoShare.getCurrentValue();
    autoShareEnd = numSamples > 0 ? autoShare.skip (numSamples) : autoShareStart;

    for (int channel = 0; channel < numOutputChannels; ++channel)
    {
        const float* dry = channel < numInputChannels ? in[channel] : out[channel];

        for (int i = 0; i < numSamples; ++i)
        {
            const double drySample = (double) dry[i];
            double s = (double) out[channel][i] * inputGain;

            if (compressorOn)
            {
                float compressed = (float) s;
                compressor.processImpl (&compressed, channel);
                s = (double) compressed;
            }

            s = softClip (s * drive);

            const double share = autoShareAt (i, numSamples);
            if (share >= 1.0)
                s *= autoGainFactorFor ((double) compressor.slayRamp.getNextValue());
            else if (share <= 0.0)
                s *= (double) outputLevel;
            else
                s *= share * autoGainFactorFor ((double) compressor.slayRamp.getNextValue()) +
                     (1.0 - share) * (double) outputLevel;

            out[channel][i] = (float) ((1.0 - mix) * drySample + mix * s);
        }
    }

    outputGain.process (out, out, numSamples, numOutputChannels, numOutputChannels);
}
