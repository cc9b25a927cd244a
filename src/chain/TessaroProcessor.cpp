#include "chain/TessaroProcessor.h"

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
    reserveDryPath();
    mixProcessor.rampSeconds = mixRampSeconds;
    mixProcessor.mixLaw = QEL::MixProcessor::linearLaw;
    moduleRack.modules.ensureStorageAllocated (numModules);
    refreshModules();
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
    modulesDirty.store (true, std::memory_order_release);
}

void TessaroProcessor::refreshModules()
{
    moduleRack.modules.clearQuick();
    for (const int id : getModuleOrder())
        if (id >= 0 && id < numModules)
            moduleRack.modules.add (modulesById[(size_t) id]);

    const juce::dsp::ProcessSpec spec { sampleRate, (juce::uint32) samplesPerBlock, (juce::uint32) numChannels };
    for (auto* module : moduleRack.modules)
        module->prepare (spec);
}

void TessaroProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    for (auto* module : moduleRack.modules)
        module->prepare (spec);

    const int channels = std::max (2, (int) spec.numChannels);
    dryCopy.setSize (channels, std::max (1, (int) spec.maximumBlockSize));
    dryAlign.prepare (channels, maxDryPathLatency);
    dryAlign.setDelay (alignLatency.load());

    mixProcessor.prepare (spec);
}

void TessaroProcessor::reset()
{
    juce::QELProcessorBase::reset();
    for (auto* module : moduleRack.modules)
        module->reset();
    dryAlign.reset();
    mixProcessor.juce::QELProcessorBase::reset();
}

void TessaroProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    for (auto* module : moduleRack.modules)
        module->setTempo (bpm);
}

void TessaroProcessor::setReportedLatency (int samples)
{
    const int latency = juce::jlimit (0, maxDryPathLatency, samples);
    alignLatency.store (latency);
    setDryPathLatency (latency);
}

void TessaroProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                    int numChannels)
{
    if (modulesDirty.exchange (false, std::memory_order_acquire))
        refreshModules();

    const bool canMix = numSamples <= dryCopy.getNumSamples() && numChannels <= dryCopy.getNumChannels();

    if (canMix)
        for (int ch = 0; ch < numChannels; ++ch)
            dryCopy.copyFrom (ch, 0, in[ch], numSamples);

    for (auto* module : moduleRack.modules)
        module->process (out, out, numSamples, numInputChannels, numChannels);

    if (canMix)
        mixDry (out, numSamples, numInputChannels, numChannels);
}

// out = out * m + dry * (1 - m), with the dry copy delayed by the reported latency.
void TessaroProcessor::mixDry (float* const* out, int numSamples, int numInputChannels, int numChannels) noexcept
{
    auto* const* dry = dryCopy.getArrayOfWritePointers();
    dryAlign.setDelay (alignLatency.load());
    dryAlign.process (dry, numChannels, numSamples);
    mixProcessor.process (dry, out, numSamples, numInputChannels, numChannels);
}

int TessaroProcessor::getTotalLatencyInSamples()
{
    int total = 0;
    for (auto* module : modulesById)
        total += module->getLatencyInSamples();
    return total;
}
} // namespace tessaro::dsp
