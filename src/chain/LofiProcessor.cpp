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

// Both channels through the five stages side by side, in two lanes of a float vector: each lane does
// voice's arithmetic in its order. The stage's own snap leaves its output either 0 or above 1e-8 in
// size, so voice's second snap changes nothing and is left out here.
void LofiProcessor::voicePair (float* left, float* right, int numSamples, bool heard) noexcept
{
    using Lanes = float __attribute__ ((vector_size (16)));
    using Mask = int __attribute__ ((vector_size (16)));
    Lanes b0[numStages], b1[numStages], b2[numStages], a1[numStages], a2[numStages], v1[numStages], v2[numStages];
    for (int s = 0; s < numStages; ++s)
    {
        const float* l = stages[0][s].getCoefficients();
        const float* r = stages[1][s].getCoefficients();
        b0[s] = Lanes { l[0], r[0], 0.0f, 0.0f };
        b1[s] = Lanes { l[1], r[1], 0.0f, 0.0f };
        b2[s] = Lanes { l[2], r[2], 0.0f, 0.0f };
        a1[s] = Lanes { l[3], r[3], 0.0f, 0.0f };
        a2[s] = Lanes { l[4], r[4], 0.0f, 0.0f };
        float lv1, lv2, rv1, rv2;
        stages[0][s].getState (lv1, lv2);
        stages[1][s].getState (rv1, rv2);
        v1[s] = Lanes { lv1, rv1, 0.0f, 0.0f };
        v2[s] = Lanes { lv2, rv2, 0.0f, 0.0f };
    }
    const Lanes below = { -1.0e-8f, -1.0e-8f, -1.0e-8f, -1.0e-8f }, above = { 1.0e-8f, 1.0e-8f, 1.0e-8f, 1.0e-8f };
    const Lanes factor = { outputFactor, outputFactor, outputFactor, outputFactor };

    for (int i = 0; i < numSamples; ++i)
    {
        Lanes y = { left[i], right[i], 0.0f, 0.0f };
        for (int s = 0; s < numStages; ++s)
        {
            const Lanes x = y;
            y = b0[s] * x + v1[s];
            const Mask kept = (y < below) | (y > above);
            y = (Lanes) ((Mask) y & kept);
            v1[s] = b1[s] * x - a1[s] * y + v2[s];
            v2[s] = b2[s] * x - a2[s] * y;
        }
        y = y * factor;
        if (heard)
        {
            left[i] = y[0];
            right[i] = y[1];
        }
    }

    for (int s = 0; s < numStages; ++s)
    {
        stages[0][s].setState (v1[s][0], v2[s][0]);
        stages[1][s].setState (v1[s][1], v2[s][1]);
    }
}

void LofiProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels)
{
    fade.follow (active.load());
    const int channels = std::min (numOutputChannels, 2);

    if (! fade.isFading())
    {
        const bool heard = fade.isFullyOn();
        if (channels == 2 && out[0] != out[1])
        {
            voicePair (out[0], out[1], numSamples, heard);
            return;
        }

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
