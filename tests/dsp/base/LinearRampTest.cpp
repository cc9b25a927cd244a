#include "dsp/base/LinearRamp.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace
{
struct TargetCase
{
    float a;
    float b;
    bool same;
};

TEST (LinearRampTolerance, ComparesWithinOneEpsilonOfTheLargerMagnitude)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();

    const TargetCase cases[] = {
        { 1.0f, 1.0f, true },
        { 1.0f, 1.0f + FLT_EPSILON, true },
        { 1.0f, 1.0f + 2.0f * FLT_EPSILON, false },
        // The larger magnitude counts, also for negative values.
        { -1.0f, -1.0f - FLT_EPSILON, true },
        { -1.0f, -1.0f - 4.0f * FLT_EPSILON, false },
        { 0.0f, -0.0f, true },
        // Near zero the absolute tolerance holds.
        { 0.0f, FLT_MIN, true },
        { 0.0f, 2.0f * FLT_MIN, false },
        { 0.0f, 1.0e-30f, false },
        // Values that are not finite compare exactly.
        { inf, inf, true },
        { inf, FLT_MAX, false },
        { -inf, inf, false },
        { nan, nan, false },
        { nan, 0.0f, false },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (QEL::approximatelyEqualTarget (c.a, c.b), c.same) << c.a << " vs " << c.b;
        EXPECT_EQ (QEL::approximatelyEqualTarget (c.b, c.a), c.same) << c.b << " vs " << c.a;
    }
}

struct LengthCase
{
    float seconds;
    double sampleRate;
    int steps;
};

TEST (LinearRampLength, FloorsSingleSecondsTimesRate)
{
    // The float 0.01 is 0.0099999998, so the lengths fall one short of the round numbers.
    const LengthCase cases[] = {
        { 0.01f, 44100.0, 440 },  { 0.01f, 48000.0, 479 },  { 0.01f, 96000.0, 959 },
        { 0.05f, 44100.0, 2205 }, { 0.05f, 48000.0, 2400 }, { 0.0f, 48000.0, 0 },
    };

    for (const auto& c : cases)
    {
        QEL::LinearRamp<float> ramp;
        ramp.reset (c.sampleRate, (double) c.seconds);
        EXPECT_EQ (ramp.getRampSteps(), c.steps) << c.seconds << " s at " << c.sampleRate;
    }
}

TEST (LinearRamp, WithoutALengthATargetAppliesAtOnce)
{
    QEL::LinearRamp<float> ramp;
    ramp.setTargetValue (0.7f);

    EXPECT_FALSE (ramp.isSmoothing());
    EXPECT_EQ (ramp.getCurrentValue(), 0.7f);
    EXPECT_EQ (ramp.getNextValue(), 0.7f);
}

TEST (LinearRamp, RampsInEqualStepsAndLandsExactlyOnTheTarget)
{
    // 0 -> 1 in 3 steps: 1/3 is not exact in float, the last step still is.
    QEL::LinearRamp<float> ramp (0.0f);
    ramp.reset (3);
    ramp.setTargetValue (1.0f);

    const float step = 1.0f / 3.0f;
    EXPECT_EQ (ramp.getStep(), step);
    EXPECT_EQ (ramp.getNextValue(), step);
    EXPECT_EQ (ramp.getNextValue(), step + step);
    EXPECT_TRUE (ramp.isSmoothing());
    EXPECT_EQ (ramp.getNextValue(), 1.0f);
    EXPECT_FALSE (ramp.isSmoothing());
    EXPECT_EQ (ramp.getNextValue(), 1.0f);
}

TEST (LinearRamp, AnEqualTargetLeavesARunningRampAlone)
{
    QEL::LinearRamp<float> ramp (0.0f);
    ramp.reset (10);
    ramp.setTargetValue (1.0f);
    ramp.getNextValue();
    ramp.getNextValue();

    ramp.setTargetValue (1.0f + FLT_EPSILON);
    EXPECT_EQ (ramp.getCountdown(), 8);
    EXPECT_EQ (ramp.getTargetValue(), 1.0f);

    // A different target restarts the full length from the value reached so far.
    const float reached = ramp.getCurrentValue();
    ramp.setTargetValue (0.0f);
    EXPECT_EQ (ramp.getCountdown(), 10);
    EXPECT_EQ (ramp.getStep(), (0.0f - reached) / 10.0f);
}

TEST (LinearRamp, SkipMultipliesTheStepAndLandsOnTheTargetAtTheEnd)
{
    QEL::LinearRamp<float> ramp (1.0f);
    ramp.reset (440);
    ramp.setTargetValue (0.0f);
    const float step = -1.0f / 440.0f;

    EXPECT_EQ (ramp.skip (0), 1.0f);
    EXPECT_EQ (ramp.skip (-5), 1.0f);
    EXPECT_EQ (ramp.getCountdown(), 440);

    EXPECT_EQ (ramp.skip (100), 1.0f + step * 100.0f);
    EXPECT_EQ (ramp.getCountdown(), 340);

    EXPECT_EQ (ramp.skip (340), 0.0f);
    EXPECT_FALSE (ramp.isSmoothing());
    EXPECT_EQ (ramp.getCurrentValue(), 0.0f);
}

TEST (LinearRamp, ResetEndsARunningRampAtItsTarget)
{
    QEL::LinearRamp<float> ramp (1.0f);
    ramp.reset (100);
    ramp.setTargetValue (0.0f);
    ramp.getNextValue();

    ramp.reset (50);

    EXPECT_FALSE (ramp.isSmoothing());
    EXPECT_EQ (ramp.getCurrentValue(), 0.0f);
    EXPECT_EQ (ramp.getRampSteps(), 50);
}
} // namespace
