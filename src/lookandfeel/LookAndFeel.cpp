#include "lookandfeel/LookAndFeel.h"

#include "editor/CustomColours.h"
#include "editor/EmbeddedResources.h"

namespace tessaro::gui
{
namespace
{
    using melatonin::ShadowParameters;
    using melatonin::internal::CachedShadows;

    CachedShadows placeholderGlow()
    {
        return CachedShadows ({ ShadowParameters { juce::Colours::black, 0 } });
    }

    /** Five shadows of one colour with radii 2 to 32, or the first `count` of them. */
    CachedShadows glowOf (juce::Colour c, int count = 5)
    {
        if (count == 2)
            return CachedShadows ({ { c, 2 }, { c, 4 } });
        return CachedShadows ({ { c, 2 }, { c, 4 }, { c, 8 }, { c, 16 }, { c, 32 } });
    }

    /** The stroke every arc and line is drawn with: curved joints, rounded ends. */
    juce::PathStrokeType roundStroke (float thickness)
    {
        return { thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded };
    }

    /** Renders the glow of a path stroked at `thickness`, before the shape itself is drawn. */
    void renderGlow (juce::Graphics& g, CachedShadows& glow, const juce::Path& shape, float thickness)
    {
        juce::Path stroked;
        roundStroke (thickness).createStrokedPath (stroked, shape);
        glow.render (g, stroked);
    }

    juce::Colour towardWhite (juce::Colour c)
    {
        return c.interpolatedWith (juce::Colours::white, 0.4f);
    }

    juce::Path arc (juce::Point<float> centre, float radius, float from, float to)
    {
        juce::Path p;
        p.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, from, to, true);
        return p;
    }

    juce::Path line (juce::Point<float> a, juce::Point<float> b)
    {
        juce::Path p;
        p.startNewSubPath (a);
        p.lineTo (b);
        return p;
    }

    juce::Path circle (juce::Point<float> centre, float diameter)
    {
        juce::Path p;
        p.addEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (centre));
        return p;
    }
} // namespace

RotaryGeometry RotaryGeometry::of (float x, float y, float width, float height, float arcThicknessRatio)
{
    RotaryGeometry r;
    r.margin = 0.25f * width;
    r.area = { x + r.margin, y + r.margin, juce::jmax (0.0f, width - 2.0f * r.margin),
               juce::jmax (0.0f, height - 2.0f * r.margin) };
    r.radius = juce::jmin (r.area.getWidth(), r.area.getHeight()) / 2.0f;
    r.thickness = arcThicknessRatio * r.radius;
    r.arcRadius = r.radius - r.thickness / 2.0f;
    r.centre = r.area.getCentre();
    return r;
}

float linearTrackPosition (float position, float start, float length)
{
    if (length <= 0.0f)
        return start + 12.0f;
    return (start + 12.0f) + (position - start) * (length - 24.0f) / length;
}

//==============================================================================
LookAndFeel::LookAndFeel (const juce::String& imageName, int, bool, const char*, int, bool)
    : juce::QELLookAndFeel (imageName, 60),
      bypassFillColour (CustomColours::CONTROL_FILL_BYPASS),
      bypassOutlineColour (CustomColours::CONTROL_OUTLINE),
      bypassArcColour (CustomColours::CONTROL_FILL_BYPASS),
      rotaryGlow (placeholderGlow()),
      toggleGlow (placeholderGlow()),
      buttonGlow (placeholderGlow()),
      buttonHoverGlow (placeholderGlow()),
      textGlow (placeholderGlow()),
      textHoverGlow (placeholderGlow()),
      linearGlow (placeholderGlow()),
      thumbGlow (placeholderGlow()),
      controlFont (QEL::EmbeddedResources::montserratRegular())
{
    setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    setColour (juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
}

LookAndFeel::~LookAndFeel() = default;

void LookAndFeel::setShouldRenderGlow (bool renderGlow, bool renderTextGlow, juce::Colour glowColour)
{
    shouldRenderGlow = renderGlow;
    shouldRenderTextGlow = renderTextGlow;

    const auto a = glowColour.withAlpha ((juce::uint8) 0xbf);
    const auto b = towardWhite (glowColour).withAlpha ((juce::uint8) 0xbf);
    rotaryGlow = glowOf (a);
    toggleGlow = glowOf (a, 2);
    buttonGlow = glowOf (a);
    buttonHoverGlow = glowOf (b);
    textGlow = glowOf (a);
    textHoverGlow = glowOf (b);
    linearGlow = glowOf (a);
    thumbGlow = CachedShadows ({ { glowColour, 24 }, { glowColour, 18 }, { glowColour, 12 }, { glowColour, 6 } });
}

//==============================================================================
void LookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                        bool highlighted, bool)
{
    const int w = button.getWidth(), h = button.getHeight();
    g.reduceClipRegion ((int) backgroundClipLeft, 0, w, h); // stays in force for the text

    const bool left = button.isConnectedOnLeft(), right = button.isConnectedOnRight();
    const bool top = button.isConnectedOnTop(), bottom = button.isConnectedOnBottom();
    juce::Path outline;
    outline.addRoundedRectangle (14.0f, 14.0f, (float) juce::jmax (0, w - 28), (float) juce::jmax (0, h - 28),
                                 cornerSize, cornerSize, ! (left || top), ! (right || top), ! (left || bottom),
                                 ! (right || bottom));

    const bool on = button.getToggleState();
    if (shouldRenderGlow && on && ! bypassed)
        renderGlow (g, highlighted ? buttonHoverGlow : buttonGlow, outline, 1.0f);

    auto colour = backgroundColour;
    if (highlighted && (highlightWhenOff || on) && colour.getAlpha() != 0)
        colour = towardWhite (colour);
    g.setColour (colour);
    g.strokePath (outline, juce::PathStrokeType (1.0f));
}

juce::Font LookAndFeel::getTextButtonFont (juce::TextButton&, int)
{
    return controlFont.withHeight (textButtonFontHeight);
}

void LookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool highlighted, bool)
{
    juce::GlyphArrangement glyphs;
    glyphs.addFittedText (getTextButtonFont (button, button.getHeight()), button.getButtonText(), 0.0f, 0.0f,
                          (float) button.getWidth(), (float) button.getHeight(), juce::Justification::centred, 2);
    juce::Path text;
    glyphs.createPath (text);

    const bool on = button.getToggleState();
    if (shouldRenderTextGlow && on && ! bypassed)
        (highlighted ? textHoverGlow : textGlow).render (g, text);

    auto colour = button.findColour (on ? juce::TextButton::textColourOnId : juce::TextButton::textColourOffId);
    if (! button.isEnabled())
        colour = colour.withAlpha ((juce::uint8) juce::jmin (255, juce::roundToInt (colour.getAlpha() * 0.5f)));
    if (highlighted)
        colour = towardWhite (colour);
    g.setColour (bypassed ? bypassFillColour : colour);
    g.fillPath (text);
}

void LookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool, bool)
{
    const float w = (float) button.getWidth(), h = (float) button.getHeight();
    const float innerW = juce::jmax (0.0f, w - 3.0f), innerH = juce::jmax (0.0f, h - 3.0f);
    const bool on = button.getToggleState();

    const auto outline = findColour (juce::ToggleButton::tickDisabledColourId);
    g.setColour (on ? outline : outline.withAlpha ((juce::uint8) 0x80));
    g.drawRoundedRectangle (1.5f, 1.5f, innerW, innerH, 4.0f, 1.0f);

    const auto bar = juce::Rectangle<float> (0.5f * innerW, 0.2f * innerH).withCentre ({ w / 2.0f, h / 2.0f });
    if (on && shouldRenderGlow)
    {
        juce::Path barPath;
        barPath.addRoundedRectangle (bar, 2.0f);
        renderGlow (g, toggleGlow, barPath, 2.0f);
    }
    g.setColour (on ? findColour (juce::ToggleButton::tickColourId) : toggleOffFillColour);
    g.fillRoundedRectangle (bar, 2.0f);
}

juce::Font LookAndFeel::getSliderPopupFont (juce::Slider&)
{
    return controlFont.withHeight (popupFontHeight);
}

//==============================================================================
void LookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float pos, float start,
                                    float end, juce::Slider& slider)
{
    if (bipolar)
        drawBipolarRotarySlider (g, x, y, width, height, pos, start, end, slider);
    else
        drawUnipolarRotarySlider (g, x, y, width, height, pos, start, end, slider);
}

void LookAndFeel::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float pos, float minPos,
                                    float maxPos, juce::Slider::SliderStyle style, juce::Slider& slider)
{
    if (bipolar)
        drawBipolarLinearSlider (g, x, y, width, height, pos, minPos, maxPos, style, slider);
    else
        drawUnipolarLinearSlider (g, x, y, width, height, pos, minPos, maxPos, style, slider);
}

namespace
{
    /** What both rotary painters share: track, then (when enabled) the value arc over its glow. */
    struct RotaryPainter
    {
        LookAndFeel& lnf;
        juce::Graphics& g;
        juce::Slider& slider;
        RotaryGeometry geometry;

        void paint (float start, float end, float trackThickness, float from, float to, float glowThickness)
        {
            if (geometry.radius <= 0.0f)
                return;

            g.setColour (lnf.bypassed ? lnf.bypassOutlineColour
                                      : slider.findColour (juce::Slider::rotarySliderOutlineColourId));
            g.strokePath (arc (geometry.centre, geometry.arcRadius, start, end), roundStroke (trackThickness));
            if (! slider.isEnabled())
                return;

            const auto value = arc (geometry.centre, geometry.arcRadius, from, to);
            if (! lnf.bypassed && lnf.shouldRenderGlow)
                renderGlow (g, lnf.rotaryGlow, value, glowThickness);
            g.setColour (lnf.bypassed ? lnf.bypassArcColour
                                      : slider.findColour (juce::Slider::rotarySliderFillColourId));
            g.strokePath (value, roundStroke (geometry.thickness));
        }
    };
} // namespace

void LookAndFeel::drawUnipolarRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float pos,
                                            float start, float end, juce::Slider& slider)
{
    RotaryPainter painter { *this, g, slider,
                            RotaryGeometry::of ((float) x, (float) y, (float) width, (float) height,
                                                arcThicknessRatio) };
    const float t = painter.geometry.thickness;
    painter.paint (start, end, trackThicknessRatio * t, start, start + pos * (end - start), t);
}

void LookAndFeel::drawBipolarRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float pos,
                                           float start, float end, juce::Slider& slider)
{
    RotaryPainter painter { *this, g, slider,
                            RotaryGeometry::of ((float) x, (float) y, (float) width, (float) height,
                                                arcThicknessRatio) };
    const float value = start + pos * (end - start), centre = (start + end) / 2.0f;
    painter.paint (start, end, 0.5f * painter.geometry.thickness, pos >= 0.5f ? centre : value,
                   pos >= 0.5f ? value : centre, 3.0f);
}

namespace
{
    /** What both linear painters share: the axis, the mapping onto the inset track, and the
        drawing of track, value line, thumbs and hover dots in their order. */
    struct LinearPainter
    {
        LookAndFeel& lnf;
        juce::Graphics& g;
        juce::Slider& slider;
        float x, y, width, height;
        bool horizontal = slider.isHorizontal();
        juce::Point<float> centre { x + width / 2.0f, y + height / 2.0f };

        juce::Point<float> at (float position) const
        {
            return horizontal ? juce::Point<float> (linearTrackPosition (position, x, width), centre.y)
                              : juce::Point<float> (centre.x, linearTrackPosition (position, y, height));
        }

        juce::Point<float> firstEnd() const
        {
            return horizontal ? juce::Point<float> (x + 12.0f, centre.y)
                              : juce::Point<float> (centre.x, y + height - 12.0f);
        }

        juce::Point<float> lastEnd() const
        {
            return horizontal ? juce::Point<float> (x + width - 12.0f, centre.y) : juce::Point<float> (centre.x, y + 12.0f);
        }

        juce::Colour colourOf (int id) const { return lnf.bypassed ? lnf.bypassFillColour : slider.findColour (id); }

        void paint (juce::Point<float> from, juce::Point<float> to, std::initializer_list<juce::Point<float>> thumbs,
                    bool thumbGlow)
        {
            g.setColour (colourOf (juce::Slider::backgroundColourId));
            g.strokePath (line (firstEnd(), lastEnd()), roundStroke (2.0f));

            const auto value = line (from, to);
            if (! lnf.bypassed && lnf.shouldRenderGlow)
                renderGlow (g, lnf.linearGlow, value, 2.0f);
            g.setColour (colourOf (juce::Slider::trackColourId));
            g.strokePath (value, roundStroke (2.0f));

            const auto thumbColour = colourOf (juce::Slider::thumbColourId);
            for (auto thumb : thumbs)
            {
                const auto shape = circle (thumb, 12.0f);
                if (thumbGlow)
                    renderGlow (g, lnf.thumbGlow, shape, 1.0f);
                g.setColour (thumbColour);
                g.fillPath (shape);
            }

            if (slider.isMouseOverOrDragging() && slider.isEnabled() && ! lnf.bypassed)
            {
                g.setColour (thumbColour.darker (0.4f));
                for (auto thumb : thumbs)
                    g.fillEllipse (juce::Rectangle<float> (7.2f, 7.2f).withCentre (thumb));
            }
        }
    };
} // namespace

void LookAndFeel::drawUnipolarLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float pos,
                                            float minPos, float maxPos, juce::Slider::SliderStyle style,
                                            juce::Slider& slider)
{
    LinearPainter painter { *this, g, slider, (float) x, (float) y, (float) width, (float) height };
    if (style == juce::Slider::TwoValueHorizontal || style == juce::Slider::TwoValueVertical)
        painter.paint (painter.at (minPos), painter.at (maxPos), { painter.at (minPos), painter.at (maxPos) }, false);
    else
        painter.paint (painter.firstEnd(), painter.at (pos), { painter.at (pos) }, true);
}

void LookAndFeel::drawBipolarLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float pos, float,
                                           float, juce::Slider::SliderStyle, juce::Slider& slider)
{
    LinearPainter painter { *this, g, slider, (float) x, (float) y, (float) width, (float) height };
    painter.paint (painter.centre, painter.at (pos), { painter.at (pos) }, true);
}
} // namespace tessaro::gui
