#include "dsp/reverb/FastSin.h"

#include <cmath>
#include <mutex>

namespace CloudSeed
{
double FastSin::data[FastSin::size] = {};

void FastSin::fill()
{
    static std::once_flag filled;
    std::call_once (filled,
                    []
                    {
                        constexpr double twoPi = 6.283185307179586;
                        for (int i = 0; i < size; ++i)
                            data[i] = std::sin (((double) i * twoPi) * (1.0 / 32768.0));
                    });
}
} // namespace CloudSeed
