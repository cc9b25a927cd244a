#include "dsp/stereo/MonoStereoProcessor.h"

#include <cmath>

namespace QEL
{
namespace
{
    constexpr float defaultSplitFrequency = 60.0f;
    constexpr int maxChannels = 2;
} // namespace

MonoStereoProcessor::MonoStereoProcessor()
{
    lowScratch.setSize (maxChannels, samplesPerBlock);
    designSplitFilters();
}

void MonoStereoProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    QELProcessorBase::prepare (spec);
    stereoizer.prepare (spec);
    narrower.prepare (spec);
    lowScratch.setSize (maxChannels, (int) spec.maximumBlockSize);
    designSplitFilters();
}

void MonoStereoProcessor::reset()
{
    QELProcessorBase::reset();
    stereoizer.reset();
    for (auto& filter : lowPass)
        filter.reset();
}

void MonoStereoProcessor::setWidth (float width, float)
{
    if (std::isnan (width))
        return;

    // Mono, narrowed and unchanged are the narrower at amounts 1, between and 0: its ramp carries a move
    // from one to another, and at rest the cheaper mono sum or nothing at all does the same.
    if (width == 0.0f)
    {
        narrower.setTargetAmount (1.0f);
        mode.store (mono);
    }
    else if (width == 50.0f)
    {
        narrower.setTargetAmount (0.0f);
        mode.store (unchanged);
    }
    else if (width > 50.0f)
    {
        narrower.setTargetAmount (0.0f);
        stereoizer.setAmount ((width - 50.0f) * 100.0f / 50.0f);
        mode.store (widen);
    }
    else
    {
        narrower.setTargetAmount (1.0f - width / 50.0f);
        mode.store (narrow);
    }
}

void MonoStereoProcessor::setSplit (bool shouldUseSplitFrequency, float newSplitFrequency)
{
    useSplitFrequency = shouldUseSplitFrequency;
    splitFrequency = newSplitFrequency;
    designSplitFilters();
}

void MonoStereoProcessor::designSplitFilters()
{
    const double hz = useSplitFrequency ? (double) splitFrequency : (double) defaultSplitFrequency;
    const auto coefficients = juce::IIRCoefficients::makeLowPass (sampleRate, hz, 0.707);
    for (auto& filter : lowPass)
        filter.setCoefficients (coefficients);
}

void MonoStereoProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                       int numOutputChannels)
{
    const int current = mode.load();

    if (current != widen && narrower.isMoving())
    {
        narrower.process (in, out, numSamples, numInputChannels, numOutputChannels);
        return;
    }

    switch (current)
    {
        case narrow: narrower.process (in, out, numSamples, numInputChannels, numOutputChannels); break;
        case mono: processMono (out, numSamples, numInputChannels, numOutputChannels); break;
        case widen: processWiden (out, numSamples, numInputChannels, numOutputChannels); break;
        default: break;
    }
}

void MonoStereoProcessor::processMono (float* const* out, int numSamples, int numInputChannels,
                                       int numOutputChannels) noexcept
{
    const int summed = std::min (numInputChannels, numOutputChannels);
    for (int i = 0; i < numSamples; ++i)
    {
        float sum = 0.0f;
        for (int channel = 0; channel < summed; ++channel)
            sum += out[channel][i];
        for (int channel = 0; channel < numOutputChannels; ++channel)
            out[channel][i] = 0.5f * sum;
    }
}

void MonoStereoProcessor::processWiden (float* const* out, int numSamples, int numInputChannels,
                                        int numOutputChannels) noexcept
{
    const int channels = std::min (numOutputChannels, maxChannels);
    const int chunkSize = std::max (1, lowScratch.getNumSamples());

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int count = std::min (chunkSize, numSamples - start);
        float* chunk[maxChannels] = {};

        for (int channel = 0; channel < channels; ++channel)
        {
            chunk[channel] = out[channel] + start;
            float* low = lowScratch.getWritePointer (channel);
            juce::FloatVectorOperations::copy (low, chunk[channel], count);
            lowPass[channel].processSamples (low, count);
            juce::FloatVectorOperations::subtract (chunk[channel], low, count);
        }

        stereoizer.process (chunk, chunk, count, std::min (numInputChannels, maxChannels), channels);

        for (int channel = 0; channel < channels; ++channel)
            juce::FloatVectorOperations::add (chunk[channel], lowScratch.getReadPointer (channel), count);
    }
}
} // namespace QEL
