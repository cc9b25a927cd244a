#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/reverb/SkyReverbProcessorBase.h"

#include <atomic>
#include <memory>

namespace tessaro::dsp
{
/** Holds the Space module's reverb engine and swaps engines without stopping the sound.

    A type change builds, configures and prepares a complete engine on the caller's thread and publishes
    it, together with its type, in one atomic exchange of the pending slot. The audio thread takes it with
    one exchange and crossfades from the running engine to the new one over exactly one block. Whoever
    takes an engine out of the slot owns it: a setter frees only the engine its own exchange returned, the
    audio thread frees the engines it retires. The reverb time is handed over as an atomic and applied to
    the running engine at the start of a block. No lock is taken on the audio thread. */
class ReverbProcessor : public juce::QELProcessorBase
{
public:
    using Engine = QEL::SkyReverbProcessorBase;

    /** Switched on, no engine, reverb time 50. */
    ReverbProcessor();
    /** Deletes the pending engine, then the running one. */
    ~ReverbProcessor() override;

    /** 0 fades the reverb out (its engine keeps ringing underneath); 1 Bright Room, 2 Dark Room,
        3 Cathedral, 4 Outer Space build a new engine and park it for the audio thread. Any thread. */
    void setReverbType (int type);
    /** Reverb time in percent, given to the running engine at the next block and to every later one.
        Any thread. */
    void setReverbTime (float percent);

    /** The base's preparation, then the running and the parked engine for the new rate and block size. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** The base's dry path only: the engines keep their tails. */
    void reset() override;
    /** Stores a non-zero tempo; the running engine receives every value, 0 included. Audio thread. */
    void setTempo (double bpm) override;
    /** Takes over a parked engine with a one-block crossfade, or runs the current engine, in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Builds the product's engine for a type (1..4) with its per-type settings; nullptr for any other type. */
    static std::unique_ptr<Engine> makeEngine (int type);

    /** The stored reverb time in percent. */
    float getReverbTime() const noexcept { return decay.load(); }
    /** The type of the running engine, 0 before the first take-over (audio thread). */
    int getCurrentType() const noexcept { return currentType; }
    /** The running engine, or nullptr (audio thread). */
    Engine* getCurrentEngine() const noexcept { return current.get(); }
    /** True while an engine waits in the pending slot. */
    bool hasPendingEngine() const noexcept { return pending.load() != nullptr; }

    /** The wet/dry value every engine receives; the module's blend does the real mix. */
    static constexpr float engineMix = 100.0f;

protected:
    /** Builds the engine of a type with its own recipe; the holder adds the settings every engine shares. */
    virtual std::unique_ptr<Engine> buildEngine (int type) { return makeEngine (type); }

private:
    /** An engine and its type, published and taken as one. */
    struct PendingEngine
    {
        std::unique_ptr<Engine> engine;
        int type = 0;
        double sampleRate = 0.0;
        int blockSize = 0;
    };

    static void applySharedSettings (Engine& engine, float decayPercent);
    void publish (std::unique_ptr<PendingEngine> record);
    void withdrawPending();
    void applyPendingDecay();
    void takeOver (std::unique_ptr<PendingEngine> record, float* const* out, int numSamples, int numInputChannels,
                   int numOutputChannels);
    void ensureScratch (int channels, int numSamples);

    std::atomic<float> decay { 50.0f };
    float appliedDecay = 50.0f;
    std::atomic<PendingEngine*> pending { nullptr };
    std::unique_ptr<Engine> current;
    int currentType = 0;
    std::atomic<double> latestSampleRate { 44100.0 };
    std::atomic<int> latestBlockSize { 64 };
    juce::AudioBuffer<float> copyA, copyB;

    JUCE_DECLARE_NON_COPYABLE (ReverbProcessor)
};
} // namespace tessaro::dsp
