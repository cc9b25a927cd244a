#include "dsp/eq/eq.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double pi = 3.141592653589793;

/** A second-order section before normalisation: numerator b, denominator a. */
struct Section
{
    double b[3];
    double a[3];
};

struct ShelfTerms
{
    double A, s, c, P, M, t;
};

ShelfTerms shelfTerms (float f, float gainDb, float q)
{
    const double omega = pi * (double) std::clamp (f, 0.0f, 0.5f);
    const double clampedQ = (double) std::clamp (q, 0.1f, 10.0f);
    const double A = std::sqrt (std::pow (10.0, std::abs ((double) gainDb) / 20.0));
    const double c = std::cos (omega);
    return { A,
             std::sin (omega) * std::sqrt (A) / clampedQ,
             c,
             (A + 1.0) + (A - 1.0) * c,
             (A + 1.0) - (A - 1.0) * c,
             std::tan (omega) };
}

/** Cuts invert the boost; below -9 dB the numerator moves towards the given double zero, reached at -12 dB. */
void applyGainSign (Section& section, float gainDb, const double (&zeroShape)[3])
{
    if (gainDb >= 0.0f)
        return;

    std::swap (section.b, section.a);

    const double share = (-9.0 - (double) gainDb) / 3.0;
    if (share <= 0.0)
        return;

    const double m = std::min (share, 1.0);
    for (int i = 0; i < 3; ++i)
        section.b[i] += (zeroShape[i] - section.b[i]) * m;
}

void store (const Section& section, float (&out)[5])
{
    const double a0 = section.a[0];
    out[0] = (float) (-section.a[1] / a0);
    out[1] = (float) (-section.a[2] / a0);
    out[2] = (float) (section.b[0] / a0);
    out[3] = (float) (section.b[1] / a0);
    out[4] = (float) (section.b[2] / a0);
}
} // namespace

void eq::calclo (float f, float gainDb, float q)
{
    const auto t = shelfTerms (f, gainDb, q);
    const double A = t.A;
    Section section { { A * (t.M + t.s), 2.0 * A * ((A - 1.0) - (A + 1.0) * t.c), A * (t.M - t.s) },
                      { t.P + t.s, -2.0 * ((A - 1.0) + (A + 1.0) * t.c), t.P - t.s } };

    // The cut's own b0 scales the double zero at 0 Hz, so the band above the corner stays at unity.
    const double B = gainDb < 0.0f ? section.a[0] : section.b[0];
    const double zeroShape[3] = { B, -2.0 * B, B };
    applyGainSign (section, gainDb, zeroShape);
    store (section, lowShelf);
}

void eq::calchi (float f, float gainDb, float q)
{
    const auto t = shelfTerms (f, gainDb, q);
    const double A = t.A;
    Section section { { A * (t.P + t.s), -2.0 * A * ((A - 1.0) + (A + 1.0) * t.c), A * (t.P - t.s) },
                      { t.M + t.s, 2.0 * ((A - 1.0) - (A + 1.0) * t.c), t.M - t.s } };

    const double tt = t.t * t.t;
    const double zeroShape[3] = { tt, 2.0 * tt, tt };
    applyGainSign (section, gainDb, zeroShape);
    store (section, highShelf);
}
