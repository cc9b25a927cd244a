#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace QEL
{
/** Keeps the low end mono: a second-order Butterworth high-pass at cutoff on the side signal only, the mid
    signal untouched. Works on two channels; other channel counts pass unchanged. */
class MonoizerProcessor : public juce::QELProcessorBase
{
public:
    /** Builds the block with its side high-pass corner in Hz (designed at prepare). */
    explicit MonoizerProcessor (float cutoffHz = 400.0f) : cutoff (cutoffHz) {}
    /** Nothing beyond the base. */
    ~MonoizerProcessor() override = default;

    /** Prepares the base and designs the side high-pass at cutoff for the new rate. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** The base's reset and the side filter's states zeroed, as a new block has them. */
    void reset() override;
    /** High-passes the side signal of out in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** The side high-pass corner in Hz; takes effect at the next prepare. */
    float cutoff;

    /** The side filter: coefficients written under lock in prepare, and its two states. */
    struct SideFilter
    {
        juce::SpinLock lock;
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
        float s1 = 0.0f, s2 = 0.0f;
    } side;
};
} // namespace QEL
