#include "render/Resampler.h"

#include <cmath>

namespace tessaro::render
{
double Resampler::kernel (double distance, double cutoff, double radius) noexcept
{
    if (std::abs (distance) >= radius)
        return 0.0;

    const double pi = juce::MathConstants<double>::pi;
    const double x = pi * cutoff * distance;
    const double sinc = x == 0.0 ? 1.0 : std::sin (x) / x;
    const double u = distance / radius;
    const double window = 0.42 + 0.5 * std::cos (pi * u) + 0.08 * std::cos (2.0 * pi * u);
    return cutoff * sinc * window;
}

float Resampler::valueAt (const float* input, int numInput, double position, double cutoff, double radius) noexcept
{
    // Input beyond either end counts as silence.
    const int first = juce::jmax (0, (int) std::ceil (position - radius));
    const int last = juce::jmin (numInput - 1, (int) std::floor (position + radius));

    double sum = 0.0;
    for (int k = first; k <= last; ++k)
        sum += input[k] * kernel (position - k, cutoff, radius);

    return (float) sum;
}

juce::AudioBuffer<float> Resampler::resample (const juce::AudioBuffer<float>& input, double fromRate, double toRate)
{
    if (fromRate == toRate)
        return input;

    const double step = fromRate / toRate;                     // input samples per output sample
    const double cutoff = juce::jmin (1.0, toRate / fromRate); // of the input's Nyquist frequency
    const double radius = zeroCrossings / cutoff;              // kernel half-width in input samples
    const int numInput = input.getNumSamples();
    const int numOutput = (int) std::floor ((double) numInput * toRate / fromRate + 1.0e-9);

    juce::AudioBuffer<float> output (input.getNumChannels(), numOutput);
    for (int ch = 0; ch < input.getNumChannels(); ++ch)
    {
        const float* source = input.getReadPointer (ch);
        float* destination = output.getWritePointer (ch);
        for (int m = 0; m < numOutput; ++m)
            destination[m] = valueAt (source, numInput, m * step, cutoff, radius);
    }

    return output;
}
} // namespace tessaro::render
