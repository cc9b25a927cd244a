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
    /** How often the builder looks for a new choice: a setter may run on the audio thread, so it never wakes
        the builder (that would take the builder's lock). */
    constexpr int builderPollMs = 5;
    constexpr int builderStopTimeoutMs = 20000;
} // namespace

/** The holder's background thread: builds the chosen engine and frees the retired ones. */
class ReverbProcessor::Builder : public juce::Thread
{
public:
    explicit Builder (ReverbProcessor& holder) : juce::Thread ("Reverb engine builder"), owner (holder) {}

    void run() override
    {
        while (! threadShouldExit())
        {
            owner.buildChosenEngine();
            wait (builderPollMs);
        }
    }

private:
    ReverbProcessor& owner;
};

//==============================================================================
bool ReverbProcessor::RetiredQueue::push (std::unique_ptr<EngineRecord>& record) noexcept
{
    if (record == nullptr)
        return true;

    const auto scope = fifo.write (1);
    if (scope.blockSize1 + scope.blockSize2 == 0)
        return false;

    slots[scope.blockSize1 > 0 ? scope.startIndex1 : scope.startIndex2] = record.release();
    return true;
}

void ReverbProcessor::RetiredQueue::freeAll()
{
    const auto scope = fifo.read (fifo.getNumReady());
    scope.forEach (
        [this] (int index)
        {
            delete slots[index];
            slots[index] = nullptr;
        });
}

//==============================================================================
ReverbProcessor::ReverbProcessor() : builder (std::make_unique<Builder> (*this))
{
    builder->startThread();
}

ReverbProcessor::~ReverbProcessor()
{
    stopBuilding();
    delete pending.exchange (nullptr);
    retired.freeAll();
}

void ReverbProcessor::stopBuilding()
{
    if (builder != nullptr)
        builder->stopThread (builderStopTimeoutMs);
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
    chosenType.store (type);
    requestSerial.fetch_add (1);
}

void ReverbProcessor::setReverbTime (float percent)
{
    decay.store (percent);
}

//==============================================================================
std::unique_ptr<ReverbProcessor::EngineRecord> ReverbProcessor::build (int type, double rate)
{
    auto engine = buildEngine (type);
    if (engine == nullptr)
        return nullptr;

    auto record = std::make_unique<EngineRecord>();
    record->decay = decay.load();
    engine->setMod (sharedModulation);
    applySharedSettings (*engine, record->decay);
    engine->prepareToPlay (rate, samplesPerBlock);
    engine->setTempo (tempo.load());

    record->engine = std::move (engine);
    record->type = type;
    record->sampleRate = rate;
    return record;
}

bool ReverbProcessor::chosenEngineIsReady (int type, double rate) const noexcept
{
    if (type == 0 || runningType.load() == type)
        return true;

    // Only holders of the build lock free a parked engine, so it can be read here.
    const auto* parked = pending.load();
    return parked != nullptr && parked->type == type && parked->sampleRate == rate;
}

void ReverbProcessor::buildChosenEngine()
{
    const juce::ScopedLock lock (buildLock);
    retired.freeAll();

    const int serial = requestSerial.load();
    const int type = chosenType.load();
    const double rate = preparedRate.load();
    if (serial == failedSerial || chosenEngineIsReady (type, rate))
        return;

    try
    {
        if (auto record = build (type, rate))
        {
            listWorkingSet (*record);
            publish (std::move (record));
        }
    }
    catch (const std::bad_alloc&)
    {
        // The running engine stays; a later choice tries again.
        failedSerial = serial;
    }
}

void ReverbProcessor::listWorkingSet (EngineRecord& record) const
{
    // What the blocks of the crossfade read and write, then once more what its first block does: touched last, that
    // is still in the nearest cache when the crossfade starts, where every read and write stream of the engine
    // begins.
    const int block = juce::jmax (1, samplesPerBlock);
    const int fade = juce::jmax (1, juce::roundToInt (crossfadeSeconds * record.sampleRate));
    record.engine->listWorkingSet (record.workingSet, (fade + block - 1) / block * block, block);
    record.engine->listWorkingSet (record.workingSet, block, block);
}

void ReverbProcessor::publish (std::unique_ptr<EngineRecord> record)
{
    // An engine parked before and not taken is no longer wanted; this thread may free it.
    std::unique_ptr<EngineRecord> replaced { pending.exchange (record.release(), std::memory_order_acq_rel) };
}

//==============================================================================
void ReverbProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    const int channels = juce::jmax (2, (int) spec.numChannels);
    const int blockSize = juce::jmax (1, (int) spec.maximumBlockSize);
    incomingScratch.setSize (channels, blockSize);
    outgoingScratch.setSize (channels, blockSize);

    const juce::ScopedLock lock (buildLock);
    preparedRate.store (spec.sampleRate);
    retired.freeAll();

    // No block runs now: whatever was on its way is settled at once, without a crossfade.
    fadingOut.reset();
    fadeLength = fadePosition = 0;

    const int type = chosenType.load();
    std::unique_ptr<EngineRecord> parked { pending.exchange (nullptr, std::memory_order_acq_rel) };
    // An engine still warming up was parked before the one in the slot: it serves when that one does not.
    if (incoming != nullptr && (parked == nullptr || parked->type != type))
        std::swap (parked, incoming);
    incoming.reset();
    if (running != nullptr && running->type != type)
        running.reset();
    if (running == nullptr && parked != nullptr && parked->type == type)
        running = std::move (parked);
    parked.reset();

    try
    {
        if (running == nullptr && type != 0)
            running = build (type, spec.sampleRate);
    }
    catch (const std::bad_alloc&)
    {
        running.reset();
    }

    // Engines do not depend on the block size: only a new rate prepares the running one again.
    if (running != nullptr && running->sampleRate != spec.sampleRate)
    {
        running->engine->prepareToPlay (spec.sampleRate, blockSize);
        running->sampleRate = spec.sampleRate;
    }

    publishTakenType();
    if (running != nullptr)
        appliedDecay = running->decay;
    playing = false;
}

void ReverbProcessor::reset()
{
    juce::QELProcessorBase::reset();

    playing = false;
    fadeLength = fadePosition = 0;
    retire (fadingOut);

    if (getCurrentType() != chosenType.load())
        startAsANewHolder();
    else if (incoming != nullptr)
        retire (incoming); // of another type than the running, chosen one

    publishTakenType();
    if (running == nullptr)
        return;

    applyPendingDecay();
    running->engine->reset();
}

void ReverbProcessor::startAsANewHolder() noexcept
{
    // Room for the running, the warming and an unwanted parked engine (the builder starved for 29 hand-overs
    // keeps all).
    if (! retired.hasRoom (3))
        return;

    // A new holder would start with the chosen engine: take it if it is parked (or taken and warming up) and
    // ready, without a crossfade. The parked one is the newer.
    std::unique_ptr<EngineRecord> record { pending.exchange (nullptr, std::memory_order_acq_rel) };
    if (! isReadyToRun (record))
        retire (record);
    if (record == nullptr && isReadyToRun (incoming))
        record = std::move (incoming);
    retire (incoming);

    // A new holder never hears the old type either: when the chosen engine is not built yet, the running one goes
    // now and the chosen one fades in from the input once the builder delivers it, as a first engine does.
    retire (running);
    if (record != nullptr)
        running = std::move (record);

    publishTakenType();
}

void ReverbProcessor::publishTakenType() noexcept
{
    // An engine warming up is as good as running for the builder: it need not be built again.
    runningType.store (incoming != nullptr ? incoming->type : getCurrentType());
}

bool ReverbProcessor::isReadyToRun (const std::unique_ptr<EngineRecord>& record) const noexcept
{
    return record != nullptr && record->type == chosenType.load() && record->sampleRate == sampleRate;
}

void ReverbProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    for (auto* record : { running.get(), fadingOut.get(), incoming.get() })
        if (record != nullptr)
            record->engine->setTempo (bpm);
}

//==============================================================================
void ReverbProcessor::applyPendingDecay()
{
    const float latest = decay.load();
    if (running == nullptr || latest == appliedDecay)
        return;

    appliedDecay = latest;
    running->engine->setDecay (latest);
}

void ReverbProcessor::retire (std::unique_ptr<EngineRecord>& record) noexcept
{
    // A full queue (the builder starved for 32 hand-overs) keeps the record with its owner until there is room.
    retired.push (record);
}

void ReverbProcessor::takeParkedEngine() noexcept
{
    if (fadeLength > 0 || fadingOut != nullptr || incoming != nullptr ||
        pending.load (std::memory_order_acquire) == nullptr || ! retired.hasRoom())
        return;

    std::unique_ptr<EngineRecord> record { pending.exchange (nullptr, std::memory_order_acq_rel) };
    if (record == nullptr)
        return;

    // Built for an older choice or rate, or of the type already running: not wanted, never prepared here.
    if (record->type != chosenType.load() || record->sampleRate != sampleRate || record->type == getCurrentType())
    {
        retire (record);
        return;
    }

    incoming = std::move (record);
    publishTakenType();

    // The first block after prepare or reset starts the chosen engine at once, as a new holder does.
    if (! playing)
        incoming->workingSet.clear();
}

void ReverbProcessor::warmUpIncoming (int numSamples) noexcept
{
    if (incoming == nullptr)
        return;

    // A choice made since the engine was taken wants another engine, or the running one: this one is never heard.
    if (incoming->type != chosenType.load())
    {
        if (retired.hasRoom())
        {
            retire (incoming);
            publishTakenType();
        }
        return;
    }

    // A block either warms or crossfades, so no block pays for both.
    if (incoming->workingSet.isDone())
        startCrossfade();
    else
        incoming->workingSet.touch (warmUpBytesPerSample * (std::size_t) juce::jmax (1, numSamples));
}

void ReverbProcessor::startCrossfade() noexcept
{
    fadingOut = std::move (running);
    running = std::move (incoming);
    appliedDecay = running->decay;
    running->engine->setTempo (tempo.load());
    fadeLength = juce::jmax (1, juce::roundToInt (crossfadeSeconds * sampleRate));
    fadePosition = 0;
}

void ReverbProcessor::discardTail() noexcept
{
    fadeLength = fadePosition = 0;
    retire (fadingOut);
    retire (incoming);
    retire (running);
    publishTakenType();
    requestSerial.fetch_add (1);
}

void ReverbProcessor::clearBuffers()
{
    discardTail();
}

void ReverbProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                   int numOutputChannels)
{
    if (fadeLength == 0 && fadingOut != nullptr)
        retire (fadingOut);

    takeParkedEngine();
    warmUpIncoming (numSamples);
    playing = true;
    applyPendingDecay();

    if (fadeLength > 0)
        processCrossfade (out, numSamples, numInputChannels, numOutputChannels);
    else if (running != nullptr)
        running->engine->process (out, out, numSamples, numInputChannels, numOutputChannels);
}

float ReverbProcessor::fadeWeight (int offset) const noexcept
{
    return juce::jmin (1.0f, (float) (fadePosition + offset) / (float) fadeLength);
}

void ReverbProcessor::fadeInInput (float* const* input, int channels, int numSamples) const noexcept
{
    // A fresh engine that met the running signal with a step would replay that edge from every early tap
    // long after the crossfade; its input rises with the crossfade instead.
    for (int channel = 0; channel < channels; ++channel)
        for (int i = 0; i < numSamples; ++i)
            input[channel][i] *= fadeWeight (i);
}

void ReverbProcessor::processCrossfade (float* const* out, int numSamples, int numInputChannels, int numOutputChannels)
{
    const int channels =
        juce::jmin (juce::jmax (numInputChannels, numOutputChannels), incomingScratch.getNumChannels());
    const int pieceSize = incomingScratch.getNumSamples();

    for (int start = 0; start < numSamples; start += pieceSize)
    {
        const int n = juce::jmin (pieceSize, numSamples - start);
        float* piece[2] = { out[0] + start, out[numOutputChannels > 1 ? 1 : 0] + start };
        auto* incoming = incomingScratch.getArrayOfWritePointers();
        auto* outgoing = outgoingScratch.getArrayOfWritePointers();

        for (int channel = 0; channel < channels; ++channel)
        {
            juce::FloatVectorOperations::copy (incoming[channel], piece[juce::jmin (channel, 1)], n);
            juce::FloatVectorOperations::copy (outgoing[channel], piece[juce::jmin (channel, 1)], n);
        }
        fadeInInput (incoming, channels, n);

        running->engine->process (incoming, incoming, n, numInputChannels, numOutputChannels);
        if (fadingOut != nullptr)
            fadingOut->engine->process (outgoing, outgoing, n, numInputChannels, numOutputChannels);

        // The old engine's (or the input's) weight starts at exactly 1 and the new one's at 0.
        for (int channel = 0; channel < juce::jmin (numOutputChannels, channels); ++channel)
            for (int i = 0; i < n; ++i)
            {
                const float w = fadeWeight (i);
                out[channel][start + i] = outgoing[channel][i] * (1.0f - w) + incoming[channel][i] * w;
            }

        fadePosition += n;
        if (fadePosition >= fadeLength)
        {
            // The rest of the block is the new engine alone.
            fadeLength = fadePosition = 0;
            retire (fadingOut);
            if (start + n < numSamples)
            {
                float* rest[2] = { out[0] + start + n, out[numOutputChannels > 1 ? 1 : 0] + start + n };
                running->engine->process (rest, rest, numSamples - start - n, numInputChannels, numOutputChannels);
            }
            return;
        }
    }
}
} // namespace tessaro::dsp
