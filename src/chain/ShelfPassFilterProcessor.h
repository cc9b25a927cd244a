#pragma once

#include "dsp/base/QELProcessorBase.h"

#include <atomic>

namespace tessaro::dsp
{
/** An EQ band that is a shelf for boosts and mild cuts and fades into a pass filter as its gain goes from
    -9 dB down to -15 dB: the low band pairs a low shelf with a high-pass, the high band a high shelf with a
    low-pass.

    The band settings may be written from any thread; the audio thread redesigns its own filters at the
    start of the next block, so no coefficient set is ever replaced while a filter reads it. */
class ShelfPassFilterProcessor : public juce::QELProcessorBase
{
public:
    /** Which band the filter pair is. */
    enum Type
    {
        lowBand = 0,
        highBand = 1
    };

    ShelfPassFilterProcessor();

    /** Base preparation, filter states cleared and the filters designed for the new rate. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the filter states. */
    void reset() override;
    /** Runs shelf and pass filter in parallel and blends them by the band gain. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Sets low or high band; takes effect with the next design. */
    void setType (int newType);
    /** Sets the corner of both filters in Hz. */
    void setFrequency (float hz);
    /** Sets the Q of both filters. */
    void setQ (float q);
    /** Sets the band gain in dB: the shelf gain and the shelf/pass blend. */
    void setGainDb (float gainDb);

    /** Asks the audio thread to design the filters again from the current settings. */
    void updateFilters() noexcept { filtersDirty.store (true, std::memory_order_release); }

    /** The band's response designed at 96 kHz in double precision, for drawing: the shelf and pass filters
        summed with the audio's blend weight (a fourth-order set while both sound). Safe on any thread. */
    juce::dsp::IIR::Coefficients<double>::Ptr computeMixedCoefficients() const;

    /** The shelf/pass blend weight for a gain in dB: 0 at -9 dB and above, 1 at -15 dB and below. */
    static float blendWeight (float gainDb) noexcept;

    int getType() const noexcept { return type.load(); }
    float getFrequency() const noexcept { return frequency.load(); }
    float getQ() const noexcept { return quality.load(); }
    float getGainDb() const noexcept { return gainDb.load(); }
    float getGainFactor() const noexcept { return gainFactor.load(); }

    static constexpr float blendStart = -9.0f;
    static constexpr float blendEnd = -15.0f;

private:
    void designFilters();

    std::atomic<int> type { lowBand };
    std::atomic<float> frequency { 1000.0f };
    std::atomic<float> quality { 0.707f };
    std::atomic<float> gainDb { 0.0f };
    std::atomic<float> gainFactor { 1.0f };
    std::atomic<bool> filtersDirty { true };

    float appliedWeight = 0.0f;
    juce::dsp::IIR::Filter<float> shelf[2], pass[2];
};
} // namespace tessaro::dsp
