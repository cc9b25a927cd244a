#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace tessaro::render
{
/** What a meter reads over a whole buffer: the peak and the RMS of all its channels, in dBFS. */
struct SignalLevels
{
    float peakDb = -std::numeric_limits<float>::infinity(); // largest absolute sample
    float rmsDb = -std::numeric_limits<float>::infinity();  // RMS over every finite sample of every channel
    juce::int64 nonFiniteSamples = 0;                       // NaN or infinite samples, left out of both levels

    /** Measures a buffer; silence and an empty buffer read minus infinity. */
    static SignalLevels measure (const juce::AudioBuffer<float>& buffer);

    /** "-6.02 dBFS", or "-inf dBFS" for silence. */
    static juce::String format (float decibels);
};
} // namespace tessaro::render
