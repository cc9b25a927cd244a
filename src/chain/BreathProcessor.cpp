#include "chain/BreathProcessor.h"

namespace tessaro::dsp
{
BreathProcessor::BreathProcessor()
{
    gate.setAttack (10.0f);
    gate.setRelease (10.0f);
    gate.setSlowReleaseEnabled (false);
    gate.setWindow (5.0f);
    gate.ratio.store (0.0f);
    gate.rangeDb.store (-100.0f);
    gate.setThresh (-100.0f);
}

void BreathProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    gate.setSampleRate (spec.sampleRate);
}

void BreathProcessor::reset()
{
    juce::QELProcessorBase::reset();
    gate.initRuntime();
    gate.holdCounter = 0;
    gate.lastGainDb.store (0.0f, std::memory_order_relaxed);
    blockMinimum.store (0.0f);
}

void BreathProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numChannels)
{
    float minimum = 0.0f;

    for (int i = 0; i < numSamples; ++i)
    {
        if (numChannels == 2)
        {
            gate.processSingleSampleStereo (out[0][i], out[1][i]);
        }
        else
        {
            float copy = out[0][i];
            gate.processSingleSampleStereo (out[0][i], copy);
        }
        minimum = std::min (minimum, gate.lastGainDb.load (std::memory_order_relaxed));
    }

    blockMinimum.store (minimum);
}
} // namespace tessaro::dsp
