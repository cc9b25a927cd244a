#include "dsp/reverb/ValueTables.h"

#include <cmath>
#include <mutex>

namespace AudioLib
{
double ValueTables::Response2Dec[ValueTables::tableSize] = {};
double ValueTables::Response3Dec[ValueTables::tableSize] = {};
double ValueTables::Response4Oct[ValueTables::tableSize] = {};

namespace
{
    // Scales a curve so that its first entry is 0 and its last 1, exactly.
    void normalise (double* table)
    {
        const double first = table[0];
        for (int i = 1; i < ValueTables::tableSize; ++i)
            table[i] = (table[i] - first) / (1.0 - first);
        table[0] = 0.0;
    }
} // namespace

void ValueTables::fill()
{
    static std::once_flag filled;
    std::call_once (filled,
                    []
                    {
                        for (int i = 0; i < tableSize - 1; ++i)
                        {
                            const double x = i / 4000.0;
                            Response2Dec[i] = std::pow (100.0, x) / 100.0;
                            Response3Dec[i] = std::pow (1000.0, x) / 1000.0;
                            Response4Oct[i] = (std::pow (2.0, 4.0 * x) - 1.0) * 0.0625 + 0.0625;
                        }
                        Response2Dec[tableSize - 1] = Response3Dec[tableSize - 1] = Response4Oct[tableSize - 1] = 1.0;

                        normalise (Response2Dec);
                        normalise (Response3Dec);
                        normalise (Response4Oct);
                    });
}
} // namespace AudioLib
