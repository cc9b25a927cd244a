#pragma once

#include "chain/ModuleProcessorBase.h"
#include "dsp/dynamics/GainReductionProcessor.h"
#include "dsp/dynamics/KestraneCL1BProcessor.h"
#include "dsp/utility/GainProcessor.h"

#include <atomic>

namespace tessaro::dsp
{
/** The dynamics module: input trim, a fast and a slow compressor that crossfade on "Slow", and an output
    trim that Auto replaces with the compressors' own make-up. */
class CompressProcessor : public ModuleProcessorBase
{
public:
    CompressProcessor();

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;
    /** Input, slow compressor, fast compressor, output, each through its own switch. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Input trim in dB. */
    void setInputGain (float db);
    /** Compression amount 0..100 %: both compressors' amount, the slow ratio and make-up, the fast trim. */
    void setCompression (float percent);
    /** Output trim in dB, heard only with Auto off. */
    void setOutputGain (float db);
    /** Chooses the slow compressor (true) or the fast one. */
    void setSlow (bool slow);
    /** Automatic make-up on both compressors; off fades the output and the fast trim stages in. */
    void setAuto (bool automatic);

    /** Lets the fast compressor's gain follow its detector smoothly for inputStepSeconds: the level it
        hears may step when the chain's order changes. */
    void inputSourceChanged() noexcept override;

    /** The meter reading, a linear gain (1 = no reduction, 0 at or below -100 dB). Safe on any thread. */
    float getMeterGain() const noexcept;

    /** Slow compressor ratio for an amount: 9 (c/100)^1.5 + 1. */
    static float slowRatioFor (float percent) noexcept;
    /** Slow compressor make-up in dB for an amount: 10 (c/100)^1.5. */
    static float slowMakeUpDbFor (float percent) noexcept;
    /** Fast compressor trim in dB for an amount: -30 c/100. */
    static float fastTrimDbFor (float percent) noexcept { return -30.0f * percent / 100.0f; }

    float getInputGain() const noexcept { return inputGainDb.load(); }
    float getCompression() const noexcept { return compression.load(); }
    float getOutputGain() const noexcept { return outputGainDb.load(); }
    bool isSlow() const noexcept { return slow.load(); }
    bool isAuto() const noexcept { return automatic.load(); }

    /** Length of a change of the input, output, trim and make-up gains. */
    static constexpr float gainRampSeconds = 0.02f;
    /** Length of a change of the input gain, which glides in decibels. */
    static constexpr float inputRampSeconds = 0.1f;
    /** How long the gain eases after the input's source changes: the detector's hold and a few times its
        release, which a step of the level runs through before the gain stands still again. */
    static constexpr double inputStepSeconds = 0.15;

    QEL::GainProcessor inputGain;
    QEL::GainProcessor outputGain;
    GainReductionProcessor fast;
    KestraneCL1BProcessor slowCompressor;

private:
    std::atomic<float> inputGainDb { 0.0f }, compression { 0.0f }, outputGainDb { 0.0f };
    std::atomic<bool> slow { false }, automatic { true };
    int inputStepSamples = 0;     // the length of an input step's easing at the prepared rate
    int inputStepSamplesLeft = 0; // audio thread: samples of the running easing still to come
    bool slowHeard = false;       // audio thread: the "Slow" choice the last block followed
};
} // namespace tessaro::dsp
