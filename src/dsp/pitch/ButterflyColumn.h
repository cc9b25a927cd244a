#pragma once

namespace QEL
{
/** One twiddle's column of a radix-2 complex FFT stage over n interleaved (re, im) values: every pair
    `length` apart from offset j, its second point `span` further on, is combined with the twiddle
    (wr, wi). */
template <typename T>
inline void butterflyColumn (T* buffer, long n, long length, long span, long j, T wr, T wi) noexcept
{
    for (long i = j; i < 2 * n; i += length)
    {
        T* p1 = buffer + i;
        T* p2 = p1 + span;
        const T tr = p2[0] * wr - p2[1] * wi;
        const T ti = p2[0] * wi + p2[1] * wr;
        p2[0] = p1[0] - tr;
        p2[1] = p1[1] - ti;
        p1[0] += tr;
        p1[1] += ti;
    }
}
} // namespace QEL
