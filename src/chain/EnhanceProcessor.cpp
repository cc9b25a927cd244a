#include "chain/EnhanceProcessor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessaro::dsp
{
EnhanceProcessor::EnhanceProcessor()
{
    smoothCrossfade = true;
    for (auto& c : airCompressors)
    {
        c.setAttack (0.01f);
        c.setRelease (100.0f);
        c.setThresh (-40.0f);
        c.setRatio (0.02f);
        c.knee.store (0.0f);
        c.autoMakeup.store (true);
    }

    setDeEss (0.0f);
    setDeNoise (0.0f);
    setAir (0.0f);
}

void EnhanceProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
    const double fs = spec.sampleRate;

    for (auto& c : airCompressors)
    {
        c.initRuntime();
        c.setSampleRate (fs);
    }

    // Second-order Butterworth high-pass, kept below Nyquist at low rates.
    const double k = std::tan (juce::MathConstants<double>::pi * std::min ((double) airCutOff, 0.45 * fs) / fs);
    const double n = 1.0 / (1.0 + std::sqrt (2.0) * k + k * k);
    const juce::IIRCoefficients highPass (n, -2.0 * n, n, 1.0, 2.0 * n * (k * k - 1.0),
                                          n * (1.0 - std::sqrt (2.0) * k + k * k));
    for (auto& f : airFilters)
    {
        f.setCoefficients (highPass);
        f.reset();
    }
    const auto pieceLength = (size_t) std::max ((int) spec.maximumBlockSize, 1);
    for (auto& band : airBand)
        band.assign (pieceLength, 0.0f);
    airGains.assign (pieceLength, 0.0f);

    airAmount.reset (fs, (double) 0.05f);
    airAmount.setCurrentAndTargetValue (airTarget.load());

    deNoise.prepare (spec);
    deEss.prepare (spec);
}

void EnhanceProcessor::reset()
{
    ModuleProcessorBase::reset();
    for (auto& f : airFilters)
        f.reset();
    for (auto& c : airCompressors)
        c.reset();
    airAmount.setCurrentAndTargetValue (airTarget.load());
    airResting = false;
    deNoise.reset();
    deEss.reset();
}

void EnhanceProcessor::setAir (float percent)
{
    airTarget.store (percent / 100.0f);
}

void EnhanceProcessor::setDeEss (float percent)
{
    deEssAmount.store (juce::jlimit (0.0f, 100.0f, percent) / 100.0f);
    deEss.setAmount (deEssAmount.load());
}

void EnhanceProcessor::setDeNoise (float percent)
{
    deNoise.setBypassSmooth (percent > 0.0f);
    deNoise.setThreshold (deNoiseThresholdDbFor (percent));
}

// The air ramp advances once per sample, for both channels together: its gains are worked out first.
void EnhanceProcessor::processAir (float* const* out, int numSamples, int numChannels) noexcept
{
    airAmount.setTargetValue (airTarget.load());

    // At an amount resting at 0 the band's gain is 0 and the signal passes as it is: the band waits, and
    // starts again from silence when the amount leaves 0.
    if (airAmount.getCurrentValue() == 0.0f && airAmount.getTargetValue() == 0.0f)
    {
        airResting = true;
        return;
    }

    if (airResting)
    {
        airResting = false;
        for (auto& f : airFilters)
            f.reset();
        for (auto& c : airCompressors)
            c.initRuntime();
    }

    const int channels = std::min (numChannels, 2);
    const int pieceLength = (int) airGains.size();
    if (pieceLength == 0)
        return; // not prepared
    // The gain is a function of the amount alone: it is worked out again only when the amount moves.
    float lastAmount = std::numeric_limits<float>::quiet_NaN();
    float g = 0.0f;
    for (int start = 0; start < numSamples; start += pieceLength)
    {
        const int n = std::min (pieceLength, numSamples - start);
        for (int i = 0; i < n; ++i)
        {
            const float a = airAmount.getNextValue();
            if (! (a == lastAmount))
            {
                lastAmount = a;
                const float db = 110.0f * a - 100.0f;
                g = db > -100.0f ? std::pow (10.0f, db / 20.0f) : 0.0f;
            }
            airGains[(size_t) i] = g;
        }

        // Each channel's band is filtered and compressed on its own, a piece at a time, then added.
        for (int ch = 0; ch < channels; ++ch)
        {
            float* const x = out[ch] + start;
            float* const y = airBand[ch].data();
            std::copy (x, x + n, y);
            airFilters[ch].processSamples (y, n);
            airCompressors[ch].processMonoBlock (y, n);
            for (int i = 0; i < n; ++i)
                x[i] = x[i] + airGains[(size_t) i] * y[i];
        }
    }
}

void EnhanceProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                    int numChannels)
{
    processAir (out, numSamples, numChannels);
    deNoise.process (out, out, numSamples, numInputChannels, numChannels);
    deEss.process (out, out, numSamples, numInputChannels, numChannels);
}
} // namespace tessaro::dsp
