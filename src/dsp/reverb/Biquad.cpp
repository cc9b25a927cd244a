#include "dsp/reverb/Biquad.h"

#include <algorithm>
#include <cmath>

namespace AudioLib
{
Biquad::Biquad (int type, double samplerate) noexcept : Samplerate (samplerate), Type (type) {}

void Biquad::Update() noexcept
{
    constexpr double twoPi = 6.283185307179586;
    // Kept below the Nyquist frequency: a design above it is unstable (20 kHz at a 22.05 kHz rate, say).
    const double w0 = twoPi * std::min (Frequency, 0.49 * Samplerate) / Samplerate;
    const double c = std::cos (w0);
    const double s = std::sin (w0);
    const double A = Gain;
    const double sqrtA = std::sqrt (A);

    const bool shelf = Type == LowShelf || Type == HighShelf;
    const double alpha = shelf ? (s / 2.0) * std::sqrt ((A + 1.0 / A) * (1.0 / Slope - 1.0) + 2.0) : s / (2.0 * Q);

    double nb0 = 1.0, nb1 = 0.0, nb2 = 0.0;
    double na0 = 1.0 + alpha, na1 = -2.0 * c, na2 = 1.0 - alpha;

    switch (Type)
    {
        case LowPass:
            nb0 = nb2 = (1.0 - c) / 2.0;
            nb1 = 1.0 - c;
            break;
        case HighPass:
            nb0 = nb2 = (1.0 + c) / 2.0;
            nb1 = -(1.0 + c);
            break;
        case BandPass:
            nb0 = alpha;
            nb1 = 0.0;
            nb2 = -alpha;
            break;
        case Notch:
            nb0 = nb2 = 1.0;
            nb1 = -2.0 * c;
            break;
        case Peak:
            nb0 = 1.0 + alpha * A;
            nb1 = -2.0 * c;
            nb2 = 1.0 - alpha * A;
            na0 = 1.0 + alpha / A;
            na1 = -2.0 * c;
            na2 = 1.0 - alpha / A;
            break;
        case LowShelf:
            nb0 = A * ((A + 1.0) - (A - 1.0) * c + 2.0 * sqrtA * alpha);
            nb1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
            nb2 = A * ((A + 1.0) - (A - 1.0) * c - 2.0 * sqrtA * alpha);
            na0 = (A + 1.0) + (A - 1.0) * c + 2.0 * sqrtA * alpha;
            na1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
            na2 = (A + 1.0) + (A - 1.0) * c - 2.0 * sqrtA * alpha;
            break;
        case HighShelf:
            nb0 = A * ((A + 1.0) + (A - 1.0) * c + 2.0 * sqrtA * alpha);
            nb1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
            nb2 = A * ((A + 1.0) + (A - 1.0) * c - 2.0 * sqrtA * alpha);
            na0 = (A + 1.0) - (A - 1.0) * c + 2.0 * sqrtA * alpha;
            na1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
            na2 = (A + 1.0) - (A - 1.0) * c - 2.0 * sqrtA * alpha;
            break;
        default: break;
    }

    a0 = na0;
    b0 = nb0 / na0;
    b1 = nb1 / na0;
    b2 = nb2 / na0;
    a1 = na1 / na0;
    a2 = na2 / na0;
}

void Biquad::Process (const double* input, double* output, int n) noexcept
{
    if (n <= 0)
        return;

    // The state stays in registers over the block: the same recursion as sample by sample.
    double s1 = x1, s2 = x2, r1 = y1, r2 = y2;
    for (int i = 0; i < n; ++i)
    {
        const double x = input[i];
        const double y = b0 * x + b1 * s1 + b2 * s2 - a1 * r1 - a2 * r2;
        s2 = s1;
        s1 = x;
        r2 = r1;
        r1 = y;
        output[i] = y;
    }
    x1 = s1;
    x2 = s2;
    y1 = r1;
    y2 = r2;
    Output = r1;
}

void Biquad::ClearBuffers() noexcept
{
    x1 = x2 = y1 = y2 = 0.0;
    Output = 0.0;
}
} // namespace AudioLib
