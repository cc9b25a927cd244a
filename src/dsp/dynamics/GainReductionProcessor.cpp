#include "dsp/dynamics/GainReductionProcessor.h"

#include <cmath>

GainReductionProcessor::GainReductionProcessor() = default;

GainReductionProcessor::~GainReductionProcessor() = default;

void GainReductionProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    compressor.prepareToPlay (spec.sampleRate, (int) spec.maximumBlockSize);
    outputGain.prepare (spec);
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

void GainReductionProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                          int numInputChannels, int numOutputChannels)
{
    const bool compressorOn = compressor.active.load();
    const bool levelAutomatically = autoGain.load();

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

            if (levelAutomatically)
                s *= autoGainFactorFor ((double) compressor.slayRamp.getNextValue());
            else
                s *= (double) outputLevel;

            out[channel][i] = (float) ((1.0 - mix) * drySample + mix * s);
        }
    }

    outputGain.process (out, out, numSamples, numOutputChannels, numOutputChannels);
}
