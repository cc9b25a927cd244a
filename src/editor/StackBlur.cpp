#include "StackBlur.h"

#include <algorithm>

namespace melatonin::stackBlur
{
namespace
{
    constexpr int maxStack = 2 * maxRadius + 1;

    /** The stack blur of one line, all channels of a pixel at once (one walk over the line). */
    template <int Channels> void blurLineOf (std::uint8_t* line, int count, int pixelStep, int radius) noexcept
    {
        const int r = std::clamp (radius, 1, maxRadius);
        const int div = 2 * r + 1;
        const std::uint64_t mul = stackblur_mul[(size_t) r];
        const int shr = stackblur_shr[(size_t) r];
        const int last = count - 1;

        auto pixel = [&] (int i) { return line + (std::ptrdiff_t) i * pixelStep; };

        std::uint8_t stack[maxStack][Channels];
        std::uint32_t sum[Channels] = {}, sumIn[Channels] = {}, sumOut[Channels] = {};

        const std::uint8_t* first = pixel (0);
        for (int i = 0; i <= r; ++i)
            for (int c = 0; c < Channels; ++c)
            {
                stack[i][c] = first[c];
                sum[c] += first[c] * (std::uint32_t) (i + 1);
                sumOut[c] += first[c];
            }

        for (int i = 1; i <= r; ++i)
        {
            const std::uint8_t* q = pixel (std::min (i, last));
            for (int c = 0; c < Channels; ++c)
            {
                stack[i + r][c] = q[c];
                sum[c] += q[c] * (std::uint32_t) (r + 1 - i);
                sumIn[c] += q[c];
            }
        }

        int sp = r;
        int xp = std::min (r, last);

        for (int x = 0; x < count; ++x)
        {
            std::uint8_t* out = pixel (x);
            int slot = sp + r + 1;
            if (slot >= div)
                slot -= div;
            if (xp < last)
                ++xp;
            const std::uint8_t* incoming = pixel (xp);
            if (++sp == div)
                sp = 0;

            for (int c = 0; c < Channels; ++c)
            {
                out[c] = (std::uint8_t) ((sum[c] * mul) >> shr);
                sum[c] -= sumOut[c];
                sumOut[c] -= stack[slot][c];
                stack[slot][c] = incoming[c];
                sumIn[c] += stack[slot][c];
                sum[c] += sumIn[c];
                sumOut[c] += stack[sp][c];
                sumIn[c] -= stack[sp][c];
            }
        }
    }
} // namespace

void blurLine (std::uint8_t* line, int count, int pixelStep, int channels, int radius) noexcept
{
    if (count <= 0)
        return;

    switch (channels)
    {
        case 1: blurLineOf<1> (line, count, pixelStep, radius); break;
        case 2: blurLineOf<2> (line, count, pixelStep, radius); break;
        case 3: blurLineOf<3> (line, count, pixelStep, radius); break;
        case 4: blurLineOf<4> (line, count, pixelStep, radius); break;
        default: break;
    }
}

void blur (juce::Image::BitmapData& bitmap, int channels, int radius) noexcept
{
    const int w = bitmap.width, h = bitmap.height;
    if (w <= 0 || h <= 0 || channels < 1 || channels > 4)
        return;

    for (int y = 0; y < h; ++y)
        blurLine (bitmap.getLinePointer (y), w, bitmap.pixelStride, channels, radius);

    // Columns go down in bands of adjacent packed pixels, 64 bytes wide, blurred as one line of wide
    // pixels: each row of the band is read once, instead of once per column.
    constexpr int bandBytes = 64;
    int x = 0;
    if (bitmap.pixelStride == channels && bandBytes % channels == 0)
        for (const int band = bandBytes / channels; x + band <= w; x += band)
            blurLineOf<bandBytes> (bitmap.getPixelPointer (x, 0), h, bitmap.lineStride, radius);

    for (; x < w; ++x)
        blurLine (bitmap.getPixelPointer (x, 0), h, bitmap.lineStride, channels, radius);
}

void singleChannel (juce::Image& image, int radius)
{
    if (! image.isValid())
        return;

    jassert (image.getFormat() == juce::Image::SingleChannel);
    juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::readWrite);
    blur (bitmap, 1, radius);
}

void argb (juce::Image& image, int radius)
{
    if (! image.isValid())
        return;

    jassert (image.getFormat() == juce::Image::ARGB);
    juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::readWrite);
    blur (bitmap, 4, radius);
}
} // namespace melatonin::stackBlur
