#include "editor/QELMidiMappingsComponent.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace juce
{
QELMidiMappingRow::QELMidiMappingRow (const String& text, std::function<void()> onRemove)
{
    description.setText (text, dontSendNotification);
    description.setColour (Label::textColourId, Colours::white);
    addAndMakeVisible (description);
    removeButton.onClick = std::move (onRemove);
    addAndMakeVisible (removeButton);
}

void QELMidiMappingRow::resized()
{
    const auto buttonWidth = 4 * getHeight();
    description.setBounds (0, 0, jmax (0, getWidth() - buttonWidth), getHeight());
    description.setFont ((float) getHeight() * 0.7f);
    removeButton.setBounds (getWidth() - buttonWidth, 0, buttonWidth, getHeight());
}

//==============================================================================
QELMidiMappingGrid::~QELMidiMappingGrid()
{
    setModel (nullptr);
}

void QELMidiMappingGrid::setModel (QELMidiMappingsModel* newModel)
{
    if (model != nullptr)
        model->removeListener (this);

    model = newModel;

    if (model != nullptr)
        model->addListener (this);

    rebuildRows();
}

String QELMidiMappingGrid::describe (const QELMidiMapping& mapping) const
{
    const StringArray signalNames { "CC", "PC", "Note" };
    auto message = isPositiveAndBelow (mapping.signal - 1, signalNames.size()) ? signalNames[mapping.signal - 1]
                                                                                : String ("MIDI");
    message << " #" << mapping.number;

    if (mapping.signal == QELMidiMapping::noteSignal && isPositiveAndBelow (mapping.number, 128))
        message << " (" << MidiMessage::getMidiNoteName (mapping.number, true, true, 3) << ")";

    const auto target = mapping.type == QELMidiMapping::parameterType && nameFunction ? nameFunction (mapping.data1)
                        : mapping.type == QELMidiMapping::presetType ? File (mapping.data1).getFileNameWithoutExtension()
                                                                     : mapping.data1;
    return target + "  " + message;
}

void QELMidiMappingGrid::removeMapping (int index)
{
    // The rows are rebuilt when the model's change arrives; until then they name old indices.
    model->removeMapping (index);
    model->sendChangeNotification();
    setEnabled (false);
}

void QELMidiMappingGrid::rebuildRows()
{
    rows.clear();
    setEnabled (true);

    if (model != nullptr)
        for (int i = 0; i < model->mappings.size(); ++i)
            addAndMakeVisible (rows.add (new QELMidiMappingRow (describe (*model->mappings[i]),
                                                                [this, i] { removeMapping (i); })));

    resized();
    repaint();
}

void QELMidiMappingGrid::paint (Graphics& g)
{
    if (! rows.isEmpty())
        return;
    g.setColour (Colours::white);
    g.setFont ((float) getHeight() * 0.15f);
    g.drawText ("No MIDI mappings", 0, 100, getWidth(), 50, Justification::centred, true);
}

void QELMidiMappingGrid::resized()
{
    const int h = rowHeight();
    const int height = jmax (200, (h + 3) * rows.size());
    if (getHeight() != height)
        setSize (getWidth(), height); // comes back here once with the new height
    for (int i = 0; i < rows.size(); ++i)
        rows[i]->setBounds (0, i * (h + 3), getWidth(), h);
}

QELMidiMappingsComponent::QELMidiMappingsComponent()
{
    viewport.setScrollBarsShown (true, false, false, false);
    viewport.getVerticalScrollBar().setColour (ScrollBar::thumbColourId, Colours::silver);
    viewport.setViewedComponent (&grid, false);
    grid.nameFunction = [this] (const String& id) { return nameCallback ? nameCallback (id) : id; };
    addAndMakeVisible (viewport);
}

QELMidiMappingsComponent::~QELMidiMappingsComponent()
{
    for (int i = grid.rows.size(); --i >= 0;)
        grid.rows.remove (i);
}

void QELMidiMappingsComponent::paint (Graphics& g)
{
    g.fillAll (Colours::black.withAlpha (0.8f));
    g.setColour (Colours::white);
    g.setFont ((float) getHeight() * 0.05f);
    g.drawText ("MIDI Mappings", 0, 20, getWidth(), 50, Justification::centred, true);
}

void QELMidiMappingsComponent::resized()
{
    viewport.setBounds (50, 90, getWidth() - 100, getHeight() - 180);
    const auto position = viewport.getViewPosition();
    grid.setSize (getWidth() - 100, grid.getHeight());
    grid.resized();
    viewport.setViewPosition (position);
}

void QELMidiMappingsComponent::GridViewport::paint (Graphics& g)
{
    g.fillAll (Colours::darkgrey.withAlpha (0.2f));
}
} // namespace juce
