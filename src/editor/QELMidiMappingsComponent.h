#pragma once

#include "editor/QELComponentBase.h"
#include "presets/QELMidiMappingsModel.h"

#include <functional>

namespace juce
{
/** One learned mapping in the grid: what it drives, the message that triggers it, and a
    "Remove" button that deletes it from the model. */
class QELMidiMappingRow : public QELComponentBase
{
public:
    QELMidiMappingRow (const String& description, std::function<void()> onRemove);

    /** The description on the left, the button on the right (four row heights wide). */
    void resized() override;

    Label description;
    TextButton removeButton { "Remove" };
};

/** The grid of learned mappings, one row per mapping of its model; says "No MIDI mappings"
    when empty. It follows the model's loads and changes. */
class QELMidiMappingGrid : public QELComponentBase, public QELMidiMappingsModel::Listener
{
public:
    ~QELMidiMappingGrid() override;

    /** Shows the mappings of a model (not owned; nullptr for none). */
    void setModel (QELMidiMappingsModel* newModel);

    /** Deletes a mapping from the model and tells its listeners (this grid among them). */
    void removeMapping (int index);

    /** Rebuilds the rows from the model's list. */
    void rebuildRows();

    /** The line a row shows for a mapping: its target (through the name function for a
        parameter, the file name for a preset), then the message, e.g. 'Mix  CC #7'. */
    String describe (const QELMidiMapping& mapping) const;

    void onMappingsLoaded() override { rebuildRows(); }
    void onMappingsChange() override { rebuildRows(); }

    /** The empty-grid message. */
    void paint (Graphics& g) override;

    /** Stacks the rows and grows to hold them (at least 200 high). */
    void resized() override;

    /** The row height for the grid's width. */
    int rowHeight() const noexcept { return (int) ((float) getWidth() * 0.02f); }

    std::function<String (const String&)> nameFunction;
    QELMidiMappingsModel* model = nullptr;
    OwnedArray<Component> rows;
};

/** The mappings panel: a dark layer titled "MIDI Mappings" over a scrolling grid; a press
    anywhere hides it. */
class QELMidiMappingsComponent : public QELComponentBase
{
public:
    QELMidiMappingsComponent();
    ~QELMidiMappingsComponent() override;

    /** Hides the panel. */
    void mouseDown (const MouseEvent&) override { setVisible (false); }

    /** Dark layer and title. */
    void paint (Graphics& g) override;

    /** Places the viewport and lays out the grid inside it. */
    void resized() override;

    /** Hands the grid the model whose mappings it shows and edits. */
    void setModel (QELMidiMappingsModel* newModel) { grid.setModel (newModel); }

    /** The viewport, with its own faint background. */
    class GridViewport : public Viewport
    {
    public:
        void paint (Graphics& g) override;
    };

    std::function<String (const String&)> nameCallback;
    GridViewport viewport;
    QELMidiMappingGrid grid;
};
} // namespace juce
