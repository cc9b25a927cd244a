#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "editor/AboutComponent.h"
#include "editor/CachedShadows.h"
#include "editor/InputCalibrationComponent.h"
#include "editor/QELImageButton.h"
#include "editor/QELTempoBoxComponent.h"

namespace
{
/** The brightness of the brightest pixel in an area of the sheet: text and strokes light it up. */
float brightestIn (const juce::Image& sheet, juce::Rectangle<int> area)
{
    float brightest = 0.0f;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            brightest = std::max (brightest, sheet.getPixelAt (x, y).getBrightness());
    return brightest;
}
} // namespace

// Paints the widgets into build/tests/test-artifacts/widgets.png, for a person to look at, and samples a few
// pixels of each:
//
//   +--------+ +--------+ +--+--+
//   | About  | | Calib. | | <| >|      sheet 0xff30343a
//   | text   | | [bar]  | +--+--+
//   |        | |        |  120
//   |        | |        |        (o)   knob with a blue glow
//   +--------+ +--------+
TEST (WidgetGallery, PaintsEveryWidgetIntoOneSheet)
{
    const juce::Colour background (0xff30343a);
    juce::Image sheet (juce::Image::ARGB, 840, 300, true);
    juce::Graphics g (sheet);
    g.fillAll (background);

    auto place = [&] (juce::Component& c, int x, int y)
    {
        g.drawImageAt (gui_test::paint (c), x, y);
        return c.getLocalBounds() + juce::Point<int> (x, y);
    };

    juce::AboutComponent about;
    about.productName = "Orvane Tessaro";
    about.version = "1.0.0";
    about.buildId = "test";
    about.wrapperName = "VST3";
    about.setSize (260, 260);
    about.manualButton.setVisible (true);
    place (about, 10, 20);

    juce::InputCalibrationComponent calibration;
    calibration.progress = 0.4;
    calibration.setSize (260, 260);
    place (calibration, 280, 20);

    juce::QELArrowButton previous ("previous", 0.0f, juce::Colours::white), next ("next", 0.5f, juce::Colours::white);
    previous.setSize (40, 56);
    next.setSize (40, 56);
    next.setConnectedEdges (juce::Button::ConnectedOnLeft);
    previous.setConnectedEdges (juce::Button::ConnectedOnRight);
    place (previous, 560, 20);
    place (next, 600, 20);

    juce::QELTempoBoxComponent tempo;
    tempo.setSize (200, 60);
    place (tempo, 560, 100);

    melatonin::internal::CachedShadows glow ({ { juce::Colours::white.withAlpha (0.75f), 4, {}, 0, false },
                                               { juce::Colour (0xff40a0ff), 12, {}, 0, false } });
    juce::Path knob;
    knob.addEllipse (690.0f, 200.0f, 60.0f, 60.0f);
    glow.render (g, knob);
    g.setColour (background);
    g.fillPath (knob);

    const auto file = gui_test::writeArtifact (sheet, "widgets");
    EXPECT_TRUE (file.existsAsFile());

    EXPECT_LT (sheet.getPixelAt (20, 260).getBrightness(), 0.1f) << "the about box's dark veil";
    EXPECT_GT (brightestIn (sheet, { 90, 55, 100, 20 }), 0.8f) << "the product name";
    EXPECT_LT (sheet.getPixelAt (290, 260).getBrightness(), 0.1f) << "the calibration layer's dark veil";
    EXPECT_EQ (sheet.getPixelAt (360, 137), juce::Colours::grey) << "the empty progress bar";
    EXPECT_GT (brightestIn (sheet, { 565, 30, 25, 36 }), 0.8f) << "the previous arrow";
    EXPECT_GT (brightestIn (sheet, { 605, 30, 25, 36 }), 0.8f) << "the next arrow";
    EXPECT_GT (brightestIn (sheet, { 560, 115, 50, 30 }), 0.8f) << "the tempo";

    const auto glowPixel = sheet.getPixelAt (720, 197);
    EXPECT_GT ((int) glowPixel.getBlue(), (int) glowPixel.getRed() + 40) << "the blue glow around the knob";
    EXPECT_EQ (sheet.getPixelAt (720, 230), background) << "the knob's face";
    EXPECT_EQ (sheet.getPixelAt (820, 290), background) << "the bare sheet";
}
