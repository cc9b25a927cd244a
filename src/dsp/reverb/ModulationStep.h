#pragma once

#include "dsp/base/LinearRamp.h"

#include <cmath>

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
} // namespace CloudSeed
