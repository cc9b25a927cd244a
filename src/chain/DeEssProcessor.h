#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/dynamics/QELCompressor.h"
#include "dsp/filters/SnappingIIRFilter.h"

#include <atomic>
#include <vector>

namespace tessaro::dsp
{
/** The split-band de-esser: detects sibilance on channel 0 from its energy against a slow average and its
    zero-crossing rate, and compresses only the band above 6.6 kHz while sibilance lasts. */
class DeEssProcessor : public juce::QELProcessorBase
{
public:
    DeEssProcessor();

    /** Base preparation; every coefficient for the rate, the compressors and the detector from rest. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Puts detector, split filters, compressors and amount ramp back as prepare leaves them. */
    void reset() override;
    /** Detects on channel 0, then splits, compresses the high band and sums each channel. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Sets the amount (0..1): the compressors' threshold goes down to -80 dB. */
    void setAmount (float amount) { amountTarget.store (amount); }

    /** True while sibilance is detected (audio thread). */
    bool isLatched() const noexcept { return latch; }
    /** True when a compressor reduced the last sample. Safe on any thread. */
    bool isReducing() const noexcept;

    static constexpr float onRatioDb = 4.5f, offRatioDb = 2.5f, onRate = 0.18f, offRate = 0.1f;
    static constexpr float minimumEnergy = 1.0e-6f;

    juce::QELCompressor compressors[2];

    /** Energy ratios that are plainly below or above a limit in dB. */
    struct RatioBounds
    {
        float surelyBelow, surelyAbove;
    };
    /** The ratios 0.1 % below and above a limit in dB. */
    static RatioBounds boundsFor (float limitDb) noexcept;
    /** Whether 10 log10 (ratio) >= limitDb, the logarithm taken only between the bounds. */
    static bool reaches (float ratio, float limitDb, const RatioBounds& bounds) noexcept;

private:
    struct Biquad
    {
        float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        float x1 = 0, x2 = 0, y1 = 0, y2 = 0;

        float process (float x) noexcept;
        void clear() noexcept { x1 = x2 = y1 = y2 = 0.0f; }
    };

    void restDetector() noexcept;
    float detect (float x) noexcept;
    /** Detection and threshold for a piece of channel 0, into latched and thresholds. */
    void detectPiece (const float* channel0, int numSamples) noexcept;
    /** One channel's split and high-band compression over a piece, by the detected values. */
    void compressPiece (int ch, float* samples, int numSamples) noexcept;
    /** Gives a compressor whose channel is absent the same per-sample targets. */
    void followPiece (juce::QELCompressor& compressor, int numSamples) noexcept;

    float fastEnergy = 0.0f, slowEnergy = 1.0e-6f;
    float fastA = 0.0f, fastB = 1.0f, slowA = 0.0f, slowB = 1.0f;
    float crossingRate = 0.0f;
    int previousSign = 1;
    float crossA = 0.0f, crossB = 1.0f;
    bool latch = false;
    const RatioBounds onBounds = boundsFor (onRatioDb), offBounds = boundsFor (offRatioDb);

    std::atomic<float> amountTarget { 0.0f };
    QEL::LinearRamp<float> amount { 0.0f };
    Biquad lowPass[2], highPass[2];
    QEL::SnappingIIRFilter detection;
    std::vector<float> latched, thresholds; // per sample of a piece: 1 while sibilance, the threshold in dB
};
} // namespace tessaro::dsp
