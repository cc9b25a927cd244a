#include "chain/SpaceProcessor.h"

namespace tessaro::dsp
{
namespace
{
    constexpr float blendRampSeconds = 0.05f;
    constexpr float pongAngle = 1.5707964f;
} // namespace

//==============================================================================
DelayProcessor::DelayProcessor()
{
    superDelay.setBypass (false);
    superDelay.noteIndex.store (noteIndexFor (note.load()));
    superDelay.freeTimeSeconds.store (time.load() / 1000.0f);
    superDelay.feedback.store (0.5f);
    superDelay.dryGain.store (0.0f);
    superDelay.wetGain.store (1.0f);
    superDelay.spread.store (0.0f);
    superDelay.lofi.mode.store (0);
}

void DelayProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    superDelay.prepare (spec);
}

void DelayProcessor::reset()
{
    juce::QELProcessorBase::reset();
    superDelay.reset();
}

void DelayProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    if (bpm != 0.0)
        superDelay.setTempo (bpm);
}

void DelayProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                  int numOutputChannels)
{
    superDelay.lfoDepth = modulation.load();
    superDelay.process (out, out, numSamples, numInputChannels, numOutputChannels);
}

void DelayProcessor::applyTiming()
{
    if (sync.load())
    {
        superDelay.noteIndex.store (noteIndexFor (note.load()));
    }
    else
    {
        superDelay.noteIndex.store (0);
        superDelay.freeTimeSeconds.store (time.load() / 1000.0f);
    }
}

void DelayProcessor::setSync (bool shouldSync)
{
    sync.store (shouldSync);
    applyTiming();
}

void DelayProcessor::setTime (float ms)
{
    time.store (ms);
    if (! sync.load())
        applyTiming();
}

void DelayProcessor::setNote (int choice)
{
    note.store (choice);
    if (sync.load())
        applyTiming();
}

void DelayProcessor::setFeedback (float percent)
{
    superDelay.feedback.store (percent / 100.0f);
}

void DelayProcessor::setType (int type)
{
    superDelay.setBypassSmooth (type != 0);
    if (type < 1 || type > 4)
        return;

    const bool pong = type == 4;
    superDelay.requestedType.store (pong ? juce::QELSuperDelayProcessor::pingPong
                                         : juce::QELSuperDelayProcessor::straight);
    superDelay.rotationAngle.store (pong ? pongAngle : 0.0f);
    superDelay.lofiOn.store (type == 1 || type == 2);
    if (type == 1)
        superDelay.lofi.mode.store (0);
    else if (type == 2)
        superDelay.lofi.mode.store (2);
    superDelay.clipOn.store (type == 2);
    superDelay.spread.store (0.0f);
    modulation.store (0.0f);
}

//==============================================================================
BlendedStageBase::BlendedStageBase()
{
    blend.rampSeconds = blendRampSeconds;
    blend.setMix (0.0f);
}

void BlendedStageBase::prepareBlend (const juce::dsp::ProcessSpec& spec)
{
    blend.rampSeconds = blendRampSeconds;
    blend.prepare (spec);
    dry.setSize ((int) spec.numChannels, (int) spec.maximumBlockSize);
}

void BlendedStageBase::processBlended (juce::QELProcessorBase& effect, float* const* out, int numSamples,
                                       int numInputChannels, int numOutputChannels)
{
    // Grows the dry copy only if a block is larger than prepared.
    if (dry.getNumChannels() < numOutputChannels || dry.getNumSamples() < numSamples)
        dry.setSize (juce::jmax (numOutputChannels, dry.getNumChannels()),
                     juce::jmax (numSamples, dry.getNumSamples()));

    for (int channel = 0; channel < numOutputChannels; ++channel)
        dry.copyFrom (channel, 0, out[channel], numSamples);

    effect.process (out, out, numSamples, numInputChannels, numOutputChannels);
    blend.process (dry.getArrayOfReadPointers(), out, numSamples, numOutputChannels, numOutputChannels);
}

//==============================================================================
void DelayWrapperProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    delay.prepare (spec);
    prepareBlend (spec);
}

void DelayWrapperProcessor::reset()
{
    juce::QELProcessorBase::reset();
    delay.reset();
    blend.juce::QELProcessorBase::reset();
}

void DelayWrapperProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    delay.setTempo (bpm);
}

void DelayWrapperProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                         int numOutputChannels)
{
    processBlended (delay, out, numSamples, numInputChannels, numOutputChannels);
}

//==============================================================================
ReverbWrapperProcessor::ReverbWrapperProcessor()
{
    reverb.setBypass (false);
}

void ReverbWrapperProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    reverb.prepare (spec);
    prepareBlend (spec);
}

void ReverbWrapperProcessor::reset()
{
    juce::QELProcessorBase::reset();
    reverb.reset();
    blend.juce::QELProcessorBase::reset();
}

void ReverbWrapperProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    reverb.setTempo (bpm);
}

void ReverbWrapperProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                          int numOutputChannels)
{
    processBlended (reverb, out, numSamples, numInputChannels, numOutputChannels);
}

//==============================================================================
SpaceProcessor::SpaceProcessor() = default;

void SpaceProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    ModuleProcessorBase::prepare (spec);
    delayStage.prepare (spec);
    reverbStage.prepare (spec);

    // Prepared while switched off: as after the off fade, nothing waits to be heard. The engine just prepared
    // would otherwise meet the running signal with a step when the module is switched on; a fresh one
    // takes over then with its input rising.
    if (isSteadyOff())
        clearBuffers();
}

void SpaceProcessor::reset()
{
    ModuleProcessorBase::reset();

    delayStage.juce::QELProcessorBase::reset();
    delayStage.delay.juce::QELProcessorBase::reset();
    delayStage.blend.juce::QELProcessorBase::reset();
    delayStage.delay.superDelay.reset();
    delayStage.delay.superDelay.clearBuffers();

    reverbStage.reset();
}

void SpaceProcessor::setTempo (double bpm)
{
    ModuleProcessorBase::setTempo (bpm);
    delayStage.setTempo (bpm);
    reverbStage.setTempo (bpm);
}

void SpaceProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                  int numChannels)
{
    // A fault inside a stage becomes one silent block, not noise that its lines keep for ever.
    delayStage.process (out, out, numSamples, numInputChannels, numChannels);
    if (! keepIfFinite (out, numSamples, numChannels))
        delayStage.delay.superDelay.clearBuffers();

    reverbStage.process (out, out, numSamples, numInputChannels, numChannels);
    if (! keepIfFinite (out, numSamples, numChannels))
        reverbStage.reverb.discardTail();
}

void SpaceProcessor::clearBuffers()
{
    delayStage.delay.superDelay.clearBuffers();
    reverbStage.reverb.discardTail();
}

bool SpaceProcessor::keepIfFinite (float* const* out, int numSamples, int numChannels) noexcept
{
    // Any NaN or infinity turns the sum into NaN; finite samples leave it at exactly 0.
    float probe = 0.0f;
    for (int channel = 0; channel < numChannels; ++channel)
        for (int i = 0; i < numSamples; ++i)
            probe += out[channel][i] * 0.0f;

    if (probe == 0.0f)
        return true;

    for (int channel = 0; channel < numChannels; ++channel)
        juce::FloatVectorOperations::clear (out[channel], numSamples);
    return false;
}

void SpaceProcessor::setDelaySync (bool sync)
{
    delayStage.delay.setSync (sync);
}

void SpaceProcessor::setDelayTime (float ms)
{
    delayStage.delay.setTime (ms);
}

void SpaceProcessor::setDelayNote (int choice)
{
    delayStage.delay.setNote (choice);
}

void SpaceProcessor::setDelayAmount (float percent)
{
    delayMix.store (percent / 100.0f);
    delayStage.blend.setMix (percent / 100.0f);
}

void SpaceProcessor::setDelayFeedback (float percent)
{
    delayStage.delay.setFeedback (percent);
}

void SpaceProcessor::setDelayType (int type)
{
    delayType.store (type);
    delayStage.delay.setType (type);
}

void SpaceProcessor::setReverbAmount (float percent)
{
    reverbMix.store (percent / 100.0f);
    reverbStage.blend.setMix (percent / 100.0f);
}

void SpaceProcessor::setReverbType (int type)
{
    reverbType.store (type);
    reverbStage.reverb.setReverbType (type);
}

void SpaceProcessor::setReverbTime (float percent)
{
    reverbStage.reverb.setReverbTime (percent);
}
} // namespace tessaro::dsp
