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

void MixProcessor::mixSample (const float* const* in, float* const* out, int index, int numChannels,
                              float mix) const noexcept
{
    float wetGain = mix;
    float dryGain = 1.0f - mix;

    if (mixLaw == equalLevelLaw)
    {
        wetGain = 2.0f * std::min (mix, 0.5f);
        dryGain = 2.0f * std::min (1.0f - mix, 0.5f);
    }

    for (int channel = 0; channel < numChannels; ++channel)
        out[channel][index] = out[channel][index] * wetGain + in[channel][index] * dryGain;
}

void MixProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int, int numOutputChannels)
{
    applyPendingMix();

    for (int i = 0; i < numSamples; ++i)
        mixSample (in, out, i, numOutputChannels, mixRamp.getNextValue());
}
} // namespace QEL
