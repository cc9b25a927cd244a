// Draws the product's art: the background, the six module animation strips and still
// images, and the SVG icons and wordmarks. The output is byte-for-byte the same on every
// run (JUCE's software renderer, fixed inputs, no timestamps), so the committed files can
// be checked by regenerating them.
//
//   tessaro_artgen <resources folder>
//
// Reads fonts/Montserrat-Bold.ttf from the folder and writes images/*.png and icons/*.svg.

#include <juce_graphics/juce_graphics.h>

#include <cmath>
#include <functional>
#include <iostream>

namespace
{
constexpr float twoPi = juce::MathConstants<float>::twoPi;

const juce::Colour background { 0xff0e1117 };
const juce::Colour textColour { 0xffe5eeff };

struct Module
{
    const char* name;
    juce::Colour fill, glow;
};

const Module modules[] = {
    { "compress", juce::Colour (0xff80d4ff), juce::Colour (0xff00aaff) },
    { "enhance", juce::Colour (0xff80aaff), juce::Colour (0xff0055ff) },
    { "eq", juce::Colour (0xff8080ff), juce::Colour (0xff0000ff) },
    { "multiply", juce::Colour (0xffaa80ff), juce::Colour (0xff5500ff) },
    { "space", juce::Colour (0xffd480ff), juce::Colour (0xffaa00ff) },
    { "gain", juce::Colour (0xffff80ff), juce::Colour (0xffff00ff) },
};

constexpr int frameWidth = 200, frameHeight = 270, frameCount = 90;
constexpr int stillWidth = 400, stillHeight = 540;

//==============================================================================
bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}

bool writeText (const juce::String& text, const juce::File& file)
{
    return file.replaceWithText (text, false, false, "\n");
}

juce::String num (float v)
{
    auto s = juce::String (std::round (v * 100.0f) / 100.0f, 2);
    if (s.containsChar ('.'))
        s = s.trimCharactersAtEnd ("0").trimCharactersAtEnd (".");
    return s == "-0" ? juce::String ("0") : s;
}

//==============================================================================
// A stroke with a soft halo: wide faint strokes in the glow colour under a crisp one.
void glowStroke (juce::Graphics& g, const juce::Path& p, const Module& m, float width, float alpha = 1.0f)
{
    const float halo[][2] = { { 7.0f, 0.06f }, { 4.5f, 0.10f }, { 2.5f, 0.18f } };
    for (auto& h : halo)
    {
        g.setColour (m.glow.withMultipliedAlpha (h[1] * alpha));
        g.strokePath (p,
                      juce::PathStrokeType (width * h[0], juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
    g.setColour (m.fill.withMultipliedAlpha (alpha));
    g.strokePath (p, juce::PathStrokeType (width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

// Each module's picture at phase t in [0, 1), drawn into a 200 x 270 frame. t = 0 and
// t = 1 give the same picture, so the strips loop without a seam.
void drawCompress (juce::Graphics& g, const Module& m, float t)
{
    const float squeeze = 0.5f + 0.5f * std::sin (twoPi * t);
    const float gap = 10.0f + 14.0f * squeeze;
    for (int i = -2; i <= 2; ++i)
    {
        juce::Path bar;
        const float y = 135.0f + (float) i * gap;
        bar.startNewSubPath (55.0f, y);
        bar.lineTo (145.0f, y);
        glowStroke (g, bar, m, 4.0f, 1.0f - 0.12f * (float) std::abs (i));
    }
    for (float dir : { -1.0f, 1.0f })
    {
        const float tip = 135.0f + dir * (2.5f * gap + 14.0f);
        juce::Path arrow;
        arrow.startNewSubPath (100.0f, tip + dir * 34.0f);
        arrow.lineTo (100.0f, tip);
        arrow.startNewSubPath (88.0f, tip + dir * 12.0f);
        arrow.lineTo (100.0f, tip);
        arrow.lineTo (112.0f, tip + dir * 12.0f);
        glowStroke (g, arrow, m, 2.5f, 0.8f);
    }
}

void drawEnhance (juce::Graphics& g, const Module& m, float t)
{
    juce::Path wave;
    for (int x = 20; x <= 180; x += 2)
    {
        const float u = (float) (x - 20) / 160.0f;
        const float env = std::sin (juce::MathConstants<float>::pi * u);
        const float y = 160.0f + 38.0f * env * std::sin (twoPi * (2.0f * u - t));
        if (x == 20)
            wave.startNewSubPath ((float) x, y);
        else
            wave.lineTo ((float) x, y);
    }
    glowStroke (g, wave, m, 3.0f);

    for (int i = 0; i < 6; ++i)
    {
        const float life = std::fmod ((float) i / 6.0f + t, 1.0f);
        const float x = 40.0f + 24.0f * (float) i;
        const float y = 150.0f - 110.0f * life;
        const float r = 3.0f + 5.0f * std::sin (juce::MathConstants<float>::pi * life);
        juce::Path star;
        star.addStar ({ x, y }, 4, r * 0.35f, r, 0.0f);
        g.setColour (m.glow.withAlpha (0.25f * (1.0f - life)));
        g.fillEllipse (x - 2.0f * r, y - 2.0f * r, 4.0f * r, 4.0f * r);
        g.setColour (m.fill.withAlpha (1.0f - life));
        g.fillPath (star);
    }
}

void drawEq (juce::Graphics& g, const Module& m, float t)
{
    g.setColour (m.fill.withAlpha (0.25f));
    g.drawHorizontalLine (135, 20.0f, 180.0f);

    const float centres[] = { 50.0f, 100.0f, 150.0f };
    juce::Path curve;
    for (int x = 20; x <= 180; x += 2)
    {
        float y = 135.0f;
        for (int b = 0; b < 3; ++b)
        {
            const float gain = 42.0f * std::sin (twoPi * t + (float) b * twoPi / 3.0f);
            const float d = ((float) x - centres[b]) / 20.0f;
            y -= gain * std::exp (-d * d);
        }
        if (x == 20)
            curve.startNewSubPath ((float) x, y);
        else
            curve.lineTo ((float) x, y);
    }
    glowStroke (g, curve, m, 3.0f);

    for (int b = 0; b < 3; ++b)
    {
        const float gain = 42.0f * std::sin (twoPi * t + (float) b * twoPi / 3.0f);
        g.setColour (m.fill);
        g.fillEllipse (centres[b] - 4.0f, 135.0f - gain - 4.0f, 8.0f, 8.0f);
    }
}

void drawMultiply (juce::Graphics& g, const Module& m, float t)
{
    for (int v = 0; v < 4; ++v)
    {
        const float a = twoPi * (t + (float) v / 4.0f);
        const float cx = 100.0f + 26.0f * std::cos (a);
        const float cy = 135.0f + 26.0f * std::sin (a);
        juce::Path circle;
        circle.addEllipse (cx - 40.0f, cy - 40.0f, 80.0f, 80.0f);
        glowStroke (g, circle, m, 2.5f, 0.9f);
    }
    g.setColour (m.fill);
    g.fillEllipse (95.0f, 130.0f, 10.0f, 10.0f);
}

void drawSpace (juce::Graphics& g, const Module& m, float t)
{
    for (int k = 0; k < 5; ++k)
    {
        const float life = std::fmod ((float) k / 5.0f + t, 1.0f);
        const float r = 8.0f + 86.0f * life;
        juce::Path ring;
        ring.addEllipse (100.0f - r, 135.0f - r, 2.0f * r, 2.0f * r);
        glowStroke (g, ring, m, 2.5f, std::sin (juce::MathConstants<float>::pi * life));
    }
    g.setColour (m.fill);
    g.fillEllipse (94.0f, 129.0f, 12.0f, 12.0f);
}

void drawGain (juce::Graphics& g, const Module& m, float t)
{
    for (int k = 0; k < 7; ++k)
    {
        const float level = 0.5f + 0.5f * std::sin (twoPi * t + 0.9f * (float) k);
        const float h = 30.0f + 110.0f * level * (0.6f + 0.4f * std::sin (0.45f * (float) (k + 1)));
        const float x = 37.0f + 21.0f * (float) k;
        juce::Path bar;
        bar.startNewSubPath (x, 205.0f);
        bar.lineTo (x, 205.0f - h);
        glowStroke (g, bar, m, 8.0f);
    }
    g.setColour (m.fill.withAlpha (0.5f));
    g.drawHorizontalLine (214, 25.0f, 175.0f);
}

void drawModule (juce::Graphics& g, int index, float t)
{
    const auto& m = modules[index];
    using Draw = void (*) (juce::Graphics&, const Module&, float);
    const Draw draws[] = { drawCompress, drawEnhance, drawEq, drawMultiply, drawSpace, drawGain };
    draws[index](g, m, t);
}

juce::Image animationStrip (int index)
{
    juce::Image strip (juce::Image::ARGB, frameWidth * frameCount, frameHeight, true, juce::SoftwareImageType());
    juce::Graphics g (strip);
    for (int i = 0; i < frameCount; ++i)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (i * frameWidth, 0, frameWidth, frameHeight);
        g.setOrigin (i * frameWidth, 0);
        drawModule (g, index, (float) i / (float) frameCount);
    }
    return strip;
}

// The module at rest: its first frame at full size, dimmed to the text colour.
juce::Image stillImage (int index)
{
    juce::Image still (juce::Image::ARGB, stillWidth, stillHeight, true, juce::SoftwareImageType());
    {
        juce::Graphics g (still);
        g.addTransform (juce::AffineTransform::scale ((float) stillWidth / (float) frameWidth));
        drawModule (g, index, 0.0f);
    }
    juce::Image::BitmapData pixels (still, juce::Image::BitmapData::readWrite);
    for (int y = 0; y < stillHeight; ++y)
        for (int x = 0; x < stillWidth; ++x)
        {
            const auto c = pixels.getPixelColour (x, y);
            const float luma = (0.3f * c.getFloatRed() + 0.59f * c.getFloatGreen() + 0.11f * c.getFloatBlue());
            const float alpha = c.getFloatAlpha() * 0.3f * juce::jlimit (0.4f, 1.0f, luma * 1.6f);
            pixels.setPixelColour (x, y, textColour.withAlpha (alpha));
        }
    return still;
}

juce::Image backgroundImage()
{
    constexpr int w = 1300, h = 800, header = 74;
    juce::Image image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff12151c), 0.0f, 0.0f, juce::Colour (0xff0b0d12), 0.0f,
                                             (float) h, false));
    g.fillAll();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff181c25), 0.0f, 0.0f, juce::Colour (0xff12151c), 0.0f,
                                             (float) header, false));
    g.fillRect (0, 0, w, header);
    g.setColour (textColour.withAlpha (0.08f));
    g.drawHorizontalLine (header, 0.0f, (float) w);
    g.setColour (juce::Colours::black.withAlpha (0.35f));
    g.drawHorizontalLine (header + 1, 0.0f, (float) w);
    g.setGradientFill (juce::ColourGradient (juce::Colours::transparentBlack, w * 0.5f, h * 0.5f,
                                             juce::Colours::black.withAlpha (0.35f), 0.0f, 0.0f, true));
    g.fillAll();
    return image;
}

//==============================================================================
// SVG documents, using only what JUCE's SVG parser reads. Each starts with an invisible frame
// over the whole view box, so that the parsed drawable's bounds are the document's size: the
// face lays out logos and icon buttons by those bounds.
juce::String svgDocument (int w, int h, const juce::String& body)
{
    const juce::String ws (w), hs (h);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + ws + "\" height=\"" + hs + "\" viewBox=\"0 0 " + ws +
           " " + hs + "\">\n  <path d=\"M0 0L" + ws + " 0L" + ws + " " + hs + "L0 " + hs + "Z\" fill=\"none\"/>\n" + body +
           "</svg>\n";
}

juce::String pathData (const juce::Path& path)
{
    juce::String d;
    juce::Path::Iterator it (path);
    while (it.next())
    {
        switch (it.elementType)
        {
            case juce::Path::Iterator::startNewSubPath: d << "M" << num (it.x1) << " " << num (it.y1); break;
            case juce::Path::Iterator::lineTo: d << "L" << num (it.x1) << " " << num (it.y1); break;
            case juce::Path::Iterator::quadraticTo:
                d << "Q" << num (it.x1) << " " << num (it.y1) << " " << num (it.x2) << " " << num (it.y2);
                break;
            case juce::Path::Iterator::cubicTo:
                d << "C" << num (it.x1) << " " << num (it.y1) << " " << num (it.x2) << " " << num (it.y2) << " "
                  << num (it.x3) << " " << num (it.y3);
                break;
            case juce::Path::Iterator::closePath: d << "Z"; break;
        }
    }
    return d;
}

juce::String strokeElement (const juce::Path& p, const juce::String& colour, float width, float opacity = 1.0f)
{
    juce::String e = "  <path d=\"" + pathData (p) + "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" +
                     num (width) + "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    if (opacity < 1.0f)
        e << " stroke-opacity=\"" << num (opacity) << "\"";
    return e + "/>\n";
}

juce::String fillElement (const juce::Path& p, const juce::String& colour, float opacity = 1.0f)
{
    juce::String e = "  <path d=\"" + pathData (p) + "\" fill=\"" + colour + "\"";
    if (opacity < 1.0f)
        e << " fill-opacity=\"" << num (opacity) << "\"";
    return e + "/>\n";
}

// A word in the given font, letter-spaced and fitted into w x h.
juce::String wordmark (const juce::Typeface::Ptr& typeface, const juce::String& word, int w, int h, float tracking)
{
    juce::Path text;
    const juce::Font font (typeface);
    float x = 0.0f;
    for (auto c : word)
    {
        juce::GlyphArrangement glyph;
        glyph.addLineOfText (font.withHeight (100.0f), juce::String::charToString (c), x, 0.0f);
        juce::Path p;
        glyph.createPath (p);
        text.addPath (p);
        x += font.withHeight (100.0f).getStringWidthFloat (juce::String::charToString (c)) + tracking;
    }
    text.applyTransform (text.getTransformToScaleToFit (0.0f, 0.0f, (float) w, (float) h, true));
    return svgDocument (w, h, fillElement (text, "#E5EEFF"));
}

juce::Path star (float cx, float cy, float outer)
{
    juce::Path p;
    p.addStar ({ cx, cy }, 5, outer * 0.45f, outer, 0.0f);
    return p;
}

// The play glyph in a film frame, shared by the three animation-mode icons.
juce::String filmGlyph (float top)
{
    juce::Path frame;
    frame.addRoundedRectangle (1.0f, top + 1.0f, 14.0f, 11.0f, 2.0f);
    juce::Path play;
    play.addTriangle (6.0f, top + 3.5f, 6.0f, top + 9.5f, 11.0f, top + 6.5f);
    return strokeElement (frame, "#FFFFFF", 1.4f) + fillElement (play, "#FFFFFF");
}

// One line glyph per module, drawn in a unit box and stretched to the icon's size.
juce::Path moduleGlyph (int index)
{
    juce::Path p;
    switch (index)
    {
        case 0: // compress: bars pushed together by two arrows
            for (float y : { 0.42f, 0.5f, 0.58f })
            {
                p.startNewSubPath (0.2f, y);
                p.lineTo (0.8f, y);
            }
            for (float dir : { -1.0f, 1.0f })
            {
                const float tip = 0.5f + dir * 0.2f;
                p.startNewSubPath (0.5f, 0.5f + dir * 0.45f);
                p.lineTo (0.5f, tip);
                p.startNewSubPath (0.4f, tip + dir * 0.08f);
                p.lineTo (0.5f, tip);
                p.lineTo (0.6f, tip + dir * 0.08f);
            }
            break;
        case 1: // enhance: a sparkle over a wave
            p.addStar ({ 0.5f, 0.35f }, 4, 0.07f, 0.25f, 0.0f);
            p.startNewSubPath (0.05f, 0.8f);
            p.cubicTo (0.3f, 0.6f, 0.7f, 1.0f, 0.95f, 0.8f);
            break;
        case 2: // eq: a curve with two bands
            p.startNewSubPath (0.05f, 0.6f);
            p.cubicTo (0.2f, 0.6f, 0.25f, 0.15f, 0.35f, 0.15f);
            p.cubicTo (0.45f, 0.15f, 0.5f, 0.6f, 0.6f, 0.6f);
            p.cubicTo (0.7f, 0.6f, 0.75f, 0.85f, 0.85f, 0.85f);
            p.lineTo (0.95f, 0.85f);
            break;
        case 3: // multiply: three overlapping voices
            p.addEllipse (0.1f, 0.25f, 0.45f, 0.45f);
            p.addEllipse (0.45f, 0.25f, 0.45f, 0.45f);
            p.addEllipse (0.275f, 0.05f, 0.45f, 0.45f);
            break;
        case 4: // space: concentric arcs
            for (float r : { 0.12f, 0.25f, 0.38f })
                p.addCentredArc (0.5f, 0.5f, r, r, 0.0f, -1.1f, 1.1f, true);
            break;
        default: // gain: a fader
            p.startNewSubPath (0.5f, 0.05f);
            p.lineTo (0.5f, 0.95f);
            p.addRoundedRectangle (0.3f, 0.4f, 0.4f, 0.16f, 0.04f);
            break;
    }
    return p;
}

juce::String moduleIcon (int index, int w, int h, const juce::String& colour, float opacity)
{
    auto glyph = moduleGlyph (index);
    const float inset = 0.08f * (float) juce::jmin (w, h);
    glyph.applyTransform (
        juce::AffineTransform::scale ((float) w - 2.0f * inset, (float) h - 2.0f * inset).translated (inset, inset));
    return svgDocument (w, h, strokeElement (glyph, colour, 0.025f * (float) juce::jmin (w, h) + 1.0f, opacity));
}

//==============================================================================
struct Icon
{
    juce::String file;
    std::function<juce::String()> make;
};

std::vector<Icon> icons (const juce::Typeface::Ptr& bold)
{
    std::vector<Icon> list;
    const int backSizes[][2] = { { 80, 121 }, { 120, 108 }, { 120, 81 }, { 120, 121 }, { 125, 126 }, { 120, 114 } };
    const int offSizes[][2] = { { 182, 201 }, { 183, 201 }, { 182, 201 }, { 182, 201 }, { 181, 201 }, { 182, 201 } };
    for (int i = 0; i < 6; ++i)
    {
        const juce::String name (modules[i].name);
        const auto fill = "#" + modules[i].fill.toDisplayString (false);
        list.push_back (
            { name + "_back_icon.svg", [=] { return moduleIcon (i, backSizes[i][0], backSizes[i][1], fill, 0.6f); } });
        list.push_back ({ name + "_off_icon.svg",
                          [=] { return moduleIcon (i, offSizes[i][0], offSizes[i][1], "#E5EEFF", 0.35f); } });
    }

    list.push_back ({ "orvane_logo.svg", [=] { return wordmark (bold, "ORVANE", 85, 13, 28.0f); } });
    list.push_back ({ "expand_icon.svg", []
                      {
                          juce::Path p;
                          p.startNewSubPath (9.5f, 1.5f);
                          p.lineTo (14.5f, 1.5f);
                          p.lineTo (14.5f, 6.5f);
                          p.startNewSubPath (14.5f, 1.5f);
                          p.lineTo (9.0f, 7.0f);
                          p.startNewSubPath (6.5f, 15.5f);
                          p.lineTo (1.5f, 15.5f);
                          p.lineTo (1.5f, 10.5f);
                          p.startNewSubPath (1.5f, 15.5f);
                          p.lineTo (7.0f, 10.0f);
                          return svgDocument (16, 17, strokeElement (p, "#FFFFFF", 1.5f));
                      } });
    list.push_back ({ "power_icon.svg", []
                      {
                          juce::Path p;
                          p.addCentredArc (8.0f, 10.0f, 6.5f, 6.5f, 0.0f, 0.65f, twoPi - 0.65f, true);
                          p.startNewSubPath (8.0f, 1.5f);
                          p.lineTo (8.0f, 8.5f);
                          return svgDocument (16, 18, strokeElement (p, "#FFFFFF", 1.6f));
                      } });
    list.push_back ({ "preset_next.svg", []
                      {
                          juce::Path p;
                          p.addTriangle (1.0f, 1.0f, 8.0f, 7.5f, 1.0f, 14.0f);
                          return svgDocument (9, 15, fillElement (p, "#E5EEFF", 0.5f));
                      } });
    list.push_back ({ "preset_previous.svg", []
                      {
                          juce::Path p;
                          p.addTriangle (8.0f, 1.0f, 1.0f, 7.5f, 8.0f, 14.0f);
                          return svgDocument (9, 15, fillElement (p, "#E5EEFF", 0.5f));
                      } });
    list.push_back ({ "save_icon.svg", []
                      {
                          juce::Path p;
                          p.startNewSubPath (8.0f, 1.5f);
                          p.lineTo (8.0f, 10.5f);
                          p.startNewSubPath (4.5f, 7.0f);
                          p.lineTo (8.0f, 10.5f);
                          p.lineTo (11.5f, 7.0f);
                          p.startNewSubPath (1.5f, 11.0f);
                          p.lineTo (1.5f, 15.5f);
                          p.lineTo (14.5f, 15.5f);
                          p.lineTo (14.5f, 11.0f);
                          return svgDocument (16, 17, strokeElement (p, "#E5EEFF", 1.5f, 0.5f));
                      } });
    list.push_back ({ "star_empty_icon.svg",
                      [] { return svgDocument (13, 13, strokeElement (star (6.5f, 6.9f, 5.8f), "#E5EEFF", 1.0f)); } });
    list.push_back ({ "star_filled_icon.svg",
                      [] { return svgDocument (12, 12, fillElement (star (6.0f, 6.4f, 5.8f), "#E5EEFF")); } });
    list.push_back ({ "sync_icon.svg", []
                      {
                          juce::Path ring, hand, crown;
                          ring.addEllipse (2.0f, 5.0f, 17.0f, 17.0f);
                          hand.startNewSubPath (10.5f, 13.5f);
                          hand.lineTo (10.5f, 8.5f);
                          hand.startNewSubPath (10.5f, 13.5f);
                          hand.lineTo (14.0f, 15.5f);
                          crown.addRoundedRectangle (8.0f, 0.5f, 5.0f, 3.0f, 1.0f);
                          crown.addRectangle (9.75f, 3.0f, 1.5f, 2.5f);
                          return svgDocument (21, 24,
                                              strokeElement (ring, "#FFFFFF", 2.0f) +
                                                  strokeElement (hand, "#FFFFFF", 1.8f) +
                                                  fillElement (crown, "#FFFFFF"));
                      } });
    list.push_back ({ "tessaro_logo.svg", [=] { return wordmark (bold, "TESSARO", 136, 23, 22.0f); } });
    list.push_back ({ "anim_always_on_icon.svg", []
                      {
                          juce::Path loop;
                          loop.addCentredArc (8.0f, 15.0f, 5.5f, 1.5f, 0.0f, -2.2f, 2.2f, true);
                          loop.startNewSubPath (11.5f, 14.0f);
                          loop.lineTo (13.0f, 15.9f);
                          loop.lineTo (14.5f, 13.8f);
                          return svgDocument (16, 17, filmGlyph (0.0f) + strokeElement (loop, "#FFFFFF", 1.2f));
                      } });
    list.push_back ({ "anim_off_icon.svg", []
                      {
                          juce::Path slash;
                          slash.startNewSubPath (1.5f, 16.0f);
                          slash.lineTo (14.5f, 1.0f);
                          return svgDocument (16, 17, filmGlyph (2.0f) + strokeElement (slash, "#FFFFFF", 1.4f));
                      } });
    list.push_back ({ "anim_on_icon.svg", [] { return svgDocument (16, 13, filmGlyph (0.0f)); } });
    return list;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: tessaro_artgen <resources folder>\n";
        return 2;
    }

    const juce::File root (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const auto images = root.getChildFile ("images");
    const auto iconFolder = root.getChildFile ("icons");
    images.createDirectory();
    iconFolder.createDirectory();

    juce::MemoryBlock boldData;
    if (! root.getChildFile ("fonts/Montserrat-Bold.ttf").loadFileAsData (boldData))
    {
        std::cerr << "fonts/Montserrat-Bold.ttf not found in " << root.getFullPathName() << "\n";
        return 1;
    }
    const auto bold = juce::Typeface::createSystemTypefaceFor (boldData.getData(), boldData.getSize());

    bool ok = writePng (backgroundImage(), images.getChildFile ("background.png"));
    for (int i = 0; i < 6; ++i)
    {
        const juce::String name (modules[i].name);
        ok = writePng (animationStrip (i), images.getChildFile (name + "_animation_strip.png")) && ok;
        ok = writePng (stillImage (i), images.getChildFile (name + "_off.png")) && ok;
    }
    for (auto& icon : icons (bold))
        ok = writeText (icon.make(), iconFolder.getChildFile (icon.file)) && ok;

    std::cout << (ok ? "Art written to " : "Could not write all art to ") << root.getFullPathName() << "\n";
    return ok ? 0 : 1;
}
