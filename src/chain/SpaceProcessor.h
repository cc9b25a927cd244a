#pragma once

#include "chain/DelayWrapperProcessor.h"
#include "chain/ModuleProcessorBase.h"
#include "chain/ReverbWrapperProcessor.h"

namespace tessaro::dsp
{
/** The ambience module: a tempo-syncable echo with four characters, then a reverb of four types, each with
    its own dry/wet blend. */
class SpaceProcessor : public ModuleProcessorBase
{
public:
    SpaceProcessor();

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the stages' dry paths and the echo's buffers; the reverb engines keep their tails. */
    void reset() override;
    /** Stores a non-zero tempo and hands the value to the echo and the reverb. */
    void setTempo (double bpm) override;
    /** Delay stage, then reverb stage. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    void setDelaySync (bool sync) { delayStage.delay.setSync (sync); }
    void setDelayTime (float ms) { delayStage.delay.setTime (ms); }
    void setDelayNote (int choice) { delayStage.delay.setNote (choice); }
    void setDelayAmount (float percent) { delayStage.setAmount (percent); }
    void setDelayFeedback (float percent) { delayStage.delay.setFeedback (percent / 100.0f); }
    /** 0 Off fades the echoes out; 1 Lofi, 2 Tape, 3 Modern, 4 Pong fade them in with that character. */
    void setDelayType (int type) { delayStage.delay.setType (type); }
    void setReverbAmount (float percent) { reverbStage.setAmount (percent); }
    /** 0 Off fades the reverb out; 1 Bright Room, 2 Dark Room, 3 Cathedral, 4 Outer Space build an engine. */
    void setReverbType (int type) { reverbStage.reverb.setReverbType (type); }
    void setReverbTime (float percent) { reverbStage.reverb.setReverbTime (percent); }

    ReverbWrapperProcessor reverbStage;
    DelayWrapperProcessor delayStage;
};
} // namespace tessaro::dsp
