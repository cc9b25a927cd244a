#pragma once

#include "panels/GainReductionMeter.h"
#include "panels/ModulePanel.h"

namespace tessaro::gui
{
/** The Compress module's column: input, compression and output, the slow and auto switches and the gain-reduction meter. */
class CompressComponent : public ModulePanel
{
public:
    CompressComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* initializer,
                        OrvaneTessaroAudioProcessor& processor);
    ~CompressComponent() override;

    /** The frame, then the panel's controls. */
    void resized() override;

    /** The gain-reduction meter, fed by the editor's timer. */
    GainReductionMeter meter;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CompressComponent)
};
} // namespace tessaro::gui
