#include "chain/EQProcessor.h"

namespace tessaro::dsp
{
// The high band starts at the parameter's default, 5000 Hz, so a state that never touches
// "EQ - High - Freq" plays what the parameter and the drawn curve show.
EQProcessor::EQProcessor()
{
    highBand.setType (ShelfPassFilterProcessor::highBand);

    setLowFreq (100.0f);
    setLowGain (0.0f);
    setLowQ (0.707f);
    setMidFreq (1000.0f);
    setMidGain (0.0f);
    setMidQ (0.707f);
    setHighFreq (5000.0f);
    setHighGain (0.0f);
    setHighQ (0.707f);
    // Off through its ramp, which before prepare has no length: the crossfade's gain then stands at 0 with
    // the switch, so switching AdLib on fades it in (an instant switch would leave the gain at 1).
    adLib.setBypassSmooth (false);
}

void EQProcessor::setMidGain (float db)
{
    midBand.setGainFactor (db <= -100.0f ? 0.0f : std::pow (10.0f, db / 20.0f));
}

void EQProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
    adLib.prepare (spec);
    midBand.prepare (spec);
    lowBand.prepare (spec);
    highBand.prepare (spec);
}

void EQProcessor::reset()
{
    ModuleProcessorBase::reset();
    adLib.juce::QELProcessorBase::reset();
    midBand.reset();
    lowBand.reset();
    highBand.reset();
}

void EQProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                               int numChannels)
{
    lowBand.process (out, out, numSamples, numInputChannels, numChannels);
    highBand.process (out, out, numSamples, numInputChannels, numChannels);
    midBand.process (out, out, numSamples, numInputChannels, numChannels);
    adLib.process (out, out, numSamples, numInputChannels, numChannels);
}
} // namespace tessaro::dsp
