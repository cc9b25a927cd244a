#include <gtest/gtest.h>

#include "TestSandbox.h"

#include "editor/AboutComponent.h"
#include "editor/BubbleMessageComponent.h"
#include "editor/InputCalibrationComponent.h"

namespace
{
/** An about box whose launch and warning are recorded instead of run. */
struct RecordingAbout : juce::AboutComponent
{
    void launchDocument (const juce::File& f) override { launched.add (f.getFullPathName()); }
    void showMissingManualWarning() override { ++warnings; }
    juce::StringArray launched;
    int warnings = 0;
};

struct CancelRecorder : juce::InputCalibrationListener
{
    void cancelInputCalibration() override { ++cancels; }
    int cancels = 0;
};

bool hasWhiteInk (const juce::Image& image, juce::Rectangle<int> area)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).getBrightness() > 0.8f)
                return true;
    return false;
}

/** A text layout with one line whose ink spans width x height. */
juce::TextLayout layoutOfSize (float width, float height)
{
    auto line = std::make_unique<juce::TextLayout::Line> (juce::Range<int> (0, 1), juce::Point<float> (0.0f, height),
                                                          height, 0.0f, 0.0f, 1);
    auto run = std::make_unique<juce::TextLayout::Run> (juce::Range<int> (0, 1), 1);
    run->glyphs.add (juce::TextLayout::Glyph (0, { 0.0f, 0.0f }, width));
    line->runs.add (run.release());
    juce::TextLayout layout;
    layout.addLine (std::move (line));
    layout.recalculateSize();
    return layout;
}
} // namespace

TEST (AboutComponent, LayoutAndRows)
{
    RecordingAbout about;
    about.productName = "Orvane Tessaro";
    about.version = "1.0.0";
    about.buildId = "20261211";
    about.wrapperName = "VST3";
    about.setSize (800, 800);

    const int rowTops[] = { 104, 208, 312, 416 };
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ (about.getRowArea (k), juce::Rectangle<int> (0, rowTops[k - 1], 800, 80)) << k;
    EXPECT_FLOAT_EQ (about.getTextFont().getHeight(), 40.0f);
    EXPECT_EQ (about.manualButton.getBounds(), juce::Rectangle<int> (360, 582, 80, 56));
    EXPECT_FALSE (about.manualButton.isVisible());
    EXPECT_EQ (about.getRowTexts(),
               juce::StringArray ({ "Orvane Tessaro", "Quellmoor", "1.0.0 (20261211)", "VST3 64-bit" }));

    about.buttonSize = { 120.0f, 30.0f };
    about.resized();
    EXPECT_EQ (about.manualButton.getBounds(), juce::Rectangle<int> (340, 582, 120, 30));

    // Text in the rows, a dark veil between them.
    const auto image = about.createComponentSnapshot (about.getLocalBounds(), true, 1.0f);
    for (int k = 1; k <= 4; ++k)
        EXPECT_TRUE (hasWhiteInk (image, about.getRowArea (k))) << k;
    EXPECT_FALSE (hasWhiteInk (image, { 0, 0, 800, 100 }));
    EXPECT_NEAR (image.getPixelAt (5, 5).getAlpha(), 204, 1);
}

TEST (AboutComponent, OpensAnExistingManualOrWarns)
{
    test_support::TempFolder temp ("tessaro-manual");
    const auto folder = temp.folder;
    const auto pdf = folder.getChildFile ("Orvane Tessaro Manual.pdf");
    pdf.replaceWithText ("%PDF");

    RecordingAbout about;
    for (auto path : { juce::String(), folder.getFullPathName(), folder.getChildFile ("missing.pdf").getFullPathName(),
                       juce::String ("relative/manual.pdf") })
    {
        about.manualPath = path;
        about.openManual();
    }
    EXPECT_EQ (about.warnings, 4);
    EXPECT_TRUE (about.launched.isEmpty());

    about.manualPath = pdf.getFullPathName();
    about.buttonClicked (&about.manualButton);
    EXPECT_EQ (about.launched, juce::StringArray (pdf.getFullPathName()));
    EXPECT_EQ (about.warnings, 4);
}

TEST (AboutComponent, ClickHidesIt)
{
    juce::AboutComponent about;
    about.setVisible (true);
    about.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0, 0, 0, 0, 0, &about,
                                       &about, {}, {}, {}, 1, false));
    EXPECT_FALSE (about.isVisible());
}

TEST (InputCalibrationComponent, LayoutColoursAndMessage)
{
    juce::InputCalibrationComponent layer;
    layer.setSize (800, 800);
    EXPECT_EQ (layer.getMessageArea(), juce::Rectangle<int> (0, 208, 800, 80));
    EXPECT_EQ (layer.progressBar.getBounds(), juce::Rectangle<int> (200, 332, 400, 56));
    EXPECT_EQ (layer.cancelButton.getBounds(), juce::Rectangle<int> (360, 582, 80, 56));
    EXPECT_EQ (layer.progressBar.findColour (juce::ProgressBar::backgroundColourId), juce::Colour (0xff808080));
    EXPECT_EQ (layer.progressBar.findColour (juce::ProgressBar::foregroundColourId), juce::Colour (0xff3c3c3c));

    EXPECT_EQ (layer.getMessage(), "Play instrument, strum chords...");
    layer.complete = true;
    EXPECT_EQ (layer.getMessage(), "Calibration complete");

    const auto image = layer.createComponentSnapshot (layer.getLocalBounds(), true, 1.0f);
    EXPECT_TRUE (hasWhiteInk (image, layer.getMessageArea()));
    EXPECT_FALSE (hasWhiteInk (image, { 0, 0, 800, 200 }));
}

TEST (InputCalibrationComponent, CancelNeedsAListener)
{
    juce::InputCalibrationComponent layer;
    layer.setVisible (true);
    layer.buttonClicked (&layer.cancelButton);
    EXPECT_TRUE (layer.isVisible());

    CancelRecorder recorder;
    layer.listener = &recorder;
    layer.buttonClicked (&layer.cancelButton);
    EXPECT_EQ (recorder.cancels, 1);
    EXPECT_FALSE (layer.isVisible());
}

TEST (BubbleMessageComponent, ContentIsTheLayoutPlusMargins)
{
    QEL::BubbleMessageComponent bubble;
    bubble.textLayout = layoutOfSize (100.0f, 20.0f);
    int w = 0, h = 0;
    bubble.getContentSize (w, h);
    EXPECT_EQ (w, 120);
    EXPECT_EQ (h, 34);
}

TEST (BubbleMessageComponent, FadesAtExpiryAndIgnoresClicksWhenArmedSo)
{
    juce::Component parent;
    parent.setBounds (0, 0, 400, 300);
    juce::int64 now = 1000;
    QEL::BubbleMessageComponent bubble;
    bubble.clock = [&] { return now; };
    parent.addAndMakeVisible (bubble);
    bubble.textLayout = layoutOfSize (100.0f, 20.0f);
    bubble.setPosition (juce::Rectangle<int> (100, 100, 50, 20));

    // As the editor arms it: clicks never close it, it expires 500 ms after it was shown.
    bubble.mouseClickCounter = juce::Desktop::getInstance().getMouseButtonClickCounter() + 1048575;
    bubble.expiryTime = now + 500;
    bubble.startTimer (77);

    now += 462; // the sixth tick
    bubble.timerCallback();
    EXPECT_TRUE (bubble.isVisible());
    now += 77; // the seventh, 539 ms after showing
    bubble.timerCallback();
    EXPECT_FALSE (bubble.isVisible());
    EXPECT_FALSE (bubble.isTimerRunning());

    // Armed to close on the next click: the counter is already past it.
    bubble.setVisible (true);
    bubble.expiryTime = 0;
    bubble.mouseClickCounter = juce::Desktop::getInstance().getMouseButtonClickCounter() - 1;
    bubble.startTimer (77);
    bubble.timerCallback();
    EXPECT_FALSE (bubble.isVisible());
}

TEST (BubbleMessageComponent, DeletesItselfAfterUseWhenAsked)
{
    juce::Component parent;
    auto* bubble = new QEL::BubbleMessageComponent();
    parent.addAndMakeVisible (bubble);
    juce::Component::SafePointer<juce::Component> watch (bubble);
    bubble->deleteAfterUse = true;
    bubble->expiryTime = 1;
    bubble->fadeOutLengthMs = 0;
    bubble->mouseClickCounter = juce::Desktop::getInstance().getMouseButtonClickCounter() + 1;
    bubble->timerCallback();
    EXPECT_EQ (watch.getComponent(), nullptr);
}
