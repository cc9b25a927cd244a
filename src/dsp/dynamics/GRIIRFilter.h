#pragma once

#include <cmath>

/** A biquad designed with the audio-EQ cookbook formulas, in double precision (direct form I).

    Types: 0 low-pass, 1 high-pass, 2 low shelf, 3 high shelf, 4 band-pass with peak gain q, 5 band-pass
    with 0 dB peak, 6 notch, 7 peak, 8 all-pass. Denormal inputs and outputs become 0. */
class GRIIRFilter
{
public:
    /** Stores the settings and designs the section; the frequency is limited to 0.499 times the rate, and an
        unknown type keeps the previous coefficients. gain is a linear amplitude (shelves and peak). */
    void setCoeff (double newFrequency, double newGain, double newQ, int newType, int newSampleRate);
    /** Filters one sample. */
    double processSample (double x) noexcept;
    /** Clears the state. */
    void reset() noexcept;

    double q = 0.707;
    double gain = 1.0;
    double shelfA = 1.0;
    double frequency = 1000.0;
    double sampleRate = 44100.0;
    int type = 0;
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    double lastOutput = 0.0;

private:
    static double zeroIfDenormal (double value) noexcept
    {
        return std::fpclassify (value) == FP_SUBNORMAL ? 0.0 : value;
    }
};

// Inline: the levelling compressor runs it on every sample of its key.
inline double GRIIRFilter::processSample (double x) noexcept
{
    x = zeroIfDenormal (x);
    const double y = zeroIfDenormal (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    lastOutput = y;
    return y;
}
