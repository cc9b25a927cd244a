#include "dsp/pitch/BinMath.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

namespace stftpitchshift
{
namespace
{
    constexpr double pi = std::numbers::pi;
    constexpr double pi_low = 1.2246467991473532e-16; // pi - (double) pi
    constexpr double halfPi = pi / 2.0;
    constexpr double halfPi_low = pi_low / 2.0;
    constexpr double quarterPi = pi / 4.0;
    constexpr double quarterPi_low = pi_low / 4.0;

    // 1.5 * 2^52: adding and taking it off rounds a double of magnitude below 2^51 to an integer, which
    // then stands in the low bits of the sum.
    constexpr double roundingShift = 6755399441055744.0;

    /** c[i] = (-1)^(i + 1) / (2 i + 3): atan (u) = u + u z P (z), z = u^2. */
    template <std::size_t Count> constexpr std::array<double, Count> atanCoefficients()
    {
        std::array<double, Count> c {};
        for (std::size_t i = 0; i < Count; ++i)
            c[i] = (i % 2 == 0 ? -1.0 : 1.0) / (double) (2 * i + 3);
        return c;
    }

    // |u| <= tan (pi / 8): the first omitted term, u^41 / 41, is below 2^-55 u.
    constexpr auto atanSeries = atanCoefficients<19>();

    /** The polynomial c[0] + c[1] z + ... by Horner's rule, written out so that it sits straight in the
        vectorised loop. */
    template <std::size_t Count, std::size_t... I>
    inline double hornerOf (double z, const std::array<double, Count>& c, std::index_sequence<I...>) noexcept
    {
        double p = c[Count - 1];
        ((p = p * z + c[Count - 2 - I]), ...);
        return p;
    }

    template <std::size_t Count> inline double horner (double z, const std::array<double, Count>& c) noexcept
    {
        return hornerOf (z, c, std::make_index_sequence<Count - 1>());
    }

    inline std::uint64_t bitsOf (double x) noexcept
    {
        return std::bit_cast<std::uint64_t> (x);
    }

    inline double phaseOf (double real, double imag) noexcept
    {
        const double ax = std::abs (real);
        const double ay = std::abs (imag);
        const bool steep = ay > ax;
        const double high = steep ? ay : ax;
        const double low = steep ? ax : ay;

        // atan (low / high) in [0, pi / 4]; above tan (pi / 8) it is pi / 4 + atan ((low - high) / (low + high)).
        const bool upper = low > 0.41421356237309503 * high;
        // Every arm is computed and then chosen, so that the choices become selects rather than branches.
        const double difference = low - high;
        const double sum = low + high;
        const double numerator = upper ? difference : low;
        const double denominator = upper ? sum : (high == 0.0 ? 1.0 : high);
        const double u = numerator / denominator;
        const double z = u * u;
        const double series = u + u * z * horner (z, atanSeries);
        const double fromQuarter = quarterPi + (series + quarterPi_low);
        const double first = upper ? fromQuarter : series;
        const double fromHalf = (halfPi - first) + halfPi_low;
        const double second = steep ? fromHalf : first;
        const double fromPi = (pi - second) + pi_low;
        const double third = real < 0.0 ? fromPi : second;
        const double signed_ = imag < 0.0 ? -third : third;
        return imag == 0.0 ? 0.0 : signed_;
    }
} // namespace

void BinMath::phases (const double* __restrict real, const double* __restrict imag, double* __restrict phase,
                      std::size_t count) noexcept
{
    for (std::size_t k = 0; k < count; ++k)
        phase[k] = phaseOf (real[k], imag[k]);
}

void BinMath::lengths (const double* __restrict real, const double* __restrict imag, double* __restrict length,
                       std::size_t count) noexcept
{
    for (std::size_t k = 0; k < count; ++k)
        length[k] = std::sqrt (real[k] * real[k] + imag[k] * imag[k]);
}

void BinMath::wrapPhases (const double* __restrict x, double* __restrict wrapped, std::size_t count) noexcept
{
    // The nearest multiple of 2 pi is taken off with 2 pi split in two parts, the larger one short enough
    // that its product with the multiple is exact; a multiple one off at a tie is put right after.
    constexpr double twoPi = 2.0 * pi;
    constexpr double high = std::bit_cast<double> (std::bit_cast<std::uint64_t> (twoPi) & ~std::uint64_t (0xff));
    constexpr double low = twoPi - high;
    // The top bit of tooLarge is set once some |x| >= 1024 (or NaN): the bit patterns of non-negative
    // doubles order as the values do.
    constexpr std::uint64_t limit = 0x8000000000000000ull - 0x4090000000000000ull; // 2^63 - bits of 1024
    std::uint64_t tooLarge = 0;

    for (std::size_t k = 0; k < count; ++k)
    {
        const double multiple = (x[k] / twoPi + roundingShift) - roundingShift;
        const double first = (x[k] - multiple * high) - multiple * low;
        const double up = multiple + 1.0;
        const double down = multiple - 1.0;
        const double above = (x[k] - up * high) - up * low;
        const double below = (x[k] - down * high) - down * low;
        const double inRange = first < -0.5 * twoPi ? below : first;
        wrapped[k] = first > 0.5 * twoPi ? above : inRange;
        tooLarge |= bitsOf (std::abs (x[k])) + limit;
    }

    if ((tooLarge >> 63) != 0)
        for (std::size_t k = 0; k < count; ++k)
            if (! (std::abs (x[k]) < 1024.0))
                wrapped[k] = std::remainder (x[k], twoPi);
}

} // namespace stftpitchshift
