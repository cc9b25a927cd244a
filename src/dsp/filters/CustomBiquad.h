#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace QEL
{
/** A double-precision second-order section in one of four realisations.

    The coefficient set is a0, a1, a2 (feed-forward), b1, b2 (feedback, subtracted), then the wet and dry
    factors c0 and d0, which the kernel carries for its owner but does not apply. */
class CustomBiquad : public juce::QELProcessorBase
{
public:
    /** Index of each value in coeffs. */
    enum Coefficient
    {
        a0,
        a1,
        a2,
        b1,
        b2,
        c0,
        d0,
        numCoefficients
    };

    /** Index of each value in state. */
    enum StateValue
    {
        x1,
        x2,
        y1,
        y2,
        numStateValues
    };

    /** The realisations structure can name. */
    enum Structure
    {
        directForm = 0,
        canonicalForm = 1,
        transposedDirectForm = 2,
        transposedCanonicalForm = 3
    };

    CustomBiquad() = default;
    /** Nothing beyond the base. */
    ~CustomBiquad() override = default;

    /** Clears the dry path and the four state values. */
    void reset() override;

    /** Runs one sample through the current structure; an unknown structure passes it through. */
    double processAudioSample (double x) noexcept;

    double coeffs[numCoefficients] = {};
    double state[numStateValues] = {};
    int structure = directForm;
};
} // namespace QEL
