#include "chain/TessaroProcessor.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tessaro::dsp
{
namespace
{
    constexpr float mixRampSeconds = 0.05f;
}

TessaroProcessor::TessaroProcessor()
    : packedOrder (pack ({ compressId, enhanceId, eqId, multiplyId, spaceId, gainId })), modulesById {
          &compressProcessor, &enhanceProcessor, &multiplyProcessor, &eqProcessor, &spaceProcessor, &gainProcessor
      }
{
    // The chain's latency: Multiply's fixed delay plus the Gain module's look-ahead.
    reserveDryPath (MultiplyProcessor::latencySamples, GainProcessor::lookAheadSeconds);
    mixProcessor.rampSeconds = mixRampSeconds;
    mixProcessor.mixLaw = QEL::MixProcessor::linearLaw;
    moduleRack.modules.ensureStorageAllocated (numModules);
    listModules (packedOrder.load());
}

juce::uint32 TessaroProcessor::pack (const std::array<int, numModules>& order) noexcept
{
    juce::uint32 packed = 0;
    for (size_t i = 0; i < order.size(); ++i)
        packed |= ((juce::uint32) order[i] & 0xfu) << (4 * i);
    return packed;
}

std::array<int, TessaroProcessor::numModules> TessaroProcessor::unpack (juce::uint32 packed) noexcept
{
    std::array<int, numModules> order {};
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = (int) ((packed >> (4 * i)) & 0xfu);
    return order;
}

std::array<int, TessaroProcessor::numModules> TessaroProcessor::getModuleOrder() const noexcept
{
    return unpack (packedOrder.load (std::memory_order_acquire));
}

// Recomputed from all three flags, so two threads switching different flags at once both take effect.
void TessaroProcessor::updateModuleOrder()
{
    const int p = enhancePreComp.load() ? 1 : 0;
    const int e = eqPre.load() ? 1 : 0;
    const bool g = gainPreFx.load();

    packedOrder.store (
        pack ({ e ? eqId : p, e ^ p ^ 1, e ? 1 - p : eqId, multiplyId, g ? gainId : spaceId, g ? spaceId : gainId }),
        std::memory_order_release);
}

// The rack's storage is reserved for six modules, so listing them never allocates.
void TessaroProcessor::listModules (juce::uint32 order) noexcept
{
    moduleRack.modules.clearQuick();
    for (const int id : unpack (order))
        if (id >= 0 && id < numModules)
            moduleRack.modules.add (modulesById[(size_t) id]);
    listedOrder = order;
}

void TessaroProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    for (auto* module : modulesById)
        module->prepare (spec);

    listModules (packedOrder.load (std::memory_order_acquire));
    orderFade = OrderFade::none;
    orderFadeLength = std::max (1, juce::roundToInt (orderFadeSeconds * spec.sampleRate));

    const int channels = std::max (2, (int) spec.numChannels);
    dryCopy.setSize (channels, std::max (1, (int) spec.maximumBlockSize));

    mixProcessor.prepare (spec);
}

void TessaroProcessor::reset()
{
    juce::QELProcessorBase::reset();
    for (auto* module : modulesById)
        module->reset();
    mixProcessor.juce::QELProcessorBase::reset();
}

void TessaroProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    for (auto* module : modulesById)
        module->setTempo (bpm);
}

void TessaroProcessor::setReportedLatency (int samples)
{
    setDryPathLatency (juce::jlimit (0, maxDryPathLatency, samples));
}

void TessaroProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                    int numChannels)
{
    // With a latency, the chain's own dry path has already delayed this block's input for the off path, and
    // the mix takes it from there; without one, the mix needs the input as it was before the modules ran.
    const float* const* delayedDry = dryPathBlock();
    const bool canCopy = numSamples <= dryCopy.getNumSamples() && numChannels <= dryCopy.getNumChannels();

    if (delayedDry == nullptr && canCopy)
        for (int ch = 0; ch < numChannels; ++ch)
            juce::FloatVectorOperations::copy (dryCopy.getWritePointer (ch), in[ch], numSamples);

    runModules (out, numSamples, numInputChannels, numChannels);

    if (delayedDry != nullptr)
        mixProcessor.process (delayedDry, out, numSamples, numInputChannels, numChannels);
    else if (canCopy)
        mixProcessor.process (dryCopy.getArrayOfReadPointers(), out, numSamples, numInputChannels, numChannels);

    if (! allFinite (out, numSamples, numChannels))
    {
        clearChannels (out, numSamples, numChannels);
        dryDelay.reset();
    }

    // The limiter's float arithmetic may end a hair above full scale: with Limit heard, nothing passes 1.0.
    if (gainProcessor.isLimiting() && gainProcessor.active.load())
        for (int ch = 0; ch < numChannels; ++ch)
            juce::FloatVectorOperations::clip (out[ch], out[ch], -1.0f, 1.0f, numSamples);
}

// A NaN or an infinity has every exponent bit set, so one more exponent step on its magnitude carries into
// the sign bit. Integer arithmetic without an early exit: the loop runs vectorised.
bool TessaroProcessor::allFinite (const float* const* channels, int numSamples, int numChannels) noexcept
{
    std::uint32_t carried = 0;
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
        {
            std::uint32_t bits;
            std::memcpy (&bits, channels[ch] + i, sizeof (bits));
            carried |= (bits & 0x7fffffffu) + 0x00800000u;
        }
    return (carried & 0x80000000u) == 0;
}

void TessaroProcessor::clearChannels (float* const* channels, int numSamples, int numChannels) noexcept
{
    for (int ch = 0; ch < numChannels; ++ch)
        juce::FloatVectorOperations::clear (channels[ch], numSamples);
}

// A NaN or an infinity a module produces would stay in its filters and delay lines for ever: the module
// starts afresh and its output for the block is silence, so the fault is heard as one short gap.
void TessaroProcessor::silenceFault (ModuleProcessorBase& module, float* const* out, int numSamples,
                                     int numChannels) noexcept
{
    if (allFinite (out, numSamples, numChannels))
        return;

    module.reset();
    clearChannels (out, numSamples, numChannels);
}

// A block in which the order fade reaches silence is run in two pieces: the old order up to that sample,
// the new order after it. The fade sits on the connection after each run of moving modules, so the modules
// behind it (and their latency) carry the faded signal on. A run in which a module holds past audio (a
// look-ahead, an echo) is faded on every connection into and inside it as well: no module then hears its
// input jump, and what such a module still holds when the order changes leaves it faded out, followed by the
// new order's signal faded in, instead of stepping to it a few milliseconds after the fade.
void TessaroProcessor::runModules (float* const* out, int numSamples, int numInputChannels, int numChannels) noexcept
{
    if (const auto requested = packedOrder.load (std::memory_order_acquire);
        orderFade == OrderFade::none && requested != listedOrder)
    {
        orderFade = OrderFade::fadingOut;
        orderFadeDone = 0;
        fadingTo = requested;
        fadedConnections = connectionsToFade (listedOrder, requested);
    }

    std::array<float*, 8> piece {};
    const int channels = std::min (numChannels, (int) piece.size());

    for (int done = 0; done < numSamples;)
    {
        const int length = orderFadePiece (numSamples - done);
        for (int ch = 0; ch < channels; ++ch)
            piece[(size_t) ch] = out[ch] + done;

        for (int position = 0; position < moduleRack.modules.size(); ++position)
        {
            if (fadesConnection (position))
                applyOrderFade (piece.data(), length, channels);

            auto& module = *moduleRack.modules.getUnchecked (position);
            const bool restedBefore = module.isSteadyOff();
            module.process (piece.data(), piece.data(), length, numInputChannels, channels);

            // A module at rest before and after the block only passed its finite input on.
            if (! (restedBefore && module.isSteadyOff()))
                silenceFault (module, piece.data(), length, channels);
        }
        if (fadesConnection (numModules))
            applyOrderFade (piece.data(), length, channels);

        advanceOrderFade (length);
        done += length;
    }
}

// Connection c leads into the module at position c; connection numModules is the chain's output.
juce::uint32 TessaroProcessor::connectionsToFade (juce::uint32 from, juce::uint32 to) const noexcept
{
    const auto a = unpack (from), b = unpack (to);
    juce::uint32 connections = 0;

    for (int first = 0; first < numModules;)
    {
        if (a[(size_t) first] == b[(size_t) first])
        {
            ++first;
            continue;
        }

        int end = first;
        bool holdsPast = false;
        for (; end < numModules && a[(size_t) end] != b[(size_t) end]; ++end)
            holdsPast = holdsPast || holdsPastAudio (a[(size_t) end]) || holdsPastAudio (b[(size_t) end]);

        connections |= 1u << end;
        if (holdsPast)
            for (int c = first; c < end; ++c)
                connections |= 1u << c;
        first = end;
    }
    return connections;
}

bool TessaroProcessor::holdsPastAudio (int id) const noexcept
{
    return id >= 0 && id < numModules && modulesById[(size_t) id]->holdsPastAudio();
}

bool TessaroProcessor::fadesConnection (int connection) const noexcept
{
    return orderFade != OrderFade::none && (fadedConnections & (1u << connection)) != 0;
}

// The samples up to the end of the fade out, or all that are left.
int TessaroProcessor::orderFadePiece (int numSamples) const noexcept
{
    return orderFade == OrderFade::fadingOut ? std::min (numSamples, orderFadeLength - orderFadeDone) : numSamples;
}

// Raised-cosine halves, so neither end of a fade bends the signal with a corner: the fade out ends on a
// gain of 0, where the new order is listed; the fade in starts one step above it.
void TessaroProcessor::applyOrderFade (float* const* out, int numSamples, int numChannels) const noexcept
{
    if (orderFade == OrderFade::none)
        return;

    const int fading = std::min (numSamples, orderFadeLength - orderFadeDone);
    const bool fadingOut = orderFade == OrderFade::fadingOut;

    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < fading; ++i)
        {
            const int rise = orderFadeDone + i + 1;
            const double share = (double) (fadingOut ? orderFadeLength - rise : rise) / (double) orderFadeLength;
            out[ch][i] *= (float) (0.5 - 0.5 * std::cos (juce::MathConstants<double>::pi * share));
        }
}

// Moves the fade on by a piece; at the end of the fade out the order the fade was planned for is listed and
// fades in. A switch that arrives meanwhile waits for the next fade: its connections were not faded out.
void TessaroProcessor::advanceOrderFade (int numSamples) noexcept
{
    if (orderFade == OrderFade::none)
        return;

    orderFadeDone += std::min (numSamples, orderFadeLength - orderFadeDone);
    if (orderFadeDone < orderFadeLength)
        return;

    orderFadeDone = 0;
    if (orderFade == OrderFade::fadingOut)
    {
        tellNewSources (listedOrder, fadingTo);
        listModules (fadingTo);
        orderFade = OrderFade::fadingIn;
    }
    else
    {
        orderFade = OrderFade::none;
    }
}

// A module hears other modules ahead of it when the set before its position changes.
void TessaroProcessor::tellNewSources (juce::uint32 from, juce::uint32 to) noexcept
{
    const auto a = unpack (from), b = unpack (to);
    juce::uint32 aheadInA = 0, aheadInB = 0;
    std::array<juce::uint32, numModules> before {};
    for (size_t i = 0; i < a.size(); ++i)
    {
        before[(size_t) a[i] % numModules] = aheadInA;
        aheadInA |= 1u << a[i];
    }
    for (size_t i = 0; i < b.size(); ++i)
    {
        if (before[(size_t) b[i] % numModules] != aheadInB)
            modulesById[(size_t) b[i] % numModules]->inputSourceChanged();
        aheadInB |= 1u << b[i];
    }
}

int TessaroProcessor::getTotalLatencyInSamples()
{
    int total = 0;
    for (auto* module : modulesById)
        total += module->getLatencyInSamples();
    return total;
}
} // namespace tessaro::dsp
