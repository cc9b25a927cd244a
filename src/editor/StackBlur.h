#pragma once

#include <array>
#include <cstdint>
#include <juce_graphics/juce_graphics.h>

namespace melatonin::stackBlur
{
/** Largest radius the stack blur accepts. */
constexpr int maxRadius = 254;

namespace detail
{
    constexpr int floorLog2 (std::uint32_t v)
    {
        int bits = -1;
        for (; v != 0; v >>= 1)
            ++bits;
        return bits;
    }

    constexpr std::uint8_t shiftFor (int r)
    {
        const auto weight = (std::uint32_t) ((r + 1) * (r + 1));
        return (std::uint8_t) (9 + floorLog2 (weight));
    }

    constexpr std::uint16_t multiplierFor (int r)
    {
        const auto weight = (std::uint64_t) ((r + 1) * (r + 1));
        const auto power = std::uint64_t { 1 } << shiftFor (r);
        return (std::uint16_t) ((power + weight - 1) / weight);
    }

    template <typename T, typename Fn> constexpr std::array<T, maxRadius + 1> makeTable (Fn fn)
    {
        std::array<T, maxRadius + 1> table {};
        for (int r = 0; r <= maxRadius; ++r)
            table[(size_t) r] = fn (r);
        return table;
    }
} // namespace detail

/** (sum * stackblur_mul[r]) >> stackblur_shr[r] divides a stack sum by (r + 1)^2, the stack's total weight. */
inline constexpr auto stackblur_mul = detail::makeTable<std::uint16_t> (detail::multiplierFor);
/** The shifts that go with stackblur_mul. */
inline constexpr auto stackblur_shr = detail::makeTable<std::uint8_t> (detail::shiftFor);

/** Blurs one line of `count` pixels in place with a triangular kernel of the given radius (1..254).
    Pixels are `pixelStep` bytes apart and have `channels` 8-bit channels, each blurred on its own;
    pixels beyond both ends repeat the end pixels. */
void blurLine (std::uint8_t* line, int count, int pixelStep, int channels, int radius) noexcept;

/** Blurs every row, then every column of the bitmap in place. Handles 1 to 4 channels per pixel,
    taking the pixel and line strides from the bitmap. The radius is limited to 1..254. */
void blur (juce::Image::BitmapData& bitmap, int channels, int radius) noexcept;

/** Blurs a single-channel image in place (the cached shadows' coverage masks). */
void singleChannel (juce::Image& image, int radius);

/** Blurs all four bytes of every pixel of an ARGB image in place. */
void argb (juce::Image& image, int radius);
} // namespace melatonin::stackBlur
