#include "editor/GuiTestSupport.h"
#include "panels/MultiplyVisualizerComponent.h"

#include <gtest/gtest.h>

using tessaro::gui::MultiplyVisualizerComponent;

namespace
{
const juce::Rectangle<float> inner182x72 { 4.0f, 4.0f, 174.0f, 64.0f };

juce::Array<juce::Rectangle<float>> barsOf (float amount, float spread)
{
    return MultiplyVisualizerComponent::layoutBars (0.3f, amount, spread, inner182x72, 182.0f);
}
} // namespace

// Nine bars in a 182 x 72 view; the centre bar (index 4) stays at x 89, spread moves the others.
TEST (MultiplyVisualizer, SpreadMovesTheOuterBarsAroundAFixedCentre)
{
    struct Case
    {
        float spread, first, spacing, last;
    } cases[] = { { 0.0f, 63.75f, 6.3125f, 114.25f }, { 1.0f, 41.875f, 11.78125f, 136.125f }, { 2.0f, 20.0f, 17.25f, 158.0f } };
    for (const auto& c : cases)
    {
        const auto bars = barsOf (1.0f, c.spread);
        ASSERT_EQ (bars.size(), 9);
        EXPECT_FLOAT_EQ (bars[0].getX(), c.first) << c.spread;
        EXPECT_FLOAT_EQ (bars[1].getX() - bars[0].getX(), c.spacing) << c.spread;
        EXPECT_FLOAT_EQ (bars[8].getX(), c.last) << c.spread;
        EXPECT_FLOAT_EQ (bars[4].getX(), 89.0f) << c.spread;
    }
}

TEST (MultiplyVisualizer, SideBarsFollowAmountBelowAFullHeightCentre)
{
    const auto bars = barsOf (1.0f, 1.0f);
    EXPECT_FLOAT_EQ (bars[4].getY(), 10.0f);
    EXPECT_FLOAT_EQ (bars[4].getBottom(), 74.0f); // 2 below the view: only the tops show rounded
    const float heights[] = { 32.0f, 40.0f, 48.0f, 56.0f, 64.0f, 56.0f, 48.0f, 40.0f, 32.0f };
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_FLOAT_EQ (bars[i].getHeight(), heights[i]) << i;
        EXPECT_FLOAT_EQ (bars[i].getBottom(), 74.0f) << i;
        EXPECT_FLOAT_EQ (bars[i].getWidth(), 4.0f) << i;
    }

    const auto silent = barsOf (0.0f, 1.0f);
    EXPECT_FLOAT_EQ (silent[4].getHeight(), 64.0f);
    EXPECT_FLOAT_EQ (silent[3].getHeight(), 0.0f);
}

TEST (MultiplyVisualizer, OneBarStandsInTheMiddleOfTheSpan)
{
    const auto bars = MultiplyVisualizerComponent::layoutBars (0.0f, 1.0f, 1.0f, inner182x72, 182.0f);
    ASSERT_EQ (bars.size(), 1);
    // M0 = 50, M = 25, span 182 - 40 - 50 - 4 = 88: x = 45 + 44
    EXPECT_FLOAT_EQ (bars[0].getX(), 89.0f);
}

TEST (MultiplyVisualizer, BypassRemovesBackgroundAndGlowAndGreysTheBars)
{
    MultiplyVisualizerComponent view;
    view.setBounds (0, 0, 182, 72);
    view.setDensity (0.3f);
    view.setAmount (1.0f);
    EXPECT_EQ (view.getInnerBounds(), inner182x72);

    // Bars fill left to right, each over the glow of the ones before: the last bar shows its own colour.
    auto image = gui_test::paint (view);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (138, 60), juce::Colour (0xffaa80ff)));
    EXPECT_GT (image.getPixelAt (38, 60).getAlpha(), 0x10); // glow left of the first bar
    EXPECT_GT (image.getPixelAt (15, 20).getAlpha(), 0);    // background

    view.setBypassed (true);
    image = gui_test::paint (view);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (91, 40), juce::Colour (0xff232429)));
    EXPECT_EQ (image.getPixelAt (38, 60).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (15, 20).getAlpha(), 0);
    EXPECT_GT (image.getPixelAt (1, 36).getAlpha(), 0); // outline
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (1, 36).withAlpha ((juce::uint8) 0xff), juce::Colour (0xff232429)));
}
