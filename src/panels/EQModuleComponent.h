#pragma once

#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The EQ module's column: three interactive band curves with their Q knobs. */
class EQModuleComponent : public ModulePanel
{
public:
    EQModuleComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                        OrvaneTessaroAudioProcessor& processor);
    ~EQModuleComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EQModuleComponent)
};
} // namespace tessaro::gui
