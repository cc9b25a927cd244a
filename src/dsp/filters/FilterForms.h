#pragma once

#include <juce_dsp/juce_dsp.h>

#include <algorithm>

/** JUCE's biquad design forms, returned as plain arrays so owners can write them into existing coefficient
    objects without allocating. The shelf and peak forms bound the gain factor below by 1e-15, as later JUCE
    versions do (JUCE 7.0.5 divides by zero for a gain of 0). */
namespace QEL::FilterForms
{
using Forms = juce::dsp::IIR::ArrayCoefficients<float>;

/** The smallest gain factor the shelf and peak forms accept. */
inline constexpr float minGainFactor = 1.0e-15f;

/** Second-order peak: A = sqrt(max(gain, 1e-15)), omega from max(frequency, 2 Hz). */
inline std::array<float, 6> peak (double sampleRate, float frequency, float q, float gain)
{
    return Forms::makePeakFilter (sampleRate, frequency, q, std::max (gain, minGainFactor));
}

/** Second-order low shelf with the gain bound. */
inline std::array<float, 6> lowShelf (double sampleRate, float frequency, float q, float gain)
{
    return Forms::makeLowShelf (sampleRate, frequency, q, std::max (gain, minGainFactor));
}

/** Second-order high shelf with the gain bound. */
inline std::array<float, 6> highShelf (double sampleRate, float frequency, float q, float gain)
{
    return Forms::makeHighShelf (sampleRate, frequency, q, std::max (gain, minGainFactor));
}
} // namespace QEL::FilterForms
