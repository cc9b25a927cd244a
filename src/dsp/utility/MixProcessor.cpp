#include "dsp/utility/MixProcessor.h"

#include <algorithm>

namespace QEL
{
MixProcessor::MixProcessor() = default;

MixProcessor::~MixProcessor() = default;

void MixProcessor::setMix (float newMix)
{
    pendingMix.store (newMix);
    mixChanged.store (true);
}

void MixProcessor::applyPendingMix() noexcept
{
    if (mixChanged.exchange (false))
        mixRamp.setTargetValue (pendingMix.load());
}

void MixProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    applyPendingMix();
    mixRamp.reset (sampleRate, (double) rampSeconds);
}

std::pair<float, float> MixProcessor::gainsFor (float mix) const noexcept
{
    if (mixLaw == equalLevelLaw)
        return { 2.0f * std::min (mix, 0.5f), 2.0f * std::min (1.0f - mix, 0.5f) };
    return { mix, 1.0f - mix };
}

void MixProcessor::mixSample (const float* const* in, float* const* out, int index, int numChannels,
                              float mix) const noexcept
{
    const auto [wetGain, dryGain] = gainsFor (mix);

    for (int channel = 0; channel < numChannels; ++channel)
        out[channel][index] = out[channel][index] * wetGain + in[channel][index] * dryGain;
}

// The same arithmetic as mixSample, channel by channel over the block at one mix.
void MixProcessor::mixSteady (const float* const* in, float* const* out, int numSamples, int numChannels,
                              float mix) const noexcept
{
    const auto [wetGain, dryGain] = gainsFor (mix);

    // All wet: the processed signal stays as it is.
    if (wetGain == 1.0f && dryGain == 0.0f)
        return;

    for (int channel = 0; channel < numChannels; ++channel)
    {
        float* wet = out[channel];
        const float* dry = in[channel];
        for (int i = 0; i < numSamples; ++i)
            wet[i] = wet[i] * wetGain + dry[i] * dryGain;
    }
}

void MixProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int, int numOutputChannels)
{
    applyPendingMix();

    if (! mixRamp.isSmoothing())
    {
        mixSteady (in, out, numSamples, numOutputChannels, mixRamp.getNextValue());
        return;
    }

    for (int i = 0; i < numSamples; ++i)
        mixSample (in, out, i, numOutputChannels, mixRamp.getNextValue());
}
} // namespace QEL
