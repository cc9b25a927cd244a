#pragma once

#include "presets/PresetDialogs.h"
#include "presets/PresetManagerModel.h"
#include "presets/PresetsTestSupport.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <optional>
#include <vector>

namespace presets_test
{
inline const juce::String presetText = R"(<?xml version="1.0" encoding="UTF-8"?>
<orvane_tessaro><PARAM id="paramMix" value="50"/></orvane_tessaro>)";

inline const juce::String factoryPresetText = R"(<?xml version="1.0" encoding="UTF-8"?>
<orvane_tessaro type="factory"><PARAM id="paramMix" value="50"/></orvane_tessaro>)";

/** Scripted answers for every menu, form, question and chooser of the preset views, and a
    record of what was asked. Nothing is ever shown. */
struct ScriptedDialogs
{
    std::deque<int> menuAnswers;
    std::deque<std::optional<QEL::PresetForm::Answer>> formAnswers;
    std::deque<bool> confirmAnswers;
    juce::File fileToOpen, fileToSave;
    juce::Array<juce::File> filesToOpen;

    std::vector<juce::PopupMenu> menus;
    std::vector<int> menuWidths;
    std::vector<QEL::PresetForm> forms;
    juce::StringArray confirms, warnings, infos, chooserTitles;
    juce::Array<juce::File> revealed;

    /** Hooks that answer from the queues (0, cancel and "No" once they run dry). */
    QEL::PresetDialogs hooks()
    {
        QEL::PresetDialogs d;
        d.showMenu = [this] (juce::PopupMenu& menu, juce::Component*, int width)
        {
            menus.push_back (menu);
            menuWidths.push_back (width);
            return pop (menuAnswers, 0);
        };
        d.fillForm = [this] (const QEL::PresetForm& form)
        {
            forms.push_back (form);
            return pop (formAnswers, std::optional<QEL::PresetForm::Answer>());
        };
        d.confirm = [this] (const juce::String& title, const juce::String& message)
        {
            confirms.add (title + ": " + message);
            return pop (confirmAnswers, false);
        };
        d.warn = [this] (const juce::String& title, const juce::String& message) { warnings.add (title + ": " + message); };
        d.inform = [this] (const juce::String& title, const juce::String& message) { infos.add (title + ": " + message); };
        d.chooseFileToOpen = [this] (const juce::String& title, const juce::File&, const juce::String&)
        {
            chooserTitles.add (title);
            return fileToOpen;
        };
        d.chooseFilesToOpen = [this] (const juce::String& title, const juce::File&, const juce::String&)
        {
            chooserTitles.add (title);
            return filesToOpen;
        };
        d.chooseFileToSave = [this] (const juce::String& title, const juce::File&, const juce::String&)
        {
            chooserTitles.add (title);
            return fileToSave;
        };
        d.reveal = [this] (const juce::File& folder) { revealed.add (folder); };
        return d;
    }

private:
    template <typename T>
    static T pop (std::deque<T>& queue, T whenEmpty)
    {
        if (queue.empty())
            return whenEmpty;
        auto value = queue.front();
        queue.pop_front();
        return value;
    }
};

/** An answer to a preset form. */
inline QEL::PresetForm::Answer answer (const juce::String& name, const juce::String& bank = {})
{
    return { bank, name, "All", "All" };
}

/** A store as the product sets it up, on a recording processor, in a sandbox:

      <sandbox>/.../Presets   <- root()
          Factory/ ...  User/ ...   (written by each test)
*/
struct PresetViewsFixture : ::testing::Test
{
    PresetViewsFixture()
    {
        store.extension = "orvane";
        store.defaultName = "Init";
        processor.onApply = [this] { store.changed = true; };
    }

    juce::File root() const { return store.getRootPresetFolder(); }

    juce::File writePreset (const juce::String& relativePath, const juce::String& text = presetText)
    {
        return writeText (root().getChildFile (relativePath), text);
    }

    SandboxedPaths sandbox;
    RecordingProcessor processor;
    juce::PresetManagerModel store { "Orvane Tessaro", "Orvane", "Default", "qelpreset", "QEL Collaborators",
                                     &processor };
    ScriptedDialogs dialogs;
};

/** Texts of a menu's items (top level), sub-menus marked with a trailing "/". */
inline juce::StringArray itemTexts (const juce::PopupMenu& menu)
{
    juce::StringArray texts;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        texts.add (item.isSeparator ? juce::String ("---") : item.text + (item.subMenu != nullptr ? "/" : ""));
    }
    return texts;
}

/** The item of a menu with this text (searched at the top level), or nullptr. */
inline const juce::PopupMenu::Item* findItem (const juce::PopupMenu& menu, const juce::String& text)
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().text == text)
            return &it.getItem();
    return nullptr;
}
} // namespace presets_test
