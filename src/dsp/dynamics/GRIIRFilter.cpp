#include "dsp/dynamics/GRIIRFilter.h"

#include <algorithm>
#include <cmath>

void GRIIRFilter::setCoeff (double newFrequency, double newGain, double newQ, int newType, int newSampleRate)
{
    sampleRate = (double) newSampleRate;
    frequency = std::min (newFrequency, 0.499 * sampleRate);
    gain = newGain;
    shelfA = std::sqrt (newGain);
    q = newQ;
    type = newType;

    const double w = 2.0 * M_PI * frequency / sampleRate;
    const double alpha = std::sin (w) / (2.0 * q);
    const double c = std::cos (w);
    const double A = shelfA;
    const double shelfAlpha = 2.0 * std::sqrt (A) * alpha;
    double n0, n1, n2, d0, d1, d2;

    switch (type)
    {
        case 0:
            n0 = (1.0 - c) / 2.0;
            n1 = 1.0 - c;
            n2 = n0;
            d0 = 1.0 + alpha;
            d1 = -2.0 * c;
            d2 = 1.0 - alpha;
            break;
        case 1:
            n0 = (1.0 + c) / 2.0;
            n1 = -(1.0 + c);
            n2 = n0;
            d0 = 1.0 + alpha;
            d1 = -2.0 * c;
            d2 = 1.0 - alpha;
            break;
        case 2:
            n0 = A * ((A + 1.0) - (A - 1.0) * c + shelfAlpha);
            n1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
            n2 = A * ((A + 1.0) - (A - 1.0) * c - shelfAlpha);
            d0 = (A + 1.0) + (A - 1.0) * c + shelfAlpha;
            d1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
            d2 = (A + 1.0) + (A - 1.0) * c - shelfAlpha;
            break;
        case 3:
            n0 = A * ((A + 1.0) + (A - 1.0) * c + shelfAlpha);
            n1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
            n2 = A * ((A + 1.0) + (A - 1.0) * c - shelfAlpha);
            d0 = (A + 1.0) - (A - 1.0) * c + shelfAlpha;
            d1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
            d2 = (A + 1.0) - (A - 1.0) * c - shelfAlpha;
            break;
        case 4:
            n0 = q * alpha;
            n1 = 0.0;
            n2 = -q * alpha;
            d0 = 1.0 + alpha;
            d1 = -2.0 * c;
            d2 = 1.0 - alpha;
            break;
        case 5:
            n0 = alpha;
            n1 = 0.0;
            n2 = -alpha;
            d0 = 1.0 + alpha;
            d1 = -2.0 * c;
            d2 = 1.0 - alpha;
            break;
        case 6:
            n0 = 1.0;
            n1 = -2.0 * c;
            n2 = 1.0;
            d0 = 1.0 + alpha;
            d1 = -2.0 * c;
            d2 = 1.0 - alpha;
            break;
        case 7:
            n0 = 1.0 + alpha * A;
            n1 = -2.0 * c;
            n2 = 1.0 - alpha * A;
            d0 = 1.0 + alpha / A;
            d1 = -2.0 * c;
            d2 = 1.0 - alpha / A;
            break;
        case 8:
            n0 = 1.0 - alpha;
            n1 = -2.0 * c;
            n2 = 1.0 + alpha;
            d0 = 1.0 + alpha;
            d1 = -2.0 * c;
            d2 = 1.0 - alpha;
            break;
        default: return;
    }

    b0 = n0 / d0;
    b1 = n1 / d0;
    b2 = n2 / d0;
    a1 = d1 / d0;
    a2 = d2 / d0;
}

void GRIIRFilter::reset() noexcept
{
    x1 = x2 = y1 = y2 = lastOutput = 0.0;
}
