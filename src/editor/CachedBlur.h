#pragma once

#include <juce_graphics/juce_graphics.h>

namespace melatonin
{
/** Keeps a stack-blurred copy of an image and blurs again only when it is handed a different image.

    Identity decides, not content: an image that shares its pixel data with the last one (the same
    image, or another empty one) is not blurred again. Message thread only. */
class CachedBlur
{
public:
    /** Blurs with the given radius, limited to 2..254 when it is used. */
    explicit CachedBlur (int blurRadius) : radius (blurRadius) {}

    /** Makes blurredImage the blur of source, unless source is the image blurred last time.
        Images of any format are blurred as ARGB (an opaque snapshot on Linux is 3-byte RGB). */
    void update (const juce::Image& source);

    /** The radius the blur actually uses for a requested one. */
    static int effectiveRadius (int requested) noexcept;

    int radius;
    juce::Image lastSource;
    juce::Image blurredImage;
};
} // namespace melatonin
