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
