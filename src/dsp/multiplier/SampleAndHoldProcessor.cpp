#include "dsp/multiplier/SampleAndHoldProcessor.h"

#include <algorithm>
#include <cmath>

namespace QEL
{
SampleAndHoldProcessor::SampleAndHoldProcessor (juce::int64 initialSeed) : random (initialSeed), seed (initialSeed) {}

void SampleAndHoldProcessor::setSeed (juce::int64 newSeed)
{
    seed = newSeed;
    random.setSeed (newSeed);
}

void SampleAndHoldProcessor::restart() noexcept
{
    random.setSeed (seed);
    samplesUntilNext = holdSamples;
    lastValue = 0.0f;
    glide.setCurrentAndTargetValue (0.0f);
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

void SampleAndHoldProcessor::drawNext()
{
    const double u = random.nextFloat();
    glide.setTargetValue ((float) (u * 0.25 - 0.125));
    samplesUntilNext = holdSamples;
}

float SampleAndHoldProcessor::generateSample()
{
    if (samplesUntilNext > 0.0f)
        samplesUntilNext -= 1.0f;
    else
        drawNext();

    lastValue = glide.getNextValue();
    return lastValue;
}

// The count goes down by whole samples, so subtracting a run of them at once lands on the same float;
// the glide moves sample by sample only while it runs.
void SampleAndHoldProcessor::skip (int numSamples)
{
    // Holding a settled value through the whole run: only the count moves.
    if (numSamples > 0 && samplesUntilNext >= (float) numSamples && ! glide.isSmoothing())
    {
        samplesUntilNext -= (float) numSamples;
        lastValue = glide.getTargetValue();
        return;
    }

    while (numSamples > 0)
    {
        int steps = 1;
        if (samplesUntilNext > 0.0f)
        {
            steps = (int) std::min ((double) numSamples, std::ceil ((double) samplesUntilNext));
            samplesUntilNext -= (float) steps;
        }
        else
        {
            drawNext();
        }

        for (int i = 0; i < steps && glide.isSmoothing(); ++i)
            glide.getNextValue();
        lastValue = glide.isSmoothing() ? glide.getCurrentValue() : glide.getTargetValue();
        numSamples -= steps;
    }
}
} // namespace QEL
