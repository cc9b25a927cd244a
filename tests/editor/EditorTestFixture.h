#pragma once

#include "core/PluginProcessor.h"
#include "editor/GuiTestSupport.h"
#include "editor/PluginEditor.h"

#include <gtest/gtest.h>

#include <memory>

namespace editor_test
{
/** A product editor that records what reaches its double-click hook. */
struct RecordingEditor : OrvaneTessaroAudioProcessorEditor
{
    using OrvaneTessaroAudioProcessorEditor::OrvaneTessaroAudioProcessorEditor;

    void resolveButtonDoubleClick (juce::Component* component) override { resolved.add (component); }

    juce::Array<juce::Component*> resolved;
};

/** A processor and its editor, in a sandbox for every per-user file. */
struct EditorTest : ::testing::Test
{
    gui_test::Sandbox sandbox;
    std::unique_ptr<OrvaneTessaroAudioProcessor> processor = std::make_unique<OrvaneTessaroAudioProcessor>();
    std::unique_ptr<RecordingEditor> editor;

    juce::File settingsFile() const { return QEL::PluginSettings::fileFor ("Orvane", "Orvane Tessaro"); }

    RecordingEditor& open()
    {
        editor = std::make_unique<RecordingEditor> (*processor);
        return *editor;
    }

    void close() { editor.reset(); }

    void writeSettings (const juce::String& text)
    {
        settingsFile().getParentDirectory().createDirectory();
        settingsFile().replaceWithText (text);
    }

    void TearDown() override
    {
        editor.reset();
        gui_test::pump (5);
    }
};
} // namespace editor_test
