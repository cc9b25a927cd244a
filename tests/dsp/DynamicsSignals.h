#pragma once

#include <cmath>
#include <vector>

/** Test signals and meter readings for the dynamics blocks. */
namespace dynamics_signals
{
inline float dbToLevel (double decibels)
{
    return (float) std::pow (10.0, decibels / 20.0);
}

inline double levelToDb (double level)
{
    return 20.0 * std::log10 (level);
}

inline std::vector<float> sine (double hz, double rate, float amplitude, int numSamples)
{
    std::vector<float> samples ((size_t) numSamples);
    for (int i = 0; i < numSamples; ++i)
        samples[(size_t) i] = amplitude * (float) std::sin (2.0 * M_PI * hz * (double) i / rate);
    return samples;
}

inline double peak (const float* samples, int numSamples)
{
    double result = 0.0;
    for (int i = 0; i < numSamples; ++i)
        result = std::max (result, (double) std::abs (samples[i]));
    return result;
}

inline double peak (const std::vector<float>& samples, int from = 0)
{
    return peak (samples.data() + from, (int) samples.size() - from);
}

inline double rms (const std::vector<float>& samples, int from = 0)
{
    double sum = 0.0;
    for (size_t i = (size_t) from; i < samples.size(); ++i)
        sum += (double) samples[i] * (double) samples[i];
    return std::sqrt (sum / (double) (samples.size() - (size_t) from));
}

/** True when every sample is finite and either 0 or a normal number. */
inline bool finiteAndNormal (const float* samples, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
        if (! std::isfinite (samples[i]) || std::fpclassify (samples[i]) == FP_SUBNORMAL)
            return false;
    return true;
}
} // namespace dynamics_signals
