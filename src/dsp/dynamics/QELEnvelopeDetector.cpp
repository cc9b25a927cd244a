#include "dsp/dynamics/QELEnvelopeDetector.h"

#include <cmath>

namespace juce
{
QELEnvelopeDetector::QELEnvelopeDetector (float timeConstantMs, bool isEnabled)
    : enabled (isEnabled), tc (timeConstantMs)
{
    setCoef();
}

void QELEnvelopeDetector::setTc (float timeConstantMs)
{
    tc.store (timeConstantMs);
    setCoef();
}

float QELEnvelopeDetector::getTc() const
{
    return tc.load();
}

void QELEnvelopeDetector::setSampleRate (double newSampleRate)
{
    sampleRate.store (newSampleRate);
    setCoef();
}

double QELEnvelopeDetector::getSampleRate() const
{
    return sampleRate.load();
}

void QELEnvelopeDetector::setEnabled (bool shouldBeEnabled)
{
    enabled.store (shouldBeEnabled);
}

void QELEnvelopeDetector::setCoef()
{
    coef.store ((float) std::exp (-1000.0 / ((double) tc.load() * sampleRate.load())));
}
} // namespace juce
