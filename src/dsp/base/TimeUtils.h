#pragma once

#include <juce_core/juce_core.h>

namespace qel
{
/** Tempo-synchronised note lengths and their duration at a tempo. */
class TimeUtils
{
public:
    /** Note lengths from a sixty-fourth triplet (1) to one bar (19); other values name no note. */
    enum TempoSyncTimes : int
    {
        sixtyFourthTriplet = 1,
        sixtyFourth,
        sixtyFourthDotted,
        thirtySecondTriplet,
        thirtySecond,
        thirtySecondDotted,
        sixteenthTriplet,
        sixteenth,
        sixteenthDotted,
        eighthTriplet,
        eighth,
        eighthDotted,
        quarterTriplet,
        quarter,
        quarterDotted,
        halfTriplet,
        half,
        halfDotted,
        bar
    };

    /** The nineteen note texts, "1/64T" first and "1 Bar" last. */
    static const juce::StringArray& getNoteNames();

    /** Duration of a note in seconds at a tempo in BPM; 0 for a value that names no note
        or a tempo that is not positive. */
    static float noteToSeconds (TempoSyncTimes note, double bpm);
};
} // namespace qel
