#include "core/PluginProcessor.h"
#include "editor/GuiTestSupport.h"
#include "presets/PresetMenuComponent.h"
#include "presets/PresetViewsTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace presets_test;
using tessaro::gui::PresetMenuComponent;

namespace
{
/** The product bar at its place in a plain parent, as the main panel holds it. */
struct ProductPresetBarTest : PresetViewsFixture
{
    juce::Component parent;
    std::unique_ptr<PresetMenuComponent> bar;
    juce::Array<bool> toggles;

    void build()
    {
        bar = std::make_unique<PresetMenuComponent> (&store);
        bar->dialogs = dialogs.hooks();
        bar->onPresetListVisibilityChanged = [this] (bool visible) { toggles.add (visible); };
        parent.setSize (1300, 800);
        parent.addAndMakeVisible (*bar);
        bar->setBounds (10, 10, 302, 35);
    }

    void pressLabel() { bar->mouseDown (gui_test::mouseEvent (bar->presetLabel, { 10.0f, 10.0f })); }

    ~ProductPresetBarTest() override { bar.reset(); }
};

int inkAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getAlpha();
}
} // namespace

TEST_F (ProductPresetBarTest, LayoutAtDesignSize)
{
    build();
    EXPECT_EQ (bar->presetLabel.getBounds(), juce::Rectangle<int> (5, 0, 222, 35));
    EXPECT_EQ (bar->previousButton.getBounds(), juce::Rectangle<int> (247, 2, 26, 31));
    EXPECT_EQ (bar->nextButton.getBounds(), juce::Rectangle<int> (274, 2, 26, 31));
    EXPECT_EQ (bar->presetLabel.getJustificationType(), juce::Justification (juce::Justification::centredLeft));
    EXPECT_FALSE (bar->presetLabel.isEditableOnDoubleClick());
    EXPECT_FALSE (bar->presetLabel.isEditableOnSingleClick());
    EXPECT_FALSE (bar->OrvanePresetMenuComponent::saveButton->isVisible());
    EXPECT_EQ (bar->saveButton.getParentComponent(), bar.get());
    EXPECT_EQ (&bar->previousButton.getLookAndFeel(), static_cast<juce::LookAndFeel*> (&bar->drawableButtonLookAndFeel));
    EXPECT_EQ (bar->presetList.getParentComponent(), nullptr);

    std::unique_ptr<juce::Drawable> image (juce::Drawable::createFromSVG (
        *juce::parseXML (R"(<svg xmlns="http://www.w3.org/2000/svg" width="14" height="16"><rect width="14" height="16" fill="#fff"/></svg>)")));
    bar->saveButton.setImages (image.get());
    bar->resized();
    EXPECT_EQ (bar->saveButton.getBounds(), juce::Rectangle<int> (220, 10, 14, 16));

    bar->scale = 2.0f;
    bar->setBounds (20, 20, 604, 70);
    EXPECT_EQ (bar->nextButton.getBounds(), juce::Rectangle<int> (548, 4, 52, 62));
    EXPECT_EQ (bar->presetLabel.getBounds(), juce::Rectangle<int> (10, 0, 444, 70));
}

TEST_F (ProductPresetBarTest, LabelPressTogglesTheListBelowTheBar)
{
    writePreset ("User/Lead.orvane");
    build();

    pressLabel();
    EXPECT_EQ (bar->presetList.getParentComponent(), &parent);
    EXPECT_EQ (bar->presetList.getBounds(), juce::Rectangle<int> (9, 42, 304, 740));
    EXPECT_TRUE (bar->presetList.isVisible());
    EXPECT_EQ (bar->presetList.rows.size(), 3);
    EXPECT_TRUE (bar->isPressed);

    bar->mouseDown (gui_test::mouseEvent (*bar, { 290.0f, 10.0f })); // not the label: no toggle
    EXPECT_TRUE (bar->presetList.isVisible());

    pressLabel();
    EXPECT_FALSE (bar->presetList.isVisible());
    writePreset ("User/Air.orvane");
    pressLabel(); // reloaded on every opening
    EXPECT_EQ (bar->presetList.rows.size(), 4);
    EXPECT_EQ (toggles, juce::Array<bool> ({ true, false, true }));
}

TEST_F (ProductPresetBarTest, WithoutAParentTheListStaysShut)
{
    bar = std::make_unique<PresetMenuComponent> (&store);
    bar->onPresetListVisibilityChanged = [this] (bool visible) { toggles.add (visible); };
    bar->showPresetMenu();
    EXPECT_FALSE (bar->presetList.isVisible());
    EXPECT_TRUE (toggles.isEmpty());
}

TEST_F (ProductPresetBarTest, FrameFollowsHoverPressAndTheOpenList)
{
    build();
    bar->frameColours = { juce::Colours::red, juce::Colours::green, juce::Colours::blue };
    auto frameAt = [this] (int x, int y) { return gui_test::paint (*bar).getPixelAt (x, y); };

    EXPECT_TRUE (gui_test::closeTo (frameAt (246, 17), juce::Colours::red));
    EXPECT_TRUE (gui_test::closeTo (frameAt (273, 17), juce::Colours::red));
    EXPECT_TRUE (gui_test::closeTo (frameAt (150, 1), juce::Colours::red, 140));
    bar->mouseEnter (gui_test::mouseEvent (bar->presetLabel, {}));
    EXPECT_TRUE (gui_test::closeTo (frameAt (246, 17), juce::Colours::green));
    bar->mouseDown (gui_test::mouseEvent (*bar, { 290.0f, 10.0f }));
    EXPECT_TRUE (gui_test::closeTo (frameAt (246, 17), juce::Colours::blue));
    bar->mouseUp (gui_test::mouseEvent (*bar, {}));
    bar->mouseExit (gui_test::mouseEvent (*bar, {}));
    EXPECT_TRUE (gui_test::closeTo (frameAt (246, 17), juce::Colours::red));

    const auto closedCorner = inkAt (gui_test::paint (*bar), 0, 34);
    bar->showPresetMenu();
    const auto open = gui_test::paint (*bar);
    EXPECT_GT (inkAt (open, 0, 34), closedCorner); // square bottom corners while open
    EXPECT_EQ (inkAt (open, 1, 1), inkAt (gui_test::paint (*bar), 1, 1));
}

TEST_F (ProductPresetBarTest, SaveButtonAsksOnlyForANameAndSavesIntoUser)
{
    build();
    dialogs.menuAnswers = { juce::OrvanePresetMenuComponent::saveAsItemId };
    dialogs.formAnswers = { answer ("Lead", "Bank 9") };
    bar->saveButton.onClick();

    EXPECT_EQ (dialogs.menuWidths, std::vector<int> { 0 });
    ASSERT_EQ (dialogs.forms.size(), 1u);
    EXPECT_FALSE (dialogs.forms[0].withBank);
    EXPECT_TRUE (store.isQELPreset (root().getChildFile ("User/Lead.orvane")));
    EXPECT_FALSE (root().getChildFile ("User/Bank 9").exists());
    EXPECT_EQ (bar->presetLabel.getText(), "Lead");
}

TEST_F (ProductPresetBarTest, ArrowsStepInMenuOrder)
{
    writePreset ("Factory/B/Two.orvane");
    writePreset ("Factory/A One.orvane");
    const auto first = writePreset ("Factory/A/One.orvane");
    store.loadPreset (first, false);
    build();

    bar->nextButton.onClick();
    EXPECT_EQ (store.currentPreset, root().getChildFile ("Factory/B/Two.orvane"));
    bar->nextButton.onClick();
    bar->nextButton.onClick();
    EXPECT_EQ (store.currentPreset, root().getChildFile ("Factory/A One.orvane"));
    bar->previousButton.onClick();
    EXPECT_EQ (bar->presetLabel.getText(), "Two");
}

//==============================================================================
/** The bar and its list on a real processor, as the editor uses them. */
struct ProductPresetBarOnProcessor : ::testing::Test
{
    SandboxedPaths sandbox;
    std::unique_ptr<OrvaneTessaroAudioProcessor> processor = std::make_unique<OrvaneTessaroAudioProcessor>();
    juce::PresetManagerModel& store = *processor->presetManagerModel;
    ScriptedDialogs dialogs;

    static void set (OrvaneTessaroAudioProcessor& p, const juce::String& id, float value)
    {
        auto* parameter = p.parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    }

    static std::map<juce::String, float> values (OrvaneTessaroAudioProcessor& p)
    {
        std::map<juce::String, float> result;
        for (auto* parameter : p.getParameters())
            if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
                result[withId->paramID] = p.parameters.getRawParameterValue (withId->paramID)->load();
        return result;
    }
};

TEST_F (ProductPresetBarOnProcessor, SavedPresetLoadsBackAndAListClickRestoresIt)
{
    juce::Component parent;
    PresetMenuComponent bar (&store);
    bar.dialogs = dialogs.hooks();
    parent.addAndMakeVisible (bar);

    set (*processor, "paramMix", 37.0f);
    set (*processor, "paramGainDrive", 4.0f);
    const auto saved = values (*processor);
    bar.saveNewPreset (answer ("Lead"));
    const auto file = store.getRootPresetFolder().getChildFile ("User/Lead.orvane");
    ASSERT_TRUE (store.isQELPreset (file));
    EXPECT_FALSE (juce::parseXML (file)->hasAttribute ("type"));

    auto other = std::make_unique<OrvaneTessaroAudioProcessor>();
    other->presetManagerModel->loadPreset (file, true);
    EXPECT_EQ (values (*other), saved);

    set (*processor, "paramMix", 80.0f);
    EXPECT_TRUE (store.changed);
    bar.showPresetMenu();
    ASSERT_EQ (bar.presetList.rows.size(), 3);
    bar.presetList.listBoxModel->handleRowClick (2, 0.5f);
    EXPECT_EQ (values (*processor), saved);
    EXPECT_FALSE (store.changed);
    EXPECT_EQ (bar.presetLabel.getText(), "Lead");
}
