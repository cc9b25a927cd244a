#pragma once

namespace AudioLib
{
/** Response curves from 0 to 1 in 4001 points, shared by every reverb engine. */
struct ValueTables
{
    static constexpr int tableSize = 4001;

    /** (100^x − 1) / 99. */
    static double Response2Dec[tableSize];
    /** (1000^x − 1) / 999. */
    static double Response3Dec[tableSize];
    /** (16^x − 1) / 15. */
    static double Response4Oct[tableSize];

    /** Fills the tables once per process; later calls (from any thread) wait for the first and return. */
    static void fill();

    /** Reads a table at a normalized value in 0..1 (1 reads the last entry). */
    static double Get (const double* table, double value) noexcept { return table[(int) (value * 4000.999)]; }
};
} // namespace AudioLib
