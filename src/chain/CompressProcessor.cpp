#include "chain/CompressProcessor.h"

namespace tessaro::dsp
{
CompressProcessor::CompressProcessor()
{
    setInputGain (0.0f);
    setCompression (0.0f);
    setOutputGain (0.0f);
    setSlow (false);
    setAuto (true);
}

float CompressProcessor::slowRatioFor (float percent) noexcept
{
    return 9.0f * std::pow (percent / 100.0f, 1.5f) + 1.0f;
}

float CompressProcessor::slowMakeUpDbFor (float percent) noexcept
{
    return 10.0f * std::pow (percent / 100.0f, 1.5f);
}

void CompressProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
}

void CompressProcessor::reset()
{
    ModuleProcessorBase::reset();
}

void CompressProcessor::processImpl (const float* const*, float* const*, int, int, int) {}

void CompressProcessor::setInputGain (float db)
{
    inputGainDb.store (db);
}

void CompressProcessor::setCompression (float percent)
{
    compression.store (percent);
}

void CompressProcessor::setOutputGain (float db)
{
    outputGainDb.store (db);
}

void CompressProcessor::setSlow (bool shouldBeSlow)
{
    slow.store (shouldBeSlow);
}

void CompressProcessor::setAuto (bool shouldBeAutomatic)
{
    automatic.store (shouldBeAutomatic);
}

float CompressProcessor::getMeterGain() const noexcept
{
    return meterGain.load();
}
} // namespace tessaro::dsp
