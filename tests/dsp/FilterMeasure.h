#pragma once

#include "dsp/base/QELProcessorBase.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

/** Meters for the filter tests: sine gains through a per-sample filter and responses of coefficient sets. */
namespace FilterMeasure
{
inline constexpr double pi = 3.141592653589793;

inline double toDb (double gain)
{
    return 20.0 * std::log10 (gain);
}

/** Gain in dB of a sine at hz through step (double -> double), measured as the RMS ratio over the last
    half of a 0.25 s run, after the filter has settled. */
template <typename Step> double sineGainDb (Step&& step, double hz, double sampleRate)
{
    const int total = (int) (0.25 * sampleRate);
    const int settle = total / 2;
    double inSquares = 0.0, outSquares = 0.0;

    for (int i = 0; i < total; ++i)
    {
        const double x = std::sin (2.0 * pi * hz * i / sampleRate);
        const double y = step (x);
        if (i >= settle)
        {
            inSquares += x * x;
            outSquares += y * y;
        }
    }
    return 10.0 * std::log10 (outSquares / inSquares);
}

/** Gain in dB of a mono sine at hz through a block's entry, in blocks of 512 samples, measured as in
    sineGainDb. The block must be prepared at sampleRate. */
inline double blockSineGainDb (juce::QELProcessorBase& block, double hz, double sampleRate)
{
    const int total = (int) (0.25 * sampleRate);
    std::vector<float> buffer ((size_t) total);
    for (int i = 0; i < total; ++i)
        buffer[(size_t) i] = (float) std::sin (2.0 * pi * hz * i / sampleRate);
    const std::vector<float> input = buffer;

    for (int start = 0; start < total; start += 512)
    {
        float* channel = buffer.data() + start;
        block.process (&channel, &channel, std::min (512, total - start), 1, 1);
    }

    double inSquares = 0.0, outSquares = 0.0;
    for (int i = total / 2; i < total; ++i)
    {
        inSquares += (double) input[(size_t) i] * input[(size_t) i];
        outSquares += (double) buffer[(size_t) i] * buffer[(size_t) i];
    }
    return 10.0 * std::log10 (outSquares / inSquares);
}

/** Magnitude in dB at hz of a normalised section stored as -a1, -a2, b0, b1, b2 (a0 = 1). */
inline double shelfResponseDb (const float (&c)[5], double hz, double sampleRate)
{
    const std::complex<double> z1 = std::polar (1.0, -2.0 * pi * hz / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    const auto num = (double) c[2] + (double) c[3] * z1 + (double) c[4] * z2;
    const auto den = 1.0 - (double) c[0] * z1 - (double) c[1] * z2;
    return toDb (std::abs (num / den));
}

/** White noise in -1..1 from a fixed seed. */
inline std::vector<float> noise (int numSamples, unsigned seed = 1)
{
    std::vector<float> out ((size_t) numSamples);
    unsigned state = seed;
    for (auto& x : out)
    {
        state = state * 1664525u + 1013904223u;
        x = (float) ((double) state / 4294967296.0 * 2.0 - 1.0);
    }
    return out;
}
} // namespace FilterMeasure
