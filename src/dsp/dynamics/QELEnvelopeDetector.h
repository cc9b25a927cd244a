#pragma once

#include <atomic>

namespace juce
{
/** A time constant and a sample rate turned into a one-pole smoothing coefficient,
    coef = exp (-1000 / (tc * sampleRate)), computed in double and kept as a float.

    The owner's parameter thread may change the time while the audio thread reads coef: each value is
    stored whole. A time or rate of 0 gives a coefficient of 0 (no smoothing). */
class QELEnvelopeDetector
{
public:
    /** A detector with the given time constant in milliseconds, at 44100 Hz. */
    explicit QELEnvelopeDetector (float timeConstantMs = 10.0f, bool isEnabled = true);
    virtual ~QELEnvelopeDetector() = default;

    /** Sets the time constant in milliseconds and recomputes the coefficient. */
    virtual void setTc (float timeConstantMs);
    /** The time constant in milliseconds. */
    virtual float getTc() const;
    /** Sets the sample rate in Hz and recomputes the coefficient. */
    virtual void setSampleRate (double newSampleRate);
    /** The sample rate in Hz. */
    virtual double getSampleRate() const;
    /** Switches the stage on or off; the envelopes skip a stage that is off. */
    virtual void setEnabled (bool shouldBeEnabled);
    /** Recomputes the coefficient from the time constant and the sample rate. */
    virtual void setCoef();

    std::atomic<bool> enabled { true };
    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<float> tc { 10.0f };
    std::atomic<float> coef { 0.0f };
};
} // namespace juce
