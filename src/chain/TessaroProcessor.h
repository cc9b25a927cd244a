#pragma once

#include "chain/CompressProcessor.h"
#include "chain/EQProcessor.h"
#include "chain/EnhanceProcessor.h"
#include "chain/GainProcessor.h"
#include "chain/ModuleProcessorBase.h"
#include "chain/MultiplyProcessor.h"
#include "chain/SpaceProcessor.h"
#include "core/BypassDelay.h"
#include "dsp/utility/MixProcessor.h"

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
    switches change, and a master Mix that blends the input back in, run in place as one DSP block.

    The dry signal that Mix and the chain's own off path bring back is delayed by the latency the plug-in
    reports, so it stays aligned with the processed signal. */
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

    /** Prepares the chain, every listed module and the mix. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;

    /** Clears the delay state of the chain, its modules and the mix; the list and the mix ramp stay. */
    void reset() override;

    /** Stores a non-zero tempo and hands the value, 0 included, to every listed module. */
    void setTempo (double bpm) override;

    /** Rebuilds the module list when the order changed, runs the modules in place, then blends the
        aligned dry signal back in by the mix. */
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

    /** The latency the plug-in reports: the dry signal of the off path and of the mix follow it. */
    void setReportedLatency (int samples);

    /** Sets the wet share of the master mix (0..1); ramps over 0.05 s. */
    void setMix (float fraction)
    {
        mixTarget.store (fraction);
        mixProcessor.setMix (fraction);
    }
    /** The wet share the master mix heads to. */
    float getMixTarget() const noexcept { return mixTarget.load(); }

    /** The listed modules, in processing order. */
    const ModuleRack& getModuleRack() const noexcept { return moduleRack; }

    // Routing switches, written by the parameter router.
    std::atomic<bool> gainPreFx { false };
    std::atomic<bool> enhancePreComp { false };
    std::atomic<bool> eqPre { false };

    /** The master dry/wet blend: linear, 0.05 s ramp. */
    QEL::MixProcessor mixProcessor;

private:
    std::atomic<bool> modulesDirty { true };
    std::atomic<juce::uint32> packedOrder; // six ids, four bits each, first module lowest
    std::atomic<float> mixTarget { 1.0f };
    std::atomic<int> alignLatency { 0 };
    ModuleRack moduleRack;

public:
    GainProcessor gainProcessor;
    SpaceProcessor spaceProcessor;
    EnhanceProcessor enhanceProcessor;
    CompressProcessor compressProcessor;
    EQProcessor eqProcessor;
    MultiplyProcessor multiplyProcessor;

private:
    std::array<ModuleProcessorBase*, numModules> modulesById {}; // the six modules, by id
    juce::AudioBuffer<float> dryCopy;
    QEL::BypassDelay dryAlign;

    void mixDry (float* const* out, int numSamples, int numInputChannels, int numChannels) noexcept;

    static juce::uint32 pack (const std::array<int, numModules>& order) noexcept;
    static std::array<int, numModules> unpack (juce::uint32 packed) noexcept;

    JUCE_DECLARE_NON_COPYABLE (TessaroProcessor)
};
} // namespace tessaro::dsp
