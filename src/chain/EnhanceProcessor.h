#pragma once

#include "chain/ModuleProcessorBase.h"

#include <atomic>

namespace tessaro::dsp
{
/** The clarity module: an air band, a de-noise gate and a split-band de-esser, with the two detector states
    the editor's lamps show. */
class EnhanceProcessor : public ModuleProcessorBase
{
public:
    EnhanceProcessor();

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;
    /** Air band, de-noise, de-esser, in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Air amount in percent; ramps to p/100. */
    void setAir (float percent);
    /** De-esser amount in percent, limited to 0..100; ramps to p/100. */
    void setDeEss (float percent);
    /** De-noise amount in percent: the gate fades in above 0, threshold -10 - 0.9 (100 - p) dB. */
    void setDeNoise (float percent);

    /** True while the de-esser reduced the last block. Safe on any thread. */
    bool isDeEssing() const noexcept { return deEssing.load(); }
    /** True when the gate went below -1 dB at any sample of the last block. Safe on any thread. */
    bool isDeNoising() const noexcept { return deNoising.load(); }

    /** The gate threshold in dB for a de-noise amount. */
    static float deNoiseThresholdDbFor (float percent) noexcept { return -10.0f - 0.9f * (100.0f - percent); }

    float getAirTarget() const noexcept { return airTarget.load(); }
    float getDeEssAmount() const noexcept { return deEssAmount.load(); }
    bool isDeNoiseOn() const noexcept { return deNoiseOn.load(); }
    float getDeNoiseThresholdDb() const noexcept { return deNoiseThresholdDb.load(); }

private:
    std::atomic<float> airTarget { 0.0f }, deEssAmount { 0.0f }, deNoiseThresholdDb { -100.0f };
    std::atomic<bool> deNoiseOn { false };
    std::atomic<bool> deEssing { false }, deNoising { false };
};
} // namespace tessaro::dsp
