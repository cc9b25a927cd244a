#pragma once

#include "editor/QELComponentBase.h"
#include "presets/QELMidiMappingsModel.h"

#include <functional>

namespace juce
{
/** The grid of learned mappings, one row per mapping; says "No MIDI mappings" when empty. */
class QELMidiMappingGrid : public QELComponentBase
{
public:
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

    /** Hands the grid the model whose mappings it shows. */
    void setModel (QELMidiMappingsModel* newModel) { grid.model = newModel; }

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
