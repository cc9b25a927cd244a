#include "chain/DelayProcessor.h"

namespace tessaro::dsp
{
DelayProcessor::DelayProcessor() = default;

void DelayProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
}

// The echo engine arrives with the delay library; until then the stage leaves the block as it is.
void DelayProcessor::processImpl (const float* const*, float* const*, int, int, int) {}

void DelayProcessor::applyTiming()
{
    if (sync.load())
    {
        noteIndex.store (noteIndexFor (note.load()));
    }
    else
    {
        noteIndex.store (0);
        freeTimeSeconds.store (timeMs.load() / 1000.0f);
    }
}

void DelayProcessor::setSync (bool shouldSync)
{
    sync.store (shouldSync);
    applyTiming();
}

void DelayProcessor::setTime (float ms)
{
    timeMs.store (ms);
    if (! sync.load())
        applyTiming();
}

void DelayProcessor::setNote (int choice)
{
    note.store (choice);
    if (sync.load())
        applyTiming();
}

void DelayProcessor::setType (int newType)
{
    type.store (newType);
}
} // namespace tessaro::dsp
