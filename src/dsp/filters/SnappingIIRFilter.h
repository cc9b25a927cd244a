#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace QEL
{
/** A juce::IIRFilter section with the same float arithmetic and snapping, inline and without a lock:
    processSamples runs as one-sample calls of juce::IIRFilter::processSamples do (both state values snapped
    to zero after every sample, where a block call snaps only at its end), and processSingleSampleRaw as
    juce::IIRFilter::processSingleSampleRaw (the output snapped). Loops over a block stay sample-exact. */
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

    /** Filters one sample, snapping the output to zero below 1e-8. */
    float processSingleSampleRaw (float in) noexcept
    {
        float out = c[0] * in + v1;
        JUCE_SNAP_TO_ZERO (out);
        v1 = c[1] * in - c[3] * out + v2;
        v2 = c[2] * in - c[4] * out;
        return out;
    }

private:
    float c[5] = { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };
    float v1 = 0.0f, v2 = 0.0f;
};
} // namespace QEL
