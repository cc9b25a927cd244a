#pragma once

#include "chain/ModuleProcessorBase.h"

#include <atomic>

namespace tessaro::dsp
{
/** The ambience module: a tempo-syncable echo with four characters, then a reverb of four types, each with
    its own dry/wet blend. */
class SpaceProcessor : public ModuleProcessorBase
{
public:
    SpaceProcessor();

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;
    /** Stores a non-zero tempo and hands the value to the echo and the reverb. */
    void setTempo (double bpm) override;
    /** Delay stage, then reverb stage. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Sync on: the echo follows the stored note; off: the stored time. */
    void setDelaySync (bool sync);
    /** Free echo time in ms; heard while Sync is off. */
    void setDelayTime (float ms);
    /** Note choice 0..18 ("1/64T" .. "1 Bar"); heard while Sync is on. */
    void setDelayNote (int choice);
    /** Echo blend in percent. */
    void setDelayAmount (float percent);
    /** Echo feedback in percent, applied at once. */
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
    static int noteIndexFor (int choice) noexcept { return choice >= 1 && choice <= 18 ? 19 - choice : 19; }

    bool isDelaySynced() const noexcept { return delaySync.load(); }
    int getDelayNoteIndex() const noexcept { return noteIndex.load(); }
    float getDelayFreeTime() const noexcept { return freeTimeSeconds.load(); }
    float getDelayFeedback() const noexcept { return feedback.load(); }
    int getDelayType() const noexcept { return delayType.load(); }
    float getDelayMix() const noexcept { return delayMix.load(); }
    float getReverbMix() const noexcept { return reverbMix.load(); }
    int getReverbType() const noexcept { return reverbType.load(); }
    float getReverbTime() const noexcept { return reverbTime.load(); }

private:
    void applyDelayTiming();

    std::atomic<bool> delaySync { true };
    std::atomic<float> delayTimeMs { 200.0f };
    std::atomic<int> delayNote { 10 };
    std::atomic<int> noteIndex { 9 };
    std::atomic<float> freeTimeSeconds { 0.2f };
    std::atomic<float> feedback { 0.5f }, delayMix { 0.0f }, reverbMix { 0.0f }, reverbTime { 50.0f };
    std::atomic<int> delayType { 0 }, reverbType { 0 };
};
} // namespace tessaro::dsp
