#include <gtest/gtest.h>

#include "editor/CachedShadows.h"

namespace
{
using melatonin::ShadowParameters;
using melatonin::internal::CachedShadows;

juce::Path square (float x, float y, float size = 10.0f)
{
    juce::Path p;
    p.addRectangle (x, y, size, size);
    return p;
}

juce::Image canvas (int w = 80, int h = 80)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

/** Renders the set into a fresh canvas at the given display scale. */
juce::Image renderAt (CachedShadows& shadows, const juce::Path& path, float scale, int size = 80)
{
    auto image = canvas (size, size);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (scale));
    shadows.render (g, path);
    return image;
}

int alpha (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getAlpha();
}
} // namespace

TEST (CachedShadows, ShadowAreaFollowsRadiusAndScale)
{
    struct Case
    {
        float scale;
        int radius;
        juce::Rectangle<int> pathBounds, shadowBounds;
        int scaledRadius;
    };
    const Case cases[] = {
        { 1.0f, 4, { 0, 0, 10, 10 }, { -4, -4, 18, 18 }, 4 },
        { 1.5f, 2, { 0, 0, 15, 15 }, { -4, -4, 23, 23 }, 3 }, // + one pixel on each side at a fractional scale
        { 2.0f, 4, { 0, 0, 20, 20 }, { -8, -8, 36, 36 }, 8 },
        { 1.25f, 2, { 0, 0, 13, 13 }, { -3, -3, 19, 19 }, 2 }, // 2.5 rounds to the even 2
    };
    for (const auto& c : cases)
    {
        CachedShadows shadows ({ { juce::Colours::black, c.radius, {}, 0, false } });
        renderAt (shadows, square (3, 3), c.scale);

        const auto& shadow = shadows.getShadows().front();
        EXPECT_EQ (shadow.scaledPathBounds, c.pathBounds) << c.scale;
        EXPECT_EQ (shadow.scaledShadowBounds, c.shadowBounds) << c.scale;
        EXPECT_EQ (shadow.scaledRadius, c.scaledRadius) << c.scale;
        EXPECT_EQ (shadow.image.getBounds().getWidth(), c.shadowBounds.getWidth());
        EXPECT_EQ (shadows.getComposite().getWidth(), c.shadowBounds.getWidth());
        EXPECT_EQ (shadows.getCompositeOrigin(), c.shadowBounds.getPosition().toFloat());
    }
}

TEST (CachedShadows, DropShadowLandsAroundTheShape)
{
    // Radius 4 of a 10 x 10 square at (20, 20): an opaque core, 153 (= 255 * 15 / 25) on the
    // square's edge, fading to nothing 5 pixels out.
    CachedShadows shadows ({ { juce::Colours::black, 4, {}, 0, false } });
    const auto image = renderAt (shadows, square (20, 20), 1.0f);

    EXPECT_EQ (alpha (image, 25, 25), 255);
    EXPECT_NEAR (alpha (image, 20, 25), 153, 1);
    EXPECT_NEAR (alpha (image, 29, 25), 153, 1);
    EXPECT_GT (alpha (image, 16, 25), 0);
    EXPECT_EQ (alpha (image, 15, 25), 0);
    EXPECT_EQ (alpha (image, 25, 34), 0);
}

TEST (CachedShadows, OffsetAndSpreadMoveAndGrowTheShadow)
{
    CachedShadows shadows ({ { juce::Colours::black, 1, { 6, 0 }, 3, false } });
    const auto image = renderAt (shadows, square (20, 20), 1.0f);
    const auto& shadow = shadows.getShadows().front();

    EXPECT_EQ (shadow.scaledShadowBounds, juce::Rectangle<int> (-4, -4, 18, 18));
    EXPECT_EQ (shadows.getCompositeOrigin(), juce::Point<float> (2, -4));
    // The grown square spans 17..32 in x, moved 6 right: 23..38; its left edge is blurred by one pixel.
    EXPECT_EQ (alpha (image, 37, 25), 255);
    EXPECT_EQ (alpha (image, 24, 25), 255);
    EXPECT_EQ (alpha (image, 21, 25), 0);
    EXPECT_EQ (alpha (image, 40, 25), 0);
}

TEST (CachedShadows, MovingTheShapeDrawsTheSameComposite)
{
    CachedShadows shadows ({ { juce::Colours::red, 3, {}, 0, false } });

    const auto first = renderAt (shadows, square (10, 10), 1.0f);
    const auto composite = shadows.getComposite();
    const auto second = renderAt (shadows, square (40, 30), 1.0f);

    EXPECT_EQ (shadows.getRenderCount(), 1);
    EXPECT_EQ (shadows.getCompositeCount(), 1);
    EXPECT_TRUE (shadows.getComposite() == composite);
    EXPECT_EQ (shadows.getLastPosition(), juce::Point<float> (40, 30));

    for (int d = -4; d < 14; ++d)
        ASSERT_EQ (first.getPixelAt (10 + d, 15), second.getPixelAt (40 + d, 35)) << d;
    EXPECT_EQ (alpha (second, 15, 15), 0);
}

TEST (CachedShadows, RendersAgainForANewOutlineOrScale)
{
    CachedShadows shadows ({ { juce::Colours::black, 2, {}, 0, false } });
    renderAt (shadows, square (5, 5), 1.0f);
    EXPECT_EQ (shadows.getComposite().getWidth(), 14);

    renderAt (shadows, square (5, 5), 2.0f);
    EXPECT_EQ (shadows.getRenderCount(), 2);
    EXPECT_EQ (shadows.getComposite().getWidth(), 28); // twice the pixels, the same 14 points

    renderAt (shadows, square (5, 5), 2.0f + 1.0e-7f); // approximately the same scale
    EXPECT_EQ (shadows.getRenderCount(), 2);

    auto evenOdd = square (5, 5);
    evenOdd.setUsingNonZeroWinding (false);
    renderAt (shadows, evenOdd, 2.0f);
    EXPECT_EQ (shadows.getRenderCount(), 3);

    renderAt (shadows, square (5, 5, 11.0f), 2.0f);
    EXPECT_EQ (shadows.getRenderCount(), 4);

    shadows = CachedShadows ({ { juce::Colours::black, 2, {}, 0, false } });
    EXPECT_FALSE (shadows.getComposite().isValid());
    renderAt (shadows, square (5, 5, 11.0f), 2.0f);
    EXPECT_EQ (shadows.getRenderCount(), 1);
}

TEST (CachedShadows, CompositeIsDrawnInPhysicalPixelsAtScaleTwo)
{
    CachedShadows shadows ({ { juce::Colours::black, 4, {}, 0, false } });
    const auto image = renderAt (shadows, square (10, 10), 2.0f);

    // The square covers physical pixels 20..39; the shadow reaches 8 pixels beyond it.
    EXPECT_EQ (alpha (image, 30, 30), 255);
    EXPECT_GT (alpha (image, 13, 30), 0);
    EXPECT_EQ (alpha (image, 11, 30), 0);
    EXPECT_EQ (alpha (image, 48, 30), 0);
}

TEST (CachedShadows, InnerShadowStaysInsideTheShape)
{
    CachedShadows shadows ({ { juce::Colours::black, 4, {}, 0, true } });
    const auto image = renderAt (shadows, square (20, 20), 1.0f);

    EXPECT_EQ (shadows.getComposite().getBounds(), juce::Rectangle<int> (0, 0, 10, 10));
    EXPECT_EQ (alpha (image, 19, 25), 0); // nothing outside
    EXPECT_EQ (alpha (image, 25, 30), 0);
    EXPECT_GT (alpha (image, 20, 25), alpha (image, 22, 25)); // darkest at the edge
    EXPECT_LT (alpha (image, 24, 24), 128);
}

TEST (CachedShadows, RadiusZeroPlaceholderDrawsASilhouette)
{
    // Radius 0 grows the shadow's area by nothing, so the blur (raised to radius 1) only repeats the
    // shape's own edge pixels: a black copy of the square, nothing around it.
    CachedShadows shadows ({ { juce::Colours::black, 0, {}, 0, false } });
    const auto image = renderAt (shadows, square (20, 20), 1.0f);

    for (int x = 20; x < 30; ++x)
    {
        ASSERT_GE (alpha (image, x, 25), 250) << x;
        ASSERT_GE (alpha (image, 25, x), 250) << x;
        ASSERT_EQ (image.getPixelAt (x, 25).getRed(), 0);
    }
    EXPECT_EQ (alpha (image, 19, 25), 0);
    EXPECT_EQ (alpha (image, 30, 25), 0);
    EXPECT_EQ (alpha (image, 25, 19), 0);
}

TEST (CachedShadows, EmptyPathDrawsNothing)
{
    CachedShadows shadows ({ { juce::Colours::black, 4, {}, 0, false } });
    const auto image = renderAt (shadows, juce::Path(), 1.0f);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ (alpha (image, x, y), 0);
}
