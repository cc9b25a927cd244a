#pragma once

#include <juce_core/juce_core.h>

namespace QEL
{
/** Texts of the EQ curve editor: numbers, frequency labels and note names. */
struct Converter
{
    /** Equal-tempered pitches with A4 = 440 Hz, one per semitone from C0 (16.35 Hz) to D#10 (19912.13 Hz),
        rounded to two decimals as pitch tables print them. */
    static const float* noteFrequencies() noexcept;
    static constexpr int numNotes = 124;

    /** The name of the nearest pitch ("C" ... "B"; "Eb" from 20 kHz up), or empty outside the table. */
    static juce::String noteName (float hz);

    /** Up to six significant digits, no trailing zeros (100, 2.5, 10000). */
    static juce::String num (double v);
    /** Exactly one decimal (1000.0, -3.5). */
    static juce::String num1 (double v);

    /** A frequency grid label: 100 / 2k / 2.5k, or with units 100 Hz / 2 kHz / 2.5 kHz. */
    static juce::String frequencyLabel (float hz, bool withUnits);
};
} // namespace QEL
