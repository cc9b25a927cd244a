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
    dry.setSize (2, (int) std::max (spec.maximumBlockSize, 1u));
    fade.prepare (spec.sampleRate, fadeSeconds, active.load());
}

void EQProcessor::setBypassSmooth (bool shouldBeActive)
{
    active.store (shouldBeActive);
}

void EQProcessor::setBypass (bool shouldBeActive)
{
    fade.jumpNext();
    active.store (shouldBeActive);
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
    fade.follow (active.load());

    if (fade.isFullyOn())
        runBands (out, numSamples, numInputChannels, numChannels);
    else if (fade.isFading())
        processFading (out, numSamples, numInputChannels, numChannels);
    else if (! isFlat())
        processUnheard (out, numSamples, numInputChannels, numChannels);
}

void EQProcessor::runBands (float* const* channels, int numSamples, int numInputChannels, int numChannels)
{
    lowBand.process (channels, channels, numSamples, numInputChannels, numChannels);
    highBand.process (channels, channels, numSamples, numInputChannels, numChannels);
    midBand.process (channels, channels, numSamples, numInputChannels, numChannels);
    adLib.process (channels, channels, numSamples, numInputChannels, numChannels);
}

// In pieces the dry copy holds: out = dry + (bands - dry) * gain.
void EQProcessor::processFading (float* const* out, int numSamples, int numInputChannels, int numChannels)
{
    const int channels = std::min (numChannels, dry.getNumChannels());
    const int capacity = dry.getNumSamples();

    for (int start = 0; start < numSamples; start += capacity)
    {
        const int length = std::min (capacity, numSamples - start);
        float* piece[2] = { out[0] + start, channels > 1 ? out[1] + start : nullptr };
        for (int ch = 0; ch < channels; ++ch)
            dry.copyFrom (ch, 0, piece[ch], length);

        runBands (piece, length, numInputChannels, channels);

        for (int i = 0; i < length; ++i)
        {
            const float gain = fade.nextGain();
            for (int ch = 0; ch < channels; ++ch)
            {
                const float x = dry.getSample (ch, i);
                piece[ch][i] = x + (piece[ch][i] - x) * gain;
            }
        }
    }
}

// Switched off: the bands run on a copy, so they are settled when the module fades in again.
void EQProcessor::processUnheard (float* const* out, int numSamples, int numInputChannels, int numChannels)
{
    const int channels = std::min (numChannels, dry.getNumChannels());
    const int capacity = dry.getNumSamples();

    for (int start = 0; start < numSamples; start += capacity)
    {
        const int length = std::min (capacity, numSamples - start);
        for (int ch = 0; ch < channels; ++ch)
            dry.copyFrom (ch, 0, out[ch] + start, length);
        runBands (dry.getArrayOfWritePointers(), length, numInputChannels, channels);
    }
}

// Flat bands and no AdLib pass the signal as it is, whatever state their filters hold.
bool EQProcessor::isFlat() const noexcept
{
    return lowBand.isFlat() && highBand.isFlat() && midBand.isFlat() && adLib.isVoiceOut();
}
} // namespace tessaro::dsp
