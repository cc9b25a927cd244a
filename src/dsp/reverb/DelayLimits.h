#pragma once

#include <algorithm>
#include <cmath>

namespace CloudSeed
{
/** The longest delays a reverb channel can be asked for, in milliseconds (channel units), from which its
    stores are sized at each rate. The defaults are the whole ranges of the keys: a line delay of 1000 ms,
    diffusion delays of 100 ms and modulation depths of 2.5 ms. A delay beyond the limits is held at the
    end of its store. */
struct DelayLimits
{
    /** Longest LineDelay (and LineDelayRight). */
    double lineDelayMs = 1000.0;
    /** Longest DiffusionDelay and LateDiffusionDelay. */
    double diffusionDelayMs = 100.0;
    /** Deepest modulation of the lines and of the diffusers' stages. */
    double modulationMs = 2.5;

    /** Store length of a late line's modulated delay at a rate: a line waits up to 1.5 line delays (never less
        than its depth + 2) and its read position moves by up to the depth either way. */
    int lineStoreLength (int rate) const noexcept
    {
        const double lineDelay = (int) (lineDelayMs / 1000.0 * rate);
        const double depth = modulationMs / 1000.0 * rate;
        return std::max (64, (int) std::ceil (std::max (1.5 * lineDelay, depth + 2.0) + depth) + 3);
    }

    /** Longest read delay of an all-pass stage at a rate: the diffuser's delay plus 1.15 times the depth. */
    int allpassLongestDelay (int rate) const noexcept
    {
        const int delay = (int) (rate * (diffusionDelayMs / 1000.0));
        return delay + (int) std::ceil (1.15 * modulationMs / 1000.0 * rate) + 1;
    }
};
} // namespace CloudSeed
