// The EQ panel at 202 x 706: three band views fed from the processor, their edits on the band
// parameters, the Q knobs and the Pre / Ad Lib buttons.
//
//   (10, 290) High view 182 x 72    Q knob (120, 362)   "High" y 367
//   (10, 405) Mid view              Q knob (120, 477)   "Mid"  y 482
//   (10, 525) Low view              Q knob (120, 597)   "Low"  y 602
//   Pre (6, 631, 86, 57)            Ad Lib (111, 631, 85, 57)

#include "panels/EQModuleComponent.h"
#include "EQViewTestSupport.h"
#include "PanelTestSupport.h"

using namespace Params;
using tessaro::gui::EQModuleComponent;

namespace
{
struct EQPanelTest : panel_test::PanelTest
{
    EQPanelTest() { panel.setSize (202, 706); }
    EQModuleComponent panel { state, &initializer, *processor };
};
} // namespace

TEST_F (EQPanelTest, LayoutOfViewsKnobsCaptionsAndButtons)
{
    EXPECT_EQ (panel.highContainer.getBounds(), juce::Rectangle<int> (10, 290, 182, 72));
    EXPECT_EQ (panel.midContainer.getBounds(), juce::Rectangle<int> (10, 405, 182, 72));
    EXPECT_EQ (panel.lowContainer.getBounds(), juce::Rectangle<int> (10, 525, 182, 72));
    EXPECT_EQ (panel.midView.getBounds(), juce::Rectangle<int> (0, 0, 182, 72));
    EXPECT_EQ (panel.highQ.getBounds(), juce::Rectangle<int> (120, 362, 34, 34));
    EXPECT_EQ (panel.midQ.getBounds(), juce::Rectangle<int> (120, 477, 34, 34));
    EXPECT_EQ (panel.lowQ.getBounds(), juce::Rectangle<int> (120, 597, 34, 34));
    EXPECT_EQ (panel.lowCaption.getBounds(), juce::Rectangle<int> (0, 602, 202, 25));
    EXPECT_EQ (panel.lowCaption.getText(), "Low");
    EXPECT_EQ (panel.preButton.getBounds(), juce::Rectangle<int> (6, 631, 86, 57));
    EXPECT_EQ (panel.adLibButton.getBounds(), juce::Rectangle<int> (111, 631, 85, 57));
    EXPECT_EQ (panel.highQ.popupPlacement, juce::BubbleComponent::left);
    EXPECT_FALSE (panel.dualHigh.isShowing() || panel.dualLow.isShowing());

    // Handles of the default bands: 5 kHz, 1 kHz and 100 Hz on the 0 dB line.
    EXPECT_NEAR (panel.highView.handlePoint (*panel.highView.bands[0]).x, 141.25f, 0.01f);
    EXPECT_NEAR (panel.midView.handlePoint (*panel.midView.bands[0]).x, 104.66f, 0.01f);
    EXPECT_NEAR (panel.lowView.handlePoint (*panel.lowView.bands[0]).y, 36.0f, 0.01f);
}

TEST_F (EQPanelTest, ViewsFollowTheBandParametersAtTheNextRefresh)
{
    set (paramEQMidFreq, 2000.0f);
    set (paramEQMidGain, 6.0f);
    set (paramEQMidQ, 1.0f);
    set (paramEQLowGain, -12.0f);
    EXPECT_EQ (panel.midView.bands[0]->frequency, 1000.0f) << "not until the band timer";

    ASSERT_TRUE (gui_test::pumpUntil (
        [this]
        {
            return panel.lowView.bands[0]->type == 1 && panel.lowView.bands[0]->gain < 0.5f &&
                   panel.midView.bands[0]->frequency == 2000.0f;
        }));
    EXPECT_FLOAT_EQ (panel.midView.bands[0]->frequency, 2000.0f);
    EXPECT_NEAR (panel.midView.bands[0]->gain, 1.995f, 0.001f);
    EXPECT_FLOAT_EQ (panel.midView.bands[0]->q, 1.0f);
    EXPECT_EQ (panel.midView.bands[0]->type, 2);
    EXPECT_EQ (panel.lowView.bands[0]->type, 1);
    EXPECT_NEAR (panel.lowView.bands[0]->gain, std::pow (10.0f, -12.0f / 20.0f), 1e-5f);
}

TEST_F (EQPanelTest, ADragOnAViewMovesItsBandInsideHostGestures)
{
    panel_test::HostRecorder gain (parameter (paramEQLowGain)), frequency (parameter (paramEQLowFreq));
    auto& view = panel.lowView;
    const auto handle = view.handlePoint (*view.bands[0]);
    const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);

    view.mouseDown (eq_view_test::event (view, handle, left));
    view.mouseDrag (eq_view_test::event (view, { 104.66f, 22.4f }, left, handle, true)); // 1 kHz, +6 dB
    const auto up = eq_view_test::event (view, { 104.66f, 22.4f });
    view.mouseUp (up);
    panel.lowEditing->mouseUp (up); // the view's mouse listener, after the view, as JUCE delivers it

    EXPECT_EQ (gain.events, (std::vector<juce::String> { "begin", "value", "end" }));
    EXPECT_EQ (frequency.events, (std::vector<juce::String> { "begin", "value", "end" }));
    EXPECT_FLOAT_EQ (valueOf (paramEQLowGain), 6.0f);
    EXPECT_NEAR (valueOf (paramEQLowFreq), 1000.0f, 1.0f);
}

TEST_F (EQPanelTest, DoubleClickResetsGainAndFrequencyAndKeepsQ)
{
    set (paramEQMidFreq, 3000.0f);
    set (paramEQMidGain, 9.0f);
    set (paramEQMidQ, 2.0f);
    ASSERT_TRUE (gui_test::pumpUntil ([this] { return panel.midView.bands[0]->frequency == 3000.0f; }));

    auto& view = panel.midView;
    const auto handle = view.handlePoint (*view.bands[0]);
    const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    view.mouseDown (eq_view_test::event (view, handle, left));
    view.mouseDoubleClick (eq_view_test::event (view, handle, left, {}, false, 2));

    EXPECT_FLOAT_EQ (valueOf (paramEQMidGain), 0.0f);
    EXPECT_FLOAT_EQ (valueOf (paramEQMidFreq), 1000.0f);
    EXPECT_FLOAT_EQ (valueOf (paramEQMidQ), 2.0f);
}

TEST_F (EQPanelTest, PreTogglesItsLookOnlyAndAdLibIsBound)
{
    const auto before = state.copyState().toXmlString();
    gui_test::click (panel.preButton, { 40.0f, 28.0f });
    EXPECT_TRUE (panel.preButton.getToggleState());
    EXPECT_EQ (state.copyState().toXmlString(), before);

    gui_test::click (panel.adLibButton, { 40.0f, 28.0f });
    EXPECT_FLOAT_EQ (valueOf (paramEQAdLib), 1.0f);
}

TEST_F (EQPanelTest, BypassDimsTheCurvesAndTheShelfViewsFollowTheirBands)
{
    setFromAnotherThread (paramEQPower, 0.0f);
    EXPECT_FALSE (panel.midView.bypassed) << "until the message thread runs";
    ASSERT_TRUE (gui_test::pumpUntil ([this] { return panel.midView.bypassed; }));
    EXPECT_TRUE (panel.highView.bypassed && panel.midView.bypassed && panel.lowView.bypassed);
    EXPECT_TRUE (panel.dualHigh.bypassed && panel.dualLow.bypassed);

    set (paramEQPower, 1.0f);
    EXPECT_FALSE (panel.midView.bypassed);

    set (paramEQHighFreq, 8000.0f);
    set (paramEQLowGain, 6.0f);
    EXPECT_FLOAT_EQ (panel.dualHigh.highFrequency, 8000.0f);
    EXPECT_FLOAT_EQ (panel.dualLow.lowGain, 6.0f);
    EXPECT_FLOAT_EQ (panel.dualHigh.lowGain, 0.0f) << "each shelf view follows one band";
}
