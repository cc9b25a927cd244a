#include "dsp/base/QELProcessorBase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
/** Inverts every sample, so processed (-x) and unprocessed (x) are told apart exactly. */
struct InvertingBlock : juce::QELProcessorBase
{
    using juce::QELProcessorBase::processImpl;

    void processImpl (float* sample, int) override { *sample = -*sample; }

    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override
    {
        ++processCalls;
        largestProcessedBlock = std::max (largestProcessedBlock, numSamples);
        juce::QELProcessorBase::processImpl (in, out, numSamples, numInputChannels, numOutputChannels);
    }

    void processImpl (juce::dsp::ProcessContextReplacing<float> context) override { context.getOutputBlock().negate(); }

    void clearBuffers() override { ++clearCalls; }

    int processCalls = 0;
    int largestProcessedBlock = 0;
    int clearCalls = 0;
};

/** A pure delay of a fixed number of samples, reported to the base as the block's latency. */
struct DelayingBlock : juce::QELProcessorBase
{
    explicit DelayingBlock (int latencySamples) : latency (latencySamples) { setDryPathLatency (latency); }

    void prepare (const juce::dsp::ProcessSpec& spec) override
    {
        juce::QELProcessorBase::prepare (spec);
        history.assign (spec.numChannels, std::vector<float> ((size_t) latency, 0.0f));
        position = 0;
    }

    void processImpl (const float* const*, float* const* out, int numSamples, int, int numOutputChannels) override
    {
        const int start = position;

        for (int channel = 0; channel < numOutputChannels; ++channel)
        {
            auto& line = history[(size_t) channel];
            int index = start;

            for (int i = 0; i < numSamples; ++i)
            {
                std::swap (out[channel][i], line[(size_t) index]);
                index = (index + 1) % latency;
            }
            position = index;
        }
    }

    const int latency;
    std::vector<std::vector<float>> history;
    int position = 0;
};

constexpr double rate = 44100.0;
constexpr int blockSize = 64;

juce::dsp::ProcessSpec stereoSpec (double sampleRate = rate, int maximumBlockSize = blockSize)
{
    return { sampleRate, (juce::uint32) maximumBlockSize, 2 };
}

/** Calls the block entry in place, as every owner does. */
void runInPlace (juce::QELProcessorBase& block, juce::AudioBuffer<float>& buffer)
{
    auto* channels = buffer.getArrayOfWritePointers();
    block.process (channels, channels, buffer.getNumSamples(), buffer.getNumChannels(), buffer.getNumChannels());
}

juce::AudioBuffer<float> constantBlock (float value, int numSamples = blockSize)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int channel = 0; channel < 2; ++channel)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (channel), value, numSamples);
    return buffer;
}

juce::AudioBuffer<float> sineBlock (int numSamples = blockSize, int offset = 0)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (channel, i, std::sin (0.05f * (float) (i + offset) + (float) channel));
    return buffer;
}

bool sameSamples (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    for (int channel = 0; channel < a.getNumChannels(); ++channel)
        for (int i = 0; i < a.getNumSamples(); ++i)
            if (a.getSample (channel, i) != b.getSample (channel, i))
                return false;
    return true;
}

//==============================================================================
TEST (QELProcessorBase, AFreshBlockIsOnAndProcessesDirectly)
{
    InvertingBlock block;
    EXPECT_TRUE (block.active.load());
    EXPECT_EQ (block.getWetGain(), 1.0f);
    EXPECT_FALSE (block.isRamping());
    EXPECT_EQ (block.samplesPerBlock, 64);
    EXPECT_EQ (block.numChannels, 2);
    EXPECT_EQ (block.tempo.load(), 120.0);
    EXPECT_FALSE (block.keepDryPathRunning.load());
    EXPECT_EQ (block.dryDelay.getMaximumDelayInSamples(), 22000);

    block.prepare (stereoSpec());
    auto buffer = constantBlock (0.5f);
    runInPlace (block, buffer);

    EXPECT_EQ (block.processCalls, 1);
    EXPECT_EQ (buffer.getSample (0, 0), -0.5f);
    EXPECT_EQ (buffer.getSample (1, blockSize - 1), -0.5f);
}

TEST (QELProcessorBase, RampLengthFollowsRateAndDirection)
{
    struct Case
    {
        double sampleRate;
        float onSeconds, offSeconds;
        bool startOn;
        int steps;
    };
    const Case cases[] = {
        { 44100.0, 0.01f, 0.01f, true, 440 },  { 48000.0, 0.01f, 0.01f, true, 479 },
        { 96000.0, 0.01f, 0.01f, true, 959 },  { 44100.0, 0.05f, 0.05f, true, 2205 },
        { 48000.0, 0.05f, 0.05f, true, 2400 }, { 44100.0, 0.01f, 0.05f, false, 2205 },
    };

    for (const auto& c : cases)
    {
        InvertingBlock block;
        block.rampTimes[0] = c.onSeconds;
        block.rampTimes[1] = c.offSeconds;
        block.setBypass (c.startOn);
        block.prepare (stereoSpec (c.sampleRate));
        EXPECT_EQ (block.wetRamp.getRampSteps(), c.steps) << c.sampleRate;
    }
}

TEST (QELProcessorBase, SmoothSwitchOffCrossfadesOverSevenBlocksThenLeavesTheBufferAlone)
{
    InvertingBlock block;
    block.prepare (stereoSpec());
    block.setBypassSmooth (false);
    EXPECT_FALSE (block.active.load());

    // 440 samples at 65 per 64-sample block: six blocks leave 50, the seventh ends the ramp.
    for (int n = 1; n <= 6; ++n)
    {
        auto buffer = constantBlock (1.0f);
        runInPlace (block, buffer);
        EXPECT_EQ (block.wetRamp.getCountdown(), 440 - 65 * n);
        EXPECT_EQ (block.clearCalls, 0);
    }

    auto last = constantBlock (1.0f);
    runInPlace (block, last);
    EXPECT_FALSE (block.isRamping());
    EXPECT_EQ (block.getWetGain(), 0.0f);
    EXPECT_EQ (block.clearCalls, 1);
    // Processed (-1) has faded to unprocessed (+1): the last sample is one increment short of dry only.
    EXPECT_GT (last.getSample (0, blockSize - 1), 0.99f);

    for (int n = 0; n < 3; ++n)
    {
        auto buffer = sineBlock();
        const auto original = sineBlock();
        runInPlace (block, buffer);
        EXPECT_TRUE (sameSamples (buffer, original));
    }
    EXPECT_EQ (block.clearCalls, 1);
    EXPECT_EQ (block.processCalls, 7);
}

TEST (QELProcessorBase, FirstRampBlockMixesWithGainsFromOneAdvanceToNPlusOne)
{
    InvertingBlock block;
    block.prepare (stereoSpec());
    block.setBypassSmooth (false);
    auto buffer = constantBlock (1.0f);
    runInPlace (block, buffer);

    // out = d * x + w * (-x) with d running from 1 - g0 and w from g0 towards (1 - g1, g1).
    const double step = -1.0 / 440.0;
    const double g0 = 1.0 + step;
    const double g1 = g0 + 64.0 * step;

    for (int i = 0; i < blockSize; i += 21)
    {
        const double w = g0 + (g1 - g0) * i / 64.0;
        EXPECT_NEAR (buffer.getSample (0, i), (1.0 - w) - w, 1.0e-6) << i;
        EXPECT_EQ (buffer.getSample (1, i), buffer.getSample (0, i));
    }
    EXPECT_NEAR (block.getWetGain(), g1, 1.0e-6);
}

TEST (QELProcessorBase, ARepeatedSwitchChangesNothing)
{
    // Two blocks ramping on; one of them hears the same switch again half-way.
    InvertingBlock once, twice;

    for (auto* block : { &once, &twice })
    {
        block->setBypassSmooth (false); // instant: no ramp length yet
        block->prepare (stereoSpec());
        block->setBypassSmooth (true);
        auto buffer = sineBlock();
        runInPlace (*block, buffer);
    }

    twice.setBypassSmooth (true);

    for (int n = 1; n < 4; ++n)
    {
        auto a = sineBlock (blockSize, n * blockSize);
        auto b = sineBlock (blockSize, n * blockSize);
        runInPlace (once, a);
        runInPlace (twice, b);
        EXPECT_TRUE (sameSamples (a, b));
        EXPECT_EQ (once.wetRamp.getCountdown(), twice.wetRamp.getCountdown());
    }
}

TEST (QELProcessorBase, ReversalStartsFromTheCurrentGainAndTakesTheFullLength)
{
    InvertingBlock block;
    block.prepare (stereoSpec());
    block.setBypassSmooth (false);

    for (int n = 0; n < 3; ++n)
    {
        auto buffer = constantBlock (1.0f);
        runInPlace (block, buffer);
    }
    const float reached = block.getWetGain();
    EXPECT_NEAR (reached, 1.0 - 195.0 / 440.0, 1.0e-6);

    block.setBypassSmooth (true);
    auto first = constantBlock (1.0f);
    runInPlace (block, first);
    EXPECT_EQ (block.wetRamp.getTargetValue(), 1.0f);
    EXPECT_EQ (block.wetRamp.getStep(), (1.0f - reached) / 440.0f);
    EXPECT_EQ (block.wetRamp.getCountdown(), 440 - 65);
    // No jump: the reversed ramp's first sample continues from where the off ramp stood.
    EXPECT_NEAR (first.getSample (0, 0), 1.0 - 2.0 * (reached + (1.0 - reached) / 440.0), 1.0e-6);

    for (int n = 0; n < 6; ++n)
    {
        auto buffer = constantBlock (1.0f);
        runInPlace (block, buffer);
    }
    EXPECT_FALSE (block.isRamping());
    EXPECT_EQ (block.getWetGain(), 1.0f);
    EXPECT_EQ (block.clearCalls, 0);
}

TEST (QELProcessorBase, UnequalTimesRecomputeTheLengthAndEndARunningRampFirst)
{
    InvertingBlock block;
    block.rampTimes[0] = 0.01f;
    block.rampTimes[1] = 0.05f;
    block.prepare (stereoSpec());

    block.setBypassSmooth (false);
    auto buffer = constantBlock (1.0f);
    runInPlace (block, buffer);
    EXPECT_EQ (block.wetRamp.getRampSteps(), 2205);
    EXPECT_EQ (block.wetRamp.getCountdown(), 2205 - 65);

    // Switching back on first jumps to the old target (0), then ramps up over the on length.
    block.setBypassSmooth (true);
    runInPlace (block, buffer);
    EXPECT_EQ (block.wetRamp.getRampSteps(), 440);
    EXPECT_EQ (block.wetRamp.getCountdown(), 440 - 65);
    EXPECT_NEAR (block.getWetGain(), 65.0 / 440.0, 1.0e-6);
}

TEST (QELProcessorBase, SwitchesWithoutARampLengthAreInstant)
{
    // Before prepare the ramp has no length; so does a time shorter than one sample.
    InvertingBlock beforePrepare;
    beforePrepare.setBypassSmooth (false);
    beforePrepare.prepare (stereoSpec());

    InvertingBlock shortTime;
    shortTime.rampTimes[0] = shortTime.rampTimes[1] = 1.0e-5f;
    shortTime.prepare (stereoSpec());
    EXPECT_EQ (shortTime.wetRamp.getRampSteps(), 0);
    shortTime.setBypassSmooth (false);

    for (auto* block : { &beforePrepare, &shortTime })
    {
        auto buffer = sineBlock();
        runInPlace (*block, buffer);
        EXPECT_TRUE (sameSamples (buffer, sineBlock()));
        EXPECT_FALSE (block->isRamping());
        EXPECT_EQ (block->getWetGain(), 0.0f);
        EXPECT_EQ (block->processCalls, 0);
        EXPECT_EQ (block->clearCalls, 0);
    }
}

TEST (QELProcessorBase, ImmediateSwitchOffLeavesTheNextBlockUntouchedWithoutClearing)
{
    InvertingBlock block;
    block.prepare (stereoSpec());
    block.setBypass (false);

    auto buffer = sineBlock();
    runInPlace (block, buffer);
    EXPECT_TRUE (sameSamples (buffer, sineBlock()));
    EXPECT_EQ (block.clearCalls, 0);
    EXPECT_EQ (block.processCalls, 0);

    block.setBypass (true);
    runInPlace (block, buffer);
    EXPECT_EQ (buffer.getSample (0, 5), -sineBlock().getSample (0, 5));
}

// A block switched at once stands at that switch's gain, before or after prepare, so a later smooth switch
// the other way crossfades instead of jumping (a delay made off at construction and chosen while playing).
TEST (QELProcessorBase, ASmoothSwitchAfterAnInstantOneCrossfades)
{
    for (const bool beforePrepare : { true, false })
    {
        for (const bool on : { true, false })
        {
            SCOPED_TRACE (juce::String (beforePrepare ? "before" : "after") + " prepare, smooth " +
                          (on ? "on" : "off"));
            InvertingBlock block;
            if (beforePrepare)
                block.setBypass (! on);
            block.prepare (stereoSpec());
            if (! beforePrepare)
                block.setBypass (! on);

            auto buffer = sineBlock();
            runInPlace (block, buffer);
            block.setBypassSmooth (on);
            buffer = sineBlock();
            runInPlace (block, buffer);

            EXPECT_TRUE (block.isRamping());
            const float gain = block.getWetGain();
            EXPECT_GT (gain, 0.0f);
            EXPECT_LT (gain, 1.0f);
        }
    }
}

TEST (QELProcessorBase, CountdownOfOneMixesTheWholeBlockWithConstantGains)
{
    // At 6700 Hz the 0.01 s ramp is 66 samples: one 64-sample block leaves a countdown of 1.
    struct Case
    {
        bool switchOn;
        float expectedGain;
    };

    for (const auto c : { Case { false, 1.0f }, Case { true, -1.0f } })
    {
        InvertingBlock block;
        block.setBypassSmooth (! c.switchOn); // instant: no ramp length yet
        block.prepare (stereoSpec (6700.0));
        block.setBypassSmooth (c.switchOn);
        auto first = sineBlock();
        runInPlace (block, first);
        ASSERT_EQ (block.wetRamp.getCountdown(), 1);

        auto buffer = sineBlock();
        const auto original = sineBlock();
        runInPlace (block, buffer);

        for (int i = 0; i < blockSize; ++i)
            ASSERT_EQ (buffer.getSample (1, i), c.expectedGain * original.getSample (1, i)) << i;
        EXPECT_EQ (block.clearCalls, c.switchOn ? 0 : 1);
    }
}

TEST (QELProcessorBase, EmptyBlockDuringARampAdvancesOneSampleAndWritesNothing)
{
    InvertingBlock block;
    block.prepare (stereoSpec (6700.0));
    block.setBypassSmooth (false);
    auto buffer = sineBlock();
    runInPlace (block, buffer);
    ASSERT_EQ (block.wetRamp.getCountdown(), 1);

    auto* channels = buffer.getArrayOfWritePointers();
    block.process (channels, channels, 0, 2, 2);

    EXPECT_FALSE (block.isRamping());
    EXPECT_EQ (block.getWetGain(), 0.0f);
    EXPECT_EQ (block.processCalls, 1);
    EXPECT_EQ (block.clearCalls, 1);
}

TEST (QELProcessorBase, TempoZeroKeepsThePreviousTempo)
{
    InvertingBlock block;
    block.setTempo (90.0);
    EXPECT_EQ (block.tempo.load(), 90.0);
    block.setTempo (0.0);
    block.setTempo (-0.0);
    EXPECT_EQ (block.tempo.load(), 90.0);
    block.setTempo (-30.0);
    EXPECT_EQ (block.tempo.load(), -30.0);
}

TEST (QELProcessorBase, BlocksLargerThanPreparedGoThroughInPreparedPieces)
{
    InvertingBlock whole, pieces;
    for (auto* block : { &whole, &pieces })
    {
        block->prepare (stereoSpec());
        block->setBypassSmooth (false);
    }

    // 200 samples = 64 + 64 + 64 + 8 when fed by hand.
    auto big = sineBlock (200);
    runInPlace (whole, big);

    juce::AudioBuffer<float> reference (2, 200);
    for (int start = 0, length = 0; start < 200; start += length)
    {
        length = std::min (64, 200 - start);
        auto piece = sineBlock (length, start);
        runInPlace (pieces, piece);
        for (int channel = 0; channel < 2; ++channel)
            reference.copyFrom (channel, start, piece, channel, 0, length);
    }

    EXPECT_EQ (whole.largestProcessedBlock, 64);
    EXPECT_TRUE (sameSamples (big, reference));
    EXPECT_EQ (whole.wetRamp.getCountdown(), 440 - 65 * 3 - 9);

    // Steady on, too.
    InvertingBlock steady;
    steady.prepare (stereoSpec());
    auto wide = sineBlock (300);
    runInPlace (steady, wide);
    EXPECT_EQ (steady.largestProcessedBlock, 64);
    EXPECT_EQ (wide.getSample (1, 299), -sineBlock (300).getSample (1, 299));
}

TEST (QELProcessorBase, ContextEntryCrossfadesLikeTheArrayEntry)
{
    InvertingBlock arrays, context;
    for (auto* block : { &arrays, &context })
    {
        block->prepare (stereoSpec());
        block->setBypassSmooth (false);
    }

    for (int n = 0; n < 8; ++n)
    {
        auto a = sineBlock (blockSize, n * blockSize);
        auto b = sineBlock (blockSize, n * blockSize);
        runInPlace (arrays, a);
        juce::dsp::AudioBlock<float> audioBlock (b);
        context.process (juce::dsp::ProcessContextReplacing<float> (audioBlock));
        EXPECT_TRUE (sameSamples (a, b)) << n;
    }
    EXPECT_EQ (context.clearCalls, 1);
}

//==============================================================================
// Latency-aligned dry path. An impulse through a block that delays by 100 samples, in 64-sample blocks;
// the crossfades start at block 1 (sample 64) and last 440 samples:
//
//   in   : 1 at t (t = 10: before the crossfade; t = 74: inside it)
//   out  : 1 at t + 100 and nothing else, whether the block is on, off or crossfading
enum class Scenario
{
    steadyOn,
    steadyOff,
    rampingOff,
    rampingOn
};

constexpr int delayLatency = 100;

std::vector<float> impulseThroughDelay (Scenario scenario, int impulseAt, bool alignDryPath)
{
    DelayingBlock block (delayLatency);
    if (! alignDryPath)
        block.setDryPathLatency (0);

    // Before prepare a smooth switch is instant.
    block.setBypassSmooth (scenario == Scenario::steadyOn || scenario == Scenario::rampingOff);
    block.prepare (stereoSpec());

    std::vector<float> output;
    for (int n = 0; n < 8; ++n)
    {
        if (n == 1 && scenario == Scenario::rampingOff)
            block.setBypassSmooth (false);
        if (n == 1 && scenario == Scenario::rampingOn)
            block.setBypassSmooth (true);

        juce::AudioBuffer<float> buffer (2, blockSize);
        buffer.clear();
        if (impulseAt / blockSize == n)
            buffer.setSample (0, impulseAt % blockSize, 1.0f);

        runInPlace (block, buffer);
        if (n == 1)
        {
            EXPECT_EQ (block.isRamping(), scenario == Scenario::rampingOff || scenario == Scenario::rampingOn);
        }
        output.insert (output.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + blockSize);
    }
    return output;
}

TEST (QELProcessorBaseDryPath, ImpulseIsDelayedByTheLatencyOnOffAndCrossfading)
{
    for (const int impulseAt : { 10, 74 })
    {
        for (const auto scenario :
             { Scenario::steadyOn, Scenario::steadyOff, Scenario::rampingOff, Scenario::rampingOn })
        {
            const auto output = impulseThroughDelay (scenario, impulseAt, true);

            for (int i = 0; i < (int) output.size(); ++i)
            {
                if (i == impulseAt + delayLatency)
                    EXPECT_NEAR (output[(size_t) i], 1.0f, 1.0e-6f) << (int) scenario << ", " << impulseAt;
                else
                    ASSERT_EQ (output[(size_t) i], 0.0f)
                        << "scenario " << (int) scenario << ", impulse " << impulseAt << ", sample " << i;
            }
        }
    }
}

TEST (QELProcessorBaseDryPath, WithoutAlignmentTheCrossfadeCombs)
{
    // The same crossfade with an undelayed dry path: the impulse splits into two quieter copies.
    const auto output = impulseThroughDelay (Scenario::rampingOff, 74, false);
    EXPECT_GT (output[74], 0.01f);
    EXPECT_GT (output[174], 0.1f);
    EXPECT_LT (output[174], 0.9f);
}

TEST (QELProcessorBaseDryPath, AReservationSizesTheDryPathForItsLongestLatencyAtThePreparedRate)
{
    // A look-ahead of 0.005 s set after prepare, as the Gain module's is: the dry path holds that much at
    // each rate (not a fixed maximum) and delays a switched-off block's impulse by exactly it.
    for (const double sampleRate : { 44100.0, 192000.0 })
    {
        const int latency = (int) std::floor ((double) 0.005f * sampleRate);
        DelayingBlock block (latency);
        block.setDryPathLatency (0);
        block.reserveDryPath (0, 0.005f);
        block.setBypass (false);
        block.prepare (stereoSpec (sampleRate));
        EXPECT_EQ (block.dryDelay.getMaximumDelayInSamples(), latency) << sampleRate;

        block.setDryPathLatency (latency);
        std::vector<float> output;
        for (int n = 0; n * blockSize < latency + 2 * blockSize; ++n)
        {
            juce::AudioBuffer<float> buffer (2, blockSize);
            buffer.clear();
            if (n == 0)
                buffer.setSample (0, 3, 1.0f);
            runInPlace (block, buffer);
            output.insert (output.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + blockSize);
        }
        const auto peak = std::max_element (output.begin(), output.end());
        EXPECT_EQ (peak - output.begin(), 3 + latency) << sampleRate;
        EXPECT_EQ (*peak, 1.0f);
    }
}

TEST (QELProcessorBaseDryPath, LatencyIsClampedAndZeroStopsTheDryPath)
{
    DelayingBlock block (4);
    EXPECT_TRUE (block.keepDryPathRunning.load());

    block.setDryPathLatency (0);
    EXPECT_FALSE (block.keepDryPathRunning.load());

    // Off and not ramping with no latency: untouched again.
    block.prepare (stereoSpec());
    block.setBypass (false);
    auto buffer = sineBlock();
    runInPlace (block, buffer);
    EXPECT_TRUE (sameSamples (buffer, sineBlock()));

    block.setDryPathLatency (50000);
    runInPlace (block, buffer);
    EXPECT_EQ (block.dryDelay.getDelay(), 22000);
}
} // namespace

TEST (QELProcessorBase, ABlockBetweenTheStateAndTheRequestKeepsItsStateUntilTheCrossfade)
{
    InvertingBlock block;
    block.prepare (stereoSpec());

    // Another thread has written the new state but not yet its request.
    block.active.store (false);
    auto buffer = constantBlock (1.0f);
    runInPlace (block, buffer);
    EXPECT_EQ (buffer.getSample (0, 0), -1.0f);
    EXPECT_FALSE (block.isRamping());

    block.setBypassSmooth (false);
    auto next = constantBlock (1.0f);
    runInPlace (block, next);
    EXPECT_TRUE (block.isRamping()) << "the switch arrives with its crossfade";
}
