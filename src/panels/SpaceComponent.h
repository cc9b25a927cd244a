#pragma once

#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Space module's column: reverb and delay with their type selectors. */
class SpaceComponent : public ModulePanel
{
public:
    SpaceComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                     OrvaneTessaroAudioProcessor& processor);
    ~SpaceComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SpaceComponent)
};
} // namespace tessaro::gui
