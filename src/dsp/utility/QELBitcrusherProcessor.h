#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace juce
{
/** Reduces bit depth (truncation towards zero to a multiple of 2^-bitDepth) and sample rate (each group
    of downsampleFactor samples holds the first one's output), mixed with the input by crushMix.
    Hold groups restart at the start of every block. */
class QELBitcrusherProcessor : public QELProcessorBase
{
public:
    QELBitcrusherProcessor();
    ~QELBitcrusherProcessor() override;

    /** The base's preparation. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** The base's reset. */
    void reset() override;
    /** Crushes out in place; in is not read. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;

    /** Quantisation step is 2^-bitDepth. */
    float bitDepth = 32.0f;
    /** Hold length in samples; 1 or less means no hold. */
    int downsampleFactor = 1;
    /** Wet proportion of the crushed signal, 0 to 1. */
    float crushMix = 1.0f;

private:
    void crushChannel (float* samples, int numSamples) const noexcept;
};
} // namespace juce
