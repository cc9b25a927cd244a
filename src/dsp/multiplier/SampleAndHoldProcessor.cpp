#include "dsp/multiplier/SampleAndHoldProcessor.h"

#include <cmath>

namespace QEL
{
SampleAndHoldProcessor::SampleAndHoldProcessor (juce::int64 seed) : random (seed) {}

void SampleAndHoldProcessor::setSeed (juce::int64 seed)
{
    random.setSeed (seed);
}

void SampleAndHoldProcessor::setHoldTime (float milliseconds)
{
    if (milliseconds == holdTimeMs)
        return;

    holdTimeMs = milliseconds;
    holdSamples = samplesUntilNext = (float) (milliseconds * sampleRate / 1000.0);
}

void SampleAndHoldProcessor::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    holdSamples = samplesUntilNext = (float) (holdTimeMs * newSampleRate / 1000.0);
    glide.reset ((int) std::floor (newSampleRate * 0.0005));
}

float SampleAndHoldProcessor::generateSample()
{
    if (samplesUntilNext > 0.0f)
    {
        samplesUntilNext -= 1.0f;
    }
    else
    {
        const double u = random.nextFloat();
        glide.setTargetValue ((float) (u * 0.25 - 0.125));
        samplesUntilNext = holdSamples;
    }

    lastValue = glide.getNextValue();
    return lastValue;
}
} // namespace QEL
