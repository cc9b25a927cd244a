#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "editor/QELTempoBoxComponent.h"

namespace
{
struct TempoRecorder : juce::QELTempoBoxComponent::TempoListener
{
    void onTempoChange (float bpm) override { tempos.push_back (bpm); }
    std::vector<float> tempos;
};

/** A tempo box with a recording listener, laid out at 200 x 60. */
struct TempoBox
{
    TempoBox()
    {
        box.listener = &recorder;
        box.setSize (200, 60);
    }

    /** Drags the number vertically by dy points (negative is up). */
    void drag (float dy, juce::ModifierKeys mods = {})
    {
        auto& s = box.slider;
        const juce::Point<float> down { 25.0f, 15.0f };
        s.mouseDown (gui_test::mouseEvent (s, down, mods));
        s.mouseDrag (gui_test::mouseEvent (s, down.translated (0.0f, dy), mods));
        s.mouseUp (gui_test::mouseEvent (s, down.translated (0.0f, dy), mods));
    }

    TempoRecorder recorder;
    juce::QELTempoBoxComponent box;
};
} // namespace

TEST (QELTempoBoxComponent, StartsAt120WithoutTellingAnyone)
{
    TempoBox t;
    EXPECT_EQ (t.box.label.getText(), "120");
    EXPECT_DOUBLE_EQ (t.box.slider.getValue(), 120.0);
    EXPECT_TRUE (t.recorder.tempos.empty());
    EXPECT_EQ (t.box.slider.getMouseDragSensitivity(), 100);
    EXPECT_FALSE (t.box.slider.popupEnabled);
}

TEST (QELTempoBoxComponent, DragGivesWholeTemposWithinTheRange)
{
    TempoBox t;
    float lastCallback = 0.0f;
    t.box.tempoCallback = [&] (float bpm) { lastCallback = bpm; };

    t.drag (200.0f); // a full range is 100 points
    EXPECT_EQ (t.box.label.getText(), "1");
    t.drag (-300.0f);
    EXPECT_EQ (t.box.label.getText(), "960");
    EXPECT_FLOAT_EQ (lastCallback, 960.0f);

    t.drag (33.3f); // 0.333 of the range down
    const double value = t.box.slider.getValue();
    EXPECT_EQ (value, std::floor (value));
    EXPECT_EQ (t.box.label.getText(), juce::String ((int) value));
    EXPECT_FLOAT_EQ (t.recorder.tempos.back(), (float) value);
    EXPECT_NEAR (value, 960.0 - 0.333 * 959.0, 1.0);
}

TEST (QELTempoBoxComponent, TypedTempoIsLimitedToTheRange)
{
    TempoBox t;
    gui_test::pump (20); // the constructor's own update
    t.recorder.tempos.clear();

    t.box.mouseDoubleClick (gui_test::mouseEvent (t.box, { 150.0f, 5.0f }, {}, 2));
    auto& entry = t.box.slider.getTextEntry();
    ASSERT_TRUE (entry.isVisible());
    EXPECT_EQ (entry.getParentComponent(), &t.box);
    EXPECT_EQ (entry.getText(), "120");

    entry.setText ("1200", false);
    t.box.slider.textEditorReturnKeyPressed (entry);
    // the value is applied with an asynchronous notification
    EXPECT_TRUE (gui_test::pumpUntil ([&] { return t.box.label.getText() == "960"; }));
    ASSERT_FALSE (t.recorder.tempos.empty());
    EXPECT_FLOAT_EQ (t.recorder.tempos.back(), 960.0f);
}

TEST (QELTempoBoxComponent, DoubleClickOnAChildIsIgnored)
{
    TempoBox t;
    t.box.mouseDoubleClick (gui_test::mouseEvent (t.box.image, { 1.0f, 1.0f }, {}, 2));
    EXPECT_FALSE (t.box.slider.getTextEntry().isVisible());
}

TEST (QELTempoBoxComponent, CtrlClickGoesToTheBottomOfTheRange)
{
    TempoBox t;
    const auto ctrl = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::leftButtonModifier);
    gui_test::click (t.box.slider, { 25.0f, 15.0f }, ctrl);
    EXPECT_EQ (t.box.label.getText(), "1");
    EXPECT_FLOAT_EQ (t.recorder.tempos.back(), 1.0f);
}

TEST (QELTempoBoxComponent, LayoutFollowsTheImageAndScale)
{
    TempoBox t;
    EXPECT_EQ (t.box.label.getBounds(), juce::Rectangle<int> (0, 17, 50, 30));
    EXPECT_EQ (t.box.slider.getBounds(), t.box.label.getBounds());
    EXPECT_FLOAT_EQ (t.box.label.getFont().getHeight(), 30.0f); // 0.15 x 200

    t.box.image.setImage (juce::Image (juce::Image::ARGB, 20, 10, true));
    t.box.scale = 2.0f;
    t.box.setSize (300, 60);
    EXPECT_EQ (t.box.image.getBounds(), juce::Rectangle<int> (0, -2, 40, 20));
    EXPECT_EQ (t.box.label.getBounds(), juce::Rectangle<int> (40, 34, 100, 60));
    EXPECT_EQ (t.box.slider.getBounds(), t.box.label.getBounds());
    EXPECT_FLOAT_EQ (t.box.label.getFont().getHeight(), 45.0f);
}

TEST (QELTempoBoxComponent, PaintsOnlyTheNumber)
{
    TempoBox t;
    t.box.label.setColour (juce::Label::textColourId, juce::Colours::white);
    const auto image = gui_test::paint (t.box);
    const auto number = t.box.label.getBounds();

    int inkInside = 0, inkOutside = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > 0)
                ++(number.contains (x, y) ? inkInside : inkOutside);
    EXPECT_GT (inkInside, 50);
    EXPECT_EQ (inkOutside, 0);
}
