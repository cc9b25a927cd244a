#include "chain/SpaceProcessor.h"

namespace tessaro::dsp
{
SpaceProcessor::SpaceProcessor() = default;

void SpaceProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
    reverbStage.prepare (spec);
    delayStage.prepare (spec);
}

void SpaceProcessor::reset()
{
    ModuleProcessorBase::reset();
    delayStage.juce::QELProcessorBase::reset();
    delayStage.delay.juce::QELProcessorBase::reset();
    delayStage.blend.juce::QELProcessorBase::reset();
    reverbStage.juce::QELProcessorBase::reset();
    reverbStage.reverb.juce::QELProcessorBase::reset();
    reverbStage.blend.juce::QELProcessorBase::reset();
}

void SpaceProcessor::setTempo (double bpm)
{
    ModuleProcessorBase::setTempo (bpm);
    delayStage.setTempo (bpm);
    delayStage.delay.setTempo (bpm);
    reverbStage.setTempo (bpm);
    reverbStage.reverb.setTempo (bpm);
}

void SpaceProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                  int numChannels)
{
    delayStage.process (out, out, numSamples, numInputChannels, numChannels);
    reverbStage.process (out, out, numSamples, numInputChannels, numChannels);
}
} // namespace tessaro::dsp
