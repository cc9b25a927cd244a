#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/filters/StateVariableTPTFilter.h"

namespace QEL
{
/** A block around a topology-preserving state-variable filter (low-pass, 1000 Hz, resonance 1/sqrt 2
    until set). Filters one or two output channels in place; after each block, states of magnitude 1e-8 or
    less are set to zero. */
template <typename SampleType> class SVFProcessor : public juce::QELProcessorBase
{
public:
    SVFProcessor();
    ~SVFProcessor() override;

    /** The base's preparation, then the filter's (rate, one state pair per channel, cleared). */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry path and the filter states. */
    void reset() override;
    /** Filters out in place, channel 0 and, when there are two, channel 1; in is not read. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;

    /** The filter itself: type, cut-off and resonance are set on it directly. */
    QEL::StateVariableTPTFilter<SampleType> filter;
};
} // namespace QEL
