#pragma once

#include "dsp/base/QELProcessorBase.h"

#include <atomic>

namespace QEL
{
/** Narrows a stereo pair: with a the ramped amount and g = (1 - a)·0.5 + 0.5, L' = g·(L + a·R) and
    R' = g·(R + a·L). Amount 0 leaves the pair alone, 1 gives the mono mix on both channels. Other channel
    counts pass unchanged while the ramp still advances. */
class NarrowerProcessor : public juce::QELProcessorBase
{
public:
    NarrowerProcessor() = default;
    /** Nothing beyond the base. */
    ~NarrowerProcessor() override = default;

    /** Prepares the base; the amount ramp gets 0.05 s at the new rate and jumps to its target. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Narrows out in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Sets the amount the ramp heads to (0 to 1); safe from any thread, applied at the next block. */
    void setTargetAmount (float newAmount) noexcept { targetAmount.store (newAmount, std::memory_order_relaxed); }

    /** True while the ramped amount has not reached the last amount set (audio thread). */
    bool isMoving() const noexcept
    {
        return amountRamp.isSmoothing() ||
               amountRamp.getCurrentValue() != targetAmount.load (std::memory_order_relaxed);
    }

    /** The amount used for the latest sample (audio thread). */
    float amount = 0.0f;
    /** The ramped amount (audio thread). */
    LinearRamp<float> amountRamp;

private:
    std::atomic<float> targetAmount { 0.0f };
};
} // namespace QEL
