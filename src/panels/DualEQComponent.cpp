#include "panels/DualEQComponent.h"

#include "editor/CustomColours.h"

#include <cmath>
#include <complex>

namespace tessaro::gui
{
namespace
{
melatonin::internal::CachedShadows dualGlow()
{
    const auto c = CustomColours::THEME_EQ_GLOW.withAlpha ((juce::uint8) 0xbf);
    return { { c, 24 }, { c, 18 }, { c, 12 }, { c, 6 } };
}

const juce::PathStrokeType roundStroke (float thickness)
{
    return { thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded };
}

/** H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 - c1 z^-1 - c2 z^-2) of a set c1, c2, b0, b1, b2. */
std::complex<float> response (const float* c, std::complex<float> zInverse)
{
    const auto z2 = zInverse * zInverse;
    return (c[2] + c[3] * zInverse + c[4] * z2) / (1.0f - c[0] * zInverse - c[1] * z2);
}

float gainAt (float y) noexcept
{
    return (y - 0.5f) * -30.0f;
}
} // namespace

DualEQComponent::DualEQComponent()
    : handleGlow ({ { juce::Colours::black, 0 } }), curveGlow ({ { juce::Colours::black, 0 } })
{
    handleGlow = dualGlow();
    curveGlow = dualGlow();
}

DualEQComponent::~DualEQComponent() = default;

float DualEQComponent::frequencyAt (float x) noexcept
{
    return 50.0f * std::pow (400.0f, x);
}

float DualEQComponent::fractionOf (float hz) noexcept
{
    return std::log (hz / 50.0f) / std::log (400.0f);
}

juce::String DualEQComponent::frequencyText (float hz)
{
    if (hz < 1000.0f)
        return juce::String ((int) hz) + " Hz";
    return juce::String (hz / 1000.0f, 1) + " kHz";
}

void DualEQComponent::updateBands()
{
    const auto handle = [] (float hz, float db)
    {
        return juce::Point<float> (juce::jlimit (0.0f, 1.0f, fractionOf (hz)),
                                   juce::jlimit (0.0f, 1.0f, 1.0f - (db + 15.0f) / 30.0f));
    };
    handlePositions[0] = handle (lowFrequency, lowGain);
    handlePositions[1] = handle (highFrequency, highGain);
    shelfFilters.calclo (lowFrequency / displayRate, lowGain, lowQ);
    shelfFilters.calchi (highFrequency / displayRate, highGain, highQ);
    displayFrequencies[0] = lowFrequency;
    displayFrequencies[1] = highFrequency;
    draggedBand = -1;
    repaint();
}

void DualEQComponent::computeResponse()
{
    float x = 0.0005f;
    for (int i = 0; i < 128; ++i)
    {
        const float omega = juce::MathConstants<float>::twoPi * x;
        const auto zInverse = std::polar (1.0f, -omega);
        const float m = std::abs (response (shelfFilters.lowShelf, zInverse) * response (shelfFilters.highShelf, zInverse));
        responseDb[i] = m > 0.0f ? 20.0f * std::log10 (m) : -1024.0f;
        x *= 1.0479211f; // 400^(1/128): 50 Hz ... about 19.1 kHz at the display rate
    }
}

void DualEQComponent::paint (juce::Graphics& g)
{
    computeResponse();
    const float w = (float) getWidth(), h = (float) getHeight();

    juce::Path curve;
    for (int i = 0; i < 128; ++i)
    {
        const juce::Point<float> p ((float) i * w / 128.0f, juce::jlimit (-4.0f, h + 4.0f, h / 2.0f - responseDb[i] * h / 15.0f));
        if (i == 0)
            curve.startNewSubPath (p);
        else
            curve.lineTo (p);
    }

    if (! bypassed)
    {
        juce::Path fill (curve);
        fill.lineTo (w, h);
        fill.lineTo (0.0f, h);
        fill.closeSubPath();
        const auto bounds = fill.getBounds();
        const auto glow = CustomColours::THEME_EQ_GLOW;
        g.setGradientFill (juce::ColourGradient (glow.withAlpha ((juce::uint8) 0x33), 0.0f, bounds.getY(),
                                                 glow.withAlpha ((juce::uint8) 0x0a), 0.0f, bounds.getBottom(), false));
        g.fillPath (fill);

        juce::Path outline;
        roundStroke (3.0f).createStrokedPath (outline, curve);
        curveGlow.render (g, outline);
    }
    g.setColour (bypassed ? CustomColours::CONTROL_FILL_BYPASS : CustomColours::THEME_EQ_FILL);
    g.strokePath (curve, roundStroke (2.0f));

    juce::Path handles;
    const bool enabled[2] { lowHandleEnabled, highHandleEnabled };
    for (int band = 0; band < 2; ++band)
        if (enabled[band])
            handles.addEllipse (handlePositions[band].x * w - 6.0f, handlePositions[band].y * h - 6.0f, 12.0f, 12.0f);
    if (! bypassed)
    {
        juce::Path outline;
        roundStroke (3.0f).createStrokedPath (outline, handles);
        handleGlow.render (g, outline);
    }
    g.setColour (bypassed ? CustomColours::CONTROL_FILL_BYPASS : CustomColours::THEME_EQ_FILL);
    g.fillPath (handles);

    if (draggedBand == 0 || draggedBand == 1)
    {
        const auto text = frequencyText (displayFrequencies[draggedBand]);
        g.setColour (juce::Colours::white);
        g.setFont (g.getCurrentFont().withHeight (14.0f));
        const int textWidth = g.getCurrentFont().getStringWidth (text);
        g.drawText (text, (getWidth() - textWidth) / 2, getHeight() - 20, textWidth, 20, juce::Justification::centred);
    }

    g.setColour (CustomColours::CONTROL_OUTLINE);
    g.drawRoundedRectangle (1.0f, 1.0f, std::max (0.0f, w - 2.0f), std::max (0.0f, h - 2.0f), 2.0f, 1.0f);
}

int DualEQComponent::pickBand (const juce::MouseEvent& e) const
{
    const juce::Point<float> p ((float) e.x / (float) getWidth(), (float) e.y / (float) getHeight());
    const auto squared = [p] (juce::Point<float> h) { return (p.x - h.x) * (p.x - h.x) + (p.y - h.y) * (p.y - h.y); };
    if (squared (handlePositions[1]) > squared (handlePositions[0]))
        return lowHandleEnabled ? 0 : -1;
    return highHandleEnabled ? 1 : -1;
}

void DualEQComponent::mouseDown (const juce::MouseEvent& e)
{
    draggedBand = pickBand (e);
    repaint();
}

void DualEQComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (draggedBand == -1)
        return;

    const float x = juce::jlimit (0.0f, 1.0f, (float) e.x / (float) getWidth());
    const float y = juce::jlimit (0.0f, 1.0f, (float) e.y / (float) getHeight());
    handlePositions[draggedBand] = { x, y };
    const float hz = frequencyAt (x), db = gainAt (y);
    displayFrequencies[draggedBand] = hz;
    if (onBandChange)
        onBandChange (draggedBand, hz, db);

    if (draggedBand == 0)
    {
        lowFrequency = hz;
        lowGain = db;
        shelfFilters.calclo (hz / displayRate, db, lowQ);
    }
    else
    {
        highFrequency = hz;
        highGain = db;
        shelfFilters.calchi (hz / displayRate, db, highQ);
    }
    repaint();
}

void DualEQComponent::mouseUp (const juce::MouseEvent&)
{
    draggedBand = -1;
    repaint();
}

void DualEQComponent::mouseDoubleClick (const juce::MouseEvent& e)
{
    draggedBand = pickBand (e);
    if (draggedBand != -1)
        resetBand (draggedBand);
    repaint();
}

void DualEQComponent::resetBand (int band)
{
    const float home = band == 0 ? 0.2f : 0.8f;
    const float hz = band == 0 ? 165.7227f : 6034.1768f; // frequencyAt (home)
    handlePositions[band] = { home, 0.5f };
    displayFrequencies[band] = hz;
    if (band == 0)
    {
        lowFrequency = hz;
        lowGain = 0.0f;
        shelfFilters.calclo (hz / displayRate, 0.0f, lowQ);
    }
    else
    {
        highFrequency = hz;
        highGain = 0.0f;
        shelfFilters.calchi (hz / displayRate, 0.0f, highQ);
    }
    if (onBandChange)
        onBandChange (band, hz, 0.0f);
}
} // namespace tessaro::gui
