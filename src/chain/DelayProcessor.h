#pragma once

#include "dsp/dynamics/QELProcessorBase.h"

#include <atomic>

namespace tessaro::dsp
{
/** The Space module's echo: the stored sync, note and time, and the echo engine they drive. */
class DelayProcessor : public juce::QELProcessorBase
{
public:
    DelayProcessor();

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Runs the echo engine in place: echoes only, no dry signal. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Sync on: the echo follows the stored note; off: the stored time. */
    void setSync (bool sync);
    /** Free echo time in ms; heard while Sync is off. */
    void setTime (float ms);
    /** Note choice 0..18 ("1/64T" .. "1 Bar"); heard while Sync is on. */
    void setNote (int choice);
    /** Feedback 0..1, applied at once. */
    void setFeedback (float fraction) { feedback.store (fraction); }
    /** 0 Off, 1 Lofi, 2 Tape, 3 Modern, 4 Pong: switches the echo and sets its character. */
    void setType (int type);

    /** The echo's note index for a note choice: 19 - choice, or 19 outside 1..18. */
    static int noteIndexFor (int choice) noexcept { return choice >= 1 && choice <= 18 ? 19 - choice : 19; }

    bool isSynced() const noexcept { return sync.load(); }
    int getNoteIndex() const noexcept { return noteIndex.load(); }
    float getFreeTime() const noexcept { return freeTimeSeconds.load(); }
    float getFeedback() const noexcept { return feedback.load(); }
    int getType() const noexcept { return type.load(); }

private:
    void applyTiming();

    std::atomic<bool> sync { true };
    std::atomic<float> timeMs { 200.0f };
    std::atomic<int> note { 10 };
    std::atomic<int> noteIndex { 9 };
    std::atomic<float> freeTimeSeconds { 0.2f };
    std::atomic<float> feedback { 0.5f };
    std::atomic<int> type { 0 };
};
} // namespace tessaro::dsp
