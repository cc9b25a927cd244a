#include "dsp/dynamics/QELAttRelEnvelope.h"

#include <algorithm>
#include <cmath>

namespace juce
{
QELAttRelEnvelope::QELAttRelEnvelope (float attackMs) : attackDetector (attackMs, true) {}

void QELAttRelEnvelope::setAttack (float ms)
{
    attackDetector.setTc (ms);
}

float QELAttRelEnvelope::getAttack() const
{
    return attackDetector.getTc();
}

void QELAttRelEnvelope::setRelease (float ms)
{
    releaseDetector.setTc (ms);
}

void QELAttRelEnvelope::setSlowRelease (float ms)
{
    slowReleaseDetector.setTc (ms);
}

float QELAttRelEnvelope::getRelease() const
{
    return useSlowRelease ? slowReleaseDetector.getTc() : releaseDetector.getTc();
}

float QELAttRelEnvelope::getSlowRelease() const
{
    return slowReleaseDetector.getTc();
}

void QELAttRelEnvelope::setAttackEnabled (bool shouldBeEnabled)
{
    attackDetector.setEnabled (shouldBeEnabled);
}

void QELAttRelEnvelope::setReleaseEnabled (bool shouldBeEnabled)
{
    releaseDetector.setEnabled (shouldBeEnabled);
}

void QELAttRelEnvelope::setSlowReleaseEnabled (bool shouldBeEnabled)
{
    slowReleaseDetector.setEnabled (shouldBeEnabled);
}

void QELAttRelEnvelope::setSampleRate (double newSampleRate)
{
    attackDetector.setSampleRate (newSampleRate);
    releaseDetector.setSampleRate (newSampleRate);
    slowReleaseDetector.setSampleRate (newSampleRate);
    holdSamples = (int) (newSampleRate * (double) holdMs / 1000.0);
    holdCounter = 0;
}

double QELAttRelEnvelope::getSampleRate() const
{
    return attackDetector.getSampleRate();
}

float QELAttRelEnvelope::levelToDb (float level) noexcept
{
    return level > 0.0f ? std::max (20.0f * std::log10 (level), -100.0f) : -100.0f;
}

float QELAttRelEnvelope::dbToGain (float decibels) noexcept
{
    // Below 1e-9 dB either way the power rounds to exactly 1 (checked over every such float): a
    // released envelope's tail costs no power.
    if (std::abs (decibels) < 1.0e-9f)
        return 1.0f;

    return decibels > -100.0f ? std::pow (10.0f, decibels / 20.0f) : 0.0f;
}

void QELAttRelEnvelope::stepEnvelope (float x, float& e) noexcept
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
