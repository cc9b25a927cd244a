#pragma once

#include "editor/QELComponentInitializer.h"
#include "editor/QELSlider.h"
#include "lookandfeel/LookAndFeel.h"

namespace tessaro::gui
{
/** The helpers every panel builds its knobs, text buttons, labels and icon buttons with, in
    the product's style, and draws its faint separator lines with. Message thread only. */
struct GuiUtils
{
    /** A parameter knob or slider in parent: the editor's slider set-up, then the panel as its
        mouse listener, its own value popup shown below it (moved by popupOffset) in the panel,
        hit exactly on its bounds, 250 pixels of drag for the full range. */
    static void initSlider (QELComponentInitializer* initializer, juce::QELSlider& slider, LookAndFeel* lookAndFeel,
                            juce::Component* parent, const juce::String& suffix, juce::Slider::SliderStyle style,
                            juce::Point<int> popupOffset);

    /** The knob set-up of a control look-and-feel: a bare-text value popup at 17.08, the fill
        colour on arcs and toggle bars, the glow colour around them. */
    static void initKnobStyle (LookAndFeel& lookAndFeel, juce::Colour fill, juce::Colour glow);

    /** A toggling text button that triggers on mouse-down, outlined in the control outline
        colour; the caller sets its on-text colour. */
    static void initButton (juce::TextButton& button, juce::Component* parent, const juce::String& text,
                            LookAndFeel& lookAndFeel);

    /** A centred, unsqueezed title or caption in the text colour that takes no clicks. */
    static void initLabel (juce::Label& label, juce::Component* parent, const juce::String& text, juce::Font font,
                           float height);

    /** Gives an icon button its eight images from one SVG text, with sourceColour replaced per
        state: off (normal and over while off, down while on), on (down while off, normal and
        over while on) and disabled. A text that is not SVG leaves the button's images alone. */
    static void initDrawableButton (juce::DrawableButton& button, const char* svgText, juce::Colour sourceColour,
                                    juce::Colour offColour, juce::Colour onColour, juce::Colour disabledColour);

    /** A one-unit separator from x = 10 to endX at y, brightest in the middle. */
    static void drawHorizontalGradientLine (juce::Graphics& g, float endX, float y);

    /** A one-unit separator at x from y = 74 to y = 780, brightest in the middle. */
    static void drawVerticalGradientLine (juce::Graphics& g, float x);

    /** The smallest whole-unit rectangle containing r scaled by scale. */
    static juce::Rectangle<int> enclosing (juce::Rectangle<float> r, float scale = 1.0f);
};
} // namespace tessaro::gui
