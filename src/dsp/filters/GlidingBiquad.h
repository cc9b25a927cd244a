#pragma once

#include <array>
#include <cstddef>

namespace QEL
{
/** A second-order section for one or two channels whose coefficients may glide while it plays.

    Standing still it is the transposed direct form II of juce::dsp::IIR::Filter<float>, with the same
    arithmetic sample for sample. While its coefficients move it runs in direct form I, whose state is the
    signal's own last two inputs and outputs: a coefficient change alters only how the coming samples are
    weighed, never leaves a state that no longer fits the filter, and so sweeps instead of clicking. The two
    forms hand over exactly: a still block keeps the history of its last two samples, and when a glide
    arrives the transposed state is rebuilt from the history.

    Audio thread only; nothing allocates. */
class GlidingBiquad
{
public:
    /** b0, b1, b2, a1, a2, divided by a0. */
    using Coefficients = std::array<float, 5>;
    static constexpr int maxChannels = 2;

    /** A design in JUCE's order (b0, b1, b2, a0, a1, a2), divided by a0 as juce::dsp::IIR::Coefficients does. */
    static Coefficients normalise (const std::array<float, 6>& design) noexcept;
    /** A first-order design (b0, b1, a0, a1) as a section with b2 = a2 = 0, divided by a0 likewise. */
    static Coefficients normalise (const std::array<float, 4>& design) noexcept;

    /** Takes a coefficient set at once and ends any glide; the state is kept. */
    void setCoefficients (const Coefficients& newCoefficients) noexcept;
    /** Moves from the coefficients reached so far to the target in equal steps over the next numSteps
        samples (each advance() is one step); the last step lands exactly on the target. */
    void glideTo (const Coefficients& target, int numSteps) noexcept;
    /** One step of the running glide, once per sample before the channels of that sample. */
    void advance() noexcept;
    /** After the samples of a glide: rebuilds the still state once the glide has arrived. */
    void settle() noexcept;
    /** True while a glide has steps left. */
    bool isGliding() const noexcept { return stepsLeft > 0; }

    /** Clears the state and the history of every channel. */
    void reset() noexcept;
    /** Sets still states within 1e-8 of zero to zero, as juce::dsp::IIR::Filter::snapToZero does. */
    void snapToZero() noexcept;

    /** One sample of a channel with the coefficients standing still (transposed direct form II). */
    float processStill (int channel, float x) noexcept
    {
        auto& s = states[(std::size_t) channel];
        const float y = (c[0] * x) + s.v1;
        s.v1 = (c[1] * x) - (c[3] * y) + s.v2;
        s.v2 = (c[2] * x) - (c[4] * y);
        return y;
    }

    /** A channel's still section copied into locals, so that a loop over many samples keeps coefficients and
        state in registers; process() is processStill's arithmetic. Hand it back with endStill. */
    struct StillRun
    {
        float b0, b1, b2, a1, a2, v1, v2;

        /** One sample, as processStill. */
        float process (float x) noexcept
        {
            const float y = (b0 * x) + v1;
            v1 = (b1 * x) - (a1 * y) + v2;
            v2 = (b2 * x) - (a2 * y);
            return y;
        }
    };

    /** The still section of a channel, to run in a loop. */
    StillRun beginStill (int channel) const noexcept
    {
        const auto& s = states[(std::size_t) channel];
        return { c[0], c[1], c[2], c[3], c[4], s.v1, s.v2 };
    }

    /** Takes back the state of a run begun with beginStill. */
    void endStill (int channel, const StillRun& run) noexcept
    {
        auto& s = states[(std::size_t) channel];
        s.v1 = run.v1;
        s.v2 = run.v2;
    }

    /** The same, also keeping the sample in the history: for the last two samples of a still block. */
    float processStillRemembering (int channel, float x) noexcept
    {
        const float y = processStill (channel, x);
        remember (states[(std::size_t) channel], x, y);
        return y;
    }

    /** One sample of a channel while the coefficients move (direct form I). */
    float processMoving (int channel, float x) noexcept
    {
        auto& s = states[(std::size_t) channel];
        const float y = c[0] * x + c[1] * s.x1 + c[2] * s.x2 - c[3] * s.y1 - c[4] * s.y2;
        remember (s, x, y);
        return y;
    }

    /** The coefficients in use. */
    const Coefficients& getCoefficients() const noexcept { return c; }

private:
    struct ChannelState
    {
        float v1 = 0.0f, v2 = 0.0f;                       // transposed direct form II
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f; // last two inputs and outputs
    };

    static void remember (ChannelState& s, float x, float y) noexcept
    {
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
    }

    Coefficients c { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };
    Coefficients step {}, target { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };
    int stepsLeft = 0;
    bool arrivedUnsettled = false;
    std::array<ChannelState, maxChannels> states {};
};
} // namespace QEL
