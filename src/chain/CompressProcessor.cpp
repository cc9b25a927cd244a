#include "chain/CompressProcessor.h"

namespace tessaro::dsp
{
CompressProcessor::CompressProcessor()
{
    // Every gain and switch of the module moves along a raised cosine: a step of a control while the
    // voice plays bends the level without a corner.
    smoothCrossfade = true;
    for (auto* stage : { &inputGain, &outputGain, &fast.outputGain, &slowCompressor.makeupGain })
    {
        stage->smoothShape = true;
        stage->smoothCrossfade = true;
        stage->rampSeconds = gainRampSeconds;
    }
    // The input drives both compressors: it glides in decibels and slowly enough that a large cut never
    // outruns their release (a dip in the output) and a large boost barely outruns their attack.
    inputGain.rampInDecibels = true;
    inputGain.rampSeconds = inputRampSeconds;
    fast.smoothCrossfade = true;
    slowCompressor.smoothCrossfade = true;

    slowCompressor.mode = 3;
    slowCompressor.initCompressor();

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
    inputGain.prepare (spec);
    outputGain.prepare (spec);
    fast.prepare (spec);
    slowCompressor.prepare (spec);
    inputStepSamples = (int) std::ceil (inputStepSeconds * spec.sampleRate);
    inputStepSamplesLeft = 0;
    slowHeard = slow.load();
}

void CompressProcessor::reset()
{
    ModuleProcessorBase::reset();
    inputGain.reset();
    outputGain.reset();
    fast.reset();
    slowCompressor.reset();
    inputStepSamplesLeft = 0;
}

void CompressProcessor::inputSourceChanged() noexcept
{
    inputStepSamplesLeft = inputStepSamples;
}

void CompressProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                     int numChannels)
{
    inputGain.process (out, out, numSamples, numInputChannels, numChannels);

    // The compressors run in series: while "Slow" crossfades, the fast one hears the slow one's output blend
    // into the plain input, a level that moves on its own.
    if (const bool slowNow = slow.load(); slowNow != slowHeard)
    {
        slowHeard = slowNow;
        inputSourceChanged();
    }
    fast.compressor.levelGliding =
        inputStepSamplesLeft > 0 || inputGain.decibelRamp.isSmoothing() || inputGain.gainRamp.isSmoothing();
    inputStepSamplesLeft = std::max (0, inputStepSamplesLeft - numSamples);
    slowCompressor.process (out, out, numSamples, numInputChannels, numChannels);
    fast.process (out, out, numSamples, numInputChannels, numChannels);
    outputGain.process (out, out, numSamples, numInputChannels, numChannels);
}

void CompressProcessor::setInputGain (float db)
{
    inputGainDb.store (db);
    inputGain.setGainDb (db);
}

void CompressProcessor::setCompression (float percent)
{
    compression.store (percent);
    fast.compressor.setSlay (percent);
    fast.outputGain.setGainDb (fastTrimDbFor (percent));
    slowCompressor.setAmount (percent);
    slowCompressor.makeupGain.setGainDb (slowMakeUpDbFor (percent));
}

void CompressProcessor::setOutputGain (float db)
{
    outputGainDb.store (db);
    outputGain.setGainDb (db);
}

void CompressProcessor::setSlow (bool shouldBeSlow)
{
    slow.store (shouldBeSlow);
    fast.setBypassSmooth (! shouldBeSlow);
    slowCompressor.setBypassSmooth (shouldBeSlow);
}

void CompressProcessor::setAuto (bool shouldBeAutomatic)
{
    automatic.store (shouldBeAutomatic);
    fast.autoGain.store (shouldBeAutomatic);
    fast.outputGain.setBypassSmooth (! shouldBeAutomatic);
    slowCompressor.autoMakeup.store (shouldBeAutomatic);
    outputGain.setBypassSmooth (! shouldBeAutomatic);
}

// Reads only values the audio thread publishes whole; never reaches into a compressor object.
float CompressProcessor::getMeterGain() const noexcept
{
    if (slow.load())
    {
        const double g = slowCompressor.getGainReductionDb();
        return -g <= -100.0 ? 0.0f : (float) std::pow (10.0, -g / 20.0);
    }

    if (! fast.compressor.lastInputNonZero.load())
        return 1.0f;

    const double x = fast.compressor.gain.load() + (1.0 - compression.load() / 100.0);
    return x > 0.0 && 20.0 * std::log10 (x) > -100.0 ? (float) x : 0.0f;
}
} // namespace tessaro::dsp
