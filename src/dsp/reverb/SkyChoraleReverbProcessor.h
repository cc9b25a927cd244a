#pragma once

#include "dsp/modulation/ChorusModels.h"
#include "dsp/reverb/SkyEngineReverbProcessor.h"

namespace QEL
{
/** "Cathedral": a multi-voice chorus in front of the engine's preset 1. The modulation controls steer
    the chorus (voices, level, rate), not the engine's late-line modulation. */
class SkyChoraleReverbProcessor : public SkyEngineReverbProcessor
{
public:
    SkyChoraleReverbProcessor();
    ~SkyChoraleReverbProcessor() override;

    /** As the other modes, then the chorus's preparation. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** As the other modes, then the chorus's reset. */
    void reset() override;
    /** While the chorus is on, it runs in place on out first; then the engine's block entry. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;
    /** As the other modes, plus the chorus and the part of its history the voices read and write. */
    void listWorkingSet (WorkingSet& set, int samples, int blockSize) const override;

    /** Chorus voices from 3 (0 %) to 5 (100 %) at a level of percent / 100. */
    void setMod (float percent) override;
    /** The chorus rate follows the note while synced (0.44 Hz otherwise). */
    void setModRateNote (qel::TimeUtils::TempoSyncTimes note) override;
    /** Tempo sync of the pre-delay and the chorus rate. */
    void setSync (bool shouldSync) override;
    /** As the other modes, then switches the chorus on or off at once. */
    void setModEnabled (bool shouldModulate) override;

    /** The chorus rate when not synced, in Hz. */
    static constexpr float freeChorusRateHz = 0.44f;

    juce::QELChorusModel1 chorus;

private:
    void updateChorusRate();
};
} // namespace QEL
