#include "core/PluginProcessor.h"
#include "editor/PluginEditor.h"
#include "plugin/Vst3TestSupport.h"
#include "render/EditorSnapshot.h"

#include <gtest/gtest.h>

namespace
{
using tessaro::test::ScopedHome;
using tessaro::test::Vst3Bundle;

struct EditorWindowTest : ::testing::Test
{
    ScopedHome home;

    void SetUp() override
    {
        if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
            GTEST_SKIP() << "no display: run under xvfb-run";
    }

    static void pump (int ms) { juce::MessageManager::getInstance()->runDispatchLoopUntil (ms); }

    void saveSize (int id)
    {
        const auto file = home.userFolder().getChildFile ("plugin.settings");
        file.getParentDirectory().createDirectory();
        file.replaceWithText ("<settings><gui size=\"" + juce::String (id) + "\"/></settings>");
    }

    /** The hosted editor in a window of its own, as a host shows it. */
    static std::unique_ptr<juce::AudioProcessorEditor> show (juce::AudioPluginInstance& plugin)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin.createEditorIfNeeded());
        if (editor != nullptr)
        {
            editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
            editor->setVisible (true);
        }
        return editor;
    }

    static void hide (juce::AudioPluginInstance& plugin, std::unique_ptr<juce::AudioProcessorEditor>& editor)
    {
        editor->removeFromDesktop();
        plugin.editorBeingDeleted (editor.get());
        editor.reset();
    }
};

const juce::Rectangle<int> sizes[] = { { 780, 480 }, { 910, 560 }, { 1040, 640 }, { 1170, 720 }, { 1300, 800 } };
} // namespace

TEST_F (EditorWindowTest, HostedEditorOpensAtEachSavedSize)
{
    auto plugin = Vst3Bundle::create();
    for (int id = 1; id <= 5; ++id)
    {
        SCOPED_TRACE (id);
        saveSize (id);
        auto editor = show (*plugin);
        ASSERT_NE (editor, nullptr);
        pump (100);
        EXPECT_EQ (editor->getLocalBounds(), sizes[id - 1]);
        ASSERT_NE (editor->getPeer(), nullptr);
        EXPECT_EQ (editor->getPeer()->getBounds().getWidth(), sizes[id - 1].getWidth());
        hide (*plugin, editor);
        pump (20);
    }
}

TEST_F (EditorWindowTest, HostedEditorPictureShowsTheFace)
{
    auto plugin = Vst3Bundle::create();
    juce::Image picture;
    const auto captured = tessaro::render::EditorSnapshot::capture (*plugin, picture);
    ASSERT_TRUE (captured.wasOk()) << captured.getErrorMessage();
    ASSERT_EQ (picture.getBounds(), juce::Rectangle<int> (0, 0, 1040, 640));

    // Dark header, a lit separator line and a coloured module area: the face, not a blank window.
    EXPECT_LT (picture.getPixelAt (520, 10).getBrightness(), 0.2f);
    const auto gain = picture.getPixelAt (950, 620);
    EXPECT_GT (gain.getRed(), gain.getGreen());
    EXPECT_GT (gain.getBlue(), gain.getGreen());
}

TEST_F (EditorWindowTest, HostedEditorOpensAndClosesFiftyTimes)
{
    auto plugin = Vst3Bundle::create();
    const int windowsBefore = juce::Desktop::getInstance().getNumComponents();
    for (int i = 0; i < 50; ++i)
    {
        auto editor = show (*plugin);
        ASSERT_NE (editor, nullptr);
        pump (1);
        ASSERT_EQ (editor->getLocalBounds(), sizes[2]);
        ASSERT_EQ (juce::Desktop::getInstance().getNumComponents(), windowsBefore + 1);
        hide (*plugin, editor);
        pump (1);
    }
    EXPECT_EQ (juce::Desktop::getInstance().getNumComponents(), windowsBefore);
}

TEST_F (EditorWindowTest, EditorInARealWindowKeepsTheVisibleFlagRight)
{
    OrvaneTessaroAudioProcessor processor;
    const int windowsBefore = juce::Desktop::getInstance().getNumComponents();
    for (int i = 0; i < 50; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
        editor->setVisible (true);
        pump (5);
        ASSERT_TRUE (processor.editorVisible);
        ASSERT_TRUE (editor->isShowing());

        editor->setVisible (false);
        ASSERT_FALSE (processor.editorVisible);
        editor->setVisible (true);
        ASSERT_TRUE (processor.editorVisible);

        processor.editorBeingDeleted (editor.get());
        editor.reset();
        ASSERT_FALSE (processor.editorVisible);
        pump (5);
    }
    EXPECT_EQ (juce::Desktop::getInstance().getNumComponents(), windowsBefore);
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
}

TEST_F (EditorWindowTest, ResizeButtonOpensAndClosesTheSizeMenu)
{
    OrvaneTessaroAudioProcessor processor;
    OrvaneTessaroAudioProcessorEditor editor (processor);
    editor.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editor.setVisible (true);
    pump (20);

    editor.mainPanel.resizeRequest();
    EXPECT_TRUE (editor.sizeCombo.isPopupActive());
    editor.mainPanel.resizeRequest();
    pump (20);
    EXPECT_FALSE (editor.sizeCombo.isPopupActive());

    processor.editorBeingDeleted (&editor);
    editor.removeFromDesktop();
}
