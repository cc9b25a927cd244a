#include "chain/EnhanceProcessor.h"

namespace tessaro::dsp
{
EnhanceProcessor::EnhanceProcessor()
{
    setDeEss (0.0f);
    setDeNoise (0.0f);
    setAir (0.0f);
}

void EnhanceProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
}

void EnhanceProcessor::reset()
{
    ModuleProcessorBase::reset();
}

void EnhanceProcessor::processImpl (const float* const*, float* const*, int, int, int) {}

void EnhanceProcessor::setAir (float percent)
{
    airTarget.store (percent / 100.0f);
}

void EnhanceProcessor::setDeEss (float percent)
{
    deEssAmount.store (juce::jlimit (0.0f, 100.0f, percent) / 100.0f);
}

void EnhanceProcessor::setDeNoise (float percent)
{
    deNoiseOn.store (percent > 0.0f);
    deNoiseThresholdDb.store (deNoiseThresholdDbFor (percent));
}
} // namespace tessaro::dsp
