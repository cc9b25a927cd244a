#pragma once

#include <algorithm>

namespace QEL
{
/** The square root of two, as the filter designs use it. */
inline constexpr double kSqrtTwo = 1.4142135623730951;

/** The smallest normal float; the double-precision filters set smaller magnitudes to zero. */
inline constexpr double kFlushThreshold = 1.175494351e-38;

/** A fixed corner frequency kept below the Nyquist frequency of a rate (at most 0.49 of the rate), so a
    design made for 44.1 kHz stays stable at 8 kHz; from 44.1 kHz up, corners up to 21.6 kHz stay as given. */
inline double belowNyquist (double hz, double rate) noexcept
{
    return std::min (hz, 0.49 * rate);
}

/** Flushes a value below the smallest normal float to zero. */
inline double flushTiny (double value) noexcept
{
    return (value < kFlushThreshold && value > -kFlushThreshold) ? 0.0 : value;
}
} // namespace QEL
