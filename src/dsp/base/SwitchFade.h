#pragma once

#include "dsp/base/LinearRamp.h"

#include <atomic>
#include <cmath>

namespace QEL
{
/** The gain of a switched signal that fades in and out sample by sample with a raised-cosine curve, so a
    switch never steps, whatever the block size: 0.5 - 0.5 cos (pi r) for a ramp r moving linearly
    between 0 and 1.

    The switch itself is the owner's (an atomic it reads at the start of each block and hands to follow);
    jumpNext may be called from any thread to make the next change instant. Everything else is for the
    audio thread, or for prepare. */
class SwitchFade
{
public:
    /** Sets the fade length and stands at the switch, without a fade. */
    void prepare (double sampleRate, double seconds, bool on) noexcept
    {
        ramp.reset ((int) std::floor (seconds * sampleRate));
        ramp.setCurrentAndTargetValue (on ? 1.0f : 0.0f);
        jumpRequested.store (false);
    }

    /** Makes the next change of the switch instant. */
    void jumpNext() noexcept { jumpRequested.store (true); }

    /** At the start of a block: heads for the switch's state, fading unless a jump was asked for. */
    void follow (bool on) noexcept
    {
        const float target = on ? 1.0f : 0.0f;
        if (jumpRequested.exchange (false))
            ramp.setCurrentAndTargetValue (target);
        ramp.setTargetValue (target);
    }

    /** True while the gain moves. */
    bool isFading() const noexcept { return ramp.isSmoothing(); }
    /** True when the switched signal is fully in and not fading. */
    bool isFullyOn() const noexcept { return ! isFading() && ramp.getCurrentValue() == 1.0f; }

    /** The gain for the next sample. */
    float nextGain() noexcept { return 0.5f - 0.5f * std::cos (3.14159265358979f * ramp.getNextValue()); }

private:
    std::atomic<bool> jumpRequested { false };
    LinearRamp<float> ramp { 1.0f };
};
} // namespace QEL
