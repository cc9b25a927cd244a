#pragma once

#include <cstddef>
#include <vector>

namespace juce::frut::dsp
{
/** A double-precision direct-form biquad with one history per channel and a wet/dry pair.

    Per sample: y = a0·x + a1·x1 + a2·x2 - b1·y1 - b2·y2, then y = c0·y + d0·x when d0 is not 0. The five
    per-channel histories are x1, x2, y1, y2 and the last output. */
class BiquadFilter
{
public:
    /** Builds a pass-through filter with cleared histories for the given number of channels. */
    explicit BiquadFilter (int numberOfChannels = 1);

    /** Sets the coefficients; histories are kept. */
    void setCoefficients (double a0, double a1, double a2, double b1, double b2, double c0 = 1.0,
                          double d0 = 0.0) noexcept;

    /** Changes the channel count and clears every channel's history (allocates when it grows). */
    void setNumberOfChannels (int numberOfChannels);
    /** The number of channels with a history. */
    int getNumberOfChannels() const noexcept { return numChannels; }

    /** Zeroes each channel's entry in the five histories, growing a history that is too short. */
    void resetDelays();

    /** Filters one sample of a channel (0 to getNumberOfChannels() - 1). */
    double processSample (int channel, double x) noexcept;

    /** The last output of a channel. */
    double getLastOutput (int channel) const noexcept { return lastOutputs[(std::size_t) channel]; }

    double a0 = 1.0, a1 = 0.0, a2 = 0.0, b1 = 0.0, b2 = 0.0, c0 = 1.0, d0 = 0.0;

private:
    int numChannels = 0;
    std::vector<double> inputs1, inputs2, outputs1, outputs2, lastOutputs;
};
} // namespace juce::frut::dsp
