#include "chain/ReverbTestEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using reverb_test::MarkerEngine;
using reverb_test::MarkerHolder;

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSize = 64;

void prepare (MarkerHolder& holder, double sampleRate = rate, int maxBlock = blockSize)
{
    holder.prepare ({ sampleRate, (juce::uint32) maxBlock, 2 });
}

/** Runs one stereo block of a constant input level through the holder; returns the left channel and checks
    that the right one is the same. */
std::vector<float> runBlock (MarkerHolder& holder, int numSamples = blockSize, float input = 1.0f)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int channel = 0; channel < 2; ++channel)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (channel), input, numSamples);
    holder.process (buffer.getArrayOfWritePointers(), buffer.getArrayOfWritePointers(), numSamples, 2, 2);
    EXPECT_EQ (
        0, std::memcmp (buffer.getReadPointer (0), buffer.getReadPointer (1), sizeof (float) * (size_t) numSamples));
    return { buffer.getReadPointer (0), buffer.getReadPointer (0) + numSamples };
}

/** Expects out[i] = from * (1 - i/N) + to * (i/N), bit for bit. */
void expectCrossfade (const std::vector<float>& out, float from, float to)
{
    const int n = (int) out.size();
    for (int i = 0; i < n; ++i)
    {
        const float w = (float) i / (float) n;
        ASSERT_EQ (out[(size_t) i], from * (1.0f - w) + to * w) << "sample " << i << " of " << n;
    }
}

void expectConstant (const std::vector<float>& out, float value)
{
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ (out[i], value) << "sample " << i;
}

class ReverbHolder : public ::testing::Test
{
protected:
    void SetUp() override { liveBefore = MarkerEngine::live.load(); }
    int enginesAlive() const { return MarkerEngine::live.load() - liveBefore; }

    int liveBefore = 0;
};
} // namespace

//  input 1 1 1 1 1 | 1 1 1      The first engine fades in from the untouched input over one block,
//  out   1 . . . . | m m m      whatever its length; a one-sample block hands over at once.
TEST_F (ReverbHolder, FirstEngineFadesInFromTheInputOverExactlyOneBlock)
{
    for (int n : { 1, 2, 37, blockSize })
    {
        SCOPED_TRACE (n);
        MarkerHolder holder;
        prepare (holder);
        holder.setReverbType (1);
        ASSERT_TRUE (holder.hasPendingEngine());

        const auto takeOver = runBlock (holder, n);
        ASSERT_NE (holder.running(), nullptr);
        const float marker = holder.running()->marker();
        expectCrossfade (takeOver, 1.0f, marker);
        expectConstant (runBlock (holder, n), marker);
        EXPECT_EQ (holder.getCurrentType(), 1);
        EXPECT_FALSE (holder.hasPendingEngine());
    }
    EXPECT_EQ (enginesAlive(), 0);
}

TEST_F (ReverbHolder, ATypeChangeCrossfadesFromTheOldEngineAndRetiresIt)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    runBlock (holder);
    const float oldMarker = holder.running()->marker();

    holder.setReverbType (3);
    EXPECT_EQ (enginesAlive(), 2);
    const auto takeOver = runBlock (holder);
    expectCrossfade (takeOver, oldMarker, holder.running()->marker());
    EXPECT_EQ (holder.getCurrentType(), 3);
    EXPECT_EQ (enginesAlive(), 1);
}

TEST_F (ReverbHolder, OnlyTheLastOfSeveralRequestsBeforeABlockIsTakenOver)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (2);
    const int firstSerial = MarkerEngine::built.load();
    holder.setReverbType (4);
    EXPECT_EQ (enginesAlive(), 1) << "the setter frees the engine its own exchange returned";

    runBlock (holder);
    EXPECT_EQ (holder.getCurrentType(), 4);
    EXPECT_GT (holder.running()->serial, firstSerial);
}

TEST_F (ReverbHolder, ChoosingTheRunningTypeAgainKeepsTheRunningEngine)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (2);
    runBlock (holder);
    auto* running = holder.running();

    holder.setReverbType (3);
    holder.setReverbType (2); // the type 3 engine is dropped before any block sees it
    expectConstant (runBlock (holder), running->marker());
    EXPECT_EQ (holder.running(), running);
    EXPECT_EQ (enginesAlive(), 1);
}

TEST_F (ReverbHolder, OffFadesTheReverbOutAndTheSameTypeFadesTheSameEngineBackIn)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    runBlock (holder);
    auto* running = holder.running();
    const float marker = running->marker();

    holder.setReverbType (0);
    EXPECT_FALSE (holder.hasPendingEngine());
    auto fadingOut = runBlock (holder, 2048);
    EXPECT_NEAR (fadingOut.front(), marker, 0.01f);
    EXPECT_EQ (fadingOut.back(), 1.0f) << "off: the input passes unchanged";
    expectConstant (runBlock (holder), 1.0f);

    holder.setReverbType (1);
    auto fadingIn = runBlock (holder, 2048);
    EXPECT_NEAR (fadingIn.front(), 1.0f, 0.01f);
    EXPECT_EQ (fadingIn.back(), marker);
    EXPECT_EQ (holder.running(), running) << "no take-over: the same engine and its tail come back";
    EXPECT_EQ (enginesAlive(), 1);
}

TEST_F (ReverbHolder, EveryNewEngineGetsTheSharedSettingsTheRateAndTheTempo)
{
    MarkerHolder holder;
    prepare (holder, 96000.0, 256);
    holder.setTempo (93.0);
    holder.setReverbType (4);
    runBlock (holder);

    const auto& engine = *holder.running();
    EXPECT_TRUE (engine.altMix);
    EXPECT_FALSE (engine.monoLowEnd);
    EXPECT_EQ (engine.highPass, 20.0f);
    EXPECT_EQ (engine.lowPass, 20000.0f);
    EXPECT_EQ (engine.mix, 100.0f);
    EXPECT_EQ (engine.modPercent, 50.0f);
    EXPECT_EQ (engine.decay, 50.0f);
    EXPECT_EQ (engine.sampleRate, 96000.0);
    EXPECT_EQ (engine.samplesPerBlock, 256);
    EXPECT_EQ (engine.lastTempo, 93.0);
}

TEST_F (ReverbHolder, ReverbTimeReachesTheRunningEngineAtTheNextBlockAndEveryLaterEngine)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbTime (30.0f);
    holder.setReverbType (1);
    runBlock (holder);
    EXPECT_EQ (holder.running()->decay, 30.0f);

    holder.setReverbTime (70.0f);
    EXPECT_EQ (holder.running()->decay, 30.0f) << "the setter never touches the running engine";
    runBlock (holder);
    EXPECT_EQ (holder.running()->decay, 70.0f);

    holder.setReverbType (2);
    runBlock (holder);
    EXPECT_EQ (holder.running()->decay, 70.0f);
}

TEST_F (ReverbHolder, PrepareReachesTheParkedEngineAndAStaleRateIsMendedAtTakeOver)
{
    MarkerHolder parked;
    parked.setReverbType (1); // built for the default rate before the host prepared
    prepare (parked, 44100.0, 128);
    runBlock (parked, 128);
    EXPECT_EQ (parked.running()->sampleRate, 44100.0);
    EXPECT_EQ (parked.running()->samplesPerBlock, 128);
    prepare (parked, 88200.0, 32);
    EXPECT_EQ (parked.running()->sampleRate, 88200.0);

    // The host prepares again while a setter is building for the old rate.
    MarkerHolder raced;
    prepare (raced, 44100.0, 64);
    raced.duringBuild = [&raced] { prepare (raced, 48000.0, 64); };
    raced.setReverbType (2);
    runBlock (raced);
    EXPECT_EQ (raced.running()->sampleRate, 48000.0);
}

TEST_F (ReverbHolder, TempoZeroKeepsTheStoredTempoButStillReachesTheEngine)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    runBlock (holder);
    holder.setTempo (100.0);
    holder.setTempo (0.0);
    EXPECT_EQ (holder.tempo.load(), 100.0);
    EXPECT_EQ (holder.running()->lastTempo, 0.0);
}

TEST_F (ReverbHolder, AFailedBuildLeavesNothingToTakeOverAndRaises)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    runBlock (holder);
    holder.setReverbType (2);
    holder.failingType = 3;

    EXPECT_THROW (holder.setReverbType (3), std::bad_alloc);
    EXPECT_FALSE (holder.hasPendingEngine());
    runBlock (holder);
    EXPECT_EQ (holder.getCurrentType(), 1);
    EXPECT_EQ (enginesAlive(), 1);

    holder.setReverbType (4);
    runBlock (holder);
    EXPECT_EQ (holder.getCurrentType(), 4);
}

TEST_F (ReverbHolder, DestructionFreesTheRunningAndTheParkedEngine)
{
    {
        MarkerHolder holder;
        prepare (holder);
        holder.setReverbType (1);
        runBlock (holder);
        holder.setReverbType (2);
        EXPECT_EQ (enginesAlive(), 2);
    }
    EXPECT_EQ (enginesAlive(), 0);
}
