#include "editor/GuiTestSupport.h"
#include "editor/QELMidiMappingsComponent.h"

#include <gtest/gtest.h>

namespace
{
juce::QELMidiMapping mapping (int type, int signal, int number, const juce::String& target)
{
    juce::QELMidiMapping m;
    m.type = type;
    m.signal = signal;
    m.number = number;
    m.data1 = target;
    return m;
}

juce::StringArray rowTexts (const juce::QELMidiMappingGrid& grid)
{
    juce::StringArray texts;
    for (auto* row : grid.rows)
        texts.add (static_cast<juce::QELMidiMappingRow*> (row)->description.getText());
    return texts;
}
} // namespace

/** A 1200 x 700 panel over a model with three mappings:

      Mix  CC #7            y 0    (rows 22 high, every 25 px)
      Lead  PC #3           y 25
      Drive  Note #61 (C#3) y 50
*/
TEST (MidiMappingsView, ShowsAndRemovesTheModelsMappings)
{
    gui_test::Sandbox sandbox;
    juce::QELMidiMappingsModel model ("Orvane Tessaro", "Orvane");
    using M = juce::QELMidiMapping;
    model.addNewMapping (mapping (M::parameterType, M::controlChangeSignal, 7, "paramMix"), model.silent);
    model.addNewMapping (mapping (M::presetType, M::programChangeSignal, 3, "/presets/User/Lead.orvane"), model.silent);
    model.addNewMapping (mapping (M::parameterType, M::noteSignal, 61, "paramGainDrive"), model.silent);

    juce::QELMidiMappingsComponent panel;
    panel.nameCallback = [] (const juce::String& id) { return id.fromFirstOccurrenceOf ("param", false, false); };
    panel.setModel (&model);
    panel.setSize (1200, 700);

    EXPECT_EQ (rowTexts (panel.grid), juce::StringArray ({ "Mix  CC #7", "Lead  PC #3", "GainDrive  Note #61 (C#3)" }));
    EXPECT_EQ (panel.grid.rows[2]->getBounds(), juce::Rectangle<int> (0, 50, 1100, 22));
    EXPECT_EQ (panel.grid.getHeight(), 200);
    auto& removeLead = static_cast<juce::QELMidiMappingRow*> (panel.grid.rows[1])->removeButton;
    EXPECT_EQ (removeLead.getBounds(), juce::Rectangle<int> (1012, 0, 88, 22));

    removeLead.onClick();
    ASSERT_EQ (model.mappings.size(), 2);
    EXPECT_EQ (model.mappings[1]->number, 61);
    EXPECT_FALSE (panel.grid.isEnabled()); // stale rows take no clicks until the change arrives
    EXPECT_TRUE (gui_test::pumpUntil ([&] { return panel.grid.isEnabled(); }));
    EXPECT_EQ (rowTexts (panel.grid), juce::StringArray ({ "Mix  CC #7", "GainDrive  Note #61 (C#3)" }));

    // A loaded list replaces the rows; an empty one brings back the message.
    juce::ValueTree midi ("midi");
    midi.appendChild (juce::ValueTree ("mappings"), nullptr);
    model.loadFromValueTree (midi);
    EXPECT_TRUE (gui_test::pumpUntil ([&] { return panel.grid.rows.isEmpty(); }));
    EXPECT_EQ (panel.grid.getHeight(), 200);

    panel.setModel (nullptr); // detached: later changes reach no grid
    model.addNewMapping (mapping (M::parameterType, M::controlChangeSignal, 1, "paramMix"), model.notify);
    gui_test::pump (50);
    EXPECT_TRUE (panel.grid.rows.isEmpty());
}
