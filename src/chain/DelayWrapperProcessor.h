#pragma once

#include "chain/DelayProcessor.h"
#include "dsp/dynamics/MixProcessor.h"

namespace tessaro::dsp
{
/** The echo stage of the Space module: the echo blended with its own dry signal. */
class DelayWrapperProcessor : public juce::QELProcessorBase
{
public:
    DelayWrapperProcessor();

    /** Prepares the echo, the blend and the dry copy. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Copies the dry signal, runs the echo in place and blends the copy back. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Echo amount in percent: the blend's wet share. */
    void setAmount (float percent) { blend.setMix (percent / 100.0f); }

    DelayProcessor delay;
    QEL::MixProcessor blend;

private:
    juce::AudioBuffer<float> dry;
};
} // namespace tessaro::dsp
