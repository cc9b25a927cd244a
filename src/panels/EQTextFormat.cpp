#include "panels/EQTextFormat.h"

#include <array>
#include <cmath>

namespace QEL
{
namespace
{
    std::array<float, Converter::numNotes> makeNoteTable()
    {
        std::array<float, Converter::numNotes> table {};
        for (int n = 0; n < Converter::numNotes; ++n)
        {
            const double hz = 440.0 * std::pow (2.0, (n - 57) / 12.0); // index 57 is A4
            table[(size_t) n] = (float) (std::round (hz * 100.0) / 100.0);
        }
        return table;
    }
} // namespace

const float* Converter::noteFrequencies() noexcept
{
    static const auto table = makeNoteTable();
    return table.data();
}

juce::String Converter::noteName (float hz)
{
    static const char* const names[] = { "C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#", "A", "Bb", "B" };
    if (hz >= 20000.0f)
        return "Eb";

    const float* notes = noteFrequencies();
    for (int k = 0; k + 1 < numNotes; ++k)
    {
        if (notes[k] <= hz && hz <= notes[k + 1])
        {
            const int nearest = hz >= 0.5f * (notes[k] + notes[k + 1]) ? k + 1 : k;
            return names[nearest % 12];
        }
    }
    return {};
}

juce::String Converter::num (double v)
{
    return juce::String (v);
}

juce::String Converter::num1 (double v)
{
    return juce::String (v, 1);
}

juce::String Converter::frequencyLabel (float hz, bool withUnits)
{
    if (hz < 1000.0f)
        return num (hz) + (withUnits ? " Hz" : "");
    return num (hz / 1000.0f) + (withUnits ? " kHz" : "k");
}
} // namespace QEL
