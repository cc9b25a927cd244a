#include "panels/MultiplyVisualizerComponent.h"

namespace tessaro::gui
{
void MultiplyVisualizerComponent::setDensity (float newDensity)
{
    density = newDensity;
    repaint();
}

void MultiplyVisualizerComponent::setAmount (float newAmount)
{
    amount = newAmount;
    repaint();
}

void MultiplyVisualizerComponent::setSpread (float newSpread)
{
    spread = newSpread;
    repaint();
}

void MultiplyVisualizerComponent::setBypassed (bool shouldBeBypassed)
{
    bypassed = shouldBeBypassed;
    repaint();
}

void MultiplyVisualizerComponent::resized()
{
    innerBounds = { 4.0f, 4.0f, std::max ((float) getWidth() - 8.0f, 0.0f), std::max ((float) getHeight() - 8.0f, 0.0f) };
}

juce::Array<juce::Rectangle<float>> MultiplyVisualizerComponent::layoutBars (float density, float amount, float spread,
                                                                             juce::Rectangle<float> inner, float width)
{
    juce::Array<juce::Rectangle<float>> bars;
    const int k = (int) (density * 32.0f * 0.5f);
    const int n = 2 * k + 1;
    if (n <= 0)
        return bars;

    // The margin shrinks as bars are added and as Spread grows; the span between the first and
    // the last bar's left edge is what the margins leave, less one bar width.
    const float last = (float) (n - 1);
    const float baseMargin = 50.0f - 25.0f * last / 32.0f;
    const float margin = baseMargin - baseMargin * spread / 2.0f;
    const float firstX = 20.0f + margin;
    const float span = width - 40.0f - 2.0f * margin - 4.0f;
    const float bottom = inner.getY() + inner.getHeight() + 6.0f; // 2 below the view: only the tops show rounded

    for (int i = 0; i < n; ++i)
    {
        const float height = i == k ? inner.getHeight()
                                    : amount * inner.getHeight() * (1.0f - 0.5f * (float) std::abs (i - k) / (float) k);
        const float x = n == 1 ? firstX + span / 2.0f : firstX + span * (float) i / last;
        bars.add ({ x, bottom - height, 4.0f, height });
    }
    return bars;
}

void MultiplyVisualizerComponent::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    if (! bypassed)
    {
        g.setGradientFill (juce::ColourGradient (backgroundTopColour, 0.0f, 0.0f, backgroundBottomColour, 0.0f, h, false));
        g.fillAll();
    }

    for (const auto& bar : layoutBars (density, amount, spread, innerBounds, w))
    {
        if (bar.getHeight() <= 0.0f)
            continue;
        juce::Path shape;
        shape.addRoundedRectangle (bar.getX(), bar.getY(), bar.getWidth(), bar.getHeight(), 2.0f, 2.0f, true, true,
                                   true, true);
        if (! bypassed)
            barGlow.render (g, shape);
        g.setColour (bypassed ? bypassColour : fillColour);
        g.fillPath (shape);
    }

    g.setColour (bypassed ? bypassColour : outlineColour);
    g.drawRoundedRectangle (1.0f, 1.0f, std::max (w - 2.0f, 0.0f), std::max (h - 2.0f, 0.0f), 2.0f, 1.0f);
}
} // namespace tessaro::gui
