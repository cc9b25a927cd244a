#include "chain/TessaroProcessor.h"

namespace tessaro::dsp
{
TessaroProcessor::TessaroProcessor() : packedOrder (pack ({ compressId, enhanceId, eqId, multiplyId, spaceId, gainId }))
{
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

void TessaroProcessor::updateModuleOrder()
{
    const int p = enhancePreComp ? 1 : 0;
    const int e = eqPre ? 1 : 0;
    const bool g = gainPreFx;

    packedOrder.store (
        pack ({ e ? eqId : p, e ^ p ^ 1, e ? 1 - p : eqId, multiplyId, g ? gainId : spaceId, g ? spaceId : gainId }),
        std::memory_order_release);
    modulesDirty.store (true, std::memory_order_release);
}

void TessaroProcessor::refreshModules()
{
    moduleRack.modules.clearQuick();
    for (const int id : getModuleOrder())
        if (id >= 0 && id < numModules && modulesById[(size_t) id] != nullptr)
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
}

void TessaroProcessor::reset()
{
    juce::QELProcessorBase::reset();
    for (auto* module : moduleRack.modules)
        module->reset();
}

void TessaroProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
    for (auto* module : moduleRack.modules)
        module->setTempo (bpm);
}

void TessaroProcessor::processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                    int numChannels)
{
    juce::ignoreUnused (in);

    if (modulesDirty.exchange (false, std::memory_order_acquire))
        refreshModules();

    for (auto* module : moduleRack.modules)
        module->process (out, out, numSamples, numInputChannels, numChannels);
}

int TessaroProcessor::getTotalLatencyInSamples()
{
    int total = 0;
    for (auto* module : modulesById)
        if (module != nullptr)
            total += module->getLatencyInSamples();
    return total;
}
} // namespace tessaro::dsp
