#include "dsp/base/TimeUtils.h"

#include <cmath>

namespace qel
{
const juce::StringArray& TimeUtils::getNoteNames()
{
    static const juce::StringArray names { "1/64T", "1/64",  "1/64D", "1/32T", "1/32", "1/32D", "1/16T",
                                           "1/16",  "1/16D", "1/8T",  "1/8",   "1/8D", "1/4T",  "1/4",
                                           "1/4D",  "1/2T",  "1/2",   "1/2D",  "1 Bar" };
    return names;
}

float TimeUtils::noteToSeconds (TempoSyncTimes note, double bpm)
{
    if (note < sixtyFourthTriplet || note > bar || ! (bpm > 0.0) || ! std::isfinite (bpm))
        return 0.0f;

    const double beat = 60.0 / bpm;

    // Triplet lengths are thirds of a power of two, so they are divided rather than
    // multiplied by a rounded fraction.
    switch (note)
    {
        case sixtyFourthTriplet: return (float) (beat / 24.0);
        case sixtyFourth: return (float) (beat * 0.0625);
        case sixtyFourthDotted: return (float) (beat * 0.09375);
        case thirtySecondTriplet: return (float) (beat / 12.0);
        case thirtySecond: return (float) (beat * 0.125);
        case thirtySecondDotted: return (float) (beat * 0.1875);
        case sixteenthTriplet: return (float) (beat / 6.0);
        case sixteenth: return (float) (beat * 0.25);
        case sixteenthDotted: return (float) (beat * 0.375);
        case eighthTriplet: return (float) (beat / 3.0);
        case eighth: return (float) (beat * 0.5);
        case eighthDotted: return (float) (beat * 0.75);
        case quarterTriplet: return (float) (beat * 2.0 / 3.0);
        case quarter: return (float) beat;
        case quarterDotted: return (float) (beat * 1.5);
        case halfTriplet: return (float) (beat * 4.0 / 3.0);
        case half: return (float) (beat * 2.0);
        case halfDotted: return (float) (beat * 3.0);
        case bar: return (float) (beat * 4.0);
    }
    return 0.0f;
}
} // namespace qel
