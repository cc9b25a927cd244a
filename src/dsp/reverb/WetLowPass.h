#pragma once

#include <juce_dsp/juce_dsp.h>

namespace QEL
{
/** A second-order filter in transposed direct form II with the arithmetic of juce::dsp::IIR::Filter's
    processSample, inlined so that a block runs without a call per sample. The coefficients are set
    while no block is processed. */
class WetLowPass
{
public:
    /** Takes a second-order design (five normalised coefficients: b0, b1, b2, a1, a2). */
    void setCoefficients (const juce::dsp::IIR::Coefficients<float>& design) noexcept
    {
        const auto* raw = design.getRawCoefficients();
        for (int i = 0; i < 5; ++i)
            c[i] = raw[i];
    }

    /** Zeroes the state. */
    void reset() noexcept { s0 = s1 = 0.0f; }

    /** Filters n samples in place. */
    void process (float* samples, int n) noexcept
    {
        for (int i = 0; i < n; ++i)
        {
            const float x = samples[i];
            const float y = (c[0] * x) + s0;
            s0 = (c[1] * x) - (c[3] * y) + s1;
            s1 = (c[2] * x) - (c[4] * y);
            samples[i] = y;
        }
    }

private:
    float c[5] { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };
    float s0 = 0.0f, s1 = 0.0f;
};
} // namespace QEL
