#include "dsp/dynamics/QELGate.h"

#include <algorithm>
#include <cmath>

namespace juce
{
namespace
{
    constexpr float offset = 1.0e-25f;
    constexpr float noRangeFloor = -100.0f;
} // namespace

QELGate::QELGate() : QELAttRelEnvelope (1.0f) {}

void QELGate::setThresh (float decibels)
{
    thresholdDb.store (decibels);
    thresholdGain.store (dbToGain (decibels));
}

float QELGate::getThresh() const
{
    return thresholdDb.load();
}

void QELGate::initRuntime()
{
    envelope = offset;
}

void QELGate::processSingleSampleMono (float& sample)
{
    float copy = sample;
    processSingleSampleStereo (sample, copy);
}

void QELGate::processSingleSampleMono (float& sample, float key)
{
    float copy = sample;
    processSingleSampleStereo (sample, copy, key, key);
}

void QELGate::processSingleSampleStereo (float& left, float& right)
{
    processSingleSampleStereo (left, right, left, right);
}

void QELGate::processSingleSampleStereo (float& left, float& right, float keyLeft, float keyRight)
{
    processKeyLinked (left, right, std::max (std::abs (keyLeft), std::abs (keyRight)));
}

void QELGate::processKeyLinked (float& left, float& right, float key)
{
    const float level = std::abs (key);
    float target = 1.0f;

    if (! (level > thresholdGain.load()))
    {
        const float attenuationDb = (levelToDb (level) - thresholdDb.load()) * (1.0f - ratio.load());
        target = attenuationDb <= -100.0f ? offset : std::pow (10.0f, attenuationDb / 20.0f) + offset;
    }

    stepEnvelope (target, envelope);

    float gain = envelope - offset;
    const float floorDb = rangeDb.load();

    if (floorDb != noRangeFloor)
        gain = std::max (gain, std::pow (10.0f, floorDb / 20.0f));

    // A gate that stands open (or shut) holds its gain: the read-out's logarithm is taken when it moves.
    if (! (gain == meterGainSeen))
    {
        meterGainSeen = gain;
        meterDbSeen = levelToDb (gain);
    }
    lastGainDb.store (meterDbSeen, std::memory_order_relaxed);
    left *= gain;
    right *= gain;
}

//==============================================================================
void QELGateRms::setSampleRate (double newSampleRate)
{
    QELGate::setSampleRate (newSampleRate);
    windowDetector.setSampleRate (newSampleRate);
}

void QELGateRms::initRuntime()
{
    QELGate::initRuntime();
    meanSquare = offset;
}

void QELGateRms::processSingleSampleStereo (float& left, float& right)
{
    float power = left * left + right * right + offset;

    if (windowDetector.enabled.load())
        power = power + (meanSquare - power) * windowDetector.coef.load();

    meanSquare = power;
    processKeyLinked (left, right, std::sqrt (power));
}

void QELGateRms::setWindow (float ms)
{
    windowDetector.setTc (ms);
}

float QELGateRms::getWindow() const
{
    return windowDetector.getTc();
}
} // namespace juce
