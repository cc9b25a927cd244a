#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

namespace spacetest
{
/** A sine of the given frequency and amplitude. */
inline std::vector<float> sine (double frequency, double sampleRate, std::size_t length, double amplitude = 0.5)
{
    std::vector<float> signal (length);

    for (std::size_t i = 0; i < length; ++i)
        signal[i] = (float) (amplitude * std::sin (2.0 * std::numbers::pi * frequency * (double) i / sampleRate));

    return signal;
}

/** A buzz like a voiced vowel: a pulse train at pitch through one resonance (a formant) at formant Hz. */
inline std::vector<float> formantBuzz (double pitch, double formant, double sampleRate, std::size_t length)
{
    std::vector<float> signal (length);
    const auto period = (std::size_t) std::lround (sampleRate / pitch);
    const double radius = 0.98;
    const double feedback = 2.0 * radius * std::cos (2.0 * std::numbers::pi * formant / sampleRate);
    double y1 = 0.0, y2 = 0.0;

    for (std::size_t i = 0; i < length; ++i)
    {
        const double y = (i % period == 0 ? 1.0 : 0.0) + feedback * y1 - radius * radius * y2;
        y2 = y1;
        y1 = y;
        signal[i] = (float) (0.05 * y);
    }

    return signal;
}

/** Deterministic white noise in [-amplitude, amplitude). */
inline std::vector<float> noise (std::size_t length, float amplitude = 0.5f, std::uint32_t seed = 1)
{
    std::vector<float> signal (length);

    for (auto& s : signal)
    {
        seed = seed * 1664525u + 1013904223u;
        s = amplitude * ((float) (seed >> 8) / 8388608.0f - 1.0f);
    }

    return signal;
}

/** RMS of signal[from, from + count). */
inline double rms (const float* signal, std::size_t count)
{
    double sum = 0.0;

    for (std::size_t i = 0; i < count; ++i)
        sum += (double) signal[i] * signal[i];

    return count == 0 ? 0.0 : std::sqrt (sum / (double) count);
}

/** Largest absolute value of signal[0, count). */
inline float peak (const float* signal, std::size_t count)
{
    float largest = 0.0f;

    for (std::size_t i = 0; i < count; ++i)
        largest = std::max (largest, std::abs (signal[i]));

    return largest;
}

/** Index of the first sample whose magnitude exceeds threshold, or -1. */
inline long firstAbove (const std::vector<float>& signal, float threshold)
{
    for (std::size_t i = 0; i < signal.size(); ++i)
        if (std::abs (signal[i]) > threshold)
            return (long) i;

    return -1;
}

/** Energy of signal[from, from + count) between lo and hi Hz (Hann-windowed, probed every 10 Hz). */
inline double bandEnergy (const float* signal, std::size_t count, double sampleRate, double lo, double hi)
{
    double energy = 0.0;

    for (double f = lo; f <= hi; f += 10.0)
    {
        std::complex<double> sum;

        for (std::size_t i = 0; i < count; ++i)
        {
            const double w = 0.5 - 0.5 * std::cos (2.0 * std::numbers::pi * (double) i / (double) count);
            sum += w * signal[i] * std::polar (1.0, -2.0 * std::numbers::pi * f * (double) i / sampleRate);
        }

        energy += std::norm (sum);
    }

    return energy;
}

/** Frequency of the strongest component between lo and hi Hz, probed every step Hz. */
inline double dominantFrequency (const float* signal, std::size_t count, double sampleRate, double lo, double hi,
                                 double step = 1.0)
{
    double best = lo, bestEnergy = -1.0;

    for (double f = lo; f <= hi; f += step)
    {
        std::complex<double> sum;

        for (std::size_t i = 0; i < count; ++i)
        {
            const double w = 0.5 - 0.5 * std::cos (2.0 * std::numbers::pi * (double) i / (double) count);
            sum += w * signal[i] * std::polar (1.0, -2.0 * std::numbers::pi * f * (double) i / sampleRate);
        }

        if (std::norm (sum) > bestEnergy)
        {
            bestEnergy = std::norm (sum);
            best = f;
        }
    }

    return best;
}
} // namespace spacetest
