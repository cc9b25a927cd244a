#pragma once

#include "dsp/reverb/DelayLimits.h"
#include "dsp/reverb/ModulatedAllpass.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace CloudSeed
{
/** A chain of up to eight modulated all-pass stages whose delays, depths and rates are spread by a
    seeded random series. */
class AllpassDiffuser
{
public:
    static constexpr int maxStages = 8;

    /** Eight stages at 44100 Hz with blocks of 512, seed 23456 and one stage in use, their stores sized for the
        diffusion delay and depth of the limits; phaseSeed picks the stages' start phases. */
    explicit AllpassDiffuser (std::uint32_t phaseSeed = 1, const DelayLimits& limits = {});

    /** Draws the 24 seed values from seed and crossSeed and sets the stage delays, rates and depths from them. */
    void UpdateSeeds();
    /** Sets the rate and block size: stage rates, outputs, the depth ramp length (0.1 s in updates) and the
        stores, sized for the limits at the rate. */
    void SetSamplerate (int rate, int blockSize);
    /** Runs n samples through stages 0 to stages − 1. */
    void Process (const double* input, int n) noexcept;

    /** Base stage delay in samples; each stage takes 0.1 to 1 times it. */
    void SetDelay (int delaySamples) noexcept;
    /** Base modulation rate in Hz. */
    void SetModRate (double hz) noexcept;
    /** Base modulation depth in samples; each stage ramps to 0.85 to 1.15 times it. */
    void SetModAmount (double samples) noexcept;
    /** The all-pass coefficient of every stage. */
    void SetFeedback (double g) noexcept;
    /** Linear interpolation of every stage's read position. */
    void SetInterpolationEnabled (bool enabled) noexcept;
    /** Ends every stage's depth ramp at its current target (call while no block is processed). */
    void SettleDepths() noexcept;
    /** Zeroes every stage's store and output. */
    void ClearBuffers() noexcept;
    /** Puts every stage back as a newly built and prepared one starts (see ModulatedAllpass::Restart). */
    void Restart() noexcept;

    /** Lists what the next `samples` samples of the stages in use read and write (see ModulatedAllpass). */
    void listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const;

    /** Output of the last stage the last block ran through. */
    const double* GetOutput() const noexcept { return filters[(std::size_t) processedStages - 1]->GetOutput(); }

    int samplerate = 44100;
    /** The longest diffusion delay and depth the stages' stores hold (from the next SetSamplerate). */
    DelayLimits limits;
    std::array<std::unique_ptr<ModulatedAllpass>, maxStages> filters;
    int delay = 0;
    /** Base modulation rate in Hz. */
    double modRate = 0.0;
    /** Base modulation depth in samples. */
    double modAmount = 0.0;
    std::array<double, 3 * maxStages> seedValues {};
    std::int64_t seed = 23456;
    double crossSeed = 0.0;
    /** Stages in use, 1 to 8 (any thread). */
    std::atomic<int> stages { 1 };

private:
    int lastStage() const noexcept;

    int processedStages = 1;
};
} // namespace CloudSeed
