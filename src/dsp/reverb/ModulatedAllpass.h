#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/base/WorkingSet.h"
#include "dsp/reverb/ModulationStep.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <vector>

namespace CloudSeed
{
/** A Schroeder all-pass stage (−g + z^−D) / (1 − g z^−D) over a store sized for the longest delay its owner
    can ask for, whose delay D moves with a sine recomputed every 8 samples. Double precision. */
class ModulatedAllpass
{
public:
    /** Samples between two modulation updates. */
    static constexpr int updateInterval = 8;
    /** The longest delay a stage built without one holds: 100 ms and its deepest modulation at 44100 Hz. */
    static constexpr int defaultLongestDelay = 4540;

    /** A stage with a delay of 100 samples and no modulation, whose store holds delays up to longestDelay
        samples; phaseSeed picks the start phase. */
    explicit ModulatedAllpass (std::uint32_t phaseSeed = 1, int longestDelay = defaultLongestDelay);

    /** Processes n samples into output. */
    void ProcessWithMod (const double* input, int n) noexcept;
    /** Sizes the output for blocks of up to blockSize samples. */
    void SetBufferSize (int blockSize);
    /** Sizes the store for read delays up to longestDelay samples (never below the start delay); a new length
        zeroes the store and puts the position back at its start (call while no block is processed). */
    void SetLongestDelay (int longestDelay);
    /** Sets the depth ramp length in modulation updates and ends any running ramp at the current target
        (call while no block is processed). */
    void SetModRampSteps (int steps) noexcept
    {
        rampDepthOver (modAmount, modAmountTarget.load(), steps, preparedModAmount, lastTarget);
    }
    /** Ends any running depth ramp at the current target, which is also the depth Restart returns to (call
        while no block is processed). */
    void SettleDepth() noexcept { settleDepth (modAmount, modAmountTarget.load(), preparedModAmount, lastTarget); }
    /** Zeroes the store and the output; position, phase and ramp stay. */
    void ClearBuffers() noexcept;
    /** Zeroes the store and puts the position, the phase, the read taps and the depth back where a newly
        built stage prepared at the current rate starts (call while no block is processed). */
    void Restart() noexcept;

    /** Lists the stage itself, what the next `samples` samples read and write in its store (from the position, and
        around the read positions as far as the modulation moves them) and the first blockSize samples of the
        output. */
    void listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const;

    /** Output of the last block. */
    const double* GetOutput() const noexcept { return output.data(); }

    /** Store length in samples: a read delay is held at bufferLength - 2 at most. */
    int bufferLength = defaultLongestDelay + 2;
    std::vector<double> delayBuffer;
    std::vector<double> output;
    int bufferSize = 512;
    int index = bufferLength - 1;
    int samplesProcessed = 0;
    double modPhase = 0.0;
    int delayA = 0, delayB = 0;
    double gainA = 1.0, gainB = 0.0;
    /** Delay before modulation, in samples; picked up at the next update (any thread). */
    std::atomic<int> sampleDelay { startDelay };
    /** The all-pass coefficient g; picked up at the next block (any thread). */
    std::atomic<double> feedback { 0.0 };
    /** Modulation rate in cycles per sample; picked up at the next update (any thread). */
    std::atomic<double> modRate { 0.0 };
    /** Linear interpolation between the two read positions; picked up at the next block (any thread). */
    std::atomic<bool> interpolationEnabled { true };
    /** Target of the modulation depth in samples; the depth ramps there from the next update (any thread). */
    std::atomic<float> modAmountTarget { 0.0f };
    /** Modulation depth in samples; one step per update (audio thread). */
    QEL::LinearRamp<float> modAmount;

private:
    void update (int delaySamples, float depth) noexcept;

    /** The delay a new stage reads at until its first update. */
    static constexpr int startDelay = 100;
    /** Where a new stage starts: its phase, and its depth when prepared. */
    double startPhase = 0.0;
    float preparedModAmount = 0.0f;
    /** Runs n samples with the given coefficient, with or without interpolation. */
    void processBlock (const double* input, int n, double g, bool interpolate) noexcept;
    /** The block in segments that end where a modulation update is due. */
    template <bool interpolate>
    [[gnu::always_inline]] inline void processSegments (const double* input, int n, double g) noexcept;
    /** A block of whole segments, each starting with an update, in which no write wraps. */
    template <bool interpolate>
    [[gnu::always_inline]] inline void runAligned (const double* input, double* out, int n, double g) noexcept;
    /** Advances the phase and the depth ramp by one update and recomputes the read taps. */
    [[gnu::always_inline]] inline void advanceModulation() noexcept;
    /** Runs a segment with no update inside it as one pass; false (nothing done) when a read would see
        the segment's own writes or a position would wrap. */
    template <bool interpolate>
    [[gnu::always_inline]] inline bool runSegment (const double* input, double* out, int count, double g) noexcept;
    /** Runs a segment with no update inside it sample by sample. */
    void runSegmentWrapping (const double* input, double* out, int count, double g, bool interpolate) noexcept;

    /** The depth target last handed to the ramp (NaN: none since the ramp was reset). */
    float lastTarget = std::numeric_limits<float>::quiet_NaN();
};
} // namespace CloudSeed
