#include "dsp/filters/GlidingBiquad.h"

namespace QEL
{
GlidingBiquad::Coefficients GlidingBiquad::normalise (const std::array<float, 6>& design) noexcept
{
    const float a0 = design[3];
    const float a0Inverse = a0 != 0.0f ? 1.0f / a0 : 0.0f;
    return { design[0] * a0Inverse, design[1] * a0Inverse, design[2] * a0Inverse, design[4] * a0Inverse,
             design[5] * a0Inverse };
}

GlidingBiquad::Coefficients GlidingBiquad::normalise (const std::array<float, 4>& design) noexcept
{
    const float a0 = design[2];
    const float a0Inverse = a0 != 0.0f ? 1.0f / a0 : 0.0f;
    return { design[0] * a0Inverse, design[1] * a0Inverse, 0.0f, design[3] * a0Inverse, 0.0f };
}

void GlidingBiquad::setCoefficients (const Coefficients& newCoefficients) noexcept
{
    const bool moving = stepsLeft > 0 || arrivedUnsettled;
    stepsLeft = 0;
    c = newCoefficients;

    if (moving)
    {
        arrivedUnsettled = true;
        settle();
    }
}

void GlidingBiquad::glideTo (const Coefficients& newTarget, int numSteps) noexcept
{
    if (numSteps <= 0)
    {
        setCoefficients (newTarget);
        return;
    }

    target = newTarget;
    stepsLeft = numSteps;
    for (std::size_t i = 0; i < c.size(); ++i)
        step[i] = (target[i] - c[i]) / (float) numSteps;
}

void GlidingBiquad::advance() noexcept
{
    if (stepsLeft <= 0)
        return;

    if (--stepsLeft > 0)
    {
        for (std::size_t i = 0; i < c.size(); ++i)
            c[i] += step[i];
        return;
    }

    c = target;
    arrivedUnsettled = true;
}

// The transposed state that makes the still form continue the history exactly.
void GlidingBiquad::settle() noexcept
{
    if (stepsLeft > 0 || ! arrivedUnsettled)
        return;

    arrivedUnsettled = false;
    for (auto& s : states)
    {
        s.v1 = c[1] * s.x1 + c[2] * s.x2 - c[3] * s.y1 - c[4] * s.y2;
        s.v2 = c[2] * s.x1 - c[4] * s.y1;
    }
}

void GlidingBiquad::reset() noexcept
{
    states.fill ({});
}

void GlidingBiquad::snapToZero() noexcept
{
    for (auto& s : states)
        for (auto* v : { &s.v1, &s.v2 })
            if (! (*v < -1.0e-8f || *v > 1.0e-8f))
                *v = 0.0f;
}
} // namespace QEL
