#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/utility/TimeDelay.h"

#include <atomic>

/** A decorrelating widener: a side signal made from the delayed mid signal through four all-pass sections,
    a 12 kHz low-pass and a 210 Hz high-pass, added to the left channel and subtracted from the right, so the
    sum L + R keeps the input's mid signal.

    Computes in double precision. Every filter and the 374-sample delay are tuned once, for 44100 Hz, and
    keep that tuning at other rates (their frequencies and the delay time scale with the rate). The output
    gain fades in from 0 at 20 Hz after construction and is never returned to 0. */
class QELStereoizerProcessor : public juce::QELProcessorBase
{
public:
    /** Builds the filters and the delay for 44100 Hz; amount 0, output gain 0. */
    QELStereoizerProcessor();
    /** Frees the delay line. */
    ~QELStereoizerProcessor() override = default;

    /** Prepares the base; the amount ramp gets 0.05 s at the new rate and jumps to its target. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Zeroes the delay and every filter state, ends the amount ramp and fades the output in again. */
    void reset() override;
    /** Widens out in place; nothing happens while the set amount is 0. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Sets the width amount (0 to 100), also as the ramp's target; safe from any thread. */
    void setAmount (float newAmount) noexcept { amount.store (newAmount, std::memory_order_relaxed); }

    /** Widens one sample pair in place; channels is 2 for a stereo pair, 1 when right is a copy of left. */
    void processStereoizer (double& left, double& right, int channels) noexcept;

    /** A direct-form biquad in double precision. */
    struct Section
    {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

        double process (double x) noexcept;
        void clear() noexcept { x1 = x2 = y1 = y2 = 0.0; }
    };

    static constexpr double constructionRate = 44100.0;
    static constexpr int numAllPasses = 4;

    double sideScale = 1.5;
    double outputGainTarget = 1.0;
    std::atomic<float> amount { 0.0f };
    QEL::LinearRamp<float> amountRamp;
    double outputGain = 0.0;
    double lowPassCoefficient = 0.0;
    double lowPassState = 0.0;
    Section highPass;
    Section allPass[numAllPasses];
    TimeDelay sideDelay;

private:
    static int sideDelaySamples() noexcept;
    double outputGainCoefficient = 0.0;
};
