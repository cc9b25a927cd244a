#pragma once

#include <cstdint>

namespace CloudSeed
{
/** The largest value of phaseRandom, the same as a C library rand() with 31 bits. */
constexpr std::int32_t phaseRandomMax = 2147483647;

/** A reproducible stand-in for rand() when a modulated block picks its start phase: the same seed
    always gives the same value in 0..phaseRandomMax, and nearby seeds give unrelated values. */
constexpr std::int32_t phaseRandom (std::uint32_t seed) noexcept
{
    std::uint64_t z = (std::uint64_t) seed * 0x9e3779b97f4a7c15ull + 0x632be59bd9b4e019ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    return (std::int32_t) (z % ((std::uint64_t) phaseRandomMax + 1));
}
} // namespace CloudSeed
