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

} // namespace juce
