#include "panels/ScaledFrames.h"
#include "panels/ScaledImageComponent.h"

#include <gtest/gtest.h>

using tessaro::gui::ScaledFrames;
using tessaro::gui::ScaledImageComponent;

namespace
{
/*  A 60 x 20 strip of three 20 x 20 frames: red, green, blue. */
juce::Image threeFrames()
{
    juce::Image image (juce::Image::ARGB, 60, 20, true, juce::SoftwareImageType());
    const juce::Colour colours[] = { juce::Colours::red, juce::Colours::lime, juce::Colours::blue };
    for (int i = 0; i < 3; ++i)
        image.clear ({ i * 20, 0, 20, 20 }, colours[i]);
    return image;
}
} // namespace

// A 20 x 20 destination at several context scales: shrunk frames are copied from the shared set
// (made once, at the device size), enlarged ones are resampled from the picture; either way the
// right frame fills the destination.
TEST (ScaledFrames, DrawsTheFrameAtEveryScaleAndKeepsOnlyShrunkCopies)
{
    const struct
    {
        float scale;
        int madeSize; // 0: nothing kept
    } cases[] = { { 0.5f, 10 }, { 0.8f, 16 }, { 1.0f, 20 }, { 1.5f, 0 } };

    const auto strip = threeFrames();
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.scale);
        const int side = juce::roundToInt (30.0f * c.scale);
        juce::Image target (juce::Image::ARGB, side, side, true, juce::SoftwareImageType());
        std::shared_ptr<ScaledFrames> cache;
        {
            juce::Graphics g (target);
            g.addTransform (juce::AffineTransform::scale (c.scale));
            ScaledFrames::draw (g, cache, strip, 3, false, 1, { 5, 5, 20, 20 });
        }
        const int inside = juce::roundToInt (15.0f * c.scale), outside = juce::roundToInt (2.0f * c.scale);
        EXPECT_EQ (target.getPixelAt (inside, inside), juce::Colours::lime);
        EXPECT_EQ (target.getPixelAt (outside, outside), juce::Colours::transparentBlack);
        if (c.madeSize == 0)
            EXPECT_EQ (cache, nullptr);
        else
        {
            ASSERT_NE (cache, nullptr);
            EXPECT_EQ (cache->getFrameSize(), juce::Rectangle<int> (c.madeSize, c.madeSize));
            EXPECT_EQ (cache->getNumFramesMade(), 1);
        }
    }
}

TEST (ScaledFrames, OneSetPerPictureAndSizeWhileAnyoneHoldsIt)
{
    const auto strip = threeFrames();
    auto a = ScaledFrames::get (strip, 3, false, 10, 10);
    auto b = ScaledFrames::get (strip, 3, false, 10, 10);
    EXPECT_EQ (a, b);
    EXPECT_NE (a, ScaledFrames::get (strip, 3, false, 12, 12));
    EXPECT_NE (a, ScaledFrames::get (threeFrames(), 3, false, 10, 10)) << "another picture";

    a->frame (2);
    EXPECT_EQ (b->getNumFramesMade(), 1);
    EXPECT_EQ (b->frame (2).getPixelAt (5, 5), juce::Colours::blue);

    std::weak_ptr<ScaledFrames> held = a;
    a.reset();
    b.reset();
    EXPECT_TRUE (held.expired());
    EXPECT_EQ (ScaledFrames::get (strip, 3, false, 10, 10)->getNumFramesMade(), 0) << "made anew";
}

TEST (ScaledImageComponent, OpaqueOnlyForAPictureWithoutTranslucentPixels)
{
    juce::Image solid (juce::Image::ARGB, 4, 4, false, juce::SoftwareImageType());
    solid.clear (solid.getBounds(), juce::Colours::black);
    auto holed = solid.createCopy();
    holed.setPixelAt (3, 3, juce::Colours::black.withAlpha (0.99f));

    ScaledImageComponent picture;
    picture.setPicture (solid);
    EXPECT_TRUE (picture.isOpaque());
    picture.setPicture (holed);
    EXPECT_FALSE (picture.isOpaque());
    picture.setPicture ({});
    EXPECT_FALSE (picture.isOpaque());
}

// A picture loaded on demand, as the module panels' strips are: the set holds it only while frames are
// missing, loads it again for a later frame, and its frames equal those made from a held picture.
TEST (ScaledFrames, APictureLoadedOnDemandIsLetGoOnceEveryFrameIsMade)
{
    const auto strip = threeFrames();
    int loads = 0;
    const ScaledFrames::Picture picture { &loads, [&loads, strip]
                                          {
                                              ++loads;
                                              return strip.createCopy();
                                          } };
    auto onDemand = ScaledFrames::get (picture, 3, false, 10, 10);
    auto fromHeld = ScaledFrames::get (strip, 3, false, 10, 10);
    EXPECT_NE (onDemand, fromHeld);
    EXPECT_EQ (ScaledFrames::get (picture, 3, false, 10, 10), onDemand) << "one set per picture identity";

    onDemand->frame (0);
    EXPECT_TRUE (onDemand->holdsPicture()) << "two frames still missing";
    juce::MessageManager::getInstance()->runDispatchLoopUntil (3 * ScaledFrames::pictureHoldMs);
    EXPECT_FALSE (onDemand->holdsPicture()) << "let go after a pause";

    onDemand->frame (1);
    onDemand->frame (2);
    EXPECT_EQ (loads, 2);
    EXPECT_FALSE (onDemand->holdsPicture()) << "every frame made";

    for (int i = 0; i < 3; ++i)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ (onDemand->frame (i).getPixelAt (x, y), fromHeld->frame (i).getPixelAt (x, y)) << i;
    EXPECT_EQ (loads, 2);
}
