#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/pitch/SmbPitchShift.h"

#include <atomic>
#include <memory>

namespace QEL
{
/** Stereo phase-vocoder pitch shift: one SmbPitchShift per channel, both at pitchFactor. The output lags
    the input by 896 samples. The vocoders keep their state through a new preparation; reset clears them. */
class PitchShifterProcessor_V2 : public juce::QELProcessorBase
{
public:
    PitchShifterProcessor_V2();
    ~PitchShifterProcessor_V2() override;

    /** The base's preparation, and scratch for blocks of the prepared size. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** The base's reset, and both vocoders cleared in place as new ones start. */
    void reset() override;
    /** Shifts in[0] (and in[1] for two outputs, else in[0] again) into out. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** The pitch factor of both channels (any thread). */
    std::atomic<float> pitchFactor { 1.0f };

private:
    std::unique_ptr<juce::SmbPitchShift> leftShifter, rightShifter;
    juce::AudioBuffer<float> scratch;
};
} // namespace QEL
