#include "CachedShadows.h"

#include "StackBlur.h"

namespace melatonin::internal
{
namespace
{
    bool isWhole (float s)
    {
        return std::floor (s) == s;
    }

    /** The shape grown (or shrunk) by `amount` on every side, keeping its proportions and centred. */
    void applySpread (juce::Path& shape, int amount)
    {
        const auto bounds = shape.getBounds();
        const auto target = juce::Rectangle<float> (bounds.getX() - (float) amount, bounds.getY() - (float) amount,
                                                    juce::jmax (0.0f, bounds.getWidth() + 2.0f * (float) amount),
                                                    juce::jmax (0.0f, bounds.getHeight() + 2.0f * (float) amount));
        if (target.isEmpty() || bounds.isEmpty())
            return;

        shape.applyTransform (shape.getTransformToScaleToFit (target, true));
    }
} // namespace

void RenderedSingleChannelShadow::render (const juce::Path& shape, float s)
{
    const auto pathBounds = shape.getBounds();
    scaledPathBounds = { 0, 0, (int) std::ceil (pathBounds.getWidth() * s),
                         (int) std::ceil (pathBounds.getHeight() * s) };
    scaledRadius = juce::roundToInt ((float) parameters.radius * s);
    scaledSpread = juce::roundToInt ((float) parameters.spread * s);
    scaledOffset = { (int) ((float) parameters.offset.x * s), (int) ((float) parameters.offset.y * s) };

    const int grow = parameters.inner ? scaledRadius - scaledSpread : scaledRadius + scaledSpread;
    auto area = scaledPathBounds.expanded (grow);
    area.setSize (juce::jmax (0, area.getWidth()), juce::jmax (0, area.getHeight()));
    if (! isWhole (s))
        area = area.expanded (1);
    scaledShadowBounds = area;

    auto toFill = shape;
    if (parameters.spread != 0)
        applySpread (toFill, parameters.inner ? -parameters.spread : parameters.spread);

    if (parameters.inner)
    {
        toFill.setUsingNonZeroWinding (false);
        auto around = toFill.getBounds().expanded ((float) scaledRadius);
        around.setSize (juce::jmax (0.0f, around.getWidth()), juce::jmax (0.0f, around.getHeight()));
        toFill.addRectangle (around);
    }

    if (scaledShadowBounds.isEmpty())
    {
        image = {};
        return;
    }

    juce::Image mask (juce::Image::SingleChannel, scaledShadowBounds.getWidth(), scaledShadowBounds.getHeight(), true,
                      juce::SoftwareImageType());
    {
        juce::Graphics g (mask);
        g.addTransform (juce::AffineTransform::scale (s));
        g.setColour (juce::Colours::white);
        g.fillPath (toFill, juce::AffineTransform::translation ((float) -scaledShadowBounds.getX() / s,
                                                                (float) -scaledShadowBounds.getY() / s));
    }

    stackBlur::singleChannel (mask, juce::jlimit (1, stackBlur::maxRadius, scaledRadius));
    image = mask;
}

CachedShadows::CachedShadows (std::initializer_list<ShadowParameters> shadowList, bool)
{
    jassert (shadowList.size() > 0);
    for (const auto& p : shadowList)
        shadows.emplace_back (p);
}

void CachedShadows::render (juce::Graphics& g, const juce::Path& path, bool)
{
    const float s = g.getInternalContext().getPhysicalPixelScaleFactor();
    if (! juce::approximatelyEqual (s, lastScale))
    {
        needsRender = true;
        lastScale = s;
    }

    const auto bounds = path.getBounds();
    const juce::Point<float> position { bounds.getX(), bounds.getY() };
    auto moved = path;
    moved.applyTransform (juce::AffineTransform::translation (-position.x, -position.y));

    if (! needsRender && moved == lastPath)
    {
        lastPosition = position;
    }
    else
    {
        lastPath = std::move (moved);
        lastScaledPath = lastPath;
        lastScaledPath.applyTransform (juce::AffineTransform::scale (s));
        lastPosition = position;
        renderAll();
        needsRecomposite = true;
        needsRender = false;
    }

    if (needsRecomposite)
        recomposite();

    if (! composite.isValid())
        return;

    juce::Graphics::ScopedSaveState state (g);
    g.setOpacity (1.0f);
    if (! g.isClipEmpty())
        g.drawImageTransformed (
            composite, juce::AffineTransform::translation (lastPosition * s + compositeOrigin).scaled (1.0f / s));
}

void CachedShadows::renderAll()
{
    ++renderCount;
    for (auto& shadow : shadows)
        shadow.render (lastPath, lastScale);
}

void CachedShadows::recomposite()
{
    ++compositeCount;
    needsRecomposite = false;

    juce::Rectangle<int> area;
    for (const auto& shadow : shadows)
    {
        const auto r =
            shadow.parameters.inner ? shadow.scaledPathBounds : shadow.scaledShadowBounds + shadow.scaledOffset;
        if (! r.isEmpty())
            area = area.isEmpty() ? r : area.getUnion (r);
    }

    compositeOrigin = area.getPosition().toFloat();
    if (area.isEmpty())
    {
        composite = {};
        return;
    }

    composite = juce::Image (juce::Image::ARGB, area.getWidth(), area.getHeight(), true, juce::SoftwareImageType());
    juce::Graphics g (composite);

    for (const auto& shadow : shadows)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.setColour (shadow.parameters.colour);

        // Composite pixels start at the union's corner; the shape's own coordinates start at (0, 0).
        const auto toComposite = juce::AffineTransform::translation ((float) -area.getX(), (float) -area.getY());

        if (shadow.parameters.inner)
        {
            g.reduceClipRegion (lastScaledPath, toComposite);
            drawInnerBands (g, shadow);
        }

        if (shadow.image.isValid() && ! g.isClipEmpty())
        {
            const auto at = shadow.scaledShadowBounds.getPosition() + shadow.scaledOffset - area.getPosition();
            g.drawImageAt (shadow.image, at.x, at.y, true);
        }
    }
}

void CachedShadows::drawInnerBands (juce::Graphics& g, const RenderedSingleChannelShadow& shadow) const
{
    // Inside the shape, whatever the offset mask leaves uncovered is fully in shadow.
    const auto origin = compositeOrigin.toInt();
    const auto p = shadow.scaledPathBounds - origin;
    const auto m = shadow.scaledShadowBounds + shadow.scaledOffset - origin;

    if (m.getY() > p.getY())
        g.fillRect (p.withBottom (m.getY()));
    if (m.getBottom() < p.getBottom())
        g.fillRect (p.withTop (m.getBottom()));
    if (m.getX() > p.getX())
        g.fillRect (p.withRight (m.getX()));
    if (m.getRight() < p.getRight())
        g.fillRect (p.withLeft (m.getRight()));
}
} // namespace melatonin::internal
