#pragma once

namespace QEL
{
/** The square root of two, as the filter designs use it. */
inline constexpr double kSqrtTwo = 1.4142135623730951;

/** The smallest normal float; the double-precision filters set smaller magnitudes to zero. */
inline constexpr double kFlushThreshold = 1.175494351e-38;

/** Flushes a value below the smallest normal float to zero. */
inline double flushTiny (double value) noexcept
{
    return (value < kFlushThreshold && value > -kFlushThreshold) ? 0.0 : value;
}
} // namespace QEL
