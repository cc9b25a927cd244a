#include "editor/EditorTestFixture.h"

using editor_test::EditorTest;

namespace
{
/** A bare editor base in layout mode, with a small tree of scalable components:

      mainContainer
        viewContainer
          panel            (scale 1)
            child          (scale 1)
          settledPanel     (already at 0.5)
            settledChild   (scale 1: skipped with its parent) */
struct LayoutModeTest : ::testing::Test
{
    gui_test::Sandbox sandbox;
    OrvaneTessaroAudioProcessor processor;
    QELAudioProcessorEditorBase editor { &processor, "Orvane", "Orvane Tessaro", "1.0.0", "0" };
    juce::QELComponentBase panel, child, settledPanel, settledChild;

    LayoutModeTest()
    {
        editor.mainContainer.viewWidth = 1000;
        editor.mainContainer.viewHeight = 500;
        editor.mainContainer.topBarHeight = 40;
        editor.mainContainer.bottomBarWidth = 1000;
        editor.mainContainer.bottomBarHeight = 60;
        editor.mainContainer.bottomBar.setVisible (true);
        panel.addChildComponent (child);
        settledPanel.scale = 0.5f;
        settledPanel.addChildComponent (settledChild);
        editor.mainContainer.viewContainer.addChildComponent (panel);
        editor.mainContainer.viewContainer.addChildComponent (settledPanel);
    }
};
} // namespace

TEST_F (LayoutModeTest, ScaleReachesEveryScalableComponentNotAlreadyAtIt)
{
    EXPECT_EQ (editor.layoutScale, -1.0f);
    editor.setPluginScale (0.5f, false);

    EXPECT_EQ (editor.layoutScale, 0.5f);
    EXPECT_EQ (editor.mainContainer.scale, 0.5f);
    EXPECT_EQ (panel.scale, 0.5f);
    EXPECT_EQ (child.scale, 0.5f);
    EXPECT_EQ (settledChild.scale, 1.0f);
    EXPECT_TRUE (editor.mainContainer.getTransform().isIdentity());

    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 500, 300));
    EXPECT_EQ (editor.mainContainer.getBounds(), juce::Rectangle<int> (0, 0, 500, 300));
    EXPECT_EQ (editor.mainContainer.topBar.getBounds(), juce::Rectangle<int> (0, 0, 500, 20));
    EXPECT_EQ (editor.mainContainer.viewContainer.getBounds(), juce::Rectangle<int> (0, 20, 500, 250));
    EXPECT_EQ (editor.mainContainer.bottomBar.getBounds(), juce::Rectangle<int> (0, 270, 500, 30));
    EXPECT_EQ (panel.getBounds(), juce::Rectangle<int> (0, 0, 500, 250));
    EXPECT_FLOAT_EQ (editor.popupLookAndFeel.fontHeight, 12.5f);
}

TEST_F (LayoutModeTest, TheSameScaleAgainDoesNothingUnlessForced)
{
    editor.setPluginScale (0.5f, false);
    editor.setBounds (0, 0, 10, 10);
    editor.setPluginScale (0.5f, false);
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 10, 10));
    editor.setPluginScale (0.5f, true);
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 500, 300));
}

TEST_F (LayoutModeTest, BaseDefaultsAndHooks)
{
    EXPECT_TRUE (editor.repaintEveryTick);
    EXPECT_FALSE (editor.useTransformScaling);
    EXPECT_TRUE (editor.presetsInOptionsMenu);
    EXPECT_FALSE (editor.contextMenusEnabled);
    ASSERT_NE (editor.initializer, nullptr);
    EXPECT_EQ (&editor.sizeCombo.getLookAndFeel(), &editor.popupLookAndFeel);

    juce::Component plain;
    EXPECT_EQ (editor.getControlParameterIndex (plain), -1);
}

TEST_F (LayoutModeTest, EmptyEditorPaintsBlack)
{
    editor.setPluginScale (0.5f, false);
    const auto image = gui_test::paint (editor);
    for (auto p : { juce::Point<int> (1, 1), { 250, 150 }, { 499, 299 } })
        EXPECT_EQ (image.getPixelAt (p.x, p.y), juce::Colours::black);
}

//==============================================================================
namespace
{
void learn (OrvaneTessaroAudioProcessor& p, int signal, int number)
{
    p.midiLearnMapping.signal = signal;
    p.midiLearnMapping.number = number;
    p.midiLearnActive = false;
}
} // namespace

TEST_F (EditorTest, LearnOverlayShowsWhileLearningThenTheResult)
{
    auto& e = open();
    auto& overlay = e.midiLearnOverlay;
    processor->midiLearnActive = true;
    e.updateUI();
    EXPECT_TRUE (overlay.isVisible());
    EXPECT_EQ (overlay.getBounds(), e.mainContainer.getLocalBounds());
    EXPECT_EQ (overlay.getDisplayedText(), "Listening...");

    learn (*processor, 3, 60);
    e.updateUI();
    EXPECT_EQ (overlay.getDisplayedText(), "Note #60 (C3) detected");
    EXPECT_TRUE (overlay.isTimerRunning());
    EXPECT_EQ (overlay.getTimerInterval(), 1500);

    // A second result while the first is still up is not written.
    processor->midiLearnMapping.number = 61;
    e.updateUI();
    EXPECT_EQ (overlay.number, 60);

    overlay.timerCallback();
    EXPECT_FALSE (overlay.isVisible());
    EXPECT_FALSE (overlay.isTimerRunning());
}

TEST_F (EditorTest, LearnResultTexts)
{
    struct Case
    {
        int signal, number;
        const char* text;
    };
    const Case cases[] = {
        { 3, 0, "Note #0 (C-2) detected" }, { 3, 127, "Note #127 (G8) detected" }, { 3, 61, "Note #61 (C#3) detected" },
        { 3, 128, "Note #128  detected" },  { 1, 7, "CC #7  detected" },           { 2, 5, "PC #5  detected" },
        { 0, 9, " #9  detected" },
    };
    auto& e = open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        processor->midiLearnActive = true;
        e.updateUI();
        learn (*processor, c.signal, c.number);
        e.updateUI();
        EXPECT_EQ (e.midiLearnOverlay.getDisplayedText(), c.text);
        e.midiLearnOverlay.timerCallback();
    }
}

TEST_F (EditorTest, CancellingTheOverlayClearsLearningAndShowsNoResult)
{
    auto& e = open();
    processor->midiLearnActive = true;
    e.updateUI();
    e.midiLearnOverlay.buttonClicked (&e.midiLearnOverlay.cancelButton);
    EXPECT_FALSE (processor->midiLearnActive);
    EXPECT_FALSE (e.midiLearnOverlay.isVisible());
    e.updateUI();
    EXPECT_FALSE (e.midiLearnOverlay.isVisible());
    EXPECT_FALSE (e.midiLearnOverlay.resultShown);
}

TEST (MidiViews, OverlayAndPanelLayout)
{
    juce::QELMidiLearnComponent overlay;
    overlay.setSize (1000, 600);
    EXPECT_EQ (overlay.cancelButton.getBounds(), juce::Rectangle<int> (450, 436, 100, 42));

    juce::QELMidiMappingsComponent panel;
    panel.setSize (1200, 700);
    EXPECT_EQ (panel.viewport.getBounds(), juce::Rectangle<int> (50, 90, 1100, 520));
    EXPECT_EQ (panel.grid.getWidth(), 1100);
    EXPECT_EQ (panel.grid.rowHeight(), 22);
    EXPECT_EQ (panel.grid.getHeight(), 200);
    EXPECT_EQ (panel.grid.nameFunction ("paramMix"), "paramMix");
    panel.nameCallback = [] (const juce::String& id) { return "Name of " + id; };
    EXPECT_EQ (panel.grid.nameFunction ("paramMix"), "Name of paramMix");

    panel.setVisible (true);
    panel.mouseDown (gui_test::mouseEvent (panel, { 10.0f, 10.0f }));
    EXPECT_FALSE (panel.isVisible());
}

TEST (MidiViews, OverlaySwallowsPressesAndPaintsItsDarkLayer)
{
    juce::Component below;
    juce::QELMidiLearnComponent overlay;
    below.setSize (200, 100);
    overlay.setBounds (below.getLocalBounds());
    below.addAndMakeVisible (overlay);
    const auto image = gui_test::paint (below);
    EXPECT_TRUE (gui_test::closeTo (image.getPixelAt (5, 5), juce::Colours::black.withAlpha (0.8f), 2));
}
