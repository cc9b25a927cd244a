#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace QEL
{
/** True when a new ramp target is the same as the old one: equal within an absolute tolerance of the
    smallest normal value or a relative tolerance of one epsilon of the larger magnitude. Values that are
    not finite compare exactly. */
template <typename FloatType> bool approximatelyEqualTarget (FloatType a, FloatType b) noexcept
{
    if (! (std::isfinite (a) && std::isfinite (b)))
        return a == b;

    const FloatType diff = std::abs (a - b);
    return diff <= std::numeric_limits<FloatType>::min() ||
           diff <= std::numeric_limits<FloatType>::epsilon() * std::max (std::abs (a), std::abs (b));
}

/** A value that moves towards its target in equal steps over a set number of samples.

    A new target equal to the current one (see approximatelyEqualTarget) changes nothing, a ramp length
    of 0 jumps to the target at once, and the last step lands exactly on the target.

    Not thread-safe: the audio thread owns it. Other threads hand their targets over through atomics
    that the owner reads at the start of a block. */
template <typename FloatType> class LinearRamp
{
public:
    /** Starts at value and target 0, with no ramp and a ramp length of 0. */
    LinearRamp() noexcept = default;

    /** Starts at the given value, with no ramp and a ramp length of 0. */
    explicit LinearRamp (FloatType initialValue) noexcept : currentValue (initialValue), target (initialValue) {}

    /** Sets the ramp length to floor (rampSeconds * sampleRate) samples and jumps to the target. */
    void reset (double sampleRate, double rampSeconds) noexcept { reset ((int) std::floor (rampSeconds * sampleRate)); }

    /** Sets the ramp length in samples and jumps to the target. */
    void reset (int numSteps) noexcept
    {
        stepsToTarget = numSteps;
        setCurrentAndTargetValue (target);
    }

    /** Starts a ramp from the current value to newValue; jumps there when the ramp length is 0 or less. */
    void setTargetValue (FloatType newValue) noexcept
    {
        if (approximatelyEqualTarget (newValue, target))
            return;

        if (stepsToTarget <= 0)
        {
            setCurrentAndTargetValue (newValue);
            return;
        }

        target = newValue;
        countdown = stepsToTarget;
        step = (target - currentValue) / (FloatType) countdown;
    }

    /** Sets value and target at once and ends any ramp. */
    void setCurrentAndTargetValue (FloatType newValue) noexcept
    {
        target = currentValue = newValue;
        countdown = 0;
    }

    /** Advances one sample and returns the new value. */
    FloatType getNextValue() noexcept
    {
        if (! isSmoothing())
            return target;

        --countdown;

        if (isSmoothing())
            currentValue += step;
        else
            currentValue = target;

        return currentValue;
    }

    /** Advances numSamples samples at once and returns the new value; a count of 0 or less changes nothing. */
    FloatType skip (int numSamples) noexcept
    {
        if (numSamples <= 0)
            return currentValue;

        if (numSamples >= countdown)
        {
            setCurrentAndTargetValue (target);
            return target;
        }

        currentValue += step * (FloatType) numSamples;
        countdown -= numSamples;
        return currentValue;
    }

    /** True while a ramp is running. */
    bool isSmoothing() const noexcept { return countdown > 0; }

    /** The value reached so far. */
    FloatType getCurrentValue() const noexcept { return currentValue; }

    /** The value the ramp heads to. */
    FloatType getTargetValue() const noexcept { return target; }

    /** The length of the next ramp in samples. */
    int getRampSteps() const noexcept { return stepsToTarget; }

    /** Samples left in the running ramp. */
    int getCountdown() const noexcept { return countdown; }

    /** The change per sample of the running ramp. */
    FloatType getStep() const noexcept { return step; }

private:
    FloatType currentValue = 0;
    FloatType target = 0;
    int countdown = 0;
    FloatType step = 0;
    int stepsToTarget = 0;
};
} // namespace QEL
