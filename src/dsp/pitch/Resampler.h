#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace stftpitchshift
{
/** Stretches a vector of complex values by a factor with linear interpolation: the output index i reads
    the input at position i * M / trunc (M * factor), where M is the vector length. Both parts of each
    value are interpolated alike. */
template <typename T> class Resampler
{
public:
    /** A resampler for the given factor. */
    explicit Resampler (double newFactor = 1.0) noexcept : stretch (newFactor) {}

    /** The stretch factor. */
    double factor() const noexcept { return stretch; }
    /** Sets the stretch factor. */
    void factor (double newFactor) noexcept { stretch = newFactor; }

    /** Resamples x into y (same length M). A factor below 1 fills the first trunc (M * factor) values and
        zeroes the rest; above 1 the loop runs backwards, so x and y may be the same vector; 1 copies. An
        index whose interpolation would read past the input keeps y's previous value. A factor that is not
        a positive finite number silences y. */
    void linear (const std::vector<std::complex<T>>& x, std::vector<std::complex<T>>& y) const
    {
        const auto m = x.size();

        if (stretch == 1.0)
        {
            if (&x != &y)
                y.assign (x.begin(), x.end());
            return;
        }

        if (! (std::isfinite (stretch) && stretch > 0.0))
        {
            y.assign (m, {});
            return;
        }

        const double m2 = std::trunc ((double) m * stretch);

        if (m2 < 1.0)
        {
            y.assign (m, {});
            return;
        }

        const float r = (float) ((double) m / m2);

        if (stretch < 1.0)
        {
            const auto count = (std::size_t) m2;

            for (std::size_t i = 0; i < count; ++i)
                interpolate (x, y, i, r);

            for (std::size_t i = count; i < m; ++i)
                y[i] = {};
        }
        else
        {
            for (std::size_t i = m; i-- > 0;)
                interpolate (x, y, i, r);
        }
    }

private:
    static void interpolate (const std::vector<std::complex<T>>& x, std::vector<std::complex<T>>& y, std::size_t i,
                             float r) noexcept
    {
        const float t = (float) i * r;
        const auto j = (std::size_t) t;

        if (j + 1 >= x.size())
            return;

        const T fraction = (T) (t - (float) j);
        y[i] = x[j] * (T (1) - fraction) + x[j + 1] * fraction;
    }

    double stretch;
};
} // namespace stftpitchshift
