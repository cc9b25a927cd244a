#include "dsp/eq/QELRevazezaderParallelEqualizerProcessor.h"

namespace juce
{
namespace
{
    constexpr int maxChannels = 2;
    constexpr float mixWeight = 0.33f;

    /** JUCE's legacy high shelf, with the gain bounded below by 1e-15. */
    juce::IIRCoefficients highShelf (double sampleRate, double hz, double q, float gain)
    {
        return juce::IIRCoefficients::makeHighShelf (sampleRate, hz, q, std::max (gain, 1.0e-15f));
    }

    void design (juce::IIRFilter (&pair)[2], const juce::IIRCoefficients& coefficients)
    {
        for (auto& filter : pair)
            filter.setCoefficients (coefficients);
    }

    void runPair (juce::IIRFilter (&pair)[2], float* const* out, int numSamples, int numOutputChannels)
    {
        for (int channel = 0; channel < std::min (numOutputChannels, maxChannels); ++channel)
            pair[channel].processSamples (out[channel], numSamples);
    }
} // namespace

//==============================================================================
void QELRevazezaderParallelEQFocusEngine::prepare (const juce::dsp::ProcessSpec& spec)
{
    QELProcessorBase::prepare (spec);
    design (filters, highShelf (spec.sampleRate, 600.0, 0.5, gain));
}

void QELRevazezaderParallelEQFocusEngine::processImpl (const float* const*, float* const* out, int numSamples, int,
                                                       int numOutputChannels)
{
    runPair (filters, out, numSamples, numOutputChannels);
}

//==============================================================================
void QELRevazezaderParallelEQClarityEngine::prepare (const juce::dsp::ProcessSpec& spec)
{
    QELProcessorBase::prepare (spec);
    updateFilters();
}

void QELRevazezaderParallelEQClarityEngine::updateFilters()
{
    design (presence600, highShelf (sampleRate, 600.0, 0.3, gain));
    design (presence1200, highShelf (sampleRate, 1200.0, 0.3, gain));
    design (air18k, highShelf (sampleRate, 18000.0, 0.3, gain));
}

void QELRevazezaderParallelEQClarityEngine::processImpl (const float* const*, float* const* out, int numSamples, int,
                                                         int numOutputChannels)
{
    if (mode == 0)
        runPair (presenceChoice == 0 ? presence1200 : presence600, out, numSamples, numOutputChannels);
    else if (mode == 2 && airChoice == 1)
        runPair (air18k, out, numSamples, numOutputChannels);
}

//==============================================================================
void QELRevazezaderParallelEqualizerProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    QELProcessorBase::prepare (spec);
    focus.prepare (spec);
    clarity.prepare (spec);
    focusCopy.setSize (maxChannels, (int) spec.maximumBlockSize);
    clarityCopy.setSize (maxChannels, (int) spec.maximumBlockSize);
}

void QELRevazezaderParallelEqualizerProcessor::reset()
{
    QELProcessorBase::reset();
    for (auto* filters : { focus.filters, clarity.presence1200, clarity.presence600, clarity.air18k })
        for (int channel = 0; channel < 2; ++channel)
            filters[channel].reset();
}

void QELRevazezaderParallelEqualizerProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                                            int numInputChannels, int numOutputChannels)
{
    const int channels = std::min (numOutputChannels, maxChannels);
    const int chunkSize = focusCopy.getNumSamples();
    if (chunkSize <= 0 || numInputChannels <= 0)
        return;

    // A mono input feeds both output channels.
    const auto source = [&] (int channel) { return in[std::min (channel, numInputChannels - 1)]; };

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int count = std::min (chunkSize, numSamples - start);
        float* focusChunk[maxChannels] = {};
        float* clarityChunk[maxChannels] = {};

        for (int channel = 0; channel < channels; ++channel)
        {
            focusChunk[channel] = focusCopy.getWritePointer (channel);
            clarityChunk[channel] = clarityCopy.getWritePointer (channel);
            juce::FloatVectorOperations::copy (focusChunk[channel], source (channel) + start, count);
            juce::FloatVectorOperations::copy (clarityChunk[channel], source (channel) + start, count);
        }

        focus.process (focusChunk, focusChunk, count, std::min (numInputChannels, maxChannels), channels);
        clarity.process (clarityChunk, clarityChunk, count, std::min (numInputChannels, maxChannels), channels);

        for (int channel = 0; channel < channels; ++channel)
        {
            const float* x = source (channel) + start;
            float* y = out[channel] + start;
            for (int i = 0; i < count; ++i)
                y[i] = mixWeight * clarityChunk[channel][i] + (mixWeight * focusChunk[channel][i] + mixWeight * x[i]);
        }
    }
}

void QELRevazezaderParallelEqualizerProcessor::processImpl (juce::dsp::ProcessContextReplacing<float>) {}
} // namespace juce
