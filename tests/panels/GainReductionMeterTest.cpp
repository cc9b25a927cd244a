#include "editor/CustomColours.h"
#include "editor/GuiTestSupport.h"
#include "panels/GainReductionMeter.h"

#include <gtest/gtest.h>

#include <limits>

using tessaro::gui::GainReductionMeter;

namespace
{
/** The Compress panel's set-up: -18..0 dB, linear, coefficients 1. */
void useCompressRange (GainReductionMeter& meter)
{
    meter.range = juce::NormalisableRange<float> (-18.0f, 0.0f, 0.1f, 1.0f);
}
} // namespace

TEST (GainReductionMeter, LevelsMapOntoTheCompressRange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case
    {
        float gain, level;
    } cases[] = {
        { 1.0f, 1.0f },       // no reduction: empty bar
        { 0.5f, 0.66554f },   // -6.02 dB
        { 0.1f, 0.0f },       // -20 dB, below the range: full bar
        { 0.0f, 0.0f },       { -1.0f, 0.0f }, { nan, 0.0f },
        { 2.0f, 1.0f },       // gain clamps to the top
        { inf, 1.0f },
    };
    GainReductionMeter meter;
    useCompressRange (meter);
    for (const auto& c : cases)
    {
        meter.setLevel (c.gain);
        EXPECT_NEAR (meter.level, c.level, 1e-4) << c.gain;
        EXPECT_NEAR (meter.peak, c.level, 1e-4) << c.gain;
    }
}

TEST (GainReductionMeter, DefaultRangeIsSkewedAndStartsAtZero)
{
    GainReductionMeter meter;
    EXPECT_EQ (meter.level, 0.0f);
    EXPECT_EQ (meter.peak, 0.0f);
    meter.setLevel (1.0f);
    EXPECT_NEAR (meter.level, std::pow (96.0 / 108.0, 2.6), 1e-5); // ~0.736
}

TEST (GainReductionMeter, RiseAndFallSmoothSeparately)
{
    GainReductionMeter meter;
    useCompressRange (meter);
    meter.levelRise = 0.5f;
    meter.levelFall = 0.1f;
    meter.setLevel (0.0f);
    ASSERT_EQ (meter.level, 0.0f);

    meter.setLevel (1.0f);
    EXPECT_FLOAT_EQ (meter.level, 0.5f);
    meter.setLevel (1.0f);
    EXPECT_FLOAT_EQ (meter.level, 0.75f);
    meter.setLevel (0.0f);
    EXPECT_FLOAT_EQ (meter.level, 0.675f); // falls by 10 % of the gap
    EXPECT_FLOAT_EQ (meter.peak, 0.0f);    // peak coefficients stayed 1
}

// 182 x 5, level 0.5: the bar fills the right half.
//   x: 0 ......... 91 ......... 182
//      [  outline  |####bar#####]
TEST (GainReductionMeter, BarGrowsFromTheRightAndHidesWhenDisabled)
{
    GainReductionMeter meter;
    meter.setBounds (0, 0, 182, 5);
    meter.level = 0.5f;
    auto image = gui_test::paint (meter);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (175, 2), CustomColours::THEME_COMP_FILL));
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (120, 2), CustomColours::THEME_COMP_FILL));
    EXPECT_EQ (image.getPixelAt (20, 2).getAlpha(), 0);
    EXPECT_GT (image.getPixelAt (20, 0).getAlpha(), 0); // outline

    meter.enabled = false;
    image = gui_test::paint (meter);
    EXPECT_EQ (image.getPixelAt (175, 2).getAlpha(), 0);
    EXPECT_GT (image.getPixelAt (20, 0).getAlpha(), 0);

    meter.enabled = true;
    meter.level = 1.0f; // no reduction
    image = gui_test::paint (meter);
    EXPECT_EQ (image.getPixelAt (175, 2).getAlpha(), 0);
}
