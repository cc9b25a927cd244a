#pragma once

#include <juce_graphics/juce_graphics.h>

/** The product's palette (ARGB): text and outlines in one light blue-grey, and a fill and a
    glow colour for each module. */
namespace CustomColours
{
extern const juce::Colour PRESET_UNSELECTED;
extern const juce::Colour TEXT_GENERIC;
extern const juce::Colour CONTROL_FILL_BYPASS;
extern const juce::Colour CONTROL_OUTLINE;
extern const juce::Colour THEME_COMP_FILL;
extern const juce::Colour THEME_COMP_GLOW;
extern const juce::Colour THEME_ENHANCE_FILL;
extern const juce::Colour THEME_ENHANCE_GLOW;
extern const juce::Colour THEME_EQ_FILL;
extern const juce::Colour THEME_EQ_GLOW;
extern const juce::Colour THEME_MULTIPLY_FILL;
extern const juce::Colour THEME_MULTIPLY_GLOW;
extern const juce::Colour THEME_SPACE_FILL;
extern const juce::Colour THEME_SPACE_GLOW;
extern const juce::Colour THEME_GAIN_FILL;
extern const juce::Colour THEME_GAIN_GLOW;
} // namespace CustomColours
