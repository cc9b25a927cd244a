#include "dsp/reverb/MultitapDiffuser.h"

#include "dsp/reverb/ShaRandom.h"

#include <algorithm>
#include <cmath>

namespace CloudSeed
{
MultitapDiffuser::MultitapDiffuser()
    : buffer ((std::size_t) minimumLength, 0.0), tapOutput ((std::size_t) minimumLength, 0.0)
{
    UpdateSeeds();
    Update();
}

void MultitapDiffuser::UpdateSeeds()
{
    seeds = AudioLib::ShaRandom::Generate (seed, seedCount, crossSeed);
}

void MultitapDiffuser::Update()
{
    if (count < 1)
        count = 1;
    const int taps = std::min (count, maxTaps);
    if (lengthSamples < taps)
        lengthSamples = taps;

    std::array<double, maxTaps> t {};
    double sum = 0.0;
    for (int i = 0; i < taps; ++i)
    {
        t[(std::size_t) i] = seeds[(std::size_t) i] + 0.1;
        sum += t[(std::size_t) i];
    }

    std::array<int, maxTaps> positions {};
    for (int i = 1; i < taps; ++i)
        positions[(std::size_t) i] = positions[(std::size_t) i - 1] + (int) (lengthSamples / sum * t[(std::size_t) i]);

    const double scale = 1.0 / (1.0 + std::sqrt ((double) (taps / 50)));
    const double span = positions[(std::size_t) taps - 1] + 1.0;

    std::array<double, maxTaps> gains {};
    for (int i = 0; i < taps; ++i)
        gains[(std::size_t) i] = (seeds[(std::size_t) (taps + i)] * 2.0 - 1.0) * scale *
                                 std::pow (10.0, positions[(std::size_t) i] * (-2.0 * decay) / span) * gain;
    gains[0] = 1.0 - gain;

    const juce::SpinLock::ScopedLockType lock (publishLock);
    tapGains = gains;
    tapPositions = positions;
    publishedCount = taps;
    isDirty = true;
}

void MultitapDiffuser::SetSamplerate (int rate, int blockSize)
{
    const int newLength = std::max (minimumLength, (int) std::ceil (0.5 * rate) + 1);
    if (newLength != length)
    {
        length = newLength;
        buffer.assign ((std::size_t) length, 0.0);
        index = 0;
    }

    if ((int) tapOutput.size() != std::max (blockSize, 1))
        tapOutput.assign ((std::size_t) std::max (blockSize, 1), 0.0);
}

void MultitapDiffuser::takePublishedTables() noexcept
{
    const juce::SpinLock::ScopedTryLockType lock (publishLock);
    if (! lock.isLocked() || ! isDirty)
        return;

    // A tap of gain 0 adds a zero of either sign to a sum that starts at +0 and so can never be -0: the sum
    // stays exactly what it is, and the tap is left out.
    activeCount = 0;
    for (int m = 0; m < publishedCount; ++m)
    {
        if (tapGains[(std::size_t) m] == 0.0)
            continue;
        activeGains[(std::size_t) activeCount] = tapGains[(std::size_t) m];
        activePositions[(std::size_t) activeCount] = tapPositions[(std::size_t) m];
        ++activeCount;
    }
    isDirty = false;
}

void MultitapDiffuser::Process (const double* input, int n) noexcept
{
    takePublishedTables();
    if (n <= 0)
        return;

    int longest = 0;
    for (int m = 0; m < activeCount; ++m)
        longest = std::max (longest, activePositions[(std::size_t) m]);

    if (longest <= length - n)
        processByTap (input, n);
    else
        processBySample (input, n);
}

namespace
{
    // Adds Taps taps over samples lo to hi - 1: y[i] gets source[0][i] g[0], then source[1][i] g[1] and so
    // on, the same sums in the same order as one pass per tap.
    template <int Taps>
    [[gnu::always_inline]] inline void addTaps (double* __restrict y, const double* const* source, const double* g,
                                                int lo, int hi) noexcept
    {
        const double* __restrict s[Taps];
        double gain[Taps];
        for (int m = 0; m < Taps; ++m)
        {
            s[m] = source[m];
            gain[m] = g[m];
        }

        for (int i = lo; i < hi; ++i)
        {
            double sum = y[i];
            for (int m = 0; m < Taps; ++m)
                sum += s[m][i] * gain[m];
            y[i] = sum;
        }
    }

    // Adds a group of up to four taps whose reads run forward from start[m] and wrap back by length after
    // direct[m] samples: the block is cut where a tap wraps, and each piece adds the whole group at once.
    template <int Taps>
    [[gnu::always_inline]] inline void addTapGroup (double* y, const double* store, const int* start, const int* direct,
                                                    const double* g, int n, int length) noexcept
    {
        int cuts[Taps + 2];
        cuts[0] = 0;
        for (int m = 0; m < Taps; ++m)
            cuts[m + 1] = direct[m];
        cuts[Taps + 1] = n;
        std::sort (cuts + 1, cuts + Taps + 1);

        for (int c = 0; c <= Taps; ++c)
        {
            const int lo = cuts[c], hi = cuts[c + 1];
            if (lo >= hi)
                continue;

            const double* source[Taps];
            for (int m = 0; m < Taps; ++m)
                source[m] = store + start[m] - (lo < direct[m] ? 0 : length);
            addTaps<Taps> (y, source, g, lo, hi);
        }
    }
} // namespace

// The block loop is also built for AVX and picked at load time where the processor has it: the same
// operations in the same order on wider vectors, so the same samples.
#if defined(__GNUC__) && defined(__x86_64__)
#define CLOUDSEED_VECTOR_CLONES [[gnu::target_clones ("avx", "default")]]
#else
#define CLOUDSEED_VECTOR_CLONES
#endif

// The store is kept mirrored (logical place p at length - 1 - p), so that the descending positions of the
// write and of every tap run forward through memory.
CLOUDSEED_VECTOR_CLONES
void MultitapDiffuser::processByTap (const double* input, int n) noexcept
{
    // No tap reaches a place written later in the block, so the whole block is stored first and each tap
    // then adds its contribution over the block; every sample sums its taps in the same order as before.
    const int first = index < 0 ? index + length : index;
    double* store = buffer.data();

    const int firstPlace = length - 1 - first;
    const int direct = std::min (n, length - firstPlace);
    std::copy (input, input + direct, store + firstPlace);
    std::copy (input + direct, input + n, store);

    double* y = tapOutput.data();
    std::fill (y, y + n, 0.0);

    for (int m0 = 0; m0 < activeCount; m0 += 4)
    {
        const int taps = std::min (4, activeCount - m0);
        int start[4], reach[4];
        for (int k = 0; k < taps; ++k)
        {
            // Sample i reads logical place p - i, that is place length - 1 - p + i, until p - i falls below 0.
            int p = first + activePositions[(std::size_t) (m0 + k)];
            if (p >= length)
                p -= length;
            start[k] = length - 1 - p;
            reach[k] = std::min (n, p + 1);
        }

        const double* g = activeGains.data() + m0;
        switch (taps)
        {
            case 4: addTapGroup<4> (y, store, start, reach, g, n, length); break;
            case 3: addTapGroup<3> (y, store, start, reach, g, n, length); break;
            case 2: addTapGroup<2> (y, store, start, reach, g, n, length); break;
            default: addTapGroup<1> (y, store, start, reach, g, n, length); break;
        }
    }

    int last = first - (n - 1);
    if (last < 0)
        last += length;
    index = last - 1;
}

void MultitapDiffuser::listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const
{
    // In the mirrored store the write runs forward from place length - 1 - index and each tap reads its
    // position behind it.
    const int first = index < 0 ? index + length : index;
    const int place = length - 1 - first;
    set.addRing (buffer, place, samples);
    for (int m = 0; m < publishedCount; ++m)
        if (tapGains[(std::size_t) m] != 0.0)
            set.addRing (buffer, (long) place - tapPositions[(std::size_t) m], samples);
    set.add (tapOutput, (std::size_t) blockSize);
}

void MultitapDiffuser::processBySample (const double* input, int n) noexcept
{
    const int top = length - 1;
    for (int i = 0; i < n; ++i)
    {
        if (index < 0)
            index += length;

        buffer[(std::size_t) (top - index)] = input[i];

        double y = 0.0;
        for (int m = 0; m < activeCount; ++m)
        {
            int read = index + activePositions[(std::size_t) m];
            if (read >= length)
                read %= length;
            y += buffer[(std::size_t) (top - read)] * activeGains[(std::size_t) m];
        }

        tapOutput[(std::size_t) i] = y;
        --index;
    }
}

void MultitapDiffuser::Restart() noexcept
{
    ClearBuffers();
    index = 0;
}

void MultitapDiffuser::ClearBuffers() noexcept
{
    std::fill (buffer.begin(), buffer.end(), 0.0);
    std::fill (tapOutput.begin(), tapOutput.end(), 0.0);
}
} // namespace CloudSeed
