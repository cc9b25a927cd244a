#include "panels/EQComponent.h"

#include "editor/CustomColours.h"

namespace tessaro::gui
{
namespace
{
    melatonin::internal::CachedShadows eqGlow()
    {
        const auto c = CustomColours::THEME_EQ_GLOW;
        return { { c, 24 }, { c, 18 }, { c, 12 }, { c, 6 } };
    }

    juce::PathStrokeType glowStroke()
    {
        return { 3.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded };
    }
} // namespace

EQComponent::EQComponent (juce::NormalisableRange<float> qRange)
    : QELEQComponent (qRange, 1, 10.0f, 30000.0f, 15.0f), handleGlow ({ { juce::Colours::black, 0 } }),
      curveGlow ({ { juce::Colours::black, 0 } }), curveColour (CustomColours::THEME_EQ_FILL)
{
    handleGlow = eqGlow();
    curveGlow = eqGlow();
    readoutOffset = -25.0f;
}

EQComponent::~EQComponent() = default;

void EQComponent::mouseEnter (const juce::MouseEvent&)
{
    repaint();
}

void EQComponent::mouseExit (const juce::MouseEvent&)
{
    repaint();
}

void EQComponent::paint (juce::Graphics& g)
{
    QELEQComponent::paint (g);
}

void EQComponent::paintOverChildren (juce::Graphics& g)
{
    g.setColour (CustomColours::CONTROL_OUTLINE);
    g.drawRoundedRectangle (1.0f, 1.0f, (float) std::max (0, getWidth() - 2), (float) std::max (0, getHeight() - 2),
                            2.0f, 1.0f);
}

bool EQComponent::drawnStateChanged()
{
    // While the pointer is over the view or drags in it, readouts and hover marks follow it.
    if (isMouseOverOrDragging (true))
    {
        lastDrawn.bounds = {};
        return true;
    }
    captureDrawnState (current);
    if (current == lastDrawn)
        return false;
    std::swap (current, lastDrawn);
    return true;
}

void EQComponent::captureDrawnState (DrawnState& state) const
{
    state.curve = mainPath;
    state.bandSettings.clear();
    state.flags = { hoveredBand,
                    selectedBand,
                    hoveredBand == -1 ? 0 : juce::roundToInt (hoverFade * 1000.0f),
                    (int) mouseIsDown,
                    (int) mouseOver,
                    (int) bypassed,
                    (int) listening,
                    (int) lassoActive,
                    (int) curveColour.getARGB(),
                    selectedBands.size(),
                    (int) qHandleLeft.isVisible() };
    for (const auto* band : bands)
    {
        state.bandSettings.insert (state.bandSettings.end(), { band->frequency, band->gain, band->q });
        state.flags.insert (state.flags.end(),
                            { (int) band->used, (int) band->enabled, band->type, (int) band->colour.getARGB() });
    }
    state.bounds = getLocalBounds();
}

void EQComponent::drawDraggingCueImpl (juce::Graphics&, float, float, int) {}

void EQComponent::drawBandThumbImpl (juce::Graphics& g, float x, float y, int)
{
    juce::Path handle;
    handle.addEllipse (x - 6.0f, y - 6.0f, 12.0f, 12.0f);
    if (! bypassed)
    {
        juce::Path outline;
        glowStroke().createStrokedPath (outline, handle);
        handleGlow.render (g, outline);
    }
    g.setColour (bypassed ? CustomColours::CONTROL_FILL_BYPASS : curveColour);
    g.fillPath (handle);
}

void EQComponent::drawMainPathImpl (juce::Graphics& g)
{
    if (! bypassed)
    {
        juce::Path outline;
        glowStroke().createStrokedPath (outline, mainPath);
        curveGlow.render (g, outline);
    }

    if (! bypassed)
    {
        juce::Path area (mainPath);
        area.lineTo ((float) getWidth(), (float) getHeight());
        area.lineTo (0.0f, (float) getHeight());
        area.closeSubPath();
        const auto bounds = area.getBounds();
        const auto glow = CustomColours::THEME_EQ_GLOW;
        g.setGradientFill (juce::ColourGradient (glow.withAlpha ((juce::uint8) 0x33), 0.0f, bounds.getY(),
                                                 glow.withAlpha ((juce::uint8) 0x0a), 0.0f, bounds.getBottom(), false));
        g.fillPath (area);
    }

    g.setColour (bypassed ? CustomColours::CONTROL_FILL_BYPASS : curveColour);
    g.strokePath (mainPath, { 2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded });
}

//==============================================================================
EQContainer::EQContainer()
{
    startTimer (repaintTimer, 33);
    startTimer (bandTimer, 25);
}

EQContainer::~EQContainer()
{
    stopTimer (repaintTimer);
    stopTimer (bandTimer);
}

void EQContainer::timerCallback (int timerID)
{
    if (timerID == repaintTimer && (view == nullptr || view->drawnStateChanged()))
        repaint();
    else if (timerID == bandTimer && onBandUpdate)
        onBandUpdate();
}
} // namespace tessaro::gui
