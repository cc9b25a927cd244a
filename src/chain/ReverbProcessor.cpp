#include "chain/ReverbProcessor.h"

namespace tessaro::dsp
{
ReverbProcessor::ReverbProcessor() = default;

ReverbProcessor::~ReverbProcessor()
{
    delete pending.exchange (nullptr);
}

// The four modes arrive with the reverb library; until then no type builds an engine.
std::unique_ptr<QEL::SkyReverbProcessorBase> ReverbProcessor::createEngine (int)
{
    return nullptr;
}

void ReverbProcessor::configure (QEL::SkyReverbProcessorBase& engine, int type) const
{
    engine.setTone (type == brightRoom ? 100.0f : 50.0f);
    engine.setPreDelay (0.0f);
    engine.setMassive (type == outerSpace);
    engine.setMod (50.0f);
    applyRunningSettings (engine);
}

void ReverbProcessor::applyRunningSettings (QEL::SkyReverbProcessorBase& engine) const
{
    engine.setUseAltMix (true);
    engine.setWetHighPassFilterCutoff (20.0f);
    engine.setWetLowPassFilterCutoff (20000.0f);
    engine.setMonoLowEnd (false);
    engine.setDecay (decay.load());
    engine.setMix (100.0f);
}

void ReverbProcessor::setReverbType (int type)
{
    setBypassSmooth (type != off);
    if (type == off)
        return;

    auto record = std::make_unique<PendingEngine>();
    record->type = type;
    record->engine = createEngine (type);
    if (record->engine == nullptr)
        return;

    record->sampleRate = preparedRate.load();
    record->blockSize = preparedBlock.load();
    configure (*record->engine, type);
    record->engine->prepareToPlay (record->sampleRate, record->blockSize);
    record->engine->setTempo (tempo.load());

    // Only the record this exchange returns is ours to free: the audio thread never saw it.
    delete pending.exchange (record.release(), std::memory_order_acq_rel);
}

void ReverbProcessor::setReverbTime (float percent)
{
    decay.store (percent);
    decayChanged.store (true);
}

void ReverbProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    preparedRate.store (spec.sampleRate);
    preparedBlock.store ((int) spec.maximumBlockSize);

    const int channels = std::max (2, (int) spec.numChannels);
    const int samples = std::max (1, (int) spec.maximumBlockSize);
    incomingWet.setSize (channels, samples);
    outgoingWet.setSize (channels, samples);

    if (current != nullptr)
        current->prepareToPlay (spec.sampleRate, (int) spec.maximumBlockSize);
}

void ReverbProcessor::reset()
{
    juce::QELProcessorBase::reset();
}

void ReverbProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    if (current != nullptr)
        current->setTempo (bpm);
}

void ReverbProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                   int numChannels)
{
    if (decayChanged.exchange (false) && current != nullptr)
        current->setDecay (decay.load());

    if (std::unique_ptr<PendingEngine> incoming { pending.exchange (nullptr, std::memory_order_acq_rel) })
    {
        // The type already running is parked, never taken over: the running engine keeps its tail.
        if (incoming->type != currentType || current == nullptr)
        {
            takeOver (std::move (incoming), in, out, numSamples, numInputChannels, numChannels);
            return;
        }
    }

    if (current != nullptr)
        current->process (out, out, numSamples, numInputChannels, numChannels);
}

// out = outgoing (1 - i/N) + incoming (i/N) over this one block; without a running engine the
// outgoing side is the unprocessed input.
void ReverbProcessor::takeOver (std::unique_ptr<PendingEngine> incoming, const float* const*, float* const* out,
                                int numSamples, int numInputChannels, int numChannels)
{
    auto& engine = *incoming->engine;
    if (incoming->sampleRate != sampleRate || incoming->blockSize < samplesPerBlock)
        engine.prepareToPlay (sampleRate, samplesPerBlock);

    const bool fits = numSamples <= incomingWet.getNumSamples() && numChannels <= incomingWet.getNumChannels();

    if (fits)
    {
        auto* a = incomingWet.getArrayOfWritePointers();
        auto* b = outgoingWet.getArrayOfWritePointers();
        for (int ch = 0; ch < numChannels; ++ch)
        {
            juce::FloatVectorOperations::copy (a[ch], out[ch], numSamples);
            juce::FloatVectorOperations::copy (b[ch], out[ch], numSamples);
        }

        engine.process (a, a, numSamples, numInputChannels, numChannels);
        if (current != nullptr)
            current->process (b, b, numSamples, numInputChannels, numChannels);

        const float step = 1.0f / (float) numSamples;
        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < numSamples; ++i)
            {
                const float w = (float) i * step;
                out[ch][i] = b[ch][i] * (1.0f - w) + a[ch][i] * w;
            }
    }
    else
    {
        engine.process (out, out, numSamples, numInputChannels, numChannels);
    }

    current = std::move (incoming->engine);
    currentType = incoming->type;
    applyRunningSettings (*current);
}
} // namespace tessaro::dsp
