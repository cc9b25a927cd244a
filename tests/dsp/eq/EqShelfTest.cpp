#include "dsp/eq/eq.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

using FilterMeasure::shelfResponseDb;

namespace
{
constexpr double fs = 44100.0;

/** The cut's numerator and denominator before normalisation: the boost of the same size, swapped. */
struct RawCut
{
    double b[3], a0;
};

RawCut rawLowShelfCut (double f, double gainDb, double q)
{
    const double w = FilterMeasure::pi * f;
    const double A = std::sqrt (std::pow (10.0, std::abs (gainDb) / 20.0));
    const double s = std::sin (w) * std::sqrt (A) / q, c = std::cos (w);
    const double P = (A + 1.0) + (A - 1.0) * c, M = (A + 1.0) - (A - 1.0) * c;
    return { { P + s, -2.0 * ((A - 1.0) + (A + 1.0) * c), P - s }, A * (M + s) };
}
} // namespace

TEST (EqShelf, CutsAreTheExactInverseOfBoosts)
{
    // Exact but for the single-precision coefficients, which matter most near 0 Hz.
    for (float gain : { 3.0f, 6.0f, 9.0f })
    {
        eq boost, cut;
        boost.calclo (120.0f / 44100.0f, gain, 0.707f);
        cut.calclo (120.0f / 44100.0f, -gain, 0.707f);
        boost.calchi (8000.0f / 44100.0f, gain, 1.2f);
        cut.calchi (8000.0f / 44100.0f, -gain, 1.2f);

        for (double hz : { 20.0, 60.0, 120.0, 500.0, 4000.0, 8000.0, 16000.0 })
        {
            EXPECT_NEAR (shelfResponseDb (boost.lowShelf, hz, fs) + shelfResponseDb (cut.lowShelf, hz, fs), 0.0, 0.05)
                << gain << " dB at " << hz;
            EXPECT_NEAR (shelfResponseDb (boost.highShelf, hz, fs) + shelfResponseDb (cut.highShelf, hz, fs), 0.0, 0.05)
                << gain << " dB at " << hz;
        }
    }
}

TEST (EqShelf, ShelvesReachTheirGainAndLeaveTheOtherEndAlone)
{
    eq shelves;
    shelves.calclo (200.0f / 44100.0f, 6.0f, 0.707f);
    shelves.calchi (5000.0f / 44100.0f, -6.0f, 0.707f);

    EXPECT_NEAR (shelfResponseDb (shelves.lowShelf, 10.0, fs), 6.0, 0.05);
    EXPECT_NEAR (shelfResponseDb (shelves.lowShelf, 10000.0, fs), 0.0, 0.05);
    EXPECT_NEAR (shelfResponseDb (shelves.highShelf, 22000.0, fs), -6.0, 0.05);
    EXPECT_NEAR (shelfResponseDb (shelves.highShelf, 50.0, fs), 0.0, 0.05);
}

TEST (EqShelf, DeepLowCutBecomesASecondOrderHighPassWithAUnityPassBand)
{
    const double f = 100.0 / fs;
    for (float gain : { -12.0f, -15.0f, -24.0f })
    {
        eq shelf;
        shelf.calclo ((float) f, gain, 0.707f);

        // The numerator is the double zero at 0 Hz scaled by the cut's own b0: B·(1, -2, 1) / a0.
        const auto raw = rawLowShelfCut ((float) f, gain, 0.707f);
        const double B = raw.b[0];
        EXPECT_NEAR (shelf.lowShelf[2], B / raw.a0, 1e-6) << gain;
        EXPECT_NEAR (shelf.lowShelf[3], -2.0 * B / raw.a0, 1e-6) << gain;
        EXPECT_NEAR (shelf.lowShelf[4], B / raw.a0, 1e-6) << gain;

        for (double hz : { 1000.0, 5000.0, 20000.0 })
            EXPECT_NEAR (shelfResponseDb (shelf.lowShelf, hz, fs), 0.0, 1.0) << gain << " dB at " << hz;

        // Well below the corner: 12 dB per octave.
        EXPECT_NEAR (shelfResponseDb (shelf.lowShelf, 10.0, fs) - shelfResponseDb (shelf.lowShelf, 5.0, fs), 12.04, 0.1)
            << gain;
    }
}

TEST (EqShelf, BetweenMinusNineAndMinusTwelveTheNumeratorMovesPartWay)
{
    const float f = 150.0f / 44100.0f;
    eq morphed;
    morphed.calclo (f, -10.5f, 1.0f);

    // Halfway between the plain cut's numerator and the double zero.
    const auto raw = rawLowShelfCut (f, -10.5, 1.0);
    const double target[3] = { raw.b[0], -2.0 * raw.b[0], raw.b[0] };
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR (morphed.lowShelf[2 + i], (raw.b[i] + target[i]) / 2.0 / raw.a0, 1e-6) << i;

    eq plainCut;
    plainCut.calclo (f, -9.0f, 1.0f);
    EXPECT_NEAR (shelfResponseDb (plainCut.lowShelf, 2.0, fs), -9.0, 0.05);
    EXPECT_LT (shelfResponseDb (morphed.lowShelf, 2.0, fs), -15.0);
}

TEST (EqShelf, DeepHighCutHasADoubleZeroAtNyquist)
{
    eq shelf;
    shelf.calchi (6000.0f / 44100.0f, -12.0f, 0.707f);
    EXPECT_LT (shelfResponseDb (shelf.highShelf, 22049.0, fs), -60.0);
    // The lows stay near unity, with a small lift below the corner.
    EXPECT_NEAR (shelfResponseDb (shelf.highShelf, 50.0, fs), 0.0, 1.5);
}

TEST (EqShelf, FrequencyAndQAreClamped)
{
    const struct
    {
        float f, q, clampedF, clampedQ;
    } cases[] = { { 0.7f, 1.0f, 0.5f, 1.0f }, { 0.1f, 0.01f, 0.1f, 0.1f }, { 0.1f, 50.0f, 0.1f, 10.0f } };

    for (const auto& c : cases)
    {
        eq asked, clamped;
        asked.calclo (c.f, 4.0f, c.q);
        clamped.calclo (c.clampedF, 4.0f, c.clampedQ);
        asked.calchi (c.f, 4.0f, c.q);
        clamped.calchi (c.clampedF, 4.0f, c.clampedQ);
        for (int i = 0; i < 5; ++i)
        {
            EXPECT_EQ (asked.lowShelf[i], clamped.lowShelf[i]) << c.f << " " << c.q;
            EXPECT_EQ (asked.highShelf[i], clamped.highShelf[i]) << c.f << " " << c.q;
        }
    }
}

TEST (EqShelf, EachCalculatorWritesOnlyItsOwnSet)
{
    eq shelves;
    shelves.calclo (0.01f, 6.0f, 1.0f);
    const float highBefore[5] = { shelves.highShelf[0], shelves.highShelf[1], shelves.highShelf[2],
                                  shelves.highShelf[3], shelves.highShelf[4] };
    shelves.calclo (0.02f, -3.0f, 1.0f);
    EXPECT_TRUE (std::equal (std::begin (highBefore), std::end (highBefore), std::begin (shelves.highShelf)));
}
