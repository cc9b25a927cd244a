#pragma once

#include "dsp/eq/StereoFilterProcessor_V3.h"

#include <atomic>

namespace tessaro::dsp
{
/** The EQ module's parametric mid band: a peak filter with frequency, gain factor and Q. */
class FilterProcessor : public juce::QELProcessorBase
{
public:
    FilterProcessor();

    /** Base preparation, then the band. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry path and the band's state. */
    void reset() override;
    /** Runs the band in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Sets the centre frequency in Hz. */
    void setFrequency (float hz);
    /** Sets the linear gain factor (0 = full notch depth). */
    void setGainFactor (float factor);
    /** Sets the Q. */
    void setQ (float q);

    /** True when the band's gain stands at a factor of 1, not ramping and not about to (audio thread): a
        peak then passes the signal as it is. */
    bool isFlat() const noexcept
    {
        return gainFactor.load() == 1.0f && band.smoothGain.getCurrentValue() == 1.0f &&
               ! band.smoothGain.isSmoothing();
    }

    float getFrequency() const noexcept { return frequency.load(); }
    float getGainFactor() const noexcept { return gainFactor.load(); }
    float getQ() const noexcept { return quality.load(); }

    QEL::StereoFilterProcessor_V3 band;

private:
    void applyRecord();

    std::atomic<double> preparedRate { 44100.0 };
    std::atomic<float> frequency { 20.0f };
    std::atomic<float> gainFactor { 1.0f };
    std::atomic<float> quality { 0.707f };
};
} // namespace tessaro::dsp
