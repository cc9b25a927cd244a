#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/reverb/AllpassDiffuser.h"
#include "dsp/reverb/Biquad.h"
#include "dsp/reverb/DelayLimits.h"
#include "dsp/reverb/ModulatedDelay.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace CloudSeed
{
/** The single-precision store of a late line's feedback: a ring of T = max (blockSize, 2) + 2 samples
    whose read and write positions both start at 0 and step back one place per sample. A block reads all
    its samples before it writes any, so each read returns the sample written exactly T samples earlier. */
class FeedbackStore
{
public:
    /** Sizes the ring for blocks of up to blockSize samples, zeroes it and restarts both positions. */
    void prepare (int blockSize);
    /** Zeroes the ring and restarts both positions. */
    void clear() noexcept;

    /** The oldest sample (delay 0); the read position steps back. */
    float pop() noexcept
    {
        const float x = store[(std::size_t) readPosition];
        readPosition = readPosition == 0 ? size - 1 : readPosition - 1;
        return x;
    }
    /** Stores a sample; the write position steps back. */
    void push (float x) noexcept
    {
        store[(std::size_t) writePosition] = x;
        writePosition = writePosition == 0 ? size - 1 : writePosition - 1;
    }

    /** Pops n samples (n up to T) into dest, oldest first; the same as n calls of pop. */
    void popBlock (float* dest, int n) noexcept;
    /** Pushes n samples (n up to T) of source, first first; the same as n calls of push. */
    void pushBlock (const double* source, int n) noexcept;

    /** The ring length T in samples. */
    int getSize() const noexcept { return size; }
    /** Lists the whole ring: a block of T samples reads and writes all of it. */
    void listWorkingSet (QEL::WorkingSet& set) const { set.add (store, store.size()); }

private:
    std::vector<float> store = std::vector<float> (4, 0.0f);
    int size = 4;
    int readPosition = 0, writePosition = 0;
};

/** A one-pole low-pass in double precision that settles to exact silence. */
class OnePoleLowPass
{
public:
    /** Sets the cut-off (held below half the rate) and recomputes the coefficients. */
    void SetCutoff (double hz) noexcept;
    /** Sets the rate and recomputes the coefficients for the stored cut-off. */
    void SetSamplerate (double rate) noexcept;
    /** Filters one sample with the given coefficients. */
    static double Process (double x, double& state, double a, double b) noexcept
    {
        state = (x == 0.0 && state < 1e-12) ? 0.0 : a * x + b * state;
        return state;
    }

    double output = 0.0;
    double samplerate = 44100.0;
    double a = 0.0, b = 0.0;
    double cutoff = 1000.0;

private:
    void update() noexcept;
};

/** One late line of a reverb channel: input plus filtered feedback, through a modulated delay and an
    all-pass diffuser, with shelves and a one-pole low-pass in the feedback path.

    The filter designs (lowShelf, highShelf, cutoffFilter) belong to the setter thread; the channel hands
    their coefficients to the running filters at the start of a block. */
class DelayLine
{
public:
    /** The coefficients of the line's feedback filters. */
    struct FilterCoefficients
    {
        AudioLib::Biquad::Coefficients lowShelf, highShelf;
        double cutoffA = 0.0, cutoffB = 0.0;
    };

    /** A line at 44100 Hz with blocks of 4096 whose stores hold the longest delays of the limits; phaseSeed picks
        the start phases of its modulations. */
    explicit DelayLine (std::uint32_t phaseSeed, const DelayLimits& limits = {});

    /** Sets rate and largest block: diffuser, filters, feedback store, buffers and the delay's store, sized for
        the limits at the rate. */
    void SetSamplerate (int rate, int blockSize);
    /** Runs n samples of the early signal through the line (see tap for its contribution). */
    void Process (const double* input, int n) noexcept;
    /** The line's contribution to the late sum for the last block. */
    const double* GetTap() const noexcept { return tap; }
    /** Lists the line itself and what its next `samples` samples read and write: the delay, the diffuser when it
        is on, the feedback store and the first blockSize samples of the block buffers. */
    void listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const;
    /** Ends the depth ramps of the delay and of every diffuser stage at their current targets (call while no
        block is processed). */
    void SettleDepths() noexcept;
    /** Zeroes every store and filter state of the line, which settles a requested diffuser clear. */
    void ClearBuffers() noexcept;
    /** Zeroes the line and puts its positions and modulations back as a newly built and prepared line starts. */
    void Restart() noexcept;

    /** The current designs of the feedback filters (setter thread). */
    FilterCoefficients GetFilterCoefficients() const noexcept;
    /** Takes over the feedback filters' coefficients (audio thread, or while not processing). */
    void SetFilterCoefficients (const FilterCoefficients& c) noexcept;

    /** The longest line delay and depth the delay's store holds. */
    const DelayLimits limits;
    ModulatedDelay delay;
    AllpassDiffuser diffuser;
    AudioLib::Biquad lowShelf, highShelf;
    OnePoleLowPass cutoffFilter;
    std::vector<double> outputBuffer, lineBuffer;
    /** The feedback popped for the block. */
    std::vector<float> feedbackBuffer;
    FeedbackStore feedbackDelay;
    int bufferSize = 4096;
    int samplerate = 44100;

    /** Time over which the feedback gain glides to a new value. */
    static constexpr double feedbackRampSeconds = 0.02;

    /** Gain of the feedback path (any thread); the line glides to it over feedbackRampSeconds, or takes it
        at once while it has heard nothing since it was prepared or cleared. */
    std::atomic<double> feedback { 0.0 };
    std::atomic<bool> diffuserEnabled { false };
    std::atomic<bool> lowShelfEnabled { false };
    std::atomic<bool> highShelfEnabled { false };
    std::atomic<bool> cutoffEnabled { false };
    std::atomic<bool> lateStageTap { false };
    /** Set by the setter thread to have the next block clear the diffuser first. */
    std::atomic<bool> clearDiffuserRequest { false };

private:
    void takeFeedback() noexcept;

    QEL::LinearRamp<double> feedbackRamp;
    bool heardSinceClear = false;
    AudioLib::Biquad lowShelfRunning, highShelfRunning;
    double cutoffA = 0.0, cutoffB = 0.0, cutoffState = 0.0;
    const double* tap = nullptr;
};
} // namespace CloudSeed
