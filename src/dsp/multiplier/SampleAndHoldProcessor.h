#pragma once

#include "dsp/base/LinearRamp.h"

#include <juce_core/juce_core.h>

namespace QEL
{
/** A slow random drift: a new value in [-0.125, 0.125) every hold period, reached by a straight glide of
    0.5 ms. It starts at 0 and holds it for one hold period. Seeded at construction, so a given seed
    always draws the same drift. */
class SampleAndHoldProcessor
{
public:
    /** A generator holding each value 1000 ms at 44100 Hz, drawing from the given seed. */
    explicit SampleAndHoldProcessor (juce::int64 seed = 1);
    virtual ~SampleAndHoldProcessor() = default;

    /** Restarts the random draws from a seed. */
    void setSeed (juce::int64 seed);
    /** Sets the hold time in milliseconds and restarts the hold count; an unchanged time does nothing. */
    void setHoldTime (float milliseconds);
    /** Stores the rate, restarts the hold count, sets the glide to 0.5 ms and ends a running glide. */
    void prepare (double newSampleRate);
    /** Starts the drift again as a new generator: the draws from the last seed, value 0, a full hold. */
    void restart() noexcept;
    /** Returns the next sample of the drift. */
    float generateSample();
    /** Advances numSamples samples exactly as that many generateSample calls do, without returning them. */
    void skip (int numSamples);

    /** The last sample returned. */
    float getLastValue() const noexcept { return lastValue; }
    /** The hold period in samples. */
    float getHoldSamples() const noexcept { return holdSamples; }

private:
    void drawNext();

    juce::Random random;
    juce::int64 seed = 1; // the seed restart draws from again
    float holdTimeMs = 1000.0f;
    float holdSamples = 44100.0f;
    float samplesUntilNext = 44100.0f;
    float lastValue = 0.0f;
    double sampleRate = 44100.0;
    LinearRamp<float> glide;
};
} // namespace QEL
