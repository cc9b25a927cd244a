#include "dsp/utility/GainProcessor.h"

#include <cmath>

namespace QEL
{
namespace
{
    constexpr float silenceDb = -100.0f;
}

GainProcessor::GainProcessor()
{
    setGainDb (0.0f);
    applyPendingGain();
}

GainProcessor::~GainProcessor() = default;

float GainProcessor::decibelsToFactor (float gainDb) noexcept
{
    return gainDb > silenceDb ? std::pow (10.0f, gainDb / 20.0f) : 0.0f;
}

void GainProcessor::setGainDb (float newGainDb)
{
    pendingGainDb.store (newGainDb);
    gainChanged.store (true);
}

void GainProcessor::applyPendingGain() noexcept
{
    if (! gainChanged.exchange (false))
        return;

    const float gainDb = pendingGainDb.load();
    gainRamp.setTargetValue (decibelsToFactor (gainDb));
    decibelRamp.setTargetValue (gainDb);
}

void GainProcessor::setUpRamps() noexcept
{
    applyPendingGain();
    gainRamp.reset (sampleRate, (double) rampSeconds);
    decibelRamp.reset (sampleRate, (double) rampSeconds);
}

void GainProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    setUpRamps();
}

void GainProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    setUpRamps();
}

void GainProcessor::reset()
{
    juce::QELProcessorBase::reset();
    setUpRamps();
}

float GainProcessor::nextFactor() noexcept
{
    const float gain = rampInDecibels ? decibelsToFactor (decibelRamp.getNextValue()) : gainRamp.getNextValue();
    return (gain - 1.0f) * amount + 1.0f;
}

void GainProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels)
{
    applyPendingGain();

    const bool ramping = rampInDecibels ? decibelRamp.isSmoothing() : gainRamp.isSmoothing();

    if (! ramping)
    {
        const float factor = nextFactor();

        if (factor != 1.0f)
            for (int channel = 0; channel < numOutputChannels; ++channel)
                juce::FloatVectorOperations::multiply (out[channel], factor, numSamples);

        return;
    }

    for (int i = 0; i < numSamples; ++i)
    {
        const float factor = nextFactor();

        for (int channel = 0; channel < numOutputChannels; ++channel)
            out[channel][i] *= factor;
    }
}
} // namespace QEL
