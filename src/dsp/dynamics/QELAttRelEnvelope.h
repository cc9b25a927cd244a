#pragma once

#include "dsp/dynamics/QELEnvelopeDetector.h"

#include <algorithm>
#include <cmath>

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
//==============================================================================
// Inline: the compressors and gates call these once or twice a sample.
inline float QELAttRelEnvelope::levelToDb (float level) noexcept
{
    return level > 0.0f ? std::max (20.0f * std::log10 (level), -100.0f) : -100.0f;
}

inline float QELAttRelEnvelope::dbToGain (float decibels) noexcept
{
    // Below 1e-9 dB either way the power rounds to exactly 1 (checked over every such float): a
    // released envelope's tail costs no power.
    if (std::abs (decibels) < 1.0e-9f)
        return 1.0f;

    return decibels > -100.0f ? std::pow (10.0f, decibels / 20.0f) : 0.0f;
}

inline void QELAttRelEnvelope::stepEnvelope (float x, float& e) noexcept
{
    if (x > e)
    {
        e = attackDetector.enabled.load() ? x + (e - x) * attackDetector.coef.load() : x;
        holdCounter = holdSamples;
        return;
    }

    if (holdCounter > 0)
    {
        --holdCounter;
        return;
    }

    // An envelope at exactly 0 dB (a fully open gate) divides by zero. The test below is written so that
    // the resulting inf or NaN counts as "not below 0.2", like any value that is not plainly below it.
    // The two logarithms are only taken when the slow release can use them.
    if (slowReleaseDetector.enabled.load() && ! (100.0 * (double) levelToDb (x) / (double) levelToDb (e) < 0.2))
    {
        e = x + (e - x) * slowReleaseDetector.coef.load();
        useSlowRelease = true;
        return;
    }

    e = releaseDetector.enabled.load() ? x + (e - x) * releaseDetector.coef.load() : x;
    useSlowRelease = false;
}
} // namespace juce
