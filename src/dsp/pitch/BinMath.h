#pragma once

#include <cstddef>

namespace stftpitchshift
{
/** The elementary functions of the pitch shifter's per-bin work, over whole arrays of double values at once.

    Each is written without branches, so that the compiler turns its loop into two-lane SSE2 code, and each
    is accurate to a few units in the last place of a double. Input and output arrays may not overlap. */
struct BinMath
{
    /** The phase of each bin: atan2 (imag, real), except that a bin with imag == 0 has phase 0 and one with
        real == 0 has phase +-pi / 2. */
    static void phases (const double* real, const double* imag, double* phase, std::size_t count) noexcept;

    /** The length of each vector (real, imag): sqrt (real^2 + imag^2), as the square root rounds it. */
    static void lengths (const double* real, const double* imag, double* length, std::size_t count) noexcept;

    /** Each phase of float precision (held as a double) less the nearest multiple of 2 pi, as std::remainder
        (x, 2 pi) gives it: to the last bit for phases below 1024 in magnitude, through std::remainder itself
        above. */
    static void wrapPhases (const double* x, double* wrapped, std::size_t count) noexcept;
};
} // namespace stftpitchshift
