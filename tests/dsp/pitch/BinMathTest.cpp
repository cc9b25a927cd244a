#include "dsp/pitch/BinMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace
{
using stftpitchshift::BinMath;

// Rounded to float, as the shifter stores them, the phases are the library's atan2 with the shifter's
// conventions for bins on an axis; in double they stay within a few units in the last place.
TEST (BinMath, PhasesMatchAtan2WithTheAxisConventions)
{
    const double pi = std::numbers::pi;
    std::vector<double> real { 0.0, 0.0, -1.0, -0.0, 1.0, -1.0, -1.0, 3.0, 1e-30, -2.0, 0.0 };
    std::vector<double> imag { 1.0, -2.0, 0.0, 0.0, 1.0, 1.0, -1e-300, -4.0, 1e30, -0.0, 0.0 };
    std::mt19937 rng (7);
    std::normal_distribution<double> normal;

    for (int i = 0; i < 4000; ++i)
    {
        real.push_back (normal (rng) * std::pow (10.0, normal (rng)));
        imag.push_back (normal (rng) * std::pow (10.0, normal (rng)));
    }

    std::vector<double> phase (real.size());
    BinMath::phases (real.data(), imag.data(), phase.data(), real.size());

    for (std::size_t k = 0; k < real.size(); ++k)
    {
        const double expected = imag[k] == 0.0   ? 0.0
                                : real[k] == 0.0 ? (imag[k] > 0.0 ? pi / 2.0 : -pi / 2.0)
                                                 : std::atan2 (imag[k], real[k]);
        SCOPED_TRACE (k);
        EXPECT_EQ ((float) phase[k], (float) expected);
        EXPECT_NEAR (phase[k], expected, 4e-16 * std::abs (expected));
    }
}

TEST (BinMath, WrappedPhasesAreTheRemainderOfTwoPiToTheLastBit)
{
    std::vector<double> x { 0.0, 3.14159274f, -3.14159274f, 6.28318548f, 1023.9f, -1023.9f, 1024.0f, -5000.25f, 1e9f };
    std::mt19937 rng (3);
    std::uniform_real_distribution<float> uniform (-1100.0f, 1100.0f);

    for (int i = 0; i < 20000; ++i)
        x.push_back (uniform (rng));

    std::vector<double> wrapped (x.size());
    BinMath::wrapPhases (x.data(), wrapped.data(), x.size());

    for (std::size_t k = 0; k < x.size(); ++k)
        ASSERT_EQ (wrapped[k], std::remainder (x[k], 2.0 * std::numbers::pi)) << x[k];
}

TEST (BinMath, LengthsAreTheRoundedSquareRoot)
{
    const std::vector<double> real { 3.0, 0.0, -1e-200, 1.0 };
    const std::vector<double> imag { 4.0, 0.0, 0.0, 1.0 };
    std::vector<double> length (real.size());
    BinMath::lengths (real.data(), imag.data(), length.data(), real.size());
    EXPECT_EQ (length, (std::vector<double> { 5.0, 0.0, 0.0, std::sqrt (2.0) }));
}
} // namespace
