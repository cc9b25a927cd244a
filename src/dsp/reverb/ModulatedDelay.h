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
/** A circular delay whose read position moves with a sine: the position is recomputed every updateRate
    samples from the shared sine table and a depth that ramps to its target. Double precision. */
class ModulatedDelay
{
public:
    /** A delay over a store of length samples, delayed by sampleDelay; phaseSeed picks the start phase. */
    ModulatedDelay (int length, int sampleDelay, std::uint32_t phaseSeed = 1);

    /** Advances the modulation and recomputes the read positions and weights. */
    void Update() noexcept;
    /** Delays n samples from input into output (write before read: a delay of 0 passes the sample). */
    void Process (const double* input, int n) noexcept;

    /** Sizes the output for blocks of up to blockSize samples. */
    void SetBufferSize (int blockSize);
    /** Changes the store length; a new length clears the store and restarts the write position. */
    void SetLength (int newLength);
    /** Sets the depth ramp length in modulation updates and ends any running ramp at the current target
        (call while no block is processed). */
    void SetModRampSteps (int steps) noexcept
    {
        rampDepthOver (modAmount, modAmountTarget.load(), steps, preparedModAmount, lastTarget);
    }
    /** Ends any running depth ramp at the current target, which is also the depth Restart returns to (call
        while no block is processed). */
    void SettleDepth() noexcept { settleDepth (modAmount, modAmountTarget.load(), preparedModAmount, lastTarget); }
    /** Zeroes the store and the output; positions, phase and ramp stay. */
    void ClearBuffers() noexcept;
    /** Zeroes the store and puts the write and read positions, the phase and the depth back where a newly
        built delay prepared at the current rate starts (call while no block is processed). */
    void Restart() noexcept;

    /** Lists what the next `samples` samples read and write in the store (from the write position, and around the
        read positions as far as the modulation moves them) and the first blockSize samples of the output. */
    void listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const;

    /** Delayed samples of the last block. */
    const double* GetOutput() const noexcept { return output.data(); }
    /** The store length in samples. */
    int GetLength() const noexcept { return length; }
    /** Interpolation weight of the nearer read position. */
    double GetGainA() const noexcept { return gainA; }

    int updateRate = 8;
    std::vector<double> delayBuffer;
    std::vector<double> output;
    int writeIndex = 0, readIndexA = 0, readIndexB = 0;
    int samplesProcessed = 0;
    double modPhase = 0.0;
    double gainA = 1.0, gainB = 0.0;
    /** Delay before modulation, in samples; picked up at the next update (any thread). */
    std::atomic<int> sampleDelay { 0 };
    /** Modulation rate in cycles per sample; picked up at the next update (any thread). */
    std::atomic<double> modRate { 0.0 };
    /** Target of the modulation depth in samples; the depth ramps there from the next update (any thread). */
    std::atomic<float> modAmountTarget { 0.0f };
    /** Modulation depth in samples; one step per update (audio thread). */
    QEL::LinearRamp<float> modAmount;

private:
    void setReadIndices() noexcept;
    /** Runs a segment with no update inside it as one pass; false (nothing done) when a read would reach
        a later write of the segment or a position would wrap. */
    bool runSegment (const double* input, double* out, int count) noexcept;
    /** Runs a segment with no update inside it sample by sample. */
    void runSegmentWrapping (const double* input, double* out, int count) noexcept;

    int length = 0;
    int delayA = 0;
    /** Where a new delay starts: its phase, its delay before the first update, its depth when prepared. */
    double startPhase = 0.0;
    int startDelay = 0;
    float preparedModAmount = 0.0f;
    /** The depth target last handed to the ramp (NaN: none since the ramp was reset). */
    float lastTarget = std::numeric_limits<float>::quiet_NaN();
};
} // namespace CloudSeed
