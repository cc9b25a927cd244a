#include "dsp/stereo/NarrowerProcessor.h"

namespace QEL
{
namespace
{
    constexpr float amountRampSeconds = 0.05f;
} // namespace

void NarrowerProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    QELProcessorBase::prepare (spec);
    amountRamp.setTargetValue (targetAmount.load (std::memory_order_relaxed));
    amountRamp.reset (spec.sampleRate, (double) amountRampSeconds);
}

void NarrowerProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels)
{
    amountRamp.setTargetValue (targetAmount.load (std::memory_order_relaxed));

    if (numOutputChannels != 2)
    {
        amount = amountRamp.skip (numSamples);
        return;
    }

    float* left = out[0];
    float* right = out[1];
    for (int i = 0; i < numSamples; ++i)
    {
        const float a = amountRamp.getNextValue();
        amount = a;
        const float g = (1.0f - a) * 0.5f + 0.5f;
        const float l = left[i];
        const float r = right[i];
        left[i] = g * (l + a * r);
        right[i] = g * (r + a * l);
    }
}
} // namespace QEL
