#pragma once

#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Multiply module's column: the voice-spread view and its controls. */
class MultiplyComponent : public ModulePanel
{
public:
    MultiplyComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                        OrvaneTessaroAudioProcessor& processor);
    ~MultiplyComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MultiplyComponent)
};
} // namespace tessaro::gui
