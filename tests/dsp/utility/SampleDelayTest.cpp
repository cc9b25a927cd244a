#include "dsp/utility/SampleDelay.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
/** Noise that differs on the two channels, so a channel mix-up shows. */
std::vector<std::vector<float>> noise (int length)
{
    std::mt19937 random (7);
    std::uniform_real_distribution<float> sample (-1.0f, 1.0f);
    std::vector<std::vector<float>> channels (2, std::vector<float> ((size_t) length));
    for (auto& channel : channels)
        for (auto& x : channel)
            x = sample (random);
    return channels;
}

/** Runs the whole signal through in blocks of blockSize, with the delay changed to `later` halfway. */
std::vector<std::vector<float>> runInBlocks (QEL::SampleDelay& line, std::vector<std::vector<float>> signal,
                                             int blockSize, int later)
{
    const int length = (int) signal[0].size();
    for (int start = 0; start < length; start += blockSize)
    {
        if (start >= length / 2)
            line.setDelay (later);
        const int n = std::min (blockSize, length - start);
        float* channels[] = { signal[0].data() + start, signal[1].data() + start };
        line.process (channels, 2, n);
    }
    return signal;
}
} // namespace

// Each output sample is the input `delay` samples before it (silence before the start), whatever the block
// size against the ring, and a delay changed while running reads the history it keeps.
TEST (SampleDelay, OutputIsTheInputDelayedByWholeSamplesForAnyBlockSize)
{
    const struct
    {
        int maxDelay, preparedBlock, blockSize, delay, later;
    } cases[] = {
        { 2048, 512, 512, 2048, 2048 }, // the multiplier's latency
        { 2048, 64, 64, 240, 240 },     // the limiter's look-ahead
        { 100, 64, 64, 0, 100 },        // from none to the longest
        { 100, 16, 700, 100, 3 },       // blocks far larger than prepared
        { 0, 1, 37, 0, 0 },             // no delay at all
    };

    const int length = 6000;
    const auto input = noise (length);

    for (const auto& c : cases)
    {
        QEL::SampleDelay line (c.maxDelay);
        line.prepare (2, c.maxDelay, c.preparedBlock);
        line.setDelay (c.delay);
        const auto output = runInBlocks (line, input, c.blockSize, c.later);

        int mismatches = 0;
        for (int n = 0; n < length; ++n)
        {
            const int blockStart = n / c.blockSize * c.blockSize;
            const int delay = blockStart >= length / 2 ? c.later : c.delay;
            for (int ch = 0; ch < 2; ++ch)
                if (output[(size_t) ch][(size_t) n] != (n >= delay ? input[(size_t) ch][(size_t) (n - delay)] : 0.0f))
                    ++mismatches;
        }
        EXPECT_EQ (mismatches, 0) << "max " << c.maxDelay << ", block " << c.blockSize << ", delay " << c.delay;
    }
}

TEST (SampleDelay, DelayIsClampedAndResetSilencesTheHistory)
{
    QEL::SampleDelay line (50);
    EXPECT_EQ (line.getMaximumDelayInSamples(), 50);
    line.prepare (2, 50, 8);
    line.setDelay (80);
    EXPECT_EQ (line.getDelay(), 50);
    line.setDelay (-3);
    EXPECT_EQ (line.getDelay(), 0);

    line.setDelay (4);
    std::vector<float> left (8, 1.0f), right (8, 1.0f);
    float* channels[] = { left.data(), right.data() };
    line.process (channels, 2, 8);
    line.reset();
    std::fill (left.begin(), left.end(), 0.0f);
    std::fill (right.begin(), right.end(), 0.0f);
    line.process (channels, 2, 8);
    EXPECT_EQ (std::count (left.begin(), left.end(), 0.0f), 8);
    EXPECT_EQ (std::count (right.begin(), right.end(), 0.0f), 8);
}

// A channel left out of some blocks keeps its own position: its next block follows on from its last.
TEST (SampleDelay, ChannelsKeepTheirOwnPositions)
{
    QEL::SampleDelay line (3);
    line.prepare (2, 3, 4);
    line.setDelay (3);

    std::vector<float> first { 1, 2, 3, 4 }, second { 5, 6, 7, 8 }, other { 9, 9, 9, 9 };
    line.processChannel (0, first.data(), 4);
    line.processChannel (1, other.data(), 4);
    line.processChannel (1, other.data(), 4);
    line.processChannel (0, second.data(), 4);

    EXPECT_EQ (first, (std::vector<float> { 0, 0, 0, 1 }));
    EXPECT_EQ (second, (std::vector<float> { 2, 3, 4, 5 }));
}
