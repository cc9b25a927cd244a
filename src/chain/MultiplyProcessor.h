#pragma once

#include "chain/ModuleProcessorBase.h"
#include "dsp/multiplier/QelVocalMultiplierProcessor.h"

#include <atomic>

namespace tessaro::dsp
{
/** The doubling module: the vocal multiplier with spread, offset, amount and low. It always adds
    the multiplier's fixed latency, also while switched off. */
class MultiplyProcessor : public ModuleProcessorBase
{
public:
    MultiplyProcessor();

    /** The multiplier's latency, 2048 samples at every rate. */
    int getLatencyInSamples() override { return latencySamples; }

    /** The latency line and the voices hold past input. */
    bool holdsPastAudio() const noexcept override { return true; }

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;
    void setTempo (double bpm) override;
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;
    /** Switched off: only the dry path and the multiplier's controls run; its voices and its own latency line,
        which would hold the same samples as the dry path, rest. */
    void processWhileOff (float* const* channels, int numSamples, int numInputChannels, int numChannels) override;

    /** Spread 0..200 %: up to 100 narrows the voices' image (0 mono), above adds extra spread. */
    void setSpread (float percent);
    /** Offset in percent: 0.6 + 1.4 p/100. */
    void setOffset (float percent);
    /** Amount in percent: 2 (10^(p/100) - 1) / 9. */
    void setAmount (float percent);
    /** Low in percent: a linear gain of 2 p/100. */
    void setLow (float percent);

    static float offsetFor (float percent) noexcept { return 0.6f + 1.4f * percent / 100.0f; }
    static float amountFor (float percent) noexcept
    {
        return 2.0f * (std::pow (10.0f, percent / 100.0f) - 1.0f) / 9.0f;
    }
    static float lowGainFor (float percent) noexcept { return 2.0f * percent / 100.0f; }

    float getSpread() const noexcept { return spread.load(); }
    float getOffset() const noexcept { return offset.load(); }
    float getAmount() const noexcept { return amount.load(); }
    float getLowGain() const noexcept { return lowGain.load(); }

    static constexpr int latencySamples = QelVocalMultiplierProcessor::latencySamples;

    QelVocalMultiplierProcessor multiplier;

private:
    void refillLatencyLine (int numSamples, int numChannels) noexcept;
    void catchUpControls (int numChannels);

    /** Resting controls move in steps of at least this many samples: unheard, a control change may wait. */
    static constexpr int restStepSamples = 1024;
    int restedSamples = 0; // samples the resting controls still owe (audio thread)

    bool latencyLineBehind = false; // the multiplier's latency line missed blocks while off (audio thread)
    std::atomic<float> spread { 100.0f }, offset { 0.6f }, amount { 0.0f }, lowGain { 0.0f };
};
} // namespace tessaro::dsp
