#pragma once

#include "chain/ModuleProcessorBase.h"

#include <array>
#include <atomic>

namespace tessaro::dsp
{
/** The modules of the chain in processing order; it never owns them. */
class ModuleRack
{
public:
    virtual ~ModuleRack() = default;

    juce::Array<ModuleProcessorBase*> modules;
};

/** The product's whole signal chain: six modules in an order that three routing
    switches change, run in place as one DSP block. */
class TessaroProcessor : public juce::QELProcessorBase
{
public:
    /** Module ids, the values stored in the module order. */
    enum ModuleId
    {
        compressId = 0,
        enhanceId = 1,
        multiplyId = 2,
        eqId = 3,
        spaceId = 4,
        gainId = 5,
        numModules = 6
    };

    TessaroProcessor();

    /** Prepares the chain and every listed module. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;

    /** Clears the delay state of the chain and its modules. */
    void reset() override;

    /** Stores a non-zero tempo and hands the value, 0 included, to every listed module. */
    void setTempo (double bpm) override;

    /** Rebuilds the module list when the order changed, then runs the modules in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Rebuilds the module list from the module order and prepares every listed module. */
    void refreshModules();

    /** Recomputes the module order from the three routing flags; the audio thread
        applies it at the start of its next block. */
    void updateModuleOrder();

    /** The processing order as six module ids. */
    std::array<int, numModules> getModuleOrder() const noexcept;

    /** Sum of the modules' latencies; it does not depend on their order or on/off state. */
    int getTotalLatencyInSamples();

    /** The listed modules, in processing order. */
    const ModuleRack& getModuleRack() const noexcept { return moduleRack; }

    // Routing switches, written by the parameter router.
    std::atomic<bool> gainPreFx { false };
    std::atomic<bool> enhancePreComp { false };
    std::atomic<bool> eqPre { false };

private:
    std::atomic<bool> modulesDirty { true };
    std::atomic<juce::uint32> packedOrder; // six ids, four bits each, first module lowest
    ModuleRack moduleRack;
    std::array<ModuleProcessorBase*, numModules> modulesById {}; // the six modules, by id

    static juce::uint32 pack (const std::array<int, numModules>& order) noexcept;
    static std::array<int, numModules> unpack (juce::uint32 packed) noexcept;

    JUCE_DECLARE_NON_COPYABLE (TessaroProcessor)
};
} // namespace tessaro::dsp
