#pragma once

#include "editor/CachedShadows.h"
#include "editor/QELComponentBase.h"

namespace tessaro::gui
{
/** The Multiply panel's picture of the voices: a full-height centre bar for the singer and bars on
    either side whose height follows Amount and whose spacing follows Spread. Schematic: the bar
    count does not follow the module's voice count. */
class MultiplyVisualizerComponent : public juce::QELComponentBase
{
public:
    MultiplyVisualizerComponent() = default;
    ~MultiplyVisualizerComponent() override = default;

    /** Bar count: k = int (density * 16), 2k + 1 bars. */
    void setDensity (float newDensity);
    /** Side-bar height relative to the centre bar, 0..1. */
    void setAmount (float newAmount);
    /** Horizontal spacing, 0..2. */
    void setSpread (float newSpread);
    /** The bypass look: no background, bars and outline in the bypass colour, no glow. */
    void setBypassed (bool shouldBeBypassed);

    float getDensity() const noexcept { return density; }
    float getAmount() const noexcept { return amount; }
    float getSpread() const noexcept { return spread; }
    bool isBypassed() const noexcept { return bypassed; }
    juce::Rectangle<float> getInnerBounds() const noexcept { return innerBounds; }

    /** The bars, left to right, for a view `width` wide with bar area `inner`. Bars of zero height
        are included (they draw nothing). */
    static juce::Array<juce::Rectangle<float>> layoutBars (float density, float amount, float spread,
                                                           juce::Rectangle<float> inner, float width);

    /** Background gradient, bars with their glow, outline. */
    void paint (juce::Graphics& g) override;
    /** The bar area: the bounds inset by 4. */
    void resized() override;

private:
    float density = 0.5f;
    float amount = 0.5f;
    float spread = 1.0f;
    bool bypassed = false;
    juce::Colour bypassColour { 0xff232429 };
    juce::Colour outlineColour { 0xff6a6d78 };
    juce::Colour backgroundTopColour { 0x00ff00bf };
    juce::Colour backgroundBottomColour { 0x1a4000ff };
    juce::Rectangle<float> innerBounds;
    juce::Colour fillColour { 0xffaa80ff };
    juce::Colour glowColour { 0xff5500ff };
    melatonin::internal::CachedShadows barGlow { { { glowColour.withAlpha ((juce::uint8) 0xbf), 2 },
                                                   { glowColour.withAlpha ((juce::uint8) 0xbf), 4 },
                                                   { glowColour.withAlpha ((juce::uint8) 0xbf), 8 },
                                                   { glowColour.withAlpha ((juce::uint8) 0xbf), 16 } } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MultiplyVisualizerComponent)
};
} // namespace tessaro::gui
