#include "render/SignalLevels.h"

#include <cmath>

namespace tessaro::render
{
namespace
{
    float toDecibels (double gain)
    {
        return gain > 0.0 ? (float) (20.0 * std::log10 (gain)) : -std::numeric_limits<float>::infinity();
    }
} // namespace

SignalLevels SignalLevels::measure (const juce::AudioBuffer<float>& buffer)
{
    const int channels = buffer.getNumChannels();
    const int samples = buffer.getNumSamples();
    if (channels == 0 || samples == 0)
        return {};

    SignalLevels levels;
    double peak = 0.0, sumOfSquares = 0.0;
    for (int ch = 0; ch < channels; ++ch)
    {
        const float* data = buffer.getReadPointer (ch);
        for (int i = 0; i < samples; ++i)
        {
            const double x = data[i];
            if (! std::isfinite (x))
            {
                ++levels.nonFiniteSamples;
                continue;
            }
            peak = juce::jmax (peak, std::abs (x));
            sumOfSquares += x * x;
        }
    }

    levels.peakDb = toDecibels (peak);
    levels.rmsDb = toDecibels (std::sqrt (sumOfSquares / ((double) channels * samples)));
    return levels;
}

juce::String SignalLevels::format (float decibels)
{
    if (std::isnan (decibels))
        return "nan dBFS";
    if (std::isinf (decibels))
        return decibels < 0.0f ? "-inf dBFS" : "inf dBFS";
    return juce::String (decibels, 2) + " dBFS";
}
} // namespace tessaro::render
