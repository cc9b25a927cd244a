#include "editor/CustomColours.h"
#include "editor/GuiTestSupport.h"
#include "lookandfeel/LookAndFeel.h"

#include <gtest/gtest.h>

using tessaro::gui::LookAndFeel;
using tessaro::gui::RotaryGeometry;

namespace
{
constexpr float start = juce::MathConstants<float>::pi * 1.2f, end = juce::MathConstants<float>::pi * 2.8f;
const juce::Colour red { 0xffff0000 }, green { 0xff00ff00 }, blue { 0xff0000ff };

juce::Image canvas (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

/*  A 100 x 100 knob: track (green) and value arc (red) around (50, 50) at R 23.125, so the
    12 o'clock point of the arcs is at (50, 26.875). */
juce::Image knob (LookAndFeel& lnf, juce::Slider& slider, float position)
{
    lnf.setColour (juce::Slider::rotarySliderOutlineColourId, green);
    lnf.setColour (juce::Slider::rotarySliderFillColourId, red);
    slider.setLookAndFeel (&lnf); // the slider's colours fall back to its own look-and-feel
    auto image = canvas (100, 100);
    juce::Graphics g (image);
    lnf.drawRotarySlider (g, 0, 0, 100, 100, position, start, end, slider);
    return image;
}

/*  A 100 x 60 text button, its outline at (14, 14, 72, 32), on, with a blue glow. */
juce::Image textButton (LookAndFeel& lnf, juce::TextButton& button)
{
    button.setBounds (0, 0, 100, 60);
    button.setToggleState (true, juce::dontSendNotification);
    button.setLookAndFeel (&lnf);
    auto image = canvas (100, 60);
    juce::Graphics g (image);
    button.paintEntireComponent (g, true);
    button.setLookAndFeel (nullptr);
    return image;
}
} // namespace

TEST (ControlLookAndFeel, RotaryGeometryFollowsTheWidth)
{
    auto r = RotaryGeometry::of (0, 0, 100, 100, 0.15f);
    EXPECT_FLOAT_EQ (r.margin, 25.0f);
    EXPECT_EQ (r.area, juce::Rectangle<float> (25, 25, 50, 50));
    EXPECT_FLOAT_EQ (r.radius, 25.0f);
    EXPECT_FLOAT_EQ (r.thickness, 3.75f);
    EXPECT_FLOAT_EQ (r.arcRadius, 23.125f);

    r = RotaryGeometry::of (0, 0, 100, 100, 0.3f);
    EXPECT_FLOAT_EQ (r.thickness, 7.5f);
    EXPECT_FLOAT_EQ (r.arcRadius, 21.25f);

    EXPECT_FLOAT_EQ (RotaryGeometry::of (0, 0, 200, 100, 0.15f).radius, 0.0f);
    r = RotaryGeometry::of (0, 0, 100, 200, 0.15f);
    EXPECT_FLOAT_EQ (r.radius, 25.0f);
    EXPECT_EQ (r.centre, juce::Point<float> (50, 100));

    r = RotaryGeometry::of (0, 0, 144, 144, 0.08f); // the arcs of the panels
    EXPECT_FLOAT_EQ (r.margin, 36.0f);
    EXPECT_FLOAT_EQ (r.thickness, 2.88f);
    EXPECT_FLOAT_EQ (r.arcRadius, 34.56f);
}

TEST (ControlLookAndFeel, LinearTrackIsInsetTwelveAtBothEnds)
{
    EXPECT_FLOAT_EQ (tessaro::gui::linearTrackPosition (0, 0, 124), 12.0f);
    EXPECT_FLOAT_EQ (tessaro::gui::linearTrackPosition (62, 0, 124), 62.0f);
    EXPECT_FLOAT_EQ (tessaro::gui::linearTrackPosition (124, 0, 124), 112.0f);
    EXPECT_FLOAT_EQ (tessaro::gui::linearTrackPosition (10, 10, 124), 22.0f);
}

TEST (ControlLookAndFeel, KnobDrawsItsValueArcOrOnlyItsTrack)
{
    LookAndFeel lnf;
    juce::Slider slider;
    EXPECT_TRUE (gui_test::closeTo (knob (lnf, slider, 1.0f).getPixelAt (50, 26), red));
    EXPECT_TRUE (gui_test::closeTo (knob (lnf, slider, 0.0f).getPixelAt (50, 26), green));

    lnf.bipolar = true; // from the middle: at 0.5 the arc has no length, at 0.75 it passes 1 o'clock
    EXPECT_TRUE (gui_test::closeTo (knob (lnf, slider, 0.5f).getPixelAt (61, 29), green));
    EXPECT_TRUE (gui_test::closeTo (knob (lnf, slider, 0.75f).getPixelAt (61, 29), red));
    EXPECT_TRUE (gui_test::closeTo (knob (lnf, slider, 0.0f).getPixelAt (30, 60), red));
    lnf.bipolar = false;

    slider.setEnabled (false);
    EXPECT_TRUE (gui_test::closeTo (knob (lnf, slider, 1.0f).getPixelAt (50, 26), green));
    slider.setEnabled (true);

    lnf.bypassed = true;
    const auto bypassed = knob (lnf, slider, 1.0f).getPixelAt (50, 26);
    EXPECT_TRUE (gui_test::closeTo (bypassed, CustomColours::CONTROL_OUTLINE.overlaidWith (CustomColours::CONTROL_FILL_BYPASS)));

    EXPECT_TRUE (knob (lnf, slider, 1.0f).getPixelAt (50, 50).isTransparent()); // no pointer, no fill
}

TEST (ControlLookAndFeel, KnobGlowOnlyWhenOnAndNotBypassed)
{
    LookAndFeel lnf;
    juce::Slider slider;
    EXPECT_TRUE (knob (lnf, slider, 1.0f).getPixelAt (50, 20).isTransparent());
    lnf.setShouldRenderGlow (true, true, blue);
    EXPECT_GT (knob (lnf, slider, 1.0f).getPixelAt (50, 20).getAlpha(), 0);
    lnf.bypassed = true;
    EXPECT_TRUE (knob (lnf, slider, 1.0f).getPixelAt (50, 20).isTransparent());
}

TEST (ControlLookAndFeel, GlowColoursAreDerivedFromOneColour)
{
    LookAndFeel lnf;
    lnf.setShouldRenderGlow (false, false, juce::Colour (0x000055ff));
    const auto a = juce::Colour (0xbf0055ff);
    const auto b = juce::Colour (0x000055ff).interpolatedWith (juce::Colours::white, 0.4f).withAlpha ((juce::uint8) 0xbf);
    const auto radiiAndColour = [] (const melatonin::internal::CachedShadows& glow)
    {
        std::vector<std::pair<int, juce::uint32>> out;
        for (const auto& s : glow.getShadows())
            out.emplace_back (s.parameters.radius, s.parameters.colour.getARGB());
        return out;
    };
    using V = std::vector<std::pair<int, juce::uint32>>;
    const auto five = [] (juce::Colour c)
    {
        return V { { 2, c.getARGB() }, { 4, c.getARGB() }, { 8, c.getARGB() }, { 16, c.getARGB() }, { 32, c.getARGB() } };
    };
    EXPECT_EQ (radiiAndColour (lnf.rotaryGlow), five (a));
    EXPECT_EQ (radiiAndColour (lnf.toggleGlow), (V { { 2, a.getARGB() }, { 4, a.getARGB() } }));
    EXPECT_EQ (radiiAndColour (lnf.buttonGlow), five (a));
    EXPECT_EQ (radiiAndColour (lnf.buttonHoverGlow), five (b));
    EXPECT_EQ (radiiAndColour (lnf.textGlow), five (a));
    EXPECT_EQ (radiiAndColour (lnf.textHoverGlow), five (b));
    EXPECT_EQ (radiiAndColour (lnf.linearGlow), five (a));
    EXPECT_EQ (radiiAndColour (lnf.thumbGlow), (V { { 24, 0x000055ffu }, { 18, 0x000055ffu }, { 12, 0x000055ffu },
                                                   { 6, 0x000055ffu } })); // the thumb keeps the alpha: invisible
    EXPECT_FALSE (lnf.shouldRenderGlow);
    EXPECT_FALSE (lnf.shouldRenderTextGlow);
}

TEST (ControlLookAndFeel, ToggleBarLitWhenOnGreyAndGlowlessWhenOff)
{
    LookAndFeel lnf;
    lnf.setColour (juce::ToggleButton::tickColourId, red);
    lnf.setColour (juce::ToggleButton::tickDisabledColourId, green);
    lnf.setShouldRenderGlow (true, true, blue);
    juce::ToggleButton toggle;
    toggle.setColour (juce::ToggleButton::tickColourId, blue); // the button's own colours are not used
    toggle.setBounds (0, 0, 40, 20);

    const auto draw = [&] (bool on)
    {
        toggle.setToggleState (on, juce::dontSendNotification);
        auto image = canvas (40, 20);
        juce::Graphics g (image);
        lnf.drawToggleButton (g, toggle, false, false);
        return image;
    };
    const auto on = draw (true), off = draw (false);
    EXPECT_TRUE (gui_test::closeTo (on.getPixelAt (20, 10), red));
    EXPECT_GT (on.getPixelAt (20, 6).getAlpha(), 0);
    EXPECT_TRUE (gui_test::closeTo (off.getPixelAt (20, 10), juce::Colour (0x66edefff)));
    EXPECT_TRUE (off.getPixelAt (20, 6).isTransparent());
    EXPECT_EQ (off.getPixelAt (20, 1).getAlpha(), on.getPixelAt (20, 1).getAlpha() / 2 + 1); // outline at 0x80
}

TEST (ControlLookAndFeel, TextButtonGlowsOnlyWhenOnAndNotBypassedAndClipsLeft)
{
    LookAndFeel lnf;
    lnf.setShouldRenderGlow (true, true, blue);
    juce::TextButton button ("Slow");
    button.setColour (juce::TextButton::buttonOnColourId, green);

    auto image = textButton (lnf, button);
    EXPECT_GT (image.getPixelAt (6, 30).getAlpha(), 0);

    lnf.bypassed = true;
    image = textButton (lnf, button);
    EXPECT_TRUE (image.getPixelAt (6, 30).isTransparent());
    EXPECT_GT (image.getPixelAt (14, 30).getAlpha(), 0); // the outline stays

    lnf.bypassed = false;
    lnf.backgroundClipLeft = 10.7f;
    image = textButton (lnf, button);
    for (int y = 0; y < 60; ++y)
        ASSERT_TRUE (image.getPixelAt (9, y).isTransparent()) << y;
    EXPECT_GT (image.getPixelAt (11, 30).getAlpha(), 0);
}

TEST (ControlLookAndFeel, FontsKeepTheirHeights)
{
    LookAndFeel lnf;
    juce::TextButton button;
    juce::Slider slider;
    EXPECT_FLOAT_EQ (lnf.getTextButtonFont (button, 10).getHeight(), 32.0f);
    EXPECT_FLOAT_EQ (lnf.getTextButtonFont (button, 100).getHeight(), 32.0f);
    EXPECT_FLOAT_EQ (lnf.getSliderPopupFont (slider).getHeight(), 15.0f);
    lnf.popupFontHeight = 17.08f;
    EXPECT_FLOAT_EQ (lnf.getSliderPopupFont (slider).getHeight(), 17.08f);
    EXPECT_TRUE (lnf.controlFont.getTypefaceName().containsIgnoreCase ("Montserrat"));
}

TEST (ControlLookAndFeel, VerticalBipolarSliderDrawsFromTheCentre)
{
    LookAndFeel lnf;
    lnf.bipolar = true;
    lnf.setColour (juce::Slider::backgroundColourId, green);
    lnf.setColour (juce::Slider::trackColourId, red);
    juce::Slider slider (juce::Slider::LinearVertical, juce::Slider::NoTextBox);
    slider.setBounds (0, 0, 20, 124);
    slider.setLookAndFeel (&lnf);

    const auto draw = [&] (float position)
    {
        auto image = canvas (20, 124);
        juce::Graphics g (image);
        lnf.drawLinearSlider (g, 0, 0, 20, 124, position, 0, 0, juce::Slider::LinearVertical, slider);
        return image;
    };
    const auto top = draw (0.0f), bottom = draw (124.0f);
    EXPECT_TRUE (gui_test::closeTo (top.getPixelAt (10, 40), red));
    EXPECT_TRUE (gui_test::closeTo (top.getPixelAt (10, 90), green));
    EXPECT_TRUE (gui_test::closeTo (bottom.getPixelAt (10, 90), red));
    EXPECT_TRUE (gui_test::closeTo (bottom.getPixelAt (10, 40), green));
}
