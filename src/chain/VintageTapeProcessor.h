#pragma once

#include "dsp/base/QELProcessorBase.h"

#include <cmath>

namespace tessaro::dsp
{
/** The Vintage Tape shaper: a soft clipper, atan (x), per sample. */
class VintageTapeProcessor : public juce::QELProcessorBase
{
public:
    VintageTapeProcessor();

    /** Shapes one sample in place. */
    void processImpl (float* sample, int channel) override;
    /** Shapes every sample of the block in place, one plain loop per channel. */
    void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** The shaping function. */
    static float shape (float x) noexcept { return std::atan (x); }
};
} // namespace tessaro::dsp
