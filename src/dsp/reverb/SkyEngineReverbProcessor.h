#pragma once

#include "dsp/reverb/QELReverbProcessor.h"
#include "dsp/reverb/SkyReverbProcessorBase.h"

namespace QEL
{
/** What the room, plate, cloud and chorale modes share: one reverb engine built with the mode's preset,
    and the translation of the musical controls into engine settings. The modes differ in constants
    (Curves) and in the steps they take when they are built. */
class SkyEngineReverbProcessor : public SkyReverbProcessorBase
{
public:
    /** The constants that set one mode apart. */
    struct Curves
    {
        /** setDecay gives the engine decayScale × the decay. */
        float decayScale = 1.0f;
        /** setMod (x) gives the engine a modulation depth of x × modAmountScale / 100 + modAmountOffset. */
        float modAmountScale = 81.0f, modAmountOffset = 19.0f;
        /** Without sync, a modulation rate control of modPercent × modRateScale / 100 + modRateOffset. */
        float modRateScale = 78.0f, modRateOffset = 22.0f;
    };

    ~SkyEngineReverbProcessor() override;

    /** The base's bookkeeping, then the engine's preparation. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** The base's reset, then the engine's: the running state as a new mode prepared at this rate has it. */
    void reset() override;
    /** The engine's block entry with the same arguments. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;
    /** The mode object itself and what its engine will read and write. */
    void listWorkingSet (WorkingSet& set, int samples, int blockSize) const override;

    void setDecay (float percent) override;
    void setPreDelay (float percent) override;
    void setPreDelayNote (qel::TimeUtils::TempoSyncTimes note) override;
    void setMix (float percent) override;
    void setUseAltMix (bool useAltMix) override;
    void setTone (float percent) override;
    void setMod (float percent) override;
    void setModRateNote (qel::TimeUtils::TempoSyncTimes note) override;
    void setSaturation (float percent) override;
    void setFollow (float percent) override;
    void setDuck (float percent) override;
    void setComp (float percent) override;
    void setDisintegrate (float percent) override;
    void setPitch (float semitones) override;
    void setFreeze (bool shouldFreeze) override;
    void setKill (bool shouldKill) override;
    void setSync (bool shouldSync) override;
    void setMassive (bool shouldBeMassive) override;
    void setWidth (float percent) override;
    void setWetHighPassFilterCutoff (float hz) override;
    void setWetLowPassFilterCutoff (float hz) override;
    void setMonoLowEnd (bool shouldBeMono) override;
    void setModEnabled (bool shouldModulate) override;

    /** Sets the engine's line modulation rate: the free curve, or the synced note's rate. */
    void updateModRate();

    /** The rate in Hz of one modulation cycle per note at a tempo (0 for no note): triplets divide the
        plain note's rate by 0.67, dotted notes by 1.5. */
    static float syncedRateHz (qel::TimeUtils::TempoSyncTimes note, double bpm);

    QELReverbProcessor reverb;

protected:
    /** Builds the engine with its preset; the mode then runs its own construction steps. */
    SkyEngineReverbProcessor (QELReverbProcessor::Preset preset, Curves curves);

    /** The pre-delay the engine should use: the synced note's length while synced, else the free time. */
    float preDelayToUse() const;

    const Curves curves;
};
} // namespace QEL
