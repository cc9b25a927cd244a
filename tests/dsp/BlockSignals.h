#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <functional>
#include <vector>

namespace blocksignals
{
/** A sine of the given frequency and amplitude. */
inline std::vector<float> sine (double frequency, double sampleRate, int numSamples, float amplitude = 0.5f)
{
    std::vector<float> samples ((size_t) numSamples);
    for (int i = 0; i < numSamples; ++i)
        samples[(size_t) i] =
            amplitude * (float) std::sin (juce::MathConstants<double>::twoPi * frequency * i / sampleRate);
    return samples;
}

/** Uniform white noise in [-amplitude, amplitude), seeded. */
inline std::vector<float> noise (int numSamples, float amplitude = 0.5f, juce::int64 seed = 42)
{
    juce::Random random (seed);
    std::vector<float> samples ((size_t) numSamples);
    for (auto& s : samples)
        s = amplitude * (random.nextFloat() * 2.0f - 1.0f);
    return samples;
}

/** RMS of samples [from, end). */
inline double rms (const std::vector<float>& samples, size_t from = 0)
{
    double sum = 0.0;
    for (size_t i = from; i < samples.size(); ++i)
        sum += (double) samples[i] * samples[i];
    return std::sqrt (sum / (double) (samples.size() - from));
}

/** Level of out against in in dB, both measured from sample `from` on. */
inline double gainDb (const std::vector<float>& in, const std::vector<float>& out, size_t from)
{
    return 20.0 * std::log10 (rms (out, from) / rms (in, from));
}

/** Runs a mono signal through a block-processing function in blocks of blockSize. */
inline std::vector<float> processInBlocks (std::vector<float> signal, int blockSize,
                                           const std::function<void (float* const*, int)>& processBlock)
{
    for (size_t start = 0; start < signal.size(); start += (size_t) blockSize)
    {
        float* channels[] = { signal.data() + start };
        processBlock (channels, (int) std::min ((size_t) blockSize, signal.size() - start));
    }
    return signal;
}

/** Gain in dB that a steady sine of `frequency` gets through a block-processing function, measured after
    half a second of settling. */
inline double sineGainDb (double frequency, double sampleRate,
                          const std::function<void (float* const*, int)>& processBlock)
{
    const auto in = sine (frequency, sampleRate, (int) sampleRate);
    const auto out = processInBlocks (in, 256, processBlock);
    return gainDb (in, out, in.size() / 2);
}
} // namespace blocksignals
