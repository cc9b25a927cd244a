#pragma once

#include "chain/ModuleProcessorBase.h"
#include "chain/SaturationProcessor.h"
#include "dsp/dynamics/LookAheadCompressorProcessor.h"

#include <atomic>

namespace tessaro::dsp
{
/** The output module: four saturation characters with drive and blend, an output gain and a look-ahead
    limiter whose look-ahead is the module's latency, with Limit on or off. */
class GainProcessor : public ModuleProcessorBase
{
public:
    GainProcessor();

    /** The limiter's look-ahead, floor (0.005 s x rate), whether Limit is on or off. */
    int getLatencyInSamples() override;

    /** The look-ahead line holds the last few milliseconds of input. */
    bool holdsPastAudio() const noexcept override { return true; }

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;
    /** Saturation, output gain, limiter; after a rest, first catches up on the input it missed. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;
    /** Switched off: only the dry path runs; the saturation, gain and limiter rest. */
    void processWhileOff (float* const* channels, int numSamples, int numInputChannels, int numChannels) override;

    /** 0 Off, 1 Vintage Tape, 2 Clean Tube, 3 Warm Tube, 4 Broken Tube. */
    void setType (int type) { saturation.setType (type); }
    /** Drive in percent: +20 p/100 dB into the shaper, the same back out after it. */
    void setDrive (float percent) { saturation.setDrive (percent); }
    /** Saturation blend in percent. */
    void setSaturationMix (float percent) { saturation.setMix (percent); }
    /** Output gain in dB. */
    void setOutputGain (float db) { outputGain.setGainDb (db); }
    /** Crossfades the limiter in or out; the latency stays. */
    void setLimit (bool on);

    /** The look-ahead in samples for a rate: the 0.005 s float widened to double, times the rate, floored. */
    static int lookAheadSamplesFor (double rate) noexcept;

    bool isLimiting() const noexcept { return limit.load(); }

    static constexpr float lookAheadSeconds = 0.005f;

    SaturationProcessor saturation;
    QEL::GainProcessor outputGain;
    QEL::LookAheadCompressorProcessor limiter;

private:
    void alignDryPaths();
    void resumeFromRest (int numSamples, int numChannels);
    void runStages (float* const* channels, int numSamples, int numInputChannels, int numChannels);

    bool resting = false;                 // the stages skipped blocks while the module was off (audio thread)
    juce::AudioBuffer<float> missedInput; // the look-ahead's worth of input replayed after a rest

    std::atomic<bool> limit { false };
    std::atomic<double> limiterRate { 44100.0 };
};
} // namespace tessaro::dsp
