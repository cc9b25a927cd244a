// The EQ curve editor on the product's set-up: one band (or more where a case needs them) on
// 10 Hz ... 30 kHz, +-15 dB, laid out at 182 x 72:
//
//   y  2 +-----------------------------------------------+  +15 dB
//        |                                               |
//   y 36 |- - - - - - - o (1 kHz: x 104.66) - - - - - - -|    0 dB
//        |                                               |
//   y 70 +-----------------------------------------------+  -15 dB
//        x(20 Hz) 15.74                  x(20 kHz) 172.76

#include "EQViewTestSupport.h"
#include "panels/EQBandFeed.h"
#include "panels/EQTextFormat.h"
#include "panels/QELEQComponent.h"

#include <gtest/gtest.h>

using eq_view_test::event;
using eq_view_test::pressAndDrag;
using tessaro::gui::EQBandFeed;
using tessaro::gui::EQBandSlot;

namespace
{
constexpr float shift = juce::ModifierKeys::shiftModifier, alt = juce::ModifierKeys::altModifier;

struct Editor : QELEQComponent
{
    explicit Editor (int numBands = 1) : QELEQComponent ({ 0.707f, 3.5f, 0.01f }, numBands, 10.0f, 30000.0f, 15.0f)
    {
        setSize (182, 72);
        actionModifiers = 2;
        lockFrequencyModifiers = 1;
        lockGainModifiers = 5;
    }

    /** Band i as the EQ panel feeds it: a peak at hz with gainDb. */
    void feed (int i, float hz, float gainDb, float q = 0.707f)
    {
        const auto data = EQBandFeed::record (EQBandSlot::mid, hz, q, gainDb);
        updateBandA (i, data, juce::Colours::white, EQBandFeed::peak (hz, q, data.gain), EQBandFeed::flat());
    }
};

/** Every report of the editor, in order. */
struct Recorder
{
    explicit Recorder (QELEQComponent& e)
    {
        e.onFrequencyChange = [this] (int b, float hz) { frequencies.push_back ({ b, hz }); };
        e.onGainChange = [this] (int b, float g) { gains.push_back ({ b, g }); };
        e.onQChange = [this] (int b, float v, bool delta) { qs.push_back ({ b, v, delta }); };
        e.onBandDoubleClick = [this] (int b) { doubleClicks.push_back (b); };
    }
    struct Report
    {
        int band;
        float value;
    };
    struct QReport
    {
        int band;
        float value;
        bool delta;
    };
    std::vector<Report> frequencies, gains;
    std::vector<QReport> qs;
    std::vector<int> doubleClicks;
};
} // namespace

TEST (QELEQComponent, GridAndMappingOfTheProductView)
{
    Editor e;
    ASSERT_EQ (e.frequencies.size(), 348u);
    EXPECT_NEAR (e.frequencies.back(), 30332.9, 30332.9 * 1e-4);
    EXPECT_NEAR (e.ratioOf (1000.0f), 0.5752f, 1e-4f);

    EXPECT_EQ (e.interactionArea, juce::Rectangle<int> (0, 0, 182, 72));
    EXPECT_EQ (e.plotArea, juce::Rectangle<int> (0, 2, 182, 68));

    const std::pair<float, float> ys[] = { { 15.0f, 2.0f }, { 0.0f, 36.0f }, { -6.0f, 49.6f }, { -15.0f, 70.0f } };
    for (auto [db, y] : ys)
        EXPECT_NEAR (e.yForDecibels (db), y, 1e-3f) << db;

    const std::pair<float, float> xs[] = { { 20.0f, 15.74f }, { 100.0f, 52.32f }, { 1000.0f, 104.66f },
                                           { 5000.0f, 141.25f }, { 20000.0f, 172.76f } };
    for (auto [hz, x] : xs)
    {
        EXPECT_NEAR (e.xForFrequency (hz), x, 0.01f) << hz;
        EXPECT_NEAR (e.frequencyAtX (e.xForFrequency (hz)), hz, hz * 1e-4f);
    }

    // Heights outside the plot give its ends; a silent band maps far below it.
    EXPECT_NEAR (QELEQComponent::decibels (e.gainAtY (-50.0f)), 15.0f, 1e-3f);
    EXPECT_NEAR (QELEQComponent::decibels (e.gainAtY (500.0f)), -15.0f, 1e-3f);
    EXPECT_EQ (QELEQComponent::decibels (0.0), -100.0f);
}

TEST (QELEQComponent, AreasShrinkOnlyFromTheirWidthThresholds)
{
    Editor e;
    const struct
    {
        int width;
        int inset, band;
    } cases[] = { { 416, 0, 6 }, { 417, 1, 6 }, { 64, 0, 0 }, { 65, 0, 1 } };

    for (const auto& c : cases)
    {
        e.setSize (c.width, 100);
        EXPECT_EQ (e.interactionArea.getX(), c.inset) << c.width;
        EXPECT_EQ (e.plotArea.getY() - e.interactionArea.getY(), c.band) << c.width;
    }
}

TEST (QELEQComponent, MainCurveIsTheProductOfUsedEnabledBands)
{
    Editor e;
    e.feed (0, 2000.0f, 6.0f);
    e.recomputeCurves();

    const auto nearest = (size_t) std::distance (
        e.frequencies.begin(), std::min_element (e.frequencies.begin(), e.frequencies.end(),
                                                 [] (double a, double b) { return std::abs (a - 2000.0) < std::abs (b - 2000.0); }));
    EXPECT_NEAR (e.mainMagnitudes[nearest], 1.995, 0.01);

    // Repeated ticks never compound the second set into the first.
    const auto once = e.mainMagnitudes;
    e.recomputeCurves();
    e.recomputeCurves();
    EXPECT_EQ (e.mainMagnitudes, once);

    // A disabled band leaves a flat 0 dB line at y 36.
    auto off = EQBandFeed::record (EQBandSlot::mid, 2000.0f, 0.707f, 6.0f);
    off.enabled = false;
    e.updateBandA (0, off, juce::Colours::white, EQBandFeed::peak (2000.0f, 0.707f, 2.0f), EQBandFeed::flat());
    e.recomputeCurves();
    for (double m : e.mainMagnitudes)
        ASSERT_DOUBLE_EQ (m, 1.0);
    EXPECT_FLOAT_EQ (e.mainPath.getBounds().getCentreY(), 36.0f);
}

TEST (QELEQComponent, HoverPicksTheNearestBandAndTheLowerIndexOnATie)
{
    Editor e (3);
    e.feed (0, 1000.0f, 6.0f);
    e.feed (1, 1000.0f, -6.0f);
    e.feed (2, 100.0f, 0.0f);

    const auto mid = (e.handlePoint (*e.bands[0]) + e.handlePoint (*e.bands[1])) / 2.0f;
    EXPECT_EQ (e.findHoveredBand (mid), 0);
    EXPECT_EQ (e.findHoveredBand (mid.translated (0.0f, 1.0f)), 1);
    EXPECT_EQ (e.findHoveredBand (e.handlePoint (*e.bands[2])), 2);
    e.hoverRadius = 5;
    EXPECT_EQ (e.findHoveredBand (mid), -1);
}

TEST (QELEQComponent, DragMovesFrequencyAndGainUnderTheModifierLocks)
{
    Editor e;
    e.feed (0, 1000.0f, 0.0f);
    const juce::Point<float> handle (104.66f, 36.0f), target (141.25f, 49.6f); // 5 kHz, -6 dB

    const struct
    {
        const char* what;
        juce::ModifierKeys keys;
        bool frequency, gain;
    } cases[] = {
        { "no modifier", {}, true, true },
        { "Shift: the frequency stays", juce::ModifierKeys ((int) shift), false, true },
        { "Shift+Alt: only the frequency follows", juce::ModifierKeys ((int) (shift + alt)), true, false },
        { "Alt alone locks nothing", juce::ModifierKeys ((int) alt), true, true },
    };
    for (const auto& c : cases)
    {
        Recorder r (e);
        pressAndDrag (e, handle, target, c.keys);
        ASSERT_EQ (r.frequencies.size(), c.frequency ? 1u : 0u) << c.what;
        ASSERT_EQ (r.gains.size(), c.gain ? 1u : 0u) << c.what;
        if (c.frequency)
        {
            EXPECT_NEAR (r.frequencies[0].value, 5000.0f, 5.0f) << c.what;
        }
        if (c.gain)
        {
            EXPECT_NEAR (QELEQComponent::decibels (r.gains[0].value), -6.0f, 0.01f) << c.what;
        }
        EXPECT_EQ (e.bands[0]->frequency, 1000.0f) << "the owner moves the band, not the drag";
    }
}

TEST (QELEQComponent, DragsPastTheEdgesClampTo20Hz20kHzAndTheGainRange)
{
    Editor e;
    e.feed (0, 1000.0f, 0.0f);
    const juce::Point<float> handle (104.66f, 36.0f);

    const struct
    {
        juce::Point<float> to;
        float hz, db;
    } cases[] = { { { -40.0f, -30.0f }, 20.0f, 15.0f }, { { 400.0f, 200.0f }, 20000.0f, -15.0f },
                  { { 1.0f, 1.0f }, 20.0f, 15.0f } };
    for (const auto& c : cases)
    {
        Recorder r (e);
        pressAndDrag (e, handle, c.to);
        ASSERT_EQ (r.frequencies.size(), 1u);
        EXPECT_FLOAT_EQ (r.frequencies[0].value, c.hz);
        EXPECT_NEAR (r.gains[0].value, std::pow (10.0f, c.db / 20.0f), 1e-5f);
    }

    // A press away from the handle grabs nothing and a drag reports nothing.
    Recorder r (e);
    pressAndDrag (e, { 30.0f, 60.0f }, { 60.0f, 10.0f });
    EXPECT_TRUE (r.frequencies.empty() && r.gains.empty());
    EXPECT_EQ (e.selectedBand, -1);
}

TEST (QELEQComponent, TwoBandsInReachTheHigherIndexIsGrabbed)
{
    Editor e (2);
    e.feed (0, 1000.0f, 0.0f);
    e.feed (1, 1050.0f, 1.0f);
    e.mouseDown (event (e, { 105.0f, 35.0f }, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier)));
    EXPECT_EQ (e.selectedBand, 1);
}

TEST (QELEQComponent, WheelReportsARelativeQStepOfAtLeast0005AgainstTheBoost)
{
    Editor e;
    Recorder r (e);
    const auto wheel = [&e] (float dy)
    {
        juce::MouseWheelDetails d {};
        d.deltaY = dy;
        e.mouseWheelMove (event (e, { 104.0f, 36.0f }), d);
    };

    e.feed (0, 1000.0f, 0.0f);
    wheel (0.5f); // nothing hovered yet
    EXPECT_TRUE (r.qs.empty());

    e.hoveredBand = 0;
    wheel (0.01f);
    wheel (-0.5f);
    wheel (0.0f);
    e.feed (0, 1000.0f, 6.0f);
    wheel (0.01f);

    ASSERT_EQ (r.qs.size(), 3u);
    EXPECT_FLOAT_EQ (r.qs[0].value, 0.005f);
    EXPECT_FLOAT_EQ (r.qs[1].value, -0.05f);
    EXPECT_FLOAT_EQ (r.qs[2].value, -0.005f) << "over a boost the step turns around";
    EXPECT_TRUE (r.qs[0].delta && r.qs[2].delta);
}

TEST (QELEQComponent, DoubleClickOnTheGrabbedBandReportsIt)
{
    Editor e;
    Recorder r (e);
    e.feed (0, 1000.0f, 0.0f);
    const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);

    e.mouseDown (event (e, { 20.0f, 60.0f }, left));
    e.mouseDoubleClick (event (e, { 20.0f, 60.0f }, left, {}, false, 2));
    EXPECT_TRUE (r.doubleClicks.empty());

    e.mouseDown (event (e, { 104.0f, 37.0f }, left));
    e.mouseDoubleClick (event (e, { 104.0f, 37.0f }, left, {}, false, 2));
    EXPECT_EQ (r.doubleClicks, std::vector<int> { 0 });
}

TEST (QELEQComponent, BandsAddedOnTheCurveTakeTheirTypeFromTheFrequency)
{
    Editor e (2);
    e.bands[1]->used = false;
    const struct
    {
        float hz;
        int type;
    } cases[] = { { 15.0f, 0 }, { 30.0f, 1 }, { 1000.0f, 2 }, { 12000.0f, 3 }, { 25000.0f, 4 } };

    for (const auto& c : cases)
    {
        e.bands[1]->used = false;
        ASSERT_EQ (e.addBandAtPosition ({ e.xForFrequency (c.hz), 10.0f }, false), 1);
        EXPECT_EQ (e.bands[1]->type, c.type) << c.hz;
        if (c.type == 0 || c.type == 4)
        {
            EXPECT_EQ (e.bands[1]->gain, 1.0f);
        }
    }
    EXPECT_EQ (e.addBandAtPosition ({ 50.0f, 10.0f }, false), -1) << "every slot in use";
}

TEST (QELEQComponent, TextsOfLabelsAndReadouts)
{
    const struct
    {
        float hz;
        const char *plain, *units;
    } labels[] = { { 100.0f, "100", "100 Hz" }, { 2000.0f, "2k", "2 kHz" }, { 2500.0f, "2.5k", "2.5 kHz" } };
    for (const auto& l : labels)
    {
        EXPECT_EQ (QEL::Converter::frequencyLabel (l.hz, false), l.plain);
        EXPECT_EQ (QEL::Converter::frequencyLabel (l.hz, true), l.units);
    }

    const std::pair<float, const char*> notes[] = { { 1000.0f, "B" }, { 440.0f, "A" }, { 10.0f, "" },
                                                    { 20000.0f, "Eb" }, { 19950.0f, "" } };
    for (auto [hz, name] : notes)
        EXPECT_EQ (QEL::Converter::noteName (hz), name) << hz;

    EXPECT_FLOAT_EQ (QEL::Converter::noteFrequencies()[0], 16.35f);
    EXPECT_FLOAT_EQ (QEL::Converter::noteFrequencies()[57], 440.0f);
    EXPECT_FLOAT_EQ (QEL::Converter::noteFrequencies()[123], 19912.13f);
    EXPECT_EQ (QEL::Converter::num1 (1000.0f) + " Hz", "1000.0 Hz");
    EXPECT_EQ (QEL::Converter::num1 (QELEQComponent::decibels (1.0)) + " dB", "0.0 dB");
    EXPECT_EQ (QEL::Converter::num (10000.0), "10000");
}
