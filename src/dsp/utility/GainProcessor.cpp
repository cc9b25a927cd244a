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

    if (smoothShape)
    {
        retarget (gainRamp, gainStart, decibelsToFactor (gainDb));
        retarget (decibelRamp, decibelStart, gainDb);
        return;
    }

    gainRamp.setTargetValue (decibelsToFactor (gainDb));
    decibelRamp.setTargetValue (gainDb);
}

// A shaped change starts from the value it has reached, so turning back half-way makes no step.
void GainProcessor::retarget (LinearRamp<float>& ramp, float& start, float target) noexcept
{
    if (approximatelyEqualTarget (target, ramp.getTargetValue()))
        return;

    start = shapedValue (ramp, start);
    ramp.setCurrentAndTargetValue (start);
    ramp.setTargetValue (target);
}

float GainProcessor::shapedValue (const LinearRamp<float>& ramp, float start) noexcept
{
    if (! ramp.isSmoothing() || ramp.getRampSteps() <= 0)
        return ramp.getCurrentValue();

    const float position = 1.0f - (float) ramp.getCountdown() / (float) ramp.getRampSteps();
    const float shape = 0.5f - 0.5f * std::cos (juce::MathConstants<float>::pi * position);
    return start + (ramp.getTargetValue() - start) * shape;
}

float GainProcessor::nextValue (LinearRamp<float>& ramp, float start) noexcept
{
    const float linear = ramp.getNextValue();
    return smoothShape ? shapedValue (ramp, start) : linear;
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
    const float gain =
        rampInDecibels ? decibelsToFactor (nextValue (decibelRamp, decibelStart)) : nextValue (gainRamp, gainStart);
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
