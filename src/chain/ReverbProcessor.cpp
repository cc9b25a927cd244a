#include "chain/ReverbProcessor.h"

#include "dsp/reverb/SkyChoraleReverbProcessor.h"
#include "dsp/reverb/SkyCloudReverbProcessor.h"
#include "dsp/reverb/SkyPlateReverbProcessor.h"
#include "dsp/reverb/SkyRoomReverbProcessor.h"

#include <new>

namespace tessaro::dsp
{
namespace
{
    constexpr float sharedModulation = 50.0f;
    constexpr float wetHighPassHz = 20.0f;
    constexpr float wetLowPassHz = 20000.0f;
} // namespace

ReverbProcessor::ReverbProcessor() = default;

ReverbProcessor::~ReverbProcessor()
{
    delete pending.exchange (nullptr);
    current.reset();
}

//==============================================================================
// Each mode applies its own recipe (early and late levels, tone, diffusion, massive) when it is built.
std::unique_ptr<ReverbProcessor::Engine> ReverbProcessor::makeEngine (int type)
{
    switch (type)
    {
        case 1: return std::make_unique<QEL::SkyRoomReverbProcessor>();
        case 2: return std::make_unique<QEL::SkyPlateReverbProcessor>();
        case 3: return std::make_unique<QEL::SkyChoraleReverbProcessor>();
        case 4: return std::make_unique<QEL::SkyCloudReverbProcessor>();
        default: return nullptr;
    }
}

void ReverbProcessor::applySharedSettings (Engine& engine, float decayPercent)
{
    engine.setUseAltMix (true);
    engine.setWetHighPassFilterCutoff (wetHighPassHz);
    engine.setWetLowPassFilterCutoff (wetLowPassHz);
    engine.setMonoLowEnd (false);
    engine.setDecay (decayPercent);
    engine.setMix (engineMix);
}

//==============================================================================
void ReverbProcessor::setReverbType (int type)
{
    setBypassSmooth (type != 0);
    if (type == 0)
        return;

    // The rate the engine is built for; a prepare that runs meanwhile is caught up with at the take-over.
    const double rateAtRequest = latestSampleRate.load();
    const int blockSizeAtRequest = latestBlockSize.load();

    std::unique_ptr<Engine> engine;
    try
    {
        engine = buildEngine (type);
        if (engine == nullptr)
            return;

        engine->setMod (sharedModulation);
        applySharedSettings (*engine, decay.load());

        auto record = std::make_unique<PendingEngine>();
        record->sampleRate = rateAtRequest;
        record->blockSize = blockSizeAtRequest;
        engine->prepareToPlay (record->sampleRate, record->blockSize);
        engine->setTempo (tempo.load());
        record->type = type;
        record->engine = std::move (engine);
        publish (std::move (record));
    }
    catch (const std::bad_alloc&)
    {
        // The engine parked before was asked for by an older request: it is no longer wanted either.
        withdrawPending();
        throw;
    }
}

void ReverbProcessor::publish (std::unique_ptr<PendingEngine> record)
{
    // What comes back was never taken by the audio thread, so this thread owns it now.
    std::unique_ptr<PendingEngine> replaced { pending.exchange (record.release(), std::memory_order_acq_rel) };
}

void ReverbProcessor::withdrawPending()
{
    std::unique_ptr<PendingEngine> withdrawn { pending.exchange (nullptr, std::memory_order_acq_rel) };
}

void ReverbProcessor::setReverbTime (float percent)
{
    decay.store (percent);
}

//==============================================================================
void ReverbProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    latestSampleRate.store (spec.sampleRate);
    latestBlockSize.store ((int) spec.maximumBlockSize);
    ensureScratch ((int) spec.numChannels, (int) spec.maximumBlockSize);

    if (current != nullptr)
        current->prepareToPlay (spec.sampleRate, (int) spec.maximumBlockSize);

    // The parked engine is reached only through the slot, so a setter can neither free nor replace it meanwhile.
    std::unique_ptr<PendingEngine> parked { pending.exchange (nullptr, std::memory_order_acq_rel) };
    if (parked == nullptr)
        return;

    parked->engine->prepareToPlay (spec.sampleRate, (int) spec.maximumBlockSize);
    parked->sampleRate = spec.sampleRate;
    parked->blockSize = (int) spec.maximumBlockSize;

    // A setter that published a newer engine meanwhile wins; the older one is dropped here.
    PendingEngine* expected = nullptr;
    if (pending.compare_exchange_strong (expected, parked.get(), std::memory_order_acq_rel))
        parked.release();
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

//==============================================================================
void ReverbProcessor::applyPendingDecay()
{
    const float latest = decay.load();
    if (latest == appliedDecay)
        return;

    appliedDecay = latest;
    if (current != nullptr)
        current->setDecay (latest);
}

void ReverbProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                   int numOutputChannels)
{
    applyPendingDecay();

    if (pending.load (std::memory_order_acquire) != nullptr)
    {
        std::unique_ptr<PendingEngine> record { pending.exchange (nullptr, std::memory_order_acq_rel) };

        // An engine of the type already running is not wanted: the running one keeps its tail.
        if (record != nullptr && ! (current != nullptr && record->type == currentType))
        {
            takeOver (std::move (record), out, numSamples, numInputChannels, numOutputChannels);
            return;
        }
    }

    if (current != nullptr)
        current->process (out, out, numSamples, numInputChannels, numOutputChannels);
}

void ReverbProcessor::takeOver (std::unique_ptr<PendingEngine> record, float* const* out, int numSamples,
                                int numInputChannels, int numOutputChannels)
{
    auto& incoming = *record->engine;
    if (record->sampleRate != sampleRate || record->blockSize != samplesPerBlock)
        incoming.prepareToPlay (sampleRate, samplesPerBlock);

    const int channels = juce::jmax (numInputChannels, numOutputChannels);
    ensureScratch (channels, numSamples);
    for (int channel = 0; channel < channels; ++channel)
    {
        copyA.copyFrom (channel, 0, out[channel], numSamples);
        copyB.copyFrom (channel, 0, out[channel], numSamples);
    }

    auto* const* a = copyA.getArrayOfWritePointers();
    auto* const* b = copyB.getArrayOfWritePointers();
    incoming.process (a, a, numSamples, numInputChannels, numOutputChannels);
    if (current != nullptr)
        current->process (b, b, numSamples, numInputChannels, numOutputChannels);

    // The old engine's weight starts at exactly 1 and the new one's at 0.
    for (int channel = 0; channel < numOutputChannels; ++channel)
        for (int i = 0; i < numSamples; ++i)
        {
            const float w = (float) i / (float) numSamples;
            out[channel][i] = b[channel][i] * (1.0f - w) + a[channel][i] * w;
        }

    current = std::move (record->engine);
    currentType = record->type;
    appliedDecay = decay.load();
    applySharedSettings (*current, appliedDecay);
}

void ReverbProcessor::ensureScratch (int channels, int numSamples)
{
    // Sized in prepare; a larger block than announced grows them here once.
    if (copyA.getNumChannels() < channels || copyA.getNumSamples() < numSamples)
    {
        copyA.setSize (juce::jmax (channels, copyA.getNumChannels()), juce::jmax (numSamples, copyA.getNumSamples()));
        copyB.setSize (copyA.getNumChannels(), copyA.getNumSamples());
    }
}
} // namespace tessaro::dsp
