#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/dynamics/QELGate.h"

#include <atomic>

namespace tessaro::dsp
{
/** The de-noise stage: an RMS-keyed 1:2 downward expander below a threshold. */
class BreathProcessor : public juce::QELProcessorBase
{
public:
    BreathProcessor();

    /** Base preparation; the gate takes the new rate. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Closes the gate and clears the dry path, as prepare leaves them. */
    void reset() override;
    /** Gates a stereo pair linked, or channel 0 alone for any other channel count. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Sets the gate threshold in dB. */
    void setThreshold (float db) { gate.setThresh (db); }

    /** The lowest gain in dB the gate applied during the last block (0 when it never attenuated). */
    float getBlockMinimumDb() const noexcept { return blockMinimum.load(); }

    juce::QELGateRms gate;

private:
    std::atomic<float> blockMinimum { 0.0f };
};
} // namespace tessaro::dsp
