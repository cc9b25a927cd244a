#pragma once

#include "dsp/dynamics/QELEnvelopeDetector.h"

namespace juce
{
/** The attack / hold / release envelope shared by the compressor and the gate: three detectors
    (attack, release and an optional slow release) and a hold time after every attack step.

    holdMs takes effect at the next setSampleRate. */
class QELAttRelEnvelope
{
public:
    /** An envelope with the given attack time in milliseconds, release 100 ms and slow release 1000 ms (off). */
    explicit QELAttRelEnvelope (float attackMs);
    virtual ~QELAttRelEnvelope() = default;

    /** Sets the attack time in milliseconds. */
    virtual void setAttack (float ms);
    /** The attack time in milliseconds. */
    virtual float getAttack() const;
    /** Sets the release time in milliseconds. */
    virtual void setRelease (float ms);
    /** Sets the slow-release time in milliseconds. */
    virtual void setSlowRelease (float ms);
    /** The release time the last release step used: the slow one when it ran, else the normal one. */
    virtual float getRelease() const;
    /** The slow-release time in milliseconds. */
    virtual float getSlowRelease() const;
    /** Switches the attack stage on (smoothed) or off (instant). */
    virtual void setAttackEnabled (bool shouldBeEnabled);
    /** Switches the release stage on (smoothed) or off (instant). */
    virtual void setReleaseEnabled (bool shouldBeEnabled);
    /** Switches the slow-release stage on or off. */
    virtual void setSlowReleaseEnabled (bool shouldBeEnabled);
    /** Gives the rate to all detectors, recomputes the hold length from holdMs and clears the hold. */
    virtual void setSampleRate (double newSampleRate);
    /** The sample rate in Hz. */
    virtual double getSampleRate() const;

    /** 20 log10 (v) limited to -100 dB; a level of 0 or less reads -100 dB. */
    static float levelToDb (float level) noexcept;
    /** 10^(dB / 20); -100 dB or less gives exactly 0. */
    static float dbToGain (float decibels) noexcept;

    float holdMs = 0.0f;
    int holdSamples = 0;
    int holdCounter = 0;
    QELEnvelopeDetector attackDetector;
    QELEnvelopeDetector releaseDetector { 100.0f, true };
    QELEnvelopeDetector slowReleaseDetector { 1000.0f, false };
    bool useSlowRelease = false;

protected:
    /** One envelope step of e towards the target x: attack, hold or (slow) release. */
    void stepEnvelope (float x, float& e) noexcept;
};
} // namespace juce
