#include "plugin/RoutingFigures.h"

#include "chain/BreathProcessor.h"
#include "chain/CompressProcessor.h"
#include "chain/DeEssProcessor.h"
#include "chain/EnhanceProcessor.h"
#include "chain/ReverbProcessor.h"

#include <cmath>
#include <functional>
#include <vector>

namespace tessaro::test
{
namespace
{
    constexpr int length = 44100; // the bundle's render of the voice
    constexpr int blockSize = 512;

    void runInBlocks (juce::QELProcessorBase& block, juce::AudioBuffer<float>& buffer)
    {
        block.prepare ({ RoutingFigures::rate, (juce::uint32) blockSize, 2 });
        for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
        {
            const int n = juce::jmin (blockSize, buffer.getNumSamples() - start);
            float* channels[2] = { buffer.getWritePointer (0, start), buffer.getWritePointer (1, start) };
            block.process (channels, channels, n, 2, 2);
        }
    }

    juce::AudioBuffer<float> afterDefaultCompress()
    {
        auto buffer = RoutingFigures::voice (length);
        tessaro::dsp::CompressProcessor compress;
        runInBlocks (compress, buffer);
        return buffer;
    }

    juce::AudioBuffer<float> afterDefaultEnhance()
    {
        auto buffer = afterDefaultCompress();
        tessaro::dsp::EnhanceProcessor enhance;
        runInBlocks (enhance, buffer);
        return buffer;
    }

    /** The tone's level in an in-process render, over the samples the bundle's second half shows. */
    double toneDbAsRendered (const juce::AudioBuffer<float>& buffer, double hz, int latency)
    {
        return RoutingFigures::toneDb (buffer, hz, length / 2 - latency, length - latency);
    }

    double moves (double hz, int latency, const juce::AudioBuffer<float>& reference,
                  const juce::AudioBuffer<float>& changed)
    {
        return toneDbAsRendered (changed, hz, latency) - toneDbAsRendered (reference, hz, latency);
    }

    juce::AudioBuffer<float> shaped (juce::AudioBuffer<float> buffer, const std::function<double (double)>& curve)
    {
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, (float) curve (buffer.getSample (ch, i)));
        return buffer;
    }

    double tape (double x)
    {
        return std::atan (x);
    }

    double drivenTape (double x)
    {
        return 0.1 * std::atan (10.0 * x); // +20 dB in, -20 dB out
    }
} // namespace

juce::AudioBuffer<float> RoutingFigures::voice (int numSamples)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int i = 0; i < numSamples; ++i)
    {
        const double t = i / rate;
        const bool burst = (i % 13230) >= 8820;
        const double s = 0.12 * std::sin (juce::MathConstants<double>::twoPi * 150.0 * t) +
                         0.12 * std::sin (juce::MathConstants<double>::twoPi * 1000.0 * t) +
                         0.05 * std::sin (juce::MathConstants<double>::twoPi * 13000.0 * t) +
                         (burst ? 0.2 * std::sin (juce::MathConstants<double>::twoPi * 7500.0 * t) : 0.0);
        buffer.setSample (0, i, (float) s);
        buffer.setSample (1, i, (float) (0.9 * s));
    }
    return buffer;
}

juce::AudioBuffer<float> RoutingFigures::click (int numSamples)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    buffer.clear();
    buffer.setSample (0, 1000, 0.5f);
    buffer.setSample (1, 1000, 0.5f);
    return buffer;
}

double RoutingFigures::toneDb (const juce::AudioBuffer<float>& buffer, double hz, int start, int end)
{
    double sine = 0.0, cosine = 0.0;
    for (int n = start; n < end; ++n)
    {
        const double phase = juce::MathConstants<double>::twoPi * hz * n / rate;
        sine += buffer.getSample (0, n) * std::sin (phase);
        cosine += buffer.getSample (0, n) * std::cos (phase);
    }
    return juce::Decibels::gainToDecibels (2.0 * std::sqrt (sine * sine + cosine * cosine) / (end - start), -300.0);
}

double RoutingFigures::rmsDb (const juce::AudioBuffer<float>& buffer, int start, int end)
{
    double sum = 0.0;
    for (int n = start; n < end; ++n)
        sum += (double) buffer.getSample (0, n) * buffer.getSample (0, n);
    return 10.0 * std::log10 (sum / (end - start) + 1.0e-30);
}

double RoutingFigures::decaySeconds (const juce::AudioBuffer<float>& buffer, int start)
{
    std::vector<double> remaining ((size_t) (buffer.getNumSamples() - start) + 1, 0.0);
    for (int n = buffer.getNumSamples() - 1; n >= start; --n)
        remaining[(size_t) (n - start)] =
            remaining[(size_t) (n - start) + 1] + (double) buffer.getSample (0, n) * buffer.getSample (0, n);

    // Least-squares line through the energy curve in dB where it lies between -5 and -25 dB.
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0, count = 0.0;
    for (size_t i = 0; i + 1 < remaining.size(); ++i)
    {
        const double db = 10.0 * std::log10 (remaining[i] / remaining[0] + 1.0e-30);
        if (db > -5.0 || db < -25.0)
            continue;
        const double t = (double) i / rate;
        sx += t;
        sy += db;
        sxx += t * t;
        sxy += t * db;
        count += 1.0;
    }
    const double slope = (count * sxy - sx * sy) / (count * sxx - sx * sx);
    return -60.0 / slope;
}

double RoutingFigures::compressionMovesToneBy (double hz, int latency)
{
    auto reference = voice (length), changed = voice (length);
    tessaro::dsp::CompressProcessor atDefaults, atHalf;
    atHalf.setCompression (50.0f);
    runInBlocks (atDefaults, reference);
    runInBlocks (atHalf, changed);
    tessaro::dsp::EnhanceProcessor enhanceReference, enhanceChanged;
    runInBlocks (enhanceReference, reference);
    runInBlocks (enhanceChanged, changed);
    return moves (hz, latency, reference, changed);
}

double RoutingFigures::deEssMovesToneBy (double hz, int latency)
{
    auto reference = afterDefaultCompress(), changed = reference;
    tessaro::dsp::DeEssProcessor resting, full;
    full.setAmount (1.0f);
    runInBlocks (resting, reference);
    runInBlocks (full, changed);
    return moves (hz, latency, reference, changed);
}

double RoutingFigures::deNoiseMovesToneBy (double hz, int latency)
{
    const auto reference = afterDefaultEnhance();
    auto changed = afterDefaultCompress();
    tessaro::dsp::BreathProcessor gate;
    gate.setThreshold (-10.0f);
    runInBlocks (gate, changed);
    tessaro::dsp::DeEssProcessor resting;
    runInBlocks (resting, changed);
    return moves (hz, latency, reference, changed);
}

double RoutingFigures::airMovesToneBy (double hz, int latency)
{
    auto reference = afterDefaultCompress(), changed = reference;
    tessaro::dsp::EnhanceProcessor atDefaults, airy;
    airy.setAir (100.0f);
    runInBlocks (atDefaults, reference);
    runInBlocks (airy, changed);
    return moves (hz, latency, reference, changed);
}

double RoutingFigures::driveMovesToneBy (double hz, int latency)
{
    const auto input = afterDefaultEnhance();
    return moves (hz, latency, shaped (input, tape), shaped (input, drivenTape));
}

double RoutingFigures::quarterMixMovesToneBy (double hz, int latency)
{
    const auto input = afterDefaultEnhance();
    return moves (hz, latency, shaped (input, drivenTape),
                  shaped (input, [] (double x) { return 0.75 * x + 0.25 * drivenTape (x); }));
}

double RoutingFigures::roomDecaySeconds (double percent, int numSamples)
{
    auto buffer = click (numSamples);
    tessaro::dsp::ReverbProcessor room;
    room.setReverbType (1);
    room.setReverbTime ((float) percent);
    runInBlocks (room, buffer);
    return decaySeconds (buffer, 1000 + 64);
}

double RoutingFigures::multiplyWetLevel (double percent)
{
    return 2.0 * (std::pow (10.0, percent / 100.0) - 1.0) / 9.0;
}
} // namespace tessaro::test
