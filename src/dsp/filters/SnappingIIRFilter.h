#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace QEL
{
/** A juce::IIRFilter section run as one-sample calls run it: the same float arithmetic, with both state
    values snapped to zero after every sample (a block call to juce::IIRFilter snaps only at its end), but
    with no lock, so a loop over a whole block inlines and stays sample-exact with the one-sample calls. */
class SnappingIIRFilter
{
public:
    /** Takes the normalised coefficients of a design; the state is kept. */
    void setCoefficients (const juce::IIRCoefficients& design) noexcept
    {
        for (int k = 0; k < 5; ++k)
            c[k] = design.coefficients[k];
    }

    /** Clears the state. */
    void reset() noexcept { v1 = v2 = 0.0f; }

    /** Filters a block in place, sample by sample. */
    void processSamples (float* samples, int numSamples) noexcept
    {
        float lv1 = v1, lv2 = v2;
        for (int i = 0; i < numSamples; ++i)
        {
            const float in = samples[i];
            const float out = c[0] * in + lv1;
            samples[i] = out;
            lv1 = c[1] * in - c[3] * out + lv2;
            lv2 = c[2] * in - c[4] * out;
            JUCE_SNAP_TO_ZERO (lv1);
            JUCE_SNAP_TO_ZERO (lv2);
        }
        v1 = lv1;
        v2 = lv2;
    }

private:
    float c[5] = { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };
    float v1 = 0.0f, v2 = 0.0f;
};
} // namespace QEL
