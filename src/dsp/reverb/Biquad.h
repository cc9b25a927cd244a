#pragma once

namespace AudioLib
{
/** Cookbook biquad in direct form I, computed in double precision. Gain is the cookbook's amplitude A
    itself (not dB); the shelves take their bandwidth from Slope. */
class Biquad
{
public:
    enum FilterType
    {
        LowPass = 0,
        HighPass = 1,
        BandPass = 2,
        Notch = 3,
        Peak = 4,
        LowShelf = 5,
        HighShelf = 6
    };

    /** The five normalised coefficients, to hand a design over to a filter running elsewhere. */
    struct Coefficients
    {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    };

    /** Builds a filter of the given type at the given rate; call Update before processing. */
    Biquad (int type = LowPass, double samplerate = 44100.0) noexcept;

    /** Recomputes the coefficients from Type, Samplerate, Frequency, Q, Gain and Slope. */
    void Update() noexcept;
    /** Processes one sample with the current coefficients. */
    double Process (double x) noexcept
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        Output = y;
        return y;
    }
    /** Processes n samples from input into output (they may be the same array). */
    void Process (const double* input, double* output, int n) noexcept;
    /** Zeroes the filter state. */
    void ClearBuffers() noexcept;
    /** The current normalised coefficients. */
    Coefficients GetCoefficients() const noexcept { return { b0, b1, b2, a1, a2 }; }
    /** Takes over another filter's coefficients; the state stays. */
    void SetCoefficients (const Coefficients& c) noexcept
    {
        b0 = c.b0;
        b1 = c.b1;
        b2 = c.b2;
        a1 = c.a1;
        a2 = c.a2;
    }

    double Samplerate;
    double Q = 0.5;
    double a0 = 1.0, a1 = 0.0, a2 = 0.0, b0 = 1.0, b1 = 0.0, b2 = 0.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    double Gain = 1.0;
    int Type;
    double Output = 0.0;
    double Frequency = 11025.0;
    double Slope = 1.0;
};
} // namespace AudioLib
