#include "editor/QELMidiMappingsComponent.h"

namespace juce
{
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
