#pragma once

#include "editor/CachedShadows.h"
#include "editor/QELLookAndFeel.h"

namespace tessaro::gui
{
/** Where a rotary slider draws its arcs: a knob area inset by a quarter of the width on every
    side, the knob radius, the value-arc thickness and the radius the arcs are stroked at. */
struct RotaryGeometry
{
    float margin = 0.0f;
    juce::Rectangle<float> area;
    float radius = 0.0f, thickness = 0.0f, arcRadius = 0.0f;
    juce::Point<float> centre;

    /** The geometry of a slider drawn in (x, y, width, height) with the given arc ratio. */
    static RotaryGeometry of (float x, float y, float width, float height, float arcThicknessRatio);
};

/** The track of a linear slider is inset 12 at both ends: maps a slider position in
    [start, start + length] onto [start + 12, start + length - 12]. */
float linearTrackPosition (float position, float start, float length);

/** The control look-and-feel the module panels set on their knobs, sliders and buttons: thin
    outlines and arcs in the panel's colours, a soft glow in the module's glow colour around
    what is on, and a dimmed look while the module is bypassed. Message thread only. */
class LookAndFeel : public juce::QELLookAndFeel
{
public:
    /** The image name goes to the base with 60 frames (the panels pass none); the rest is the
        base's unused options. */
    explicit LookAndFeel (const juce::String& imageName = {}, int unusedFrames = 0, bool unused1 = false,
                          const char* unusedData = nullptr, int unusedSize = 0, bool unused2 = false);
    ~LookAndFeel() override;

    /** Stores the two glow flags and rebuilds every glow cache from the glow colour. */
    void setShouldRenderGlow (bool shouldRenderGlow, bool shouldRenderTextGlow, juce::Colour glowColour);

    /** The outline of a text button, inset 14, glowing while on. */
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    /** The control font at textButtonFontHeight, whatever the button's height. */
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    /** The text of a text button, as a filled glyph path over its glow. */
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool shouldDrawButtonAsHighlighted,
                         bool shouldDrawButtonAsDown) override;
    /** A switch: a rounded outline with a bar in it, lit while on. */
    void drawToggleButton (juce::Graphics&, juce::ToggleButton&, bool shouldDrawButtonAsHighlighted,
                           bool shouldDrawButtonAsDown) override;

    /** A track and a value line with a round thumb, from the start or from the centre. */
    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos, float minSliderPos,
                           float maxSliderPos, juce::Slider::SliderStyle, juce::Slider&) override;
    /** Two concentric arcs: the track and the value, from the start or from the centre. */
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider&) override;
    /** The control font at the base's popup font height. */
    juce::Font getSliderPopupFont (juce::Slider&) override;

    /** The rotary painter with the value arc from the middle of the travel. */
    void drawBipolarRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPosProportional,
                                  float rotaryStartAngle, float rotaryEndAngle, juce::Slider&);
    /** The rotary painter with the value arc from the start of the travel. */
    void drawUnipolarRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPosProportional,
                                   float rotaryStartAngle, float rotaryEndAngle, juce::Slider&);
    /** The linear painter with the value line from the centre. */
    void drawBipolarLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                  float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle, juce::Slider&);
    /** The linear painter with the value line from the first end (or between two thumbs). */
    void drawUnipolarLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                   float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle, juce::Slider&);

    /** Values grow from the middle of the range. */
    bool bipolar = false;
    /** The bypass look: bypass colours and no glow (except the linear thumb's). */
    bool bypassed = false;
    /** Glow on outlines, bars, arcs and value lines; set by setShouldRenderGlow. */
    bool shouldRenderGlow = false;
    /** Glow under text-button text; set by setShouldRenderGlow. */
    bool shouldRenderTextGlow = false;
    /** Height of the text-button font. */
    float textButtonFontHeight = 32.0f;
    /** A hovered text button brightens also while off. */
    bool highlightWhenOff = true;
    /** Rotary value-arc thickness as a fraction of the knob radius. */
    float arcThicknessRatio = 0.15f;
    /** Rotary track thickness as a fraction of the value-arc thickness (unipolar only). */
    float trackThicknessRatio = 0.5f;
    /** Left edge of the clip while a text button paints. */
    float backgroundClipLeft = 0.0f;
    /** Corner radius of the text-button outline. */
    float cornerSize = 2.0f;
    /** Text-button text and linear track, value and thumb while bypassed. */
    juce::Colour bypassFillColour;
    /** Rotary track while bypassed. */
    juce::Colour bypassOutlineColour;
    /** Rotary value arc while bypassed. */
    juce::Colour bypassArcColour;

    /** Glow of rotary value arcs. */
    melatonin::internal::CachedShadows rotaryGlow;
    /** Glow of the bar of a toggle button that is on. */
    melatonin::internal::CachedShadows toggleGlow;
    /** Glow of the outline of a text button that is on. */
    melatonin::internal::CachedShadows buttonGlow;
    /** The same while hovered. */
    melatonin::internal::CachedShadows buttonHoverGlow;
    /** Glow under the text of a text button that is on. */
    melatonin::internal::CachedShadows textGlow;
    /** The same while hovered. */
    melatonin::internal::CachedShadows textHoverGlow;
    /** Glow of the value line of linear sliders. */
    melatonin::internal::CachedShadows linearGlow;
    /** Glow of the thumb of linear sliders, drawn whatever the flags. */
    melatonin::internal::CachedShadows thumbGlow;

    /** Montserrat Regular; every font getter copies it with its own height. */
    juce::Font controlFont;
    /** Bar of a toggle button that is off. */
    juce::Colour toggleOffFillColour { 0x66edefff };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeel)
};
} // namespace tessaro::gui
