#pragma once

#include "chain/CompressProcessor.h"
#include "chain/EQProcessor.h"
#include "chain/EnhanceProcessor.h"
#include "chain/GainProcessor.h"
#include "chain/ModuleProcessorBase.h"
#include "chain/MultiplyProcessor.h"
#include "chain/SpaceProcessor.h"
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

    /** Runs the modules in place, fading an order change through silence, then blends the aligned dry
        signal back in by the mix. A module whose output is not finite is reset and gives silence for the
        block; so does the whole chain when its output is not. With Limit heard, no sample passes 1.0. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Recomputes the module order from the three routing flags. The audio thread fades the signal after
        each run of moving modules out over orderFadeSeconds (and every connection into and inside a run that
        holds past audio), lists the modules in the new order and fades them in again; the modules themselves
        keep their state, so tails ring on. */
    void updateModuleOrder();

    /** The requested processing order as six module ids. */
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

    /** Length of each half of an order change: the fade out, then the fade in. */
    static constexpr double orderFadeSeconds = 0.003;

private:
    enum class OrderFade
    {
        none,
        fadingOut,
        fadingIn
    };

    std::atomic<juce::uint32> packedOrder; // six ids, four bits each, first module lowest
    juce::uint32 listedOrder = 0;          // the order the rack lists; audio thread and prepare only
    juce::uint32 fadingTo = 0;             // the order the running fade lists at its silence
    OrderFade orderFade = OrderFade::none;
    int orderFadeLength = 1;           // samples in each half
    int orderFadeDone = 0;             // samples of the current half already faded
    juce::uint32 fadedConnections = 0; // bit c: the fade sits on the input of position c (c = 6: the output)
    std::atomic<float> mixTarget { 1.0f };
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

    void listModules (juce::uint32 order) noexcept;
    void runModules (float* const* out, int numSamples, int numInputChannels, int numChannels) noexcept;
    int orderFadePiece (int numSamples) const noexcept;
    juce::uint32 connectionsToFade (juce::uint32 from, juce::uint32 to) const noexcept;
    bool holdsPastAudio (int id) const noexcept;
    bool fadesConnection (int connection) const noexcept;
    void applyOrderFade (float* const* out, int numSamples, int numChannels) const noexcept;
    void advanceOrderFade (int numSamples) noexcept;
    void tellNewSources (juce::uint32 from, juce::uint32 to) noexcept;
    void silenceFault (ModuleProcessorBase& module, float* const* out, int numSamples, int numChannels) noexcept;

    static bool allFinite (const float* const* channels, int numSamples, int numChannels) noexcept;
    static void clearChannels (float* const* channels, int numSamples, int numChannels) noexcept;

    static juce::uint32 pack (const std::array<int, numModules>& order) noexcept;
    static std::array<int, numModules> unpack (juce::uint32 packed) noexcept;

    JUCE_DECLARE_NON_COPYABLE (TessaroProcessor)
};
} // namespace tessaro::dsp
