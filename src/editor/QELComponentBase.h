#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{
/** A component that lays itself out at a scale; panels, containers and views derive from it. */
class QELComponentBase : public Component
{
public:
    ~QELComponentBase() override = default;

    /** Draws nothing. */
    void paint (Graphics&) override {}

    /** Hands a new scale to every QELComponentBase child not already at it, and on down
        their subtrees. Nothing is resized here: new layouts follow from the resizes. */
    virtual void internalSetPluginSize (float newScale);

    /** The scale this component lays itself out at. */
    float scale = 1.0f;
};
} // namespace juce
