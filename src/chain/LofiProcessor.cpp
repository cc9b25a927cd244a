#include "chain/LofiProcessor.h"

namespace tessaro::dsp
{
namespace
{
    const float outputFactor = std::pow (10.0f, -0.3f);
    // juce::IIRFilter snaps a section's output to zero below 1e-8 on Intel processors only.
    constexpr bool sectionSnaps = JUCE_INTEL != 0;
    constexpr float snapLevel = 1.0e-8f;
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

    for (int s = 0; s < numStages; ++s)
    {
        for (int k = 0; k < 5; ++k)
        {
            const float c = designs[s].coefficients[k];
            stages[s].c[k] = c;
            stages[s].lanes[k] = Lanes { c, c, c, c };
        }
        stages[s].v1 = stages[s].v2 = Lanes {};
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
    for (auto& stage : stages)
    {
        const float in = y;
        float out = stage.c[0] * in + stage.v1[channel];
        if (sectionSnaps && ! (out < -snapLevel || out > snapLevel))
            out = 0.0f;
        stage.v1[channel] = stage.c[1] * in - stage.c[3] * out + stage.v2[channel];
        stage.v2[channel] = stage.c[2] * in - stage.c[4] * out;
        y = std::abs (out) < snapLevel ? 0.0f : out;
    }
    return y * outputFactor;
}

LofiProcessor::Lanes LofiProcessor::voicePair (Lanes x) noexcept
{
    const LaneMask magnitudeBits = { 0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff };
    Lanes y = x;
    for (auto& stage : stages)
    {
        const Lanes in = y;
        const Lanes* c = stage.lanes;
        Lanes out = c[0] * in + stage.v1;
        if (sectionSnaps)
            out = (Lanes) ((LaneMask) out & ((out < -snapLevel) | (out > snapLevel)));
        stage.v1 = c[1] * in - c[3] * out + stage.v2;
        stage.v2 = c[2] * in - c[4] * out;
        const Lanes magnitude = (Lanes) ((LaneMask) out & magnitudeBits);
        y = (Lanes) ((LaneMask) out & ~(magnitude < snapLevel));
    }
    return y * outputFactor;
}

void LofiProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels)
{
    fade.follow (active.load());
    const int channels = std::min (numOutputChannels, 2);
    const bool fading = fade.isFading();
    const bool heard = fade.isFullyOn();

    if (channels == 2)
    {
        // Both channels side by side in the lanes of one loop.
        float* left = out[0];
        float* right = out[1];
        for (int i = 0; i < numSamples; ++i)
        {
            const Lanes x = { left[i], right[i], 0.0f, 0.0f };
            const Lanes y = voicePair (x);
            if (fading)
            {
                const float w = fade.nextGain();
                left[i] = x[0] + (y[0] - x[0]) * w;
                right[i] = x[1] + (y[1] - x[1]) * w;
            }
            else if (heard)
            {
                left[i] = y[0];
                right[i] = y[1];
            }
        }
        return;
    }

    for (int i = 0; channels == 1 && i < numSamples; ++i)
    {
        const float x = out[0][i];
        const float y = voice (x, 0);
        if (fading)
            out[0][i] = x + (y - x) * fade.nextGain();
        else if (heard)
            out[0][i] = y;
    }
}
} // namespace tessaro::dsp
