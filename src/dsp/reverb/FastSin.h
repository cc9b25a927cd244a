#pragma once

namespace CloudSeed
{
/** One period of a sine in 32768 points, shared by every modulated delay and all-pass stage. */
struct FastSin
{
    static constexpr int size = 32768;

    /** The table; valid once fill() has run. Never written after that. */
    static double data[size];

    /** Fills the table once per process; later calls (from any thread) wait for the first and return. */
    static void fill();

    /** The sine at a phase in [0, 1). */
    static double Get (double phase) noexcept { return data[(int) (phase * 32767.99999)]; }
};
} // namespace CloudSeed
