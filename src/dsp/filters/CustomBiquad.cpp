#include "dsp/filters/CustomBiquad.h"

#include "dsp/base/DspConstants.h"

#include <algorithm>

namespace QEL
{
void CustomBiquad::reset()
{
    QELProcessorBase::reset();
    std::fill (std::begin (state), std::end (state), 0.0);
}

double CustomBiquad::processAudioSample (double x) noexcept
{
    const double* c = coeffs;
    double* s = state;

    switch (structure)
    {
        case directForm:
        {
            const double y = flushTiny (c[a0] * x + c[a1] * s[x1] + c[a2] * s[x2] - c[b1] * s[y1] - c[b2] * s[y2]);
            s[x2] = s[x1];
            s[x1] = x;
            s[y2] = s[y1];
            s[y1] = y;
            return y;
        }
        case canonicalForm:
        {
            const double w = x - c[b1] * s[x1] - c[b2] * s[x2];
            const double y = flushTiny (c[a0] * w + c[a1] * s[x1] + c[a2] * s[x2]);
            s[x2] = s[x1];
            s[x1] = w;
            return y;
        }
        case transposedDirectForm:
        {
            const double w = x + s[y1];
            const double y = c[a0] * w + s[x1];
            s[y1] = s[y2] - c[b1] * w;
            s[y2] = -c[b2] * w;
            s[x1] = c[a1] * w + s[x2];
            s[x2] = c[a2] * w;
            return flushTiny (y);
        }
        case transposedCanonicalForm:
        {
            const double y = flushTiny (c[a0] * x + s[x1]);
            s[x1] = c[a1] * x - c[b1] * y + s[x2];
            s[x2] = c[a2] * x - c[b2] * y;
            return y;
        }
        default: return x;
    }
}
} // namespace QEL
