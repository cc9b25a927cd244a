#pragma once

#include "chain/BreathProcessor.h"
#include "chain/DeEssProcessor.h"
#include "chain/ModuleProcessorBase.h"
#include "dsp/dynamics/QELCompressor.h"
#include "dsp/filters/SnappingIIRFilter.h"

#include <atomic>
#include <vector>

namespace tessaro::dsp
{
/** The clarity module: a parallel air band (a compressed copy of the content above 12 kHz), a de-noise gate
    and a split-band de-esser, with the two detector states the editor's lamps show. */
class EnhanceProcessor : public ModuleProcessorBase
{
public:
    EnhanceProcessor();

    /** Prepares the air band, the de-noise gate and the de-esser. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Puts the air band, the de-noiser and the de-esser back as prepare leaves them, in place. */
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

    /** True while the de-esser reduced the last sample. Safe on any thread. */
    bool isDeEssing() const noexcept { return deEss.isReducing(); }
    /** True when the gate went below -1 dB at any sample of the last block. Safe on any thread. */
    bool isDeNoising() const noexcept { return deNoise.getBlockMinimumDb() < -1.0f; }

    /** The gate threshold in dB for a de-noise amount. */
    static float deNoiseThresholdDbFor (float percent) noexcept { return -10.0f - 0.9f * (100.0f - percent); }

    float getAirTarget() const noexcept { return airTarget.load(); }
    float getDeEssAmount() const noexcept { return deEssAmount.load(); }
    bool isDeNoiseOn() const noexcept { return deNoise.active.load(); }
    float getDeNoiseThresholdDb() const noexcept { return deNoise.gate.getThresh(); }

    static constexpr float airCutOff = 12000.0f;

    BreathProcessor deNoise;
    DeEssProcessor deEss;

private:
    void processAir (float* const* out, int numSamples, int numChannels) noexcept;

    std::atomic<float> airTarget { 0.0f }, deEssAmount { 0.0f };
    QEL::LinearRamp<float> airAmount { 0.0f };
    bool airResting = false; // the air band is silent and its filters and compressors wait
    QEL::SnappingIIRFilter airFilters[2];
    juce::QELCompressor airCompressors[2];
    std::vector<float> airBand[2], airGains; // a piece of each channel's air band and of the band's gain
};
} // namespace tessaro::dsp
