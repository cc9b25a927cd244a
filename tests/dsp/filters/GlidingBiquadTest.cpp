#include "dsp/filters/GlidingBiquad.h"

#include "dsp/BlockSignals.h"

#include <juce_dsp/juce_dsp.h>

#include <gtest/gtest.h>

namespace
{
using QEL::GlidingBiquad;
using Design = juce::dsp::IIR::ArrayCoefficients<float>;
} // namespace

// Standing still, the section is JUCE's filter sample for sample, whatever the design, so a band at rest
// sounds exactly as a plain biquad does.
TEST (GlidingBiquad, StandingStillItIsJucesFilterBitForBit)
{
    const std::array<float, 6> designs[] = { Design::makeLowShelf (44100.0, 100.0f, 0.707f, 2.5f),
                                             Design::makeHighPass (48000.0, 20.0f, 10.0f),
                                             Design::makeLowPass (22050.0, 10800.0f, 0.1f) };
    const auto input = blocksignals::noise (4096);

    for (const auto& design : designs)
    {
        juce::dsp::IIR::Filter<float> reference (new juce::dsp::IIR::Coefficients<float> (design));
        GlidingBiquad section;
        section.setCoefficients (GlidingBiquad::normalise (design));

        for (size_t i = 0; i < input.size(); ++i)
        {
            const float x = input[i];
            const float y = i % 7 == 0 ? section.processStillRemembering (0, x) : section.processStill (0, x);
            ASSERT_EQ (y, reference.processSample (x)) << i;
        }
    }
}

// A glide lands exactly on its target, and the still form then continues the moving one without a step:
// the output equals a section that ran the target all along once the history before the glide has faded.
TEST (GlidingBiquad, AGlideLandsOnItsTargetAndHandsOverWithoutAStep)
{
    const auto from = GlidingBiquad::normalise (Design::makePeakFilter (44100.0, 200.0f, 1.0f, 4.0f));
    const auto to = GlidingBiquad::normalise (Design::makePeakFilter (44100.0, 3000.0f, 4.0f, 0.25f));
    const auto input = blocksignals::noise (44100);

    GlidingBiquad moved, still;
    moved.setCoefficients (from);
    still.setCoefficients (to);

    size_t i = 0;
    for (; i < 1000; ++i)
        moved.processStillRemembering (0, input[i]);

    moved.glideTo (to, 441);
    for (int step = 0; step < 441; ++step, ++i)
    {
        moved.advance();
        moved.processMoving (0, input[i]);
    }
    moved.settle();
    EXPECT_FALSE (moved.isGliding());
    EXPECT_EQ (moved.getCoefficients(), to);

    float largestStep = 0.0f, last = 0.0f;
    for (; i < input.size(); ++i)
    {
        const float y = moved.processStill (0, input[i]);
        const float reference = still.processStill (0, input[i]);
        if (i > 22050)
        {
            ASSERT_NEAR (y, reference, 1.0e-6f) << i;
        }
        if (i > 1441)
            largestStep = std::max (largestStep, std::abs (y - last));
        last = y;
    }
    EXPECT_LT (largestStep, 2.0f); // a bounded filter of bounded noise: no blow-up at the hand-over
}
