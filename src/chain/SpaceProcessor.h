#pragma once

#include "chain/ModuleProcessorBase.h"
#include "chain/ReverbProcessor.h"
#include "dsp/delay/QELSuperDelayProcessor.h"
#include "dsp/utility/MixProcessor.h"

#include <atomic>

namespace tessaro::dsp
{
/** The echo of the Space module: the super delay with its time chosen by a free time or a synced note. */
class DelayProcessor : public juce::QELProcessorBase
{
public:
    /** Switched off, sync on, note "1/8", time 200 ms; the super delay outputs its echoes only. */
    DelayProcessor();

    /** The base's preparation, then the super delay's. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** The base's dry path and the super delay's filter states. */
    void reset() override;
    /** Stores a non-zero tempo here and in the super delay. */
    void setTempo (double bpm) override;
    /** Runs the super delay in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Sync on: the echo follows the stored note; off: the stored time. */
    void setSync (bool shouldSync);
    /** Free echo time in ms; heard while sync is off. */
    void setTime (float ms);
    /** Note choice 0..18 ("1/64T" .. "1 Bar"); heard while sync is on. */
    void setNote (int choice);
    /** Feedback in percent; the loop glides to it over 20 ms. */
    void setFeedback (float percent);
    /** 0 Off, 1 Lofi, 2 Tape, 3 Modern, 4 Pong. */
    void setType (int type);

    /** The super delay's note index for a note choice: 19 - choice, or 19 outside 1..18. */
    static int noteIndexFor (int choice) noexcept { return choice >= 1 && choice <= 18 ? 19 - choice : 19; }

    std::atomic<bool> sync { true };
    std::atomic<int> note { 10 };
    std::atomic<float> time { 200.0f };
    juce::QELSuperDelayProcessor superDelay;

private:
    void applyTiming();

    /** The super delay's extra modulation depth, handed to it at block start. */
    std::atomic<float> modulation { 0.0f };
};

/** A stage that runs an effect in place and blends its own dry copy back in ("Amount"). */
class BlendedStageBase : public juce::QELProcessorBase
{
public:
    QEL::MixProcessor blend;

protected:
    /** Blend all dry, with a 50 ms ramp. */
    BlendedStageBase();

    /** The blend's preparation; sizes the dry copy. */
    void prepareBlend (const juce::dsp::ProcessSpec& spec);
    /** Copies the dry block, runs the effect in place, then blends the copy back. */
    void processBlended (juce::QELProcessorBase& effect, float* const* out, int numSamples, int numInputChannels,
                         int numOutputChannels);

private:
    juce::AudioBuffer<float> dry;
};

/** The delay with its own dry/wet blend ("Space - Delay - Amount"). */
class DelayWrapperProcessor : public BlendedStageBase
{
public:
    /** Blend all dry, with a 50 ms ramp. */
    DelayWrapperProcessor() = default;

    /** The base's, the delay's and the blend's preparation; sizes the dry copy. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** The base's dry path and the delay's reset. */
    void reset() override;
    /** Stores a non-zero tempo here and in the delay. */
    void setTempo (double bpm) override;
    /** Copies the dry block, runs the delay in place, then blends the copy back. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    DelayProcessor delay;
};

/** The reverb holder with its own dry/wet blend ("Space - Reverb - Amount"). */
class ReverbWrapperProcessor : public BlendedStageBase
{
public:
    /** Reverb on, blend all dry, with a 50 ms ramp. */
    ReverbWrapperProcessor();

    /** The base's, the holder's and the blend's preparation; sizes the dry copy. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** The base's dry path, the holder's reset (its engine as a new one starts) and the blend's ramp. */
    void reset() override;
    /** Stores a non-zero tempo here and in the holder, which passes every value to its engine. */
    void setTempo (double bpm) override;
    /** Copies the dry block, runs the reverb in place, then blends the copy back. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    ReverbProcessor reverb;
};

/** The ambience module: a tempo-syncable echo with four characters, then a reverb of four types, each with
    its own dry/wet blend. */
class SpaceProcessor : public ModuleProcessorBase
{
public:
    SpaceProcessor();

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Puts both stages back as a new module prepared at this rate has them: the echo lines cleared, the reverb
        engine's tail, modulation and positions restarted in place. */
    void reset() override;
    /** Stores a non-zero tempo and hands the value to the echo and the reverb. */
    void setTempo (double bpm) override;
    /** Delay stage, then reverb stage; a stage whose block is not finite is cleared and the block silenced. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;
    using ModuleProcessorBase::processImpl;
    /** The off fade has ended: the echoes are cleared and the reverb's tail is let go, so switching the
        module on again brings back nothing from before. */
    void clearBuffers() override;

    /** The echo lines and the reverb ring on after their input. */
    bool holdsPastAudio() const noexcept override { return true; }

    /** Sync on: the echo follows the stored note; off: the stored time. */
    void setDelaySync (bool sync);
    /** Free echo time in ms; heard while Sync is off. */
    void setDelayTime (float ms);
    /** Note choice 0..18 ("1/64T" .. "1 Bar"); heard while Sync is on. */
    void setDelayNote (int choice);
    /** Echo blend in percent. */
    void setDelayAmount (float percent);
    /** Echo feedback in percent; the loop glides to it over 20 ms. */
    void setDelayFeedback (float percent);
    /** 0 Off, 1 Lofi, 2 Tape, 3 Modern, 4 Pong. */
    void setDelayType (int type);
    /** Reverb blend in percent. */
    void setReverbAmount (float percent);
    /** 0 Off, 1 Bright Room, 2 Dark Room, 3 Cathedral, 4 Outer Space. */
    void setReverbType (int type);
    /** Reverb time in percent. */
    void setReverbTime (float percent);

    /** The echo's note index for a note choice: 19 - choice, or 19 outside 1..18. */
    static int noteIndexFor (int choice) noexcept { return DelayProcessor::noteIndexFor (choice); }

    bool isDelaySynced() const noexcept { return delayStage.delay.sync.load(); }
    int getDelayNoteIndex() const noexcept { return delayStage.delay.superDelay.noteIndex.load(); }
    float getDelayFreeTime() const noexcept { return delayStage.delay.superDelay.freeTimeSeconds.load(); }
    float getDelayFeedback() const noexcept { return delayStage.delay.superDelay.feedback.load(); }
    int getDelayType() const noexcept { return delayType.load(); }
    float getDelayMix() const noexcept { return delayMix.load(); }
    float getReverbMix() const noexcept { return reverbMix.load(); }
    int getReverbType() const noexcept { return reverbType.load(); }
    float getReverbTime() const noexcept { return reverbStage.reverb.getReverbTime(); }

    ReverbWrapperProcessor reverbStage;
    DelayWrapperProcessor delayStage;

private:
    /** Silences the block and returns false when any sample of it is NaN or infinite. */
    static bool keepIfFinite (float* const* out, int numSamples, int numChannels) noexcept;

    std::atomic<float> delayMix { 0.0f }, reverbMix { 0.0f };
    std::atomic<int> delayType { 0 }, reverbType { 0 };
};
} // namespace tessaro::dsp
