#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace AudioLib
{
/** SHA-256 (FIPS 180-4) of a byte string. */
std::array<std::uint8_t, 32> sha256 (const std::uint8_t* bytes, std::size_t numBytes) noexcept;

/** Seeded random series: every value in 0..1 follows from the seed alone, the same on every machine. */
class ShaRandom
{
public:
    /** count values drawn from a chain of SHA-256 digests that starts at the seed. */
    static std::vector<double> Generate (std::int64_t seed, int count);

    /** Blends the series of seed (weight 1 − crossSeed) with the series of its bitwise complement
        (weight crossSeed). */
    static std::vector<double> Generate (std::int64_t seed, int count, double crossSeed);
};
} // namespace AudioLib
