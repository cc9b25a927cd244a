#pragma once

#include "dsp/base/LinearRamp.h"

#include <cmath>
#include <limits>

namespace CloudSeed
{
/** Moves a modulation phase on by `cycles`, wrapped back into [0, 1]. */
inline void advancePhase (double& phase, double cycles) noexcept
{
    phase += cycles;
    if (phase > 1.0)
        phase = std::fmod (phase, 1.0);
}

/** One step of a modulation depth: hands the ramp `target` only when it differs from the one handed over
    last (NaN: none since the ramp was reset; handing the same target again would restart the ramp's steps),
    then returns the ramp's next value. */
inline float stepDepth (QEL::LinearRamp<float>& ramp, float target, float& lastTarget) noexcept
{
    if (! (target == lastTarget))
    {
        ramp.setTargetValue (target);
        lastTarget = target;
    }
    return ramp.getNextValue();
}

/** Gives a depth ramp `steps` steps, ends any running ramp at `target`, and makes that the depth a restart
    returns to (call while no block is processed). */
inline void rampDepthOver (QEL::LinearRamp<float>& ramp, float target, int steps, float& prepared,
                           float& lastTarget) noexcept
{
    ramp.setTargetValue (target);
    ramp.reset (steps);
    prepared = ramp.getTargetValue();
    lastTarget = std::numeric_limits<float>::quiet_NaN();
}

/** Ends a depth ramp at `target` and makes that the depth a restart returns to (call while no block is
    processed). */
inline void settleDepth (QEL::LinearRamp<float>& ramp, float target, float& prepared, float& lastTarget) noexcept
{
    prepared = target;
    ramp.setCurrentAndTargetValue (prepared);
    lastTarget = std::numeric_limits<float>::quiet_NaN();
}
} // namespace CloudSeed
