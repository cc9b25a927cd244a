#pragma once

#include <cmath>

namespace juce
{
/** A stereo per-sample filter: a left and a right filter of one kind, each with its own state. */
class DualFilterBase
{
public:
    virtual ~DualFilterBase() = default;

    /** Sets every state to zero. */
    virtual void Reset() = 0;
    /** Filters one stereo sample. sampleTime is 1 / sample rate; cutoff is the one-pole coefficient at
        44100 Hz (0 to 1); highPass selects the high-pass output. */
    virtual void Process (float sampleTime, float inLeft, float inRight, float cutoff, float& outLeft, float& outRight,
                          bool highPass) = 0;
};

/** States below this (-300 dB) are set to zero, so a decaying tail ends in zeros, never in subnormal floats. */
inline constexpr float dualFilterFloor = 1.0e-15f;

/** x, or 0 when its magnitude is below dualFilterFloor. */
inline float flushBelowFloor (float x) noexcept
{
    return (x < dualFilterFloor && x > -dualFilterFloor) ? 0.0f : x;
}

/** The smoothing coefficient of the pole filters: the cut-off scaled to the rate, at most 1. */
inline float poleCoefficient (float sampleTime, float cutoff) noexcept
{
    const float k = sampleTime * 44100.0f * cutoff;
    return k < 1.0f ? k : 1.0f;
}

/** A chain of one-pole smoothing stages; each stage takes the new value of the stage before it. */
template <int NumPoles> class PoleFilter
{
public:
    /** Sets every state to zero. */
    void Reset() noexcept
    {
        for (auto& s : state)
            s = 0.0f;
    }

    /** Filters one sample; the high-pass output is the input minus the low-pass one. */
    float Process (float sampleTime, float in, float cutoff, bool highPass) noexcept
    {
        const float k = poleCoefficient (sampleTime, cutoff);
        float stageInput = in;

        for (auto& s : state)
        {
            s = flushBelowFloor (s + k * (stageInput - s));
            stageInput = s;
        }

        return highPass ? in - stageInput : stageInput;
    }

    /** The stage states, first stage first. */
    float state[NumPoles] = {};
};

/** One smoothing stage. */
class OnePoleFilter : public PoleFilter<1>
{
};

/** Two smoothing stages in series. */
class TwoPoleFilter : public PoleFilter<2>
{
};

/** Four smoothing stages in series. */
class FourPoleFilter : public PoleFilter<4>
{
};

/** A Chamberlin state-variable filter whose cut-off maps to f = 2 sin (pi * 8000 * cutoff * sampleTime);
    the input enters at 0.9. */
class StateVariableFilter
{
public:
    /** Sets band and low to zero; the constant stays. */
    void Reset() noexcept { band = low = 0.0f; }

    /** Filters one sample; returns the low-pass output, or the high-pass one when highPass is set. */
    float Process (float sampleTime, float in, float cutoff, bool highPass) noexcept
    {
        float f = 2.0f * std::sin (pi * 8000.0f * cutoff * sampleTime);
        f = f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f);

        const float x = (float) (0.9 * (double) in);
        const float high = x - low - band;
        band = flushBelowFloor (band + f * high);
        low = flushBelowFloor (low + f * band);
        return highPass ? high : low;
    }

    float pi = 3.14159265358979f;
    float band = 0.0f;
    float low = 0.0f;
};

/** Two filters of one kind, left and right. */
template <typename FilterType> class DualFilter : public DualFilterBase
{
public:
    void Reset() override
    {
        left.Reset();
        right.Reset();
    }

    void Process (float sampleTime, float inLeft, float inRight, float cutoff, float& outLeft, float& outRight,
                  bool highPass) override
    {
        outLeft = left.Process (sampleTime, inLeft, cutoff, highPass);
        outRight = right.Process (sampleTime, inRight, cutoff, highPass);
    }

    /** The left channel's filter. */
    FilterType left;
    /** The right channel's filter. */
    FilterType right;
};
} // namespace juce
