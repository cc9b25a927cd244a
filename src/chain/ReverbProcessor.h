#pragma once

#include "dsp/dynamics/QELProcessorBase.h"
#include "dsp/space/SkyReverbProcessorBase.h"

#include <atomic>
#include <memory>

namespace tessaro::dsp
{
/** Holds the Space module's reverb engine and changes it without a click: a type choice builds a complete
    engine on the caller's thread and parks it; the audio thread takes it over at its next block with a
    one-block linear crossfade from the running engine and retires the old one.

    Hand-over: the pending engine and its type travel together in one record, published with one atomic
    exchange and taken with one; a setter frees only the record its own exchange returned, and only the
    audio thread frees an engine it has run. */
class ReverbProcessor : public juce::QELProcessorBase
{
public:
    /** Reverb types, as the "Space - Reverb - Type" choice numbers them. */
    enum Type
    {
        off = 0,
        brightRoom = 1,
        darkRoom = 2,
        cathedral = 3,
        outerSpace = 4
    };

    ReverbProcessor();
    ~ReverbProcessor() override;

    /** Base preparation, the take-over buffers and the running engine for the new rate. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry path; the engines keep their tails. */
    void reset() override;
    /** Stores a non-zero tempo; the running engine gets the value, 0 included. */
    void setTempo (double bpm) override;
    /** Takes over a pending engine with a crossfade, or runs the current one. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** 0 fades the reverb out and keeps the engines; 1..4 builds a new engine of that type and parks it. */
    void setReverbType (int type);
    /** Reverb time in percent: the decay of the running engine (from the next block) and of every later one. */
    void setReverbTime (float percent);

    /** The type of the running engine (0 before the first take-over). Audio thread. */
    int getCurrentType() const noexcept { return currentType; }
    /** True while an engine waits for the audio thread. */
    bool hasPendingEngine() const noexcept { return pending.load() != nullptr; }
    /** The stored decay in percent. */
    float getDecay() const noexcept { return decay.load(); }

protected:
    /** Builds a reverb mode of the given type (1..4) with its type's own engine settings. */
    virtual std::unique_ptr<QEL::SkyReverbProcessorBase> createEngine (int type);

private:
    struct PendingEngine
    {
        std::unique_ptr<QEL::SkyReverbProcessorBase> engine;
        int type = 0;
        double sampleRate = 0.0;
        int blockSize = 0;
    };

    void configure (QEL::SkyReverbProcessorBase& engine, int type) const;
    void applyRunningSettings (QEL::SkyReverbProcessorBase& engine) const;
    void takeOver (std::unique_ptr<PendingEngine> incoming, const float* const* in, float* const* out, int numSamples,
                   int numInputChannels, int numChannels);

    std::atomic<PendingEngine*> pending { nullptr };
    std::atomic<float> decay { 50.0f };
    std::atomic<bool> decayChanged { false };
    std::atomic<double> preparedRate { 44100.0 };
    std::atomic<int> preparedBlock { 64 };

    std::unique_ptr<QEL::SkyReverbProcessorBase> current;
    int currentType = off;
    juce::AudioBuffer<float> incomingWet, outgoingWet;
};
} // namespace tessaro::dsp
