#include <gtest/gtest.h>

#include "editor/CachedBlur.h"
#include "editor/StackBlur.h"

#include <cstring>
#include <vector>

namespace
{
using melatonin::CachedBlur;
namespace sb = melatonin::stackBlur;

/** A one-row, one-channel line blurred on its own. */
std::vector<int> blurRow (std::vector<std::uint8_t> row, int radius)
{
    sb::blurLine (row.data(), (int) row.size(), 1, 1, radius);
    return { row.begin(), row.end() };
}

juce::Image argbImage (int w, int h, juce::Colour fill = juce::Colours::transparentBlack)
{
    juce::Image image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
    image.clear (image.getBounds(), fill);
    return image;
}

int alphaAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getAlpha();
}
} // namespace

TEST (StackBlurTables, MatchTheKnownEntries)
{
    const int mulStart[] = { 512, 512, 456, 512, 328, 456, 335, 512 };
    const int shrStart[] = { 9, 11, 12, 13, 13, 14, 14, 15 };
    for (size_t r = 0; r < 8; ++r)
    {
        EXPECT_EQ (sb::stackblur_mul[r], mulStart[r]) << r;
        EXPECT_EQ (sb::stackblur_shr[r], shrStart[r]) << r;
    }

    const int mulEnd[] = { 267, 265, 263, 261, 259 };
    for (size_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ (sb::stackblur_mul[250 + i], mulEnd[i]);
        EXPECT_EQ (sb::stackblur_shr[250 + i], 24);
    }
}

TEST (StackBlurLine, GivesTheTriangularWeights)
{
    struct Case
    {
        std::vector<std::uint8_t> in;
        int radius;
        std::vector<int> out;
    };
    const Case cases[] = {
        // floor (255 * (5 - |k|) / 25)
        { { 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0 }, 4, { 0, 10, 20, 30, 40, 51, 40, 30, 20, 10, 0 } },
        { { 10, 20, 30, 40, 50 }, 1, { 12, 20, 30, 40, 47 } }, // edges repeat the end pixels
        { { 0, 255, 0 }, 5, { 35, 42, 35 } },                  // radius wider than the line
        { { 77 }, 254, { 77 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (blurRow (c.in, c.radius), c.out) << "radius " << c.radius;
}

TEST (StackBlurLine, ReproducesEveryUniformValueAtEveryRadius)
{
    for (int radius : { 1, 2, 7, 48, 180, 181, 254 }) // 181 and up would overflow a signed product
        for (int v = 0; v < 256; v += 15)
        {
            const auto out = blurRow (std::vector<std::uint8_t> (40, (std::uint8_t) v), radius);
            ASSERT_EQ (out, std::vector<int> (40, v)) << "radius " << radius;
        }
}

TEST (CachedBlur, SpreadsAPointOverTheTentSquare)
{
    // A single opaque white pixel at (50, 50) of a transparent 101 x 101 image, radius 2:
    //    3  6  9  6  3
    //    6 12 18 12  6
    //    9 18 28 18  9
    //    6 12 18 12  6
    //    3  6  9  6  3      and 0 everywhere else, in each of the four channels.
    const int expected[5][5] = {
        { 3, 6, 9, 6, 3 }, { 6, 12, 18, 12, 6 }, { 9, 18, 28, 18, 9 }, { 6, 12, 18, 12, 6 }, { 3, 6, 9, 6, 3 }
    };

    auto source = argbImage (101, 101);
    source.setPixelAt (50, 50, juce::Colours::white);

    CachedBlur blur (2);
    blur.update (source);

    const juce::Image::BitmapData data (blur.blurredImage, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < 101; ++y)
        for (int x = 0; x < 101; ++x)
        {
            const bool inside = std::abs (x - 50) <= 2 && std::abs (y - 50) <= 2;
            const int want = inside ? expected[y - 48][x - 48] : 0;
            const auto* p = data.getPixelPointer (x, y);
            for (int c = 0; c < 4; ++c)
                ASSERT_EQ (p[c], want) << x << "," << y << " channel " << c;
        }
}

TEST (CachedBlur, LimitsTheRadius)
{
    for (auto [requested, used] : { std::pair { -5, 2 }, { 0, 2 }, { 1, 2 }, { 2, 2 }, { 48, 48 }, { 300, 254 } })
    {
        auto source = argbImage (61, 1);
        source.setPixelAt (30, 0, juce::Colours::white);

        CachedBlur blur (requested);
        blur.update (source);

        std::vector<std::uint8_t> row (61, 0);
        row[30] = 255;
        const auto alone = blurRow (row, used);
        for (int x = 0; x < 61; ++x)
            ASSERT_EQ (alphaAt (blur.blurredImage, x, 0), alone[(size_t) x]) << "radius " << requested;
    }
}

TEST (CachedBlur, LeavesUniformAndSinglePixelImagesUnchanged)
{
    const auto colour = juce::Colour (0x80402010); // stored premultiplied
    for (auto size : { juce::Point { 1, 1 }, juce::Point { 33, 17 } })
    {
        const auto source = argbImage (size.x, size.y, colour);
        CachedBlur blur (48);
        blur.update (source);
        for (int y = 0; y < size.y; ++y)
            for (int x = 0; x < size.x; ++x)
                ASSERT_EQ (blur.blurredImage.getPixelAt (x, y), source.getPixelAt (x, y));
    }
}

TEST (CachedBlur, BlursAgainOnlyForAnotherImage)
{
    auto source = argbImage (20, 20);
    source.setPixelAt (10, 10, juce::Colours::white);

    CachedBlur blur (3);
    blur.update (source);
    const auto first = blur.blurredImage;
    EXPECT_FALSE (first == source); // a copy is blurred, the source stays as it was
    EXPECT_EQ (alphaAt (source, 11, 10), 0);

    blur.update (source);
    EXPECT_TRUE (blur.blurredImage == first);

    // Changed in place: the same image, so the old blur stays.
    source.setPixelAt (0, 0, juce::Colours::white);
    blur.update (source);
    EXPECT_TRUE (blur.blurredImage == first);

    const auto samePixels = source.createCopy();
    blur.update (samePixels);
    EXPECT_FALSE (blur.blurredImage == first);
    EXPECT_GT (alphaAt (blur.blurredImage, 1, 1), 0);
}

TEST (CachedBlur, EmptySourceGivesAnEmptyImage)
{
    CachedBlur blur (48);
    blur.update (argbImage (4, 4, juce::Colours::white));
    blur.update (juce::Image());
    EXPECT_FALSE (blur.blurredImage.isValid());
    blur.update (juce::Image());
    EXPECT_FALSE (blur.blurredImage.isValid());
}

TEST (CachedBlur, ConvertsAnRgbSnapshotBeforeBlurring)
{
    // A 3-byte-per-pixel image, as an opaque component's snapshot is on Linux: a white column on black.
    juce::Image rgb (juce::Image::RGB, 31, 9, true, juce::SoftwareImageType());
    rgb.clear (rgb.getBounds(), juce::Colours::black);
    rgb.clear ({ 15, 0, 1, 9 }, juce::Colours::white);
    ASSERT_EQ (juce::Image::BitmapData (rgb, juce::Image::BitmapData::readOnly).pixelStride, 3);

    CachedBlur blur (4);
    blur.update (rgb);
    ASSERT_EQ (blur.blurredImage.getFormat(), juce::Image::ARGB);

    std::vector<std::uint8_t> row (31, 0);
    row[15] = 255;
    const auto expected = blurRow (row, 4);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 31; ++x)
        {
            const auto pixel = blur.blurredImage.getPixelAt (x, y);
            ASSERT_EQ (pixel.getAlpha(), 255) << x;
            ASSERT_EQ (pixel.getRed(), expected[(size_t) x]) << x << "," << y;
            ASSERT_EQ (pixel.getGreen(), pixel.getRed());
        }
}

TEST (CachedBlur, CentreRowOfAPointAtRadiusFour)
{
    // Both passes: the centre row of a blurred single point is 255 * (5 - |k|) * 5 / 625, truncated.
    auto source = argbImage (11, 11);
    source.setPixelAt (5, 5, juce::Colours::white);

    CachedBlur blur (4);
    blur.update (source);

    const int expected[] = { 0, 2, 4, 6, 8, 10, 8, 6, 4, 2, 0 };
    for (int x = 0; x < 11; ++x)
        EXPECT_EQ (alphaAt (blur.blurredImage, x, 5), expected[x]) << x;
}

TEST (StackBlur, WideImagesBlurLikeColumnByColumn)
{
    // Wide images take a faster path for their columns; it must give the same bytes as one column at a time.
    juce::Random random (3);
    for (auto format : { juce::Image::SingleChannel, juce::Image::ARGB })
    {
        juce::Image image (format, 150, 23, true, juce::SoftwareImageType());
        juce::Image::BitmapData data (image, juce::Image::BitmapData::readWrite);
        const int channels = data.pixelStride;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 150 * channels; ++x)
                data.getLinePointer (y)[x] = (std::uint8_t) random.nextInt (256);

        auto reference = image.createCopy();
        {
            juce::Image::BitmapData ref (reference, juce::Image::BitmapData::readWrite);
            for (int y = 0; y < 23; ++y)
                sb::blurLine (ref.getLinePointer (y), 150, channels, channels, 5);
            for (int x = 0; x < 150; ++x)
                sb::blurLine (ref.getPixelPointer (x, 0), 23, ref.lineStride, channels, 5);
        }

        sb::blur (data, channels, 5);
        const juce::Image::BitmapData expected (reference, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < 23; ++y)
            ASSERT_EQ (std::memcmp (data.getLinePointer (y), expected.getLinePointer (y), (size_t) (150 * channels)), 0)
                << "row " << y << " channels " << channels;
    }
}
