#include "chain/SpaceProcessor.h"

namespace tessaro::dsp
{
SpaceProcessor::SpaceProcessor() = default;

void SpaceProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
}

void SpaceProcessor::reset()
{
    ModuleProcessorBase::reset();
}

void SpaceProcessor::setTempo (double bpm)
{
    ModuleProcessorBase::setTempo (bpm);
}

void SpaceProcessor::processImpl (const float* const*, float* const*, int, int, int) {}

void SpaceProcessor::applyDelayTiming()
{
    if (delaySync.load())
    {
        noteIndex.store (noteIndexFor (delayNote.load()));
    }
    else
    {
        noteIndex.store (0);
        freeTimeSeconds.store (delayTimeMs.load() / 1000.0f);
    }
}

void SpaceProcessor::setDelaySync (bool sync)
{
    delaySync.store (sync);
    applyDelayTiming();
}

void SpaceProcessor::setDelayTime (float ms)
{
    delayTimeMs.store (ms);
    if (! delaySync.load())
        applyDelayTiming();
}

void SpaceProcessor::setDelayNote (int choice)
{
    delayNote.store (choice);
    if (delaySync.load())
        applyDelayTiming();
}

void SpaceProcessor::setDelayAmount (float percent)
{
    delayMix.store (percent / 100.0f);
}

void SpaceProcessor::setDelayFeedback (float percent)
{
    feedback.store (percent / 100.0f);
}

void SpaceProcessor::setDelayType (int type)
{
    delayType.store (type);
}

void SpaceProcessor::setReverbAmount (float percent)
{
    reverbMix.store (percent / 100.0f);
}

void SpaceProcessor::setReverbType (int type)
{
    reverbType.store (type);
}

void SpaceProcessor::setReverbTime (float percent)
{
    reverbTime.store (percent);
}
} // namespace tessaro::dsp
