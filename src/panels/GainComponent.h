#pragma once

#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Gain module's column: drive, saturation type, mix and gain. */
class GainComponent : public ModulePanel
{
public:
    GainComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                    OrvaneTessaroAudioProcessor& processor);
    ~GainComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GainComponent)
};
} // namespace tessaro::gui
