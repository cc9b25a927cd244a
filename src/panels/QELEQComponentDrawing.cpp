#include "panels/EQTextFormat.h"
#include "panels/QELEQComponent.h"

#include <cmath>

namespace
{
const juce::Colour grey { 0xff808080 }, readoutColour { 0xffd3d6e1 };

juce::PathStrokeType curveStroke (float thickness)
{
    return { thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded };
}

juce::uint8 alphaOf (float level)
{
    return (juce::uint8) juce::jlimit (0, 255, juce::roundToInt (level * 255.0f));
}

/** The glyph of the band type a click at hz would add, as an open polyline in a 20 x 20 box. */
juce::Path addGlyph (float hz)
{
    using P = juce::Point<float>;
    std::vector<P> points;
    if (hz <= 20.0f)
        points = { { 0, 18 }, { 10, 2 }, { 20, 2 } };
    else if (hz <= 50.0f)
        points = { { 0, 2 }, { 7, 2 }, { 13, 18 }, { 20, 18 } };
    else if (hz <= 10000.0f)
        points = { { 0, 18 }, { 3, 18 }, { 8, 2 }, { 12, 2 }, { 17, 18 }, { 20, 18 } };
    else if (hz <= 20000.0f)
        points = { { 0, 18 }, { 7, 18 }, { 13, 2 }, { 20, 2 } };
    else
        points = { { 20, 18 }, { 10, 2 }, { 0, 2 } };

    juce::Path glyph;
    glyph.startNewSubPath (points.front());
    for (size_t i = 1; i < points.size(); ++i)
        glyph.lineTo (points[i]);
    return glyph;
}
} // namespace

juce::Path QELEQComponent::displayedPath (const juce::Path& path, float radius) const
{
    return roundedCurves ? path.createPathWithRoundedCorners (radius) : path;
}

bool QELEQComponent::isMarked (int index) const
{
    return index == selectedBand || (lassoEnabled && selectedBands.contains (index));
}

void QELEQComponent::paint (juce::Graphics& g)
{
    juce::Graphics::ScopedSaveState state (g);
    if (drawBackground)
    {
        g.setGradientFill (juce::ColourGradient (backgroundTopColour, 0.0f, 80.0f, backgroundBottomColour, 0.0f,
                                                 0.7f * (float) getHeight(), false));
        g.fillAll();
    }
    paintControls (g);
}

void QELEQComponent::paintOverChildren (juce::Graphics&) {}

void QELEQComponent::paintControls (juce::Graphics& g)
{
    juce::Graphics::ScopedSaveState state (g);
    g.setFont ((float) interactionArea.getWidth() * 0.01f * sizeScale);

    if (showGrid)
        drawGrid (g);

    g.reduceClipRegion (interactionArea);

    if (drawMainPath)
        drawMainPathImpl (g);

    if (drawBands)
    {
        if (bandsOnlyWhenMouseOver && ! mouseOver)
        {
            if (idleCurveLevel != 0.0f)
                for (auto* band : bands)
                    if (band->used && band->dynamic)
                    {
                        g.setColour (band->colour.withAlpha ((juce::uint8) (band->enabled ? 0x4c : 0x1a)));
                        g.strokePath (displayedPath (band->curvePath, 10.0f), curveStroke (0.0016f * (float) getWidth()));
                    }
        }
        else
        {
            if (curveHoverEnabled && hoverPoint != juce::Point<float>())
                drawAddGlyph (g);
            for (int i = 0; i < bands.size(); ++i)
                if (bands[i]->used)
                    drawBand (g, *bands[i], i);
        }
    }

    if (debugOutline)
    {
        g.setColour (juce::Colours::red);
        g.drawRect (getLocalBounds(), 5);
    }

    drawReadouts (g);

    if (listening && showListenLines && reportedBand() != -1)
    {
        const auto& band = *bands[reportedBand()];
        g.setColour (band.colour.withAlpha (alphaOf (listenLineAlpha)));
        const float h = (float) getHeight();
        if (band.type >= 2)
            g.fillRect (juce::Rectangle<float> (xForFrequency (bandwidthLow), 0.0f, 1.0f, h));
        if (band.type <= 2)
            g.fillRect (juce::Rectangle<float> (xForFrequency (bandwidthHigh), 0.0f, 1.0f, h));
    }

    if (lassoEnabled)
    {
        const auto lasso = juce::Rectangle<float> (lassoStart, lassoEnd);
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x33));
        g.fillRect (lasso);
        g.setColour (juce::Colours::white);
        g.drawRect (lasso, 1.0f);
    }
}

void QELEQComponent::drawGrid (juce::Graphics& g)
{
    const float w = (float) getWidth();
    const auto ia = interactionArea.toFloat();
    const bool grabbed = selectedBand != -1;

    for (float f : frequencyGrid)
    {
        const float x = xForFrequency (f);
        if (showFrequencyLines)
        {
            g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
            g.drawLine (x, ia.getY(), x, ia.getBottom(), 1.0f);
        }
        if (showFrequencyLabels && (labelledFrequencies.isEmpty() || labelledFrequencies.contains (f)))
        {
            const bool dim = grabbed && showFrequencyReadout && (mouseIsDown || frequencyReadoutAlways);
            g.setColour (dim ? labelColour.withAlpha ((juce::uint8) 0x4c) : labelColour);
            const int left = juce::roundToInt ((float) juce::roundToInt (x) - 0.0125f * w * sizeScale);
            g.drawFittedText (QEL::Converter::frequencyLabel (f, showUnits), left,
                              (int) (ia.getBottom() - 0.013f * w), (int) (0.025f * w * sizeScale), (int) (0.015f * w),
                              juce::Justification::centred, 1);
        }
    }

    if (showZeroLine && interactionArea.getWidth() > 0)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x80));
        g.fillRect (interactionArea.getX(), juce::roundToInt (ia.getY() + 0.5f * ia.getHeight()),
                    interactionArea.getWidth(), 1);
    }

    if (showGainLines)
    {
        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x1a));
        for (float d : gainGrid)
        {
            const float y = yForDecibels (decibels (d > -100.0f ? std::pow (10.0, d / 20.0) : 0.0));
            g.drawLine (ia.getX(), y, ia.getRight(), y, 1.0f);
        }
    }

    if (showGainLabels)
    {
        const bool dim = grabbed && showGainReadout && (mouseIsDown || gainReadoutAlways);
        g.setColour (dim ? labelColour.withAlpha ((juce::uint8) 0x4c) : labelColour);
        const float lw = 0.02f * w * sizeScale;
        const int left = (int) ((gainLabelsOnRight != 0 ? ia.getWidth() : ia.getX() + 3.0f) - lw);
        for (int i = 0; i < gainGrid.size(); ++i)
            if (i != gainGrid.size() - 1 || labelLastGainLine)
                g.drawFittedText (QEL::Converter::num (gainGrid[i]), left, (int) (yForDecibels (gainGrid[i]) - 7.0f),
                                  (int) lw, 14, juce::Justification::centredRight, 1);
    }
}

void QELEQComponent::drawAddGlyph (juce::Graphics& g)
{
    const float w = (float) getWidth(), dot = 0.01f * (float) interactionArea.getWidth();
    g.setColour (hoverDotColour);
    g.fillEllipse (hoverPoint.x - dot / 2.0f, hoverPoint.y - dot / 2.0f, dot, dot);

    if (! showAddGlyph)
        return;
    if (overlay != nullptr && overlay->isVisible() && hoverPoint.x >= (float) overlay->getX()
        && hoverPoint.x <= (float) overlay->getRight())
        return;

    auto glyph = addGlyph (frequencyAtX ((float) getMouseXYRelative().x)).createPathWithRoundedCorners (10.0f);
    const float side = 0.014f * w;
    if (side > 0.0f)
        glyph.applyTransform (glyph.getTransformToScaleToFit (
            { hoverPoint.x - 0.007f * w, hoverPoint.y - 0.024f * w, side, side }, true));
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x99));
    g.strokePath (glyph, juce::PathStrokeType (0.0016f * w, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

void QELEQComponent::drawBand (juce::Graphics& g, juce::QELEQBand& band, int index)
{
    const float w = (float) getWidth();
    const auto point = handlePoint (band);
    const bool marked = isMarked (index);
    const auto area = displayedPath (band.areaPath, 10.0f);

    if (band.highlighted)
    {
        g.setColour (band.colour.withAlpha ((juce::uint8) 0x33));
        g.fillPath (area);
    }
    else if (marked && band.enabled && fillBands)
    {
        if (gradientBandFill)
        {
            const auto bounds = area.getBounds();
            const auto full = juce::Colour (0xe3, 0xa5, 0x78).withAlpha (band.isPassType ? 0.8f : 1.0f);
            const auto clear = full.withAlpha ((juce::uint8) 0);
            const bool boost = band.gain > 1.0f;
            g.setGradientFill (juce::ColourGradient (boost ? full : clear, 0.0f, bounds.getY(), boost ? clear : full,
                                                     0.0f, bounds.getBottom(), false));
        }
        else
            g.setColour (band.colour.withAlpha ((juce::uint8) 0x33));
        g.fillPath (area);
    }
    else if (index == hoveredBand && band.enabled && fillBands)
    {
        g.setColour (band.colour.withAlpha (hoverFadeEnabled ? alphaOf (hoverFade) : (juce::uint8) 77));
        g.fillPath (area);
    }

    if (band.dynamic || strokeAllBandCurves)
    {
        g.setColour (band.colour.withAlpha ((juce::uint8) (band.enabled ? 0x4c : 0x1a)));
        g.strokePath (displayedPath (band.curvePath, 10.0f), curveStroke (0.0016f * w));
    }

    if (drawBandThumbs)
        drawBandThumbImpl (g, point.x, point.y, index);

    if (showMarkers && band.marker >= 1 && band.marker <= 4)
    {
        const float u = 0.00078f * w, pi = juce::MathConstants<float>::pi;
        juce::Path marker;
        const auto left = [&] { marker.addCentredArc (point.x - 12.5f * u, point.y, 2.5f * u, 10.0f * u, 0.0f, pi, 2.0f * pi, true); };
        const auto right = [&] { marker.addCentredArc (point.x + 12.5f * u, point.y, 2.5f * u, 10.0f * u, 0.0f, 2.0f * pi, 3.0f * pi, true); };
        if (band.marker == 1 || band.marker == 4)
            left();
        if (band.marker == 2 || band.marker == 4)
            right();
        if (band.marker == 3)
        {
            marker.addCentredArc (point.x, point.y - 12.5f * u, 10.0f * u, 2.5f * u, 0.0f, 1.5f * pi, 2.5f * pi, true);
            marker.addCentredArc (point.x, point.y + 12.5f * u, 10.0f * u, 2.5f * u, 0.0f, 2.5f * pi, 3.5f * pi, true);
        }
        g.setColour (band.colour.brighter (0.4f));
        g.strokePath (marker.createPathWithRoundedCorners (5.0f * u),
                      juce::PathStrokeType (2.0f * u, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
    }

    if (marked)
        drawDraggingCueImpl (g, point.x, point.y, index);
}

void QELEQComponent::drawReadouts (juce::Graphics& g)
{
    if (selectedBand == -1)
        return;

    const auto& band = *bands[selectedBand];
    const float w = (float) getWidth();
    const auto ia = interactionArea.toFloat();
    const auto pa = plotArea.toFloat();
    const float fontHeight = ia.getWidth() * 0.011f * sizeScale;

    if (showFrequencyReadout && (mouseIsDown || frequencyReadoutAlways))
    {
        auto text = QEL::Converter::num1 (band.frequency) + " Hz";
        const auto note = QEL::Converter::noteName (band.frequency);
        if (showNoteName && note.isNotEmpty())
            text << " (" << note << ")";

        const float bw = 0.078f * w * sizeScale;
        float left = std::min (xForFrequency (band.frequency) - bw / 2.0f, pa.getRight() - 0.14f * w);
        left = std::max (left, pa.getX() + 0.066f * w);
        g.setColour (readoutColour);
        g.setFont (fontHeight);
        g.drawText (text, (int) left, (int) (ia.getBottom() + readoutOffset), (int) bw, 30, juce::Justification::centred,
                    true);
    }

    if (! band.isPassType && band.type != 0 && band.type != 4 && showGainReadout && (mouseIsDown || gainReadoutAlways))
    {
        const float db = decibels (band.gain);
        const float left = ia.getRight() - w * sizeScale * (showGainLabels ? 0.043f : 0.06f);
        const float top = juce::jlimit (pa.getY() - 0.008f * w * sizeScale, pa.getBottom() - 0.008f * w * sizeScale,
                                        yForDecibels (db) - 0.0117f * w * sizeScale);
        g.setColour (readoutColour);
        g.setFont (fontHeight);
        g.drawText (QEL::Converter::num1 (db) + " dB", (int) left, (int) top, (int) (80.0f * sizeScale), 30,
                    juce::Justification::topLeft, true);
    }
}

void QELEQComponent::drawMainPathImpl (juce::Graphics& g)
{
    const float iw = (float) interactionArea.getWidth(), r = 0.008f * iw;
    const auto path = displayedPath (mainPath, r);

    g.setColour (mainColour.withAlpha ((juce::uint8) 0x4c));
    g.strokePath (path, curveStroke (0.0023f * iw));
    g.setColour (mainColour.withAlpha ((juce::uint8) 0xb2));
    g.strokePath (path, curveStroke (0.0016f * iw));
    g.setColour (mainColour);
    g.strokePath (path, curveStroke (0.0008f * iw));

    if (selectedBand == -1 && fillBands)
    {
        g.setColour (mainFillColour);
        g.fillPath (displayedPath (mainAreaPath, r));
    }
}

void QELEQComponent::drawBandThumbImpl (juce::Graphics& g, float x, float y, int index)
{
    const auto& band = *bands[index];
    const float d = 0.017f * (float) interactionArea.getWidth() * sizeScale;
    const auto own = band.enabled ? band.colour : grey;

    g.setColour ((uniformThumbColour ? thumbColour : own).withAlpha ((juce::uint8) 0x80));
    g.fillEllipse (x - d / 2.0f, y - d / 2.0f, d, d);
    g.setColour (own);
    g.fillEllipse (x - 0.3f * d, y - 0.3f * d, 0.6f * d, 0.6f * d);

    if (showBandNumbers)
    {
        g.setColour (juce::Colours::white);
        g.setFont (12.0f);
        g.drawFittedText (juce::String (index + 1), (int) (x - 2.0f), (int) (y - 2.0f), 5, 5, juce::Justification::centred, 1);
    }
}

void QELEQComponent::drawDraggingCueImpl (juce::Graphics& g, float x, float y, int)
{
    const float d = 0.01f * (float) interactionArea.getWidth() * sizeScale;
    g.setColour (cueColour);
    g.drawEllipse (x - d / 2.0f, y - d / 2.0f, d, d, 0.0016f * (float) getWidth() * sizeScale);
}
