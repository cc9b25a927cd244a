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

    activeGains = tapGains;
    activePositions = tapPositions;
    activeCount = publishedCount;
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

void MultitapDiffuser::processByTap (const double* input, int n) noexcept
{
    // No tap reaches a place written later in the block, so the whole block is stored first and each tap
    // then adds its contribution over the block; every sample sums its taps in the same order as before.
    const int first = index < 0 ? index + length : index;
    double* store = buffer.data();

    for (int i = 0, p = first; i < n; ++i)
    {
        store[p] = input[i];
        p = p == 0 ? length - 1 : p - 1;
    }

    double* y = tapOutput.data();
    std::fill (y, y + n, 0.0);

    for (int m = 0; m < activeCount; ++m)
    {
        const double g = activeGains[(std::size_t) m];
        int start = first + activePositions[(std::size_t) m];
        if (start >= length)
            start -= length;

        // Sample i reads start - i, wrapping once below zero.
        const int direct = std::min (n, start + 1);
        const double* from = store + start;
        for (int i = 0; i < direct; ++i)
            y[i] += from[-i] * g;

        const int wrapped = start + length;
        for (int i = direct; i < n; ++i)
            y[i] += store[wrapped - i] * g;
    }

    int last = first - (n - 1);
    if (last < 0)
        last += length;
    index = last - 1;
}

void MultitapDiffuser::processBySample (const double* input, int n) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        if (index < 0)
            index += length;

        buffer[(std::size_t) index] = input[i];

        double y = 0.0;
        for (int m = 0; m < activeCount; ++m)
        {
            int read = index + activePositions[(std::size_t) m];
            if (read >= length)
                read %= length;
            y += buffer[(std::size_t) read] * activeGains[(std::size_t) m];
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
