#include "StackBlur.h"

#include <algorithm>

namespace melatonin::stackBlur
{
namespace
{
    constexpr int maxChannels = 4;
    constexpr int maxStack = 2 * maxRadius + 1;

    struct ChannelSums
    {
        std::uint32_t sum = 0, sumIn = 0, sumOut = 0;
    };
} // namespace

void blurLine (std::uint8_t* line, int count, int pixelStep, int channels, int radius) noexcept
{
    if (count <= 0 || channels <= 0 || channels > maxChannels)
        return;

    const int r = std::clamp (radius, 1, maxRadius);
    const int div = 2 * r + 1;
    const std::uint64_t mul = stackblur_mul[(size_t) r];
    const int shr = stackblur_shr[(size_t) r];
    const int last = count - 1;

    auto pixel = [&] (int i) { return line + (std::ptrdiff_t) i * pixelStep; };

    for (int c = 0; c < channels; ++c)
    {
        std::uint8_t stack[maxStack];
        ChannelSums s;

        const std::uint8_t first = pixel (0)[c];
        for (int i = 0; i <= r; ++i)
        {
            stack[i] = first;
            s.sum += first * (std::uint32_t) (i + 1);
            s.sumOut += first;
        }

        for (int i = 1; i <= r; ++i)
        {
            const std::uint8_t q = pixel (std::min (i, last))[c];
            stack[i + r] = q;
            s.sum += q * (std::uint32_t) (r + 1 - i);
            s.sumIn += q;
        }

        int sp = r;
        int xp = std::min (r, last);

        for (int x = 0; x < count; ++x)
        {
            pixel (x)[c] = (std::uint8_t) ((s.sum * mul) >> shr);
            s.sum -= s.sumOut;

            int slot = sp + r + 1;
            if (slot >= div)
                slot -= div;
            s.sumOut -= stack[slot];

            if (xp < last)
                ++xp;
            stack[slot] = pixel (xp)[c];
            s.sumIn += stack[slot];
            s.sum += s.sumIn;

            if (++sp == div)
                sp = 0;
            s.sumOut += stack[sp];
            s.sumIn -= stack[sp];
        }
    }
}

void blur (juce::Image::BitmapData& bitmap, int channels, int radius) noexcept
{
    const int w = bitmap.width, h = bitmap.height;
    if (w <= 0 || h <= 0)
        return;

    for (int y = 0; y < h; ++y)
        blurLine (bitmap.getLinePointer (y), w, bitmap.pixelStride, channels, radius);

    for (int x = 0; x < w; ++x)
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
