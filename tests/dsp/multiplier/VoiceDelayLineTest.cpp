#include "dsp/multiplier/VoiceDelayLine.h"

#include <juce_dsp/juce_dsp.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
using JuceLine = juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Linear>;

/** Noise with impulses and runs of silence, so both neighbours of a read are seen to matter. The silence
    mixes +0 and -0: only the exact neighbours give the sign of a silent read. */
std::vector<float> testSignal (int length)
{
    juce::Random random (3);
    std::vector<float> signal ((size_t) length);

    for (int t = 0; t < length; ++t)
    {
        if ((t / 700) % 4 == 2)
            signal[(size_t) t] = t % 3 == 0 ? -0.0f : 0.0f;
        else
            signal[(size_t) t] = t % 251 == 0 ? 1.0f : random.nextFloat() - 0.5f;
    }

    return signal;
}

bool sameBits (float a, float b)
{
    return std::memcmp (&a, &b, sizeof (float)) == 0;
}

struct Case
{
    std::string name;
    int maxDelay;
    int maxBlock;
    std::vector<int> blockSizes;        // repeated over the signal
    std::function<float (int)> delayAt; // the delay for sample t
    bool perSample;                     // a delay per sample, or one per block (its first sample's)
};
} // namespace

// The voices' line must give exactly what JUCE's line gives pushed and popped a sample at a time:
// whole, fractional, shortest and longest delays (where JUCE's far neighbour is the newest sample),
// delays moving every sample, blocks longer than the line's room, and a reset in the middle.
TEST (VoiceDelayLine, GivesJuceDelayLinesSamplesBitForBit)
{
    const std::vector<Case> cases {
        { "whole delay", 100, 64, { 64 }, [] (int) { return 17.0f; }, false },
        { "fractional delay, odd blocks", 100, 64, { 37, 1, 64, 5 }, [] (int) { return 42.3f; }, false },
        { "no delay", 100, 64, { 16 }, [] (int) { return 0.0f; }, false },
        { "longest delay", 100, 32, { 32, 7 }, [] (int) { return 100.0f; }, false },
        { "just below the longest", 100, 32, { 32 }, [] (int) { return 99.75f; }, false },
        { "beyond the longest is held there", 100, 32, { 32 }, [] (int) { return 250.0f; }, false },
        { "blocks longer than the room", 4801, 64, { 200, 64, 513 }, [] (int) { return 4800.5f; }, false },
        { "steps between blocks", 300, 128, { 128, 100 }, [] (int t) { return (float) ((t / 128) % 301); }, false },
        { "gliding every sample",
          4801,
          512,
          { 512, 77 },
          [] (int t) { return 2000.0f + 1999.0f * std::sin ((float) t * 0.0007f); },
          true },
        { "sweeping across both ends",
          200,
          64,
          { 64, 3 },
          [] (int t) { return 100.0f + 120.0f * std::sin ((float) t * 0.01f); },
          true },
    };

    const auto signal = testSignal (20000);
    const int resetAt = 13000;

    for (const auto& c : cases)
    {
        JuceLine reference (c.maxDelay);
        reference.prepare ({ 48000.0, (juce::uint32) c.maxBlock, 1 });
        QEL::VoiceDelayLine line;
        line.prepare (c.maxDelay, c.maxBlock);

        std::vector<float> block, delays;
        size_t pattern = 0;
        int mismatches = 0;

        for (int start = 0; start < (int) signal.size();)
        {
            const int length = std::min (c.blockSizes[pattern++ % c.blockSizes.size()], (int) signal.size() - start);

            if (start <= resetAt && resetAt < start + length)
            {
                reference.reset();
                line.reset();
            }

            block.assign (signal.begin() + start, signal.begin() + start + length);
            delays.resize ((size_t) length);
            for (int t = 0; t < length; ++t)
                delays[(size_t) t] = c.delayAt (c.perSample ? start + t : start);

            if (c.perSample)
            {
                line.process (block.data(), block.data(), delays.data(), length);
            }
            else
            {
                line.setDelay (delays[0]);
                line.process (block.data(), block.data(), length);
            }

            for (int t = 0; t < length; ++t)
            {
                reference.setDelay (std::clamp (delays[(size_t) t], 0.0f, (float) c.maxDelay));
                reference.pushSample (0, signal[(size_t) (start + t)]);
                const float expected = reference.popSample (0);
                if (! sameBits (block[(size_t) t], expected) && mismatches++ < 3)
                {
                    ADD_FAILURE() << c.name << ": sample " << start + t << " is " << block[(size_t) t]
                                  << ", JUCE's line gives " << expected;
                }
            }

            start += length;
        }

        EXPECT_EQ (mismatches, 0) << c.name;
        if (! c.perSample)
            EXPECT_EQ (line.getDelay(), reference.getDelay()) << c.name;
    }
}
