#pragma once

/** Low- and high-shelf coefficients for the EQ module and its curve display.

    Each set holds five floats in the order -a1/a0, -a2/a0, b0/a0, b1/a0, b2/a0. A cut is the exact inverse
    of the boost of the same size; below -9 dB the shelf's numerator moves on to a double zero (at 0 Hz for
    the low shelf, at Nyquist for the high shelf), reaching it at -12 dB, so a deep cut becomes a
    second-order high-pass (low shelf) or low-pass (high shelf). */
struct eq
{
    /** Designs lowShelf; f is frequency / sample rate (clamped to 0..0.5), q is clamped to 0.1..10. */
    void calclo (float f, float gainDb, float q);
    /** Designs highShelf; f is frequency / sample rate (clamped to 0..0.5), q is clamped to 0.1..10. */
    void calchi (float f, float gainDb, float q);

    float lowShelf[5] = { 0.0f, 0.0f, 1.0f, 0.0f, 0.0f };
    float highShelf[5] = { 0.0f, 0.0f, 1.0f, 0.0f, 0.0f };
};
