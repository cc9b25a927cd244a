#pragma once

#include "chain/ReverbProcessor.h"
#include "dsp/dynamics/MixProcessor.h"

namespace tessaro::dsp
{
/** The reverb stage of the Space module: the engine holder blended with its own dry signal. */
class ReverbWrapperProcessor : public juce::QELProcessorBase
{
public:
    ReverbWrapperProcessor();

    /** Prepares the holder, the blend and the dry copy. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Copies the dry signal, runs the holder in place and blends the copy back. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Reverb amount in percent: the blend's wet share. */
    void setAmount (float percent) { blend.setMix (percent / 100.0f); }

    ReverbProcessor reverb;
    QEL::MixProcessor blend;

private:
    juce::AudioBuffer<float> dry;
};
} // namespace tessaro::dsp
