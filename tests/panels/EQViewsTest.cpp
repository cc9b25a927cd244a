// The product EQ view (182 x 72, flat band: curve on y 36), its container, the dual shelf view and the
// Q handle, painted into images and driven with synthesized mouse events.

#include "EQViewTestSupport.h"
#include "editor/CustomColours.h"
#include "editor/GuiTestSupport.h"
#include "panels/DualEQComponent.h"
#include "panels/EQBandFeed.h"
#include "panels/EQComponent.h"

#include <gtest/gtest.h>

using eq_view_test::event;
using tessaro::gui::DualEQComponent;
using tessaro::gui::EQBandFeed;
using tessaro::gui::EQBandSlot;
using tessaro::gui::EQComponent;

namespace
{
/** A product view at the panel's size and settings with one flat band at 1 kHz. */
struct FlatView : EQComponent
{
    FlatView() : EQComponent ({ 0.707f, 3.5f, 0.01f })
    {
        drawBackground = fillBands = bandsOnlyWhenMouseOver = showGainLabels = showFrequencyLabels = false;
        showZeroLine = showQHandles = false;
        showFrequencyReadout = showUnits = true;
        sizeScale = 7.0f;
        setSize (182, 72);
        const auto data = EQBandFeed::record (EQBandSlot::mid, 1000.0f, 0.707f, 0.0f);
        updateBandA (0, data, juce::Colours::white, EQBandFeed::peak (1000.0f, 0.707f, 1.0f), EQBandFeed::flat());
        recomputeCurves();
    }
};
} // namespace

TEST (EQComponent, DrawsAGlowingFilledCurveAndADimFlatOneWhenBypassed)
{
    FlatView view;
    auto image = gui_test::paint (view);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (30, 36), CustomColours::THEME_EQ_FILL, 4));
    EXPECT_GT (image.getPixelAt (30, 60).getAlpha(), 0) << "the area under the curve";
    EXPECT_GT (image.getPixelAt (30, 60).getBlue(), image.getPixelAt (30, 60).getRed());
    EXPECT_GT (image.getPixelAt (30, 28).getAlpha(), 0) << "the glow above the curve";
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (104, 32), CustomColours::THEME_EQ_FILL, 4)) << "the handle";

    view.bypassed = true;
    image = gui_test::paint (view);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (30, 36), CustomColours::CONTROL_FILL_BYPASS, 4));
    EXPECT_EQ (image.getPixelAt (30, 60).getAlpha(), 0) << "no fill";
    EXPECT_EQ (image.getPixelAt (30, 28).getAlpha(), 0) << "no glow";

    // The outline, half a unit each side of x = 1.
    const auto outline = image.getPixelAt (1, 20);
    EXPECT_TRUE (gui_test::closeTo (outline.withAlpha (1.0f), CustomColours::CONTROL_OUTLINE.withAlpha (1.0f), 4));
    EXPECT_GT (outline.getAlpha(), 0);
    EXPECT_LE (outline.getAlpha(), CustomColours::CONTROL_OUTLINE.getAlpha());
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (104, 32), CustomColours::CONTROL_FILL_BYPASS, 4));
}

TEST (EQComponent, ShowsTheFrequencyReadoutOnlyWhileTheBandIsHeldAndNoCue)
{
    FlatView view;
    const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    const auto before = gui_test::paint (view);

    view.mouseDown (event (view, { 104.0f, 36.0f }, left));
    ASSERT_EQ (view.selectedBand, 0);
    const auto held = gui_test::paint (view);
    view.mouseUp (event (view, { 104.0f, 36.0f }));
    const auto after = gui_test::paint (view);

    // The readout "1000.0 Hz" sits below the curve (box top 47); nothing else changes.
    const auto differs = [] (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> r)
    {
        for (int y = r.getY(); y < r.getBottom(); ++y)
            for (int x = r.getX(); x < r.getRight(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return true;
        return false;
    };
    EXPECT_TRUE (differs (before, held, { 60, 48, 90, 22 }));
    EXPECT_FALSE (differs (before, held, { 0, 0, 182, 30 })) << "no drag cue around the handle";
    EXPECT_FALSE (differs (before, after, { 0, 0, 182, 72 }));

    // The pointer leaving repaints only: the editor keeps its hover state.
    view.mouseExit (event (view, { 300.0f, 300.0f }));
    EXPECT_TRUE (view.mouseOver);
}

TEST (EQComponent, ATinyViewDrawsNoOutlineOutsideItself)
{
    FlatView view;
    view.setSize (2, 2);
    const auto image = gui_test::paint (view);
    EXPECT_EQ (image.getWidth(), 2);
}

TEST (EQContainer, RefreshesTheBandEvery25ms)
{
    tessaro::gui::EQContainer container;
    int updates = 0;
    container.onBandUpdate = [&updates] { ++updates; };
    EXPECT_TRUE (gui_test::pumpUntil ([&updates] { return updates >= 2; }));
}

//==============================================================================
TEST (DualEQComponent, StartsFlatWithHandlesAt20And80Percent)
{
    DualEQComponent view;
    view.setSize (200, 100);
    view.computeResponse();
    for (float db : view.responseDb)
        ASSERT_NEAR (db, 0.0f, 1e-4f);
    EXPECT_EQ (view.handlePositions[0], juce::Point<float> (0.2f, 0.5f));
    EXPECT_EQ (view.handlePositions[1], juce::Point<float> (0.8f, 0.5f));
    EXPECT_NEAR (DualEQComponent::frequencyAt (0.2f), 165.7227f, 1e-3f);
    EXPECT_NEAR (DualEQComponent::frequencyAt (0.8f), 6034.1768f, 0.05f);
    EXPECT_EQ (DualEQComponent::frequencyText (165.7227f), "165 Hz");
    EXPECT_EQ (DualEQComponent::frequencyText (6034.1768f), "6.0 kHz");
}

TEST (DualEQComponent, FollowsTheBandsAndItsHandles)
{
    DualEQComponent view;
    view.setSize (200, 100);
    std::vector<std::tuple<int, float, float>> reports;
    view.onBandChange = [&reports] (int b, float hz, float db) { reports.emplace_back (b, hz, db); };

    view.lowFrequency = 100.0f;
    view.lowGain = 6.0f;
    view.updateBands();
    EXPECT_NEAR (view.handlePositions[0].x, std::log (2.0f) / std::log (400.0f), 1e-5f);
    EXPECT_NEAR (view.handlePositions[0].y, 0.3f, 1e-5f);
    view.computeResponse();
    EXPECT_GT (view.responseDb[0], 2.0f) << "the low shelf lifts the bottom";
    EXPECT_NEAR (view.responseDb[127], 0.0f, 0.01f);

    // A press exactly midway picks the high band; a drag past the right and bottom edges clamps.
    view.handlePositions[0] = { 0.25f, 0.5f };
    view.handlePositions[1] = { 0.75f, 0.5f };
    view.mouseDown (event (view, { 100.0f, 50.0f }));
    EXPECT_EQ (view.draggedBand, 1);
    view.mouseDown (event (view, { 20.0f, 50.0f }));
    view.mouseDrag (event (view, { 500.0f, 300.0f }, {}, { 20.0f, 50.0f }, true));
    ASSERT_EQ (reports.size(), 1u);
    EXPECT_EQ (std::get<0> (reports[0]), 0);
    EXPECT_NEAR (std::get<1> (reports[0]), 20000.0f, 0.5f);
    EXPECT_FLOAT_EQ (std::get<2> (reports[0]), -15.0f);

    // An update from the owner ends the drag.
    view.updateBands();
    view.mouseDrag (event (view, { 10.0f, 10.0f }, {}, { 20.0f, 50.0f }, true));
    EXPECT_EQ (reports.size(), 1u);

    // Double-click nearer the high handle resets it to its home, keeping its Q.
    view.highQ = 2.0f;
    view.mouseDoubleClick (event (view, { 190.0f, 10.0f }, {}, {}, false, 2));
    ASSERT_EQ (reports.size(), 2u);
    EXPECT_EQ (reports[1], std::make_tuple (1, 6034.1768f, 0.0f));
    EXPECT_EQ (view.handlePositions[1], juce::Point<float> (0.8f, 0.5f));
    EXPECT_EQ (view.highQ, 2.0f);
    EXPECT_EQ (view.draggedBand, 1);
}

TEST (DualEQComponent, BypassedDrawsFlatWithoutFillOrGlow)
{
    DualEQComponent view;
    view.setSize (200, 100);
    auto image = gui_test::paint (view);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (100, 50), CustomColours::THEME_EQ_FILL, 4));
    EXPECT_GT (image.getPixelAt (100, 80).getAlpha(), 0);

    view.bypassed = true;
    image = gui_test::paint (view);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (100, 50), CustomColours::CONTROL_FILL_BYPASS, 4));
    EXPECT_EQ (image.getPixelAt (100, 80).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (100, 30).getAlpha(), 0);
}

//==============================================================================
TEST (QComponent, SkewedRangeAndTheDotAtEitherEnd)
{
    QEL::QComponent handle ({ 0.707f, 3.5f, 0.01f });
    handle.setSize (40, 8);
    handle.slider.setValue (handle.slider.proportionOfLengthToValue (0.5), juce::dontSendNotification);
    EXPECT_NEAR (handle.slider.getValue(), 1.405, 0.01) << "a quarter of the way up, not the middle";

    const auto colourAt = [&handle] (int x, int y) { return gui_test::paint (handle).getPixelAt (x, y); };
    const juce::Colour blue (0xff328cb4);

    handle.slider.setValue (0.707, juce::dontSendNotification);
    EXPECT_TRUE (gui_test::closeTo (colourAt (4, 4), blue, 8)) << "range start: dot at the outer end";

    handle.slider.setValue (3.5, juce::dontSendNotification);
    EXPECT_TRUE (gui_test::closeTo (colourAt (36, 4), blue, 8));
    EXPECT_EQ (colourAt (10, 4).getAlpha(), 0) << "range end: no line";

    handle.enabled = false;
    EXPECT_TRUE (gui_test::closeTo (colourAt (36, 4), juce::Colour (0xff808080), 8));
}
