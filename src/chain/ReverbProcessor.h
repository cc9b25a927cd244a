#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/reverb/SkyReverbProcessorBase.h"

#include <atomic>
#include <memory>

namespace tessaro::dsp
{
/** Holds the Space module's reverb engine and swaps engines without stopping the sound.

    A type change only stores the chosen type, whichever thread it comes from (under host automation it is
    the audio thread). The holder's own builder thread builds, configures and prepares the engine, lists the
    memory its first blocks will use, and parks it in one atomic slot; the audio thread takes it with one
    exchange when no take-over is running. The taken engine first warms up: each block brings a slice of that
    memory into the audio thread's cache (warmUpBytesPerSample per sample of the block) while the running
    engine plays on alone, so the blocks that then run both engines do not wait for memory the builder wrote.
    Then the holder crossfades from the running engine (or from the input) to the new one over
    `crossfadeSeconds`, whatever the block size; the new engine's input rises over the same time, so it never
    starts on a step. An engine that lists no memory, or one taken by the first block after `prepare` or
    `reset` (which starts as a new holder does, without waiting), is crossfaded to in the block that takes it. Engines
    the audio thread lets go (replaced, faded out, unwanted, or discarded with their tail) go into a fixed
    queue that the builder empties and frees, so nothing is built, allocated or freed on the audio thread.
    The reverb time is handed over as an atomic and applied at the start of a block.

    Engines are built for the sample rate of the last `prepare`; `prepare` itself (which runs while no block
    is processed) builds the chosen engine at once if none is ready, so the first block of a prepared holder
    already hears it. */
class ReverbProcessor : public juce::QELProcessorBase
{
public:
    using Engine = QEL::SkyReverbProcessorBase;

    /** Switched on, no engine, reverb time 50; starts the builder thread. */
    ReverbProcessor();
    /** Stops the builder, then frees every engine. */
    ~ReverbProcessor() override;

    /** 0 fades the reverb out (its engine is let go once the fade has ended); 1 Bright Room, 2 Dark Room,
        3 Cathedral, 4 Outer Space have the builder make that engine. Any thread; never blocks. */
    void setReverbType (int type);
    /** Reverb time in percent, given to the running engine at the next block and to every later one.
        Any thread. */
    void setReverbTime (float percent);

    /** The base's preparation; then the chosen engine runs prepared for the new rate, without a crossfade,
        and nothing waits in the slot. Keeps the running engine and its tail when the rate is unchanged. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Starts again as a new holder prepared at this rate does, in place: a running crossfade ends (the outgoing
        engine is let go), the chosen engine takes over if it waits ready, and the running engine's state goes
        back to that of a new engine. An engine of another type than the chosen one is let go even when the
        chosen one is not built yet (it then fades in from the input when it is). Allocates, frees and waits
        for nothing. */
    void reset() override;
    /** Stores a non-zero tempo; the running engines receive every value, 0 included. Audio thread. */
    void setTempo (double bpm) override;
    /** Takes over a parked engine, runs the crossfade or the current engine, in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;
    /** The off fade has ended: the engines and their tails are let go. */
    void clearBuffers() override;

    /** Lets the running engines go, so nothing from before is heard again; the builder makes a fresh engine
        of the chosen type. Audio thread, or while no block is processed. */
    void discardTail() noexcept;
    /** Builds the chosen engine now on the calling thread, if it is neither running nor parked, and parks it.
        Never on the audio thread; the builder thread does the same on its own. */
    void buildChosenEngine();
    /** Stops the builder thread; an owner that overrides buildEngine calls this in its destructor. */
    void stopBuilding();

    /** Builds the product's engine for a type (1..4) with its per-type settings; nullptr for any other type. */
    static std::unique_ptr<Engine> makeEngine (int type);

    /** The stored reverb time in percent. */
    float getReverbTime() const noexcept { return decay.load(); }
    /** The type last chosen. */
    int getChosenType() const noexcept { return chosenType.load(); }
    /** The type of the running engine, 0 while none runs (audio thread). */
    int getCurrentType() const noexcept { return running != nullptr ? running->type : 0; }
    /** The running engine, or nullptr (audio thread). */
    Engine* getCurrentEngine() const noexcept { return running != nullptr ? running->engine.get() : nullptr; }
    /** True while an engine waits in the slot. */
    bool hasPendingEngine() const noexcept { return pending.load() != nullptr; }
    /** True while the audio thread takes a new engine over: warms it up, then crossfades to it (audio thread). */
    bool isCrossfading() const noexcept { return fadeLength > 0 || incoming != nullptr; }
    /** True while a taken engine warms up, before the crossfade to it starts (audio thread). */
    bool isWarmingUp() const noexcept { return incoming != nullptr; }

    /** The wet/dry value every engine receives; the module's blend does the real mix. */
    static constexpr float engineMix = 100.0f;
    /** Length of the crossfade from one engine (or the input) to the next. */
    static constexpr double crossfadeSeconds = 0.02;
    /** Bytes of a taken engine's memory brought into the cache per sample of a block while it warms up. */
    static constexpr std::size_t warmUpBytesPerSample = 1024;

protected:
    /** Builds the engine of a type with its own recipe; the holder adds the settings every engine shares.
        Runs on the builder thread. */
    virtual std::unique_ptr<Engine> buildEngine (int type) { return makeEngine (type); }

private:
    /** An engine with what it was built for. */
    struct EngineRecord
    {
        std::unique_ptr<Engine> engine;
        int type = 0;
        double sampleRate = 0.0;
        float decay = 50.0f;
        /** What the engine's first blocks, through the end of the crossfade, will read and write. */
        QEL::WorkingSet workingSet;
    };

    /** A fixed single-producer (audio thread), single-consumer (builder) queue of records to free. */
    class RetiredQueue
    {
    public:
        /** Room for `count` more records. */
        bool hasRoom (int count = 1) const noexcept { return fifo.getFreeSpace() >= count; }
        /** Hands over a record; false (and the record kept by the caller) when full. */
        bool push (std::unique_ptr<EngineRecord>& record) noexcept;
        /** Frees every queued record (consumer side). */
        void freeAll();

    private:
        static constexpr int capacity = 32;
        juce::AbstractFifo fifo { capacity };
        EngineRecord* slots[capacity] {};
    };

    class Builder;

    static void applySharedSettings (Engine& engine, float decayPercent);
    std::unique_ptr<EngineRecord> build (int type, double rate);
    bool chosenEngineIsReady (int type, double rate) const noexcept;
    void publish (std::unique_ptr<EngineRecord> record);

    void listWorkingSet (EngineRecord& record) const;
    void applyPendingDecay();
    void takeParkedEngine() noexcept;
    void warmUpIncoming (int numSamples) noexcept;
    void startCrossfade() noexcept;
    bool isReadyToRun (const std::unique_ptr<EngineRecord>& record) const noexcept;
    void publishTakenType() noexcept;
    void startAsANewHolder() noexcept;
    void retire (std::unique_ptr<EngineRecord>& record) noexcept;
    float fadeWeight (int offset) const noexcept;
    void fadeInInput (float* const* input, int channels, int numSamples) const noexcept;
    void processCrossfade (float* const* out, int numSamples, int numInputChannels, int numOutputChannels);

    std::atomic<float> decay { 50.0f };
    float appliedDecay = 50.0f;
    std::atomic<int> chosenType { 0 };
    /** Counts type choices and discarded tails, so the builder knows when to look again. */
    std::atomic<int> requestSerial { 0 };
    int failedSerial = -1;
    /** The type of the engine taken last (warming up or running), 0 for none: the builder need not build it. */
    std::atomic<int> runningType { 0 };
    std::atomic<double> preparedRate { 44100.0 };

    std::atomic<EngineRecord*> pending { nullptr };
    /** running: heard; fadingOut: faded out by the crossfade; incoming: taken from the slot, warming up. */
    std::unique_ptr<EngineRecord> running, fadingOut, incoming;
    int fadeLength = 0, fadePosition = 0;
    /** False until the first block after prepare or reset. */
    bool playing = false;
    RetiredQueue retired;
    juce::AudioBuffer<float> incomingScratch, outgoingScratch;

    /** Held while an engine is built and published, and while prepare sorts the engines; never on the
        audio thread. */
    juce::CriticalSection buildLock;
    std::unique_ptr<Builder> builder;

    JUCE_DECLARE_NON_COPYABLE (ReverbProcessor)
};
} // namespace tessaro::dsp
