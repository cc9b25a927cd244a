#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "editor/AboutComponent.h"
#include "editor/CachedShadows.h"
#include "editor/InputCalibrationComponent.h"
#include "editor/QELImageButton.h"
#include "editor/QELTempoBoxComponent.h"

// Paints the widgets into build/tests/test-artifacts/widgets.png, for a person to look at.
TEST (WidgetGallery, PaintsEveryWidgetIntoOneSheet)
{
    juce::Image sheet (juce::Image::ARGB, 840, 300, true);
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xff30343a));

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
    g.setColour (juce::Colour (0xff30343a));
    g.fillPath (knob);

    const auto file = gui_test::writeArtifact (sheet, "widgets");
    EXPECT_TRUE (file.existsAsFile());
}
