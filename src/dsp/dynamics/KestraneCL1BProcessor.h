#pragma once

#include "dsp/utility/GainProcessor.h"
#include "dsp/base/QELProcessorBase.h"
#include "dsp/dynamics/RiduziCompressor.h"

#include <array>
#include <atomic>
#include <memory>

/** The character compressor of the Compress module's slow setting: a feedback-keyed, stereo-linked
    compressor in double precision whose reduction is smoothed by a detector and then by a level-dependent
    CL1B stage. One control, the amount (0 to 100), sets the ratio from 1 to 10.

    setAmount, autoMakeup and the gain stages' setGainDb may be called from any thread; the audio thread
    applies a new amount at the start of its next block. getGainReductionDb may be read from any thread.
    Everything else (mode, initCompressor, the compressor itself) belongs to the owner's set-up and the
    audio thread. prepare re-initialises the compressor in place and never frees it. */
class KestraneCL1BProcessor : public juce::QELProcessorBase
{
public:
    KestraneCL1BProcessor();
    ~KestraneCL1BProcessor() override;

    /** Re-initialises the compressor and stages for the rate and channels, reapplies the mode and the
        amount, and prepares the gain stages. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry paths of this block and its gain stages; detector and stage states stay. */
    void reset() override;
    /** Input gain, compression, then make-up (with autoMakeup) or output gain, on out in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Applies mode (0 to 3; 3 is the CL1B configuration) to the compressor. */
    void initCompressor();
    /** Sets the amount in percent; the ratio 9 (amount / 100)^1.5 + 1 reaches the compressor at the next
        block. The owner sets makeupGain to 10 (amount / 100)^1.5 dB. */
    void setAmount (float percent);
    /** The gain reduction of channel 0 in dB (positive) at the end of the last block; 0 when bypassed. */
    double getGainReductionDb() const noexcept;

    /** The ratio for an amount in percent: 9 h + 1 with h = (amount / 100)^1.5 in single precision. */
    static double ratioForAmount (float percent) noexcept;

    std::unique_ptr<qel::RiduziCompressor<float>> compressor;
    std::array<qel::RiduziCompressorGainStageCL1B, 2> cl1bStages;
    QEL::GainProcessor inputGain;
    QEL::GainProcessor outputGain;
    QEL::GainProcessor makeupGain;
    int mode = 0;
    std::atomic<float> amount { 0.0f };
    std::atomic<bool> autoMakeup { false };

private:
    void applyPendingAmount() noexcept;
    void compressPiece (float* const* out, int numSamples, int numChannels) noexcept;

    std::atomic<bool> amountChanged { false };
    std::atomic<double> meterGainReductionDb { 0.0 };
    juce::AudioBuffer<double> work;
};
