#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace tessaro::dsp
{
/** The Vintage Tape shaper: a soft clipper, atan (x), per sample. */
class VintageTapeProcessor : public juce::QELProcessorBase
{
public:
    VintageTapeProcessor();

    /** Shapes one sample in place. */
    void processImpl (float* sample, int channel) override;
    using juce::QELProcessorBase::processImpl;

    /** The shaping function. */
    float (*shape) (float) = nullptr;
};
} // namespace tessaro::dsp
