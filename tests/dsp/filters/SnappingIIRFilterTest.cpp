#include "dsp/filters/SnappingIIRFilter.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
// A high-pass and a resonant low-pass: an impulse's tail crosses the snapping level after a few hundred
// samples, where a filter that snapped only at the end of a block would leave a different tail.
TEST (SnappingIIRFilter, BlockRunsAsOneSampleCallsOfJuceFilter)
{
    const juce::IIRCoefficients designs[] = { juce::IIRCoefficients::makeHighPass (48000.0, 12000.0),
                                              juce::IIRCoefficients::makeLowPass (48000.0, 300.0, 8.0) };
    std::mt19937 random (3);
    std::normal_distribution<float> noise (0.0f, 0.3f);
    std::vector<float> input (16384, 0.0f);
    for (size_t n = 0; n < 256; ++n)
        input[n] = noise (random); // a burst, then a long silence for the tail

    for (const auto& design : designs)
    {
        juce::IIRFilter reference;
        reference.setCoefficients (design);
        QEL::SnappingIIRFilter filter;
        filter.setCoefficients (design);

        juce::IIRFilter wholeBlocks;
        wholeBlocks.setCoefficients (design);
        auto expected = input, actual = input, snappedAtBlockEnds = input;
        for (auto& x : expected)
            reference.processSamples (&x, 1);
        for (size_t start = 0; start < snappedAtBlockEnds.size(); start += 512)
            wholeBlocks.processSamples (snappedAtBlockEnds.data() + start, 512);
        ASSERT_NE (snappedAtBlockEnds, expected) << "the fixture reaches the snapping level";
        for (size_t start = 0; start < actual.size(); start += 512)
            filter.processSamples (actual.data() + start, 512);

        for (size_t n = 0; n < input.size(); ++n)
            ASSERT_EQ (actual[n], expected[n]) << "sample " << n;
    }
}
} // namespace
