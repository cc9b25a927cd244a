#include "panels/ComboBoxComponent.h"

#include "PanelTestSupport.h"

using tessaro::gui::ComboBoxComponent;

namespace
{
/** The selector with its popup counted instead of shown (no display in these tests). */
struct CountingSelector : ComboBoxComponent
{
    using ComboBoxComponent::ComboBoxComponent;
    void showPopup() override { ++popups; }
    int popups = 0;
};

struct TypeSelectorTest : panel_test::PanelTest
{
    juce::Font font;

    std::unique_ptr<CountingSelector> makeGainSelector()
    {
        auto selector =
            std::make_unique<CountingSelector> (state, *processor, font, Params::paramGainType, Params::gainTypes);
        selector->setBounds (0, 0, 180, 35);
        selector->setVisible (true);
        return selector;
    }
};
} // namespace

// 180 x 35: [<] at (12, 7, 16, 20), label (0, 7, 180, 20), [>] at (152, 7, 16, 20).
TEST_F (TypeSelectorTest, LaysOutArrowsAroundTheLabelOverTheHiddenBox)
{
    auto selector = makeGainSelector();
    EXPECT_EQ (selector->leftButton.getBounds(), juce::Rectangle<int> (12, 7, 16, 20));
    EXPECT_EQ (selector->rightButton.getBounds(), juce::Rectangle<int> (152, 7, 16, 20));
    EXPECT_EQ (selector->label.getBounds(), juce::Rectangle<int> (0, 7, 180, 20));
    EXPECT_EQ (selector->comboBox.getBounds(), juce::Rectangle<int> (0, 0, 180, 35));
    EXPECT_FALSE (selector->comboBox.isVisible());
    EXPECT_EQ (selector->comboBox.getParameter(), &parameter (Params::paramGainType));
    EXPECT_EQ (selector->getComponentAt (juce::Point<int> (20, 17)), &selector->leftButton);
    EXPECT_EQ (selector->getComponentAt (juce::Point<int> (160, 17)), &selector->rightButton);
    EXPECT_EQ (selector->getComponentAt (juce::Point<int> (90, 17)), selector.get()); // the label takes no clicks
}

TEST_F (TypeSelectorTest, ArrowsWrapRoundTheListWithoutAGesture)
{
    auto selector = makeGainSelector();
    ASSERT_EQ (selector->label.getText(), "Off");
    panel_test::HostRecorder host (parameter (Params::paramGainType));

    // Pressing is enough: the arrows trigger on mouse-down.
    juce::Component& left = selector->leftButton;
    left.mouseDown (gui_test::mouseEvent (left, { 8, 10 }, juce::ModifierKeys::leftButtonModifier));
    EXPECT_EQ (valueOf (Params::paramGainType), 4.0f);
    EXPECT_EQ (selector->label.getText(), "Broken Tube");
    EXPECT_EQ (host.events, std::vector<juce::String> ({ "value" }));

    state.copyState(); // the steps read the state's tree copy
    selector->step (+1);
    EXPECT_EQ (valueOf (Params::paramGainType), 0.0f);
    EXPECT_EQ (selector->label.getText(), "Off");

    state.copyState();
    selector->step (+1);
    EXPECT_EQ (selector->label.getText(), "Vintage Tape");
    EXPECT_EQ (selector->popups, 0);
}

TEST_F (TypeSelectorTest, OnlyPressesStrictlyBetweenTheArrowsOpenThePopup)
{
    auto selector = makeGainSelector();
    const struct
    {
        float x;
        int popups;
    } cases[] = { { 28.0f, 0 }, { 28.5f, 1 }, { 90.0f, 2 }, { 151.5f, 3 }, { 152.0f, 3 }, { 5.0f, 3 } };
    for (const auto& c : cases)
    {
        selector->mouseDown (gui_test::mouseEvent (*selector, { c.x, 30.0f }));
        EXPECT_EQ (selector->popups, c.popups) << c.x;
    }
    // A press that reached the selector from a child does not count.
    selector->mouseDown (gui_test::mouseEvent (selector->label, { 90.0f, 10.0f }));
    EXPECT_EQ (selector->popups, 3);
}

TEST_F (TypeSelectorTest, ChoosingFromThePopupIsOneGesture)
{
    auto selector = makeGainSelector();
    panel_test::HostRecorder host (parameter (Params::paramGainType));
    selector->comboBox.setSelectedItemIndex (3, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (parameter (Params::paramGainType).getValue(), 0.75f);
    EXPECT_EQ (host.events, std::vector<juce::String> ({ "begin", "value", "end" }));
    EXPECT_EQ (selector->label.getText(), "Warm Tube");
}

TEST_F (TypeSelectorTest, FollowsTheHostOnTheMessageThread)
{
    set (Params::paramGainType, 2.0f);
    auto selector = makeGainSelector();
    EXPECT_EQ (selector->label.getText(), "Clean Tube");
    EXPECT_EQ (selector->comboBox.getSelectedId(), 3);

    setFromAnotherThread (Params::paramGainType, 3.0f);
    EXPECT_EQ (selector->label.getText(), "Clean Tube"); // not before the message loop runs
    EXPECT_TRUE (gui_test::pumpUntil ([&] { return selector->label.getText() == "Warm Tube"; }));
    EXPECT_EQ (selector->comboBox.getSelectedId(), 4);

    selector->parameterChanged (Params::paramGainType, 5.0f);
    EXPECT_EQ (selector->label.getText(), "");
    selector->parameterChanged (Params::paramGainType, -1.0f);
    EXPECT_EQ (selector->label.getText(), "");
    selector->parameterChanged (Params::paramGainDrive, 1.0f);
    EXPECT_EQ (selector->label.getText(), "");
}

TEST_F (TypeSelectorTest, ChangesPostedForADeletedSelectorAreDropped)
{
    auto selector = makeGainSelector();
    setFromAnotherThread (Params::paramGainType, 1.0f);
    selector.reset();
    gui_test::pump (50); // must not touch the deleted selector
}
