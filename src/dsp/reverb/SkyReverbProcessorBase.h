#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/base/TimeUtils.h"
#include "dsp/base/WorkingSet.h"

namespace QEL
{
/** The interface every reverb mode of the Space module offers: the module's reverb holder and its
    parameter router drive whichever mode is current through these operations.

    The setters run on the router's thread while the audio thread may be processing; sync, modRateNote
    and modPercent are read only on the router's thread. */
class SkyReverbProcessorBase : public juce::QELProcessorBase
{
public:
    ~SkyReverbProcessorBase() override = default;

    /** Decay (reverb size) in percent, 0..100. */
    virtual void setDecay (float percent) = 0;
    /** Free pre-delay in percent of a second, 0..100. */
    virtual void setPreDelay (float percent) = 0;
    /** Note of the pre-delay while tempo sync is on. */
    virtual void setPreDelayNote (qel::TimeUtils::TempoSyncTimes note) = 0;
    /** Wet/dry mix in percent (0 dry only, 100 wet only). */
    virtual void setMix (float percent) = 0;
    /** On: the reverb channels pass no dry signal of their own. */
    virtual void setUseAltMix (bool useAltMix) = 0;
    /** Input tone in percent (100 leaves the input low-pass off). */
    virtual void setTone (float percent) = 0;
    /** Modulation amount in percent. */
    virtual void setMod (float percent) = 0;
    /** Note of the modulation rate while tempo sync is on. */
    virtual void setModRateNote (qel::TimeUtils::TempoSyncTimes note) = 0;
    /** Saturation drive in percent (0 to 30 dB). */
    virtual void setSaturation (float percent) = 0;
    /** Follow (gating of the wet signal by the dry input) in percent; 0 switches it off. */
    virtual void setFollow (float percent) = 0;
    /** Ducking of the wet signal by the dry input in percent; 0 switches it off. */
    virtual void setDuck (float percent) = 0;
    /** Wet compression in percent; 0 switches it off. */
    virtual void setComp (float percent) = 0;
    /** Bitcrusher sample hold in percent; 0 switches it off. */
    virtual void setDisintegrate (float percent) = 0;
    /** Pitch shift of the wet signal in semitone steps; 0 switches the shifter off. */
    virtual void setPitch (float semitones) = 0;
    /** Holds the tail: no new input enters and the late lines sustain. */
    virtual void setFreeze (bool shouldFreeze) = 0;
    /** Cuts the tail short: no new input enters and the late lines die away fast. */
    virtual void setKill (bool shouldKill) = 0;
    /** Tempo sync of the modulation rate and the pre-delay. */
    virtual void setSync (bool shouldSync) = 0;
    /** Massive: the decay control reaches the engine's full decay range. */
    virtual void setMassive (bool shouldBeMassive) = 0;
    /** Stereo width of the wet signal in percent. */
    virtual void setWidth (float percent) = 0;
    /** Wet high-pass cut-off in Hz (runs only above 20 Hz). */
    virtual void setWetHighPassFilterCutoff (float hz) = 0;
    /** Wet low-pass cut-off in Hz (runs only below 20000 Hz). */
    virtual void setWetLowPassFilterCutoff (float hz) = 0;
    /** Mono low end of the wet signal. */
    virtual void setMonoLowEnd (bool shouldBeMono) = 0;
    /** Modulation of the late lines on or off. */
    virtual void setModEnabled (bool shouldModulate) = 0;

    /** Lists the memory the next `samples` samples of processing in blocks of up to blockSize will read and write,
        so its holder can bring it into the audio thread's cache before the mode is heard (the thread that
        prepared it; valid until it is prepared again). Lists nothing unless a mode says what it uses. */
    virtual void listWorkingSet (WorkingSet& set, int samples, int blockSize) const
    {
        juce::ignoreUnused (set, samples, blockSize);
    }

    /** Tempo sync of the modulation rate (and, through the engine, of the pre-delay). */
    bool sync = false;
    /** Note of the synced modulation rate (0: no note). */
    qel::TimeUtils::TempoSyncTimes modRateNote = static_cast<qel::TimeUtils::TempoSyncTimes> (0);
    /** The last value given to setMod. */
    float modPercent = 0.0f;
};
} // namespace QEL
