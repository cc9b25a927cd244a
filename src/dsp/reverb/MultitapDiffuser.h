#pragma once

#include "dsp/base/WorkingSet.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>
#include <vector>

namespace CloudSeed
{
/** Early reflections: a store written backwards and read by up to 50 taps whose positions and signs
    come from a seeded random series and whose gains fall by 40 × decay dB across the span.

    Update, the setters and SetSamplerate run on the setter thread; Process on the audio thread. The
    tap tables reach the audio thread through a hand-over that lets every block see one complete
    version: the setter publishes under a spin lock, and the block takes a new version only when it
    gets the lock at once (otherwise it keeps the tables it has until the next block). */
class MultitapDiffuser
{
public:
    static constexpr int maxTaps = 50;
    static constexpr int seedCount = 100;
    static constexpr int minimumLength = 44100;

    /** One tap, seed 0, a store of 44100 samples. */
    MultitapDiffuser();

    /** Recomputes the tap positions and gains from count, lengthSamples, gain, decay and seeds, and
        publishes them. */
    void Update();
    /** Redraws the 100 seed values from seed and crossSeed. */
    void UpdateSeeds();
    /** Sizes the store so that a span of half a second fits at the rate (at least 44100 samples) and the
        output for blocks of up to blockSize samples; a new store length clears the store. */
    void SetSamplerate (int rate, int blockSize);
    /** Taps n samples from input into the output. */
    void Process (const double* input, int n) noexcept;
    /** Zeroes the store and the output; the write position stays. */
    void ClearBuffers() noexcept;
    /** Zeroes the store and the output and puts the write position back at 0, as a new diffuser starts. */
    void Restart() noexcept;

    /** Lists what the next `samples` samples read and write in the store (from the write position and from every
        published tap) and the first blockSize samples of the output (the building thread, after Update). */
    void listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const;

    /** Output of the last block. */
    const double* GetOutput() const noexcept { return tapOutput.data(); }
    /** The store length in samples. */
    int GetLength() const noexcept { return length; }
    /** The published gain of tap i (setter thread). */
    double GetTapGain (int i) const noexcept { return tapGains[(std::size_t) i]; }
    /** The published position of tap i (setter thread). */
    int GetTapPosition (int i) const noexcept { return tapPositions[(std::size_t) i]; }

    std::vector<double> seeds;
    std::int64_t seed = 0;
    double crossSeed = 0.0;
    /** Number of taps, 1 to 50. */
    int count = 1;
    /** Span of the taps in samples. */
    double lengthSamples = 1.0;
    double gain = 1.0;
    double decay = 0.0;

private:
    void takePublishedTables() noexcept;
    /** The block tap by tap over the whole block (no tap may reach a place the block writes later). */
    void processByTap (const double* input, int n) noexcept;
    /** The block sample by sample, for tap spans close to the store length. */
    void processBySample (const double* input, int n) noexcept;

    std::vector<double> buffer;
    std::vector<double> tapOutput;
    int length = minimumLength;
    int index = 0;

    juce::SpinLock publishLock;
    std::array<double, maxTaps> tapGains {};
    std::array<int, maxTaps> tapPositions {};
    int publishedCount = 0;
    bool isDirty = false;

    std::array<double, maxTaps> activeGains {};
    std::array<int, maxTaps> activePositions {};
    int activeCount = 0;
};
} // namespace CloudSeed
