// What the open face asks its window to repaint, recorded by a stand-in window (a ComponentPeer
// that draws nothing), so that no display is needed.

#include "editor/EditorTestFixture.h"

#include <functional>
#include <utility>
#include <vector>

using editor_test::EditorTest;

namespace
{
/** A window that only records the areas it is asked to repaint, in its own coordinates. */
struct RecordingPeer : juce::ComponentPeer
{
    explicit RecordingPeer (juce::Component& c) : juce::ComponentPeer (c, 0) {}

    void repaint (const juce::Rectangle<int>& area) override { areas.push_back (area); }

    void* getNativeHandle() const override { return nullptr; }
    void setVisible (bool) override {}
    void setTitle (const juce::String&) override {}
    void setBounds (const juce::Rectangle<int>& b, bool) override { bounds = b; }
    juce::Rectangle<int> getBounds() const override { return bounds; }
    juce::Point<float> localToGlobal (juce::Point<float> p) override { return p + bounds.getPosition().toFloat(); }
    juce::Point<float> globalToLocal (juce::Point<float> p) override { return p - bounds.getPosition().toFloat(); }
    using juce::ComponentPeer::globalToLocal;
    using juce::ComponentPeer::localToGlobal;
    void setMinimised (bool) override {}
    bool isMinimised() const override { return false; }
    void setFullScreen (bool) override {}
    bool isFullScreen() const override { return false; }
    void setIcon (const juce::Image&) override {}
    bool contains (juce::Point<int> p, bool) const override { return bounds.withZeroOrigin().contains (p); }
    OptionalBorderSize getFrameSizeIfPresent() const override { return {}; }
    juce::BorderSize<int> getFrameSize() const override { return {}; }
    bool setAlwaysOnTop (bool) override { return false; }
    void toFront (bool) override {}
    void toBehind (juce::ComponentPeer*) override {}
    bool isFocused() const override { return false; }
    void grabFocus() override {}
    void textInputRequired (juce::Point<int>, juce::TextInputTarget&) override {}
    void performAnyPendingRepaintsNow() override {}
    void setAlpha (float) override {}
    juce::StringArray getAvailableRenderingEngines() override { return {}; }

    juce::Rectangle<int> bounds;
    std::vector<juce::Rectangle<int>> areas;
};

/** The editor in a recording window, as a host shows it. */
struct RecordingWindow : juce::Component
{
    explicit RecordingWindow (juce::Component& content)
    {
        setSize (content.getWidth(), content.getHeight());
        addAndMakeVisible (content);
        addToDesktop (0);
        setVisible (true);
    }
    ~RecordingWindow() override { removeFromDesktop(); }

    juce::ComponentPeer* createNewPeer (int, void*) override { return recorder = new RecordingPeer (*this); }

    /** The recorded areas since the last call. */
    std::vector<juce::Rectangle<int>> takeAreas() { return std::exchange (recorder->areas, {}); }

    /** Where a component lies in the window, one pixel wider on each side for rounding. */
    juce::Rectangle<int> areaOf (juce::Component& c) { return getLocalArea (&c, c.getLocalBounds()).expanded (1); }

    RecordingPeer* recorder = nullptr;
};
} // namespace

TEST_F (EditorTest, TheOpenFaceRepaintsOnlyWhatChanges)
{
    auto& editor = open();
    auto& face = editor.mainPanel;
    RecordingWindow window (editor);
    gui_test::pump (300); // first layout and the views' first ticks
    window.takeAreas();

    // Nothing plays and nothing moves: the meter, the lamps and the EQ views tick, but ask for
    // nothing, and no strip's timer runs.
    for (int i = 0; i < 10; ++i)
    {
        editor.updateUI();
        gui_test::pump (33);
    }
    for (const auto& area : window.takeAreas())
        ADD_FAILURE() << "repainted " << area.toString();
    for (auto* panel : face.modulePanels())
        EXPECT_FALSE (panel->animationStrip->isTicking());

    // A playing strip asks for its own bounds only, never the face around it.
    auto& strip = *face.eqPanel.animationStrip;
    strip.setPlaying (true);
    ASSERT_TRUE (gui_test::pumpUntil ([&] { return strip.getCurrentFrame() >= 3; }));
    const auto stripArea = window.areaOf (strip);
    const auto areas = window.takeAreas();
    ASSERT_FALSE (areas.empty());
    for (const auto& area : areas)
        EXPECT_TRUE (stripArea.contains (area)) << area.toString() << " outside " << stripArea.toString();

    // Stopped again, it falls silent; a meter that moves repaints the meter alone.
    face.updateAnimationMode (TessaroComponent::Off);
    window.takeAreas();
    auto& meter = face.compressPanel.meter;
    for (int i = 0; i < 300; ++i) // long enough for the meter's smoothing to settle
        meter.setLevel (0.5f);
    const auto meterAreas = window.takeAreas();
    ASSERT_FALSE (meterAreas.empty());
    for (const auto& area : meterAreas)
        EXPECT_TRUE (window.areaOf (meter).contains (area)) << area.toString();
    meter.setLevel (0.5f);
    EXPECT_TRUE (window.takeAreas().empty()) << "a settled level is not drawn again";
    EXPECT_FALSE (strip.isTicking());
}
