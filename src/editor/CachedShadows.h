#pragma once

#include <initializer_list>
#include <juce_graphics/juce_graphics.h>
#include <vector>

namespace melatonin
{
/** One shadow of a path: drop shadow under it, or inner shadow inside it. */
struct ShadowParameters
{
    /** Colour and opacity of the shadow. */
    juce::Colour colour {};
    /** Blur radius in logical points. */
    int radius = 1;
    /** Displacement from the shape in logical points. */
    juce::Point<int> offset {};
    /** Growth of the shape before blurring in logical points (negative shrinks). */
    int spread = 0;
    /** Inner shadow instead of a drop shadow. */
    bool inner = false;
};

namespace internal
{
    /** One shadow rendered at a pixel scale: a blurred single-channel coverage mask. */
    struct RenderedSingleChannelShadow
    {
        explicit RenderedSingleChannelShadow (ShadowParameters p) : parameters (p) {}

        /** Renders the mask of the shape (its bounds starting at 0, 0, in logical points) at scale s. */
        void render (const juce::Path& shape, float scale);

        ShadowParameters parameters;
        juce::Image image;
        juce::Rectangle<int> scaledShadowBounds;
        juce::Rectangle<int> scaledPathBounds;
        int scaledRadius = 0;
        int scaledSpread = 0;
        juce::Point<int> scaledOffset;
    };

    /** Draws a set of blurred shadows of a path, rendered once per outline and display scale and
        composited into one image, so that moving the shape costs one image draw. Message thread only. */
    class CachedShadows
    {
    public:
        /** One shadow per entry, in list order (at least one). The flag has no effect: each entry's own
            `inner` decides its kind. */
        CachedShadows (std::initializer_list<ShadowParameters> shadowList, bool unusedInner = false);

        CachedShadows (CachedShadows&&) noexcept = default;
        CachedShadows& operator= (CachedShadows&&) noexcept = default;

        /** Draws every shadow of the path at its position, rendering and compositing when the outline or
            the display scale changed. The flag has no effect. */
        void render (juce::Graphics& g, const juce::Path& path, bool unusedAlwaysRender = false);

        const std::vector<RenderedSingleChannelShadow>& getShadows() const noexcept { return shadows; }
        const juce::Image& getComposite() const noexcept { return composite; }
        juce::Point<float> getCompositeOrigin() const noexcept { return compositeOrigin; }
        juce::Point<float> getLastPosition() const noexcept { return lastPosition; }
        float getLastScale() const noexcept { return lastScale; }
        /** How many times the shadows were rendered and composited (for tests). */
        int getRenderCount() const noexcept { return renderCount; }
        int getCompositeCount() const noexcept { return compositeCount; }

    private:
        void renderAll();
        void recomposite();
        void drawInnerBands (juce::Graphics& g, const RenderedSingleChannelShadow& shadow) const;

        juce::Path lastPath;
        juce::Path lastScaledPath;
        juce::Point<float> lastPosition;
        juce::Image composite;
        juce::Point<float> compositeOrigin;
        std::vector<RenderedSingleChannelShadow> shadows;
        bool needsRecomposite = true;
        bool needsRender = true;
        float lastScale = 1.0f;
        int renderCount = 0;
        int compositeCount = 0;
    };
} // namespace internal
} // namespace melatonin
