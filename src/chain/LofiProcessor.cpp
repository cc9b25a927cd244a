#include "chain/LofiProcessor.h"

namespace tessaro::dsp
{
namespace
{
    const float outputFactor = std::pow (10.0f, -0.3f);
} // namespace

LofiProcessor::LofiProcessor() = default;

void LofiProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);

    const double fs = newSampleRate;
    const double butterworthQ = 1.0 / std::sqrt (2.0);
    const juce::IIRCoefficients designs[numStages] = {
        juce::IIRCoefficients::makeLowPass (fs, 3000.0, butterworthQ),
        juce::IIRCoefficients::makeHighPass (fs, 350.0, butterworthQ),
        juce::IIRCoefficients::makePeakFilter (fs, 1500.0, 1.5, std::pow (10.0, 0.45)),
        juce::IIRCoefficients::makePeakFilter (fs, 2500.0, 2.5, std::pow (10.0, 0.45)),
        juce::IIRCoefficients::makeLowShelf (fs, 273.0, 1.0, std::pow (10.0, -0.75)),
    };

    for (auto& channel : stages)
        for (int s = 0; s < numStages; ++s)
        {
            channel[s].setCoefficients (designs[s]);
            channel[s].reset();
        }

    fade.prepare (newSampleRate, fadeSeconds, active.load());
}

void LofiProcessor::setBypassSmooth (bool shouldBeActive)
{
    active.store (shouldBeActive);
}

void LofiProcessor::setBypass (bool shouldBeActive)
{
    fade.jumpNext();
    active.store (shouldBeActive);
}

float LofiProcessor::voice (float x, int channel) noexcept
{
    float y = x;
    for (auto& stage : stages[channel])
    {
        y = stage.processSingleSampleRaw (y);
        if (std::abs (y) < 1.0e-8f)
            y = 0.0f;
    }
    return y * outputFactor;
}

void LofiProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels)
{
    fade.follow (active.load());
    const int channels = std::min (numOutputChannels, 2);

    if (! fade.isFading())
    {
        const bool heard = fade.isFullyOn();
        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < numSamples; ++i)
            {
                const float y = voice (out[ch][i], ch);
                if (heard)
                    out[ch][i] = y;
            }
        return;
    }

    for (int i = 0; i < numSamples; ++i)
    {
        const float w = fade.nextGain();
        for (int ch = 0; ch < channels; ++ch)
        {
            const float x = out[ch][i];
            out[ch][i] = x + (voice (x, ch) - x) * w;
        }
    }
}
} // namespace tessaro::dsp
