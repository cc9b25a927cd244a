#pragma once

#include "dsp/base/QELProcessorBase.h"

#include <atomic>

namespace QEL
{
/** A gain stage set in decibels, with a short linear ramp on every change.

    setGainDb may be called from any thread: it hands the new value over, and the audio thread applies it at
    the start of the next block (or in prepare). The ramps themselves belong to the audio thread. */
class GainProcessor : public juce::QELProcessorBase
{
public:
    /** Builds a stage at 0 dB, with no ramp running. */
    GainProcessor();
    ~GainProcessor() override;

    /** Sets the gain in dB; -100 dB or less is silence. Applied at the start of the next block. */
    void setGainDb (float newGainDb);

    /** Sets the ramp lengths for the new rate and ends any running change at its target. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** The base's preparation, then the ramp set-up once more. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry path and ends the gain ramps at their targets, as prepare does. */
    void reset() override;
    /** Multiplies out in place by the ramped factor; in is not read. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;

    /** The linear factor for a gain in dB: 10^(dB/20), or exactly 0 at -100 dB and below. */
    static float decibelsToFactor (float gainDb) noexcept;

    /** Length of a gain change in seconds. */
    float rampSeconds = 0.01f;
    /** Depth of the stage: the applied factor is 1 + amount * (gain - 1). */
    float amount = 1.0f;
    /** When true the ramp runs on the dB value, else on the linear factor. */
    bool rampInDecibels = false;
    /** When true every change follows a raised cosine over rampSeconds instead of a straight line, so a
        large step starts and ends without a corner the ear hears as a click. */
    bool smoothShape = false;
    /** The linear gain factor (audio thread). */
    LinearRamp<float> gainRamp { 1.0f };
    /** The gain in dB (audio thread). */
    LinearRamp<float> decibelRamp { 0.0f };

private:
    void applyPendingGain() noexcept;
    void setUpRamps() noexcept;
    float nextFactor() noexcept;
    float nextValue (LinearRamp<float>& ramp, float start) noexcept;
    void retarget (LinearRamp<float>& ramp, float& start, float target) noexcept;
    static float shapedValue (const LinearRamp<float>& ramp, float start) noexcept;

    float gainStart = 1.0f, decibelStart = 0.0f; // where a shaped change began (audio thread)

    std::atomic<float> pendingGainDb { 0.0f };
    std::atomic<bool> gainChanged { false };
};
} // namespace QEL
