#pragma once

#include "QELSlider.h"

namespace juce
{
/** A parameter slider that paints nothing (a drag surface over something else), optionally inverted. */
class InvisibleSlider : public QELSlider
{
public:
    using QELSlider::QELSlider;
    ~InvisibleSlider() override = default;

    /** Draws nothing. */
    void paint (Graphics&) override {}

    /** The value for a proportion, taken from the other end when inverted. */
    double proportionOfLengthToValue (double proportion) override
    {
        return QELSlider::proportionOfLengthToValue (inverted ? 1.0 - proportion : proportion);
    }

    /** The proportion of a value, measured from the other end when inverted. */
    double valueToProportionOfLength (double value) override
    {
        const double p = QELSlider::valueToProportionOfLength (value);
        return inverted ? 1.0 - p : p;
    }

    bool inverted = false;
};
} // namespace juce
