#include "chain/FilterProcessor.h"

namespace tessaro::dsp
{
FilterProcessor::FilterProcessor() = default;

void FilterProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
}

void FilterProcessor::reset()
{
    juce::QELProcessorBase::reset();
}

void FilterProcessor::processImpl (const float* const*, float* const*, int, int, int) {}

void FilterProcessor::setFrequency (float hz)
{
    frequency.store (hz);
}

void FilterProcessor::setGainFactor (float factor)
{
    gainFactor.store (factor);
}

void FilterProcessor::setQ (float q)
{
    quality.store (q);
}
} // namespace tessaro::dsp
