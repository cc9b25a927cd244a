#include "chain/ReverbTestEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

using reverb_test::MarkerEngine;
using reverb_test::MarkerHolder;

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSize = 64;
/** The crossfade's length at 48 kHz: 20 ms. */
constexpr int fadeSamples = 960;

void prepare (MarkerHolder& holder, double sampleRate = rate, int maxBlock = blockSize)
{
    holder.prepare ({ sampleRate, (juce::uint32) maxBlock, 2 });
}

/** Runs stereo blocks of n samples of a constant input level until `total` samples have passed; returns the left
    channel and checks that the right one is the same. */
std::vector<float> run (MarkerHolder& holder, int total, int n = blockSize, float input = 1.0f)
{
    std::vector<float> left;
    juce::AudioBuffer<float> buffer (2, n);
    for (int done = 0; done < total; done += n)
    {
        for (int channel = 0; channel < 2; ++channel)
            juce::FloatVectorOperations::fill (buffer.getWritePointer (channel), input, n);
        MarkerEngine::audioThread = std::this_thread::get_id();
        holder.process (buffer.getArrayOfWritePointers(), buffer.getArrayOfWritePointers(), n, 2, 2);
        MarkerEngine::audioThread = std::thread::id();
        EXPECT_EQ (0, std::memcmp (buffer.getReadPointer (0), buffer.getReadPointer (1), sizeof (float) * (size_t) n));
        left.insert (left.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + n);
    }
    return left;
}

/** Expects out[i] = from * (1 - i/N) + to * (i/N) over the fade's N samples, bit for bit, then `to`. */
void expectCrossfade (const std::vector<float>& out, float from, float to)
{
    for (int i = 0; i < (int) out.size(); ++i)
    {
        const float w = std::min (1.0f, (float) i / (float) fadeSamples);
        ASSERT_EQ (out[(size_t) i], from * (1.0f - w) + to * w) << "sample " << i;
    }
}

void expectConstant (const std::vector<float>& out, float value)
{
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ (out[i], value) << "sample " << i;
}

/** Waits (at most 10 s) until a condition that the builder thread brings about holds. */
template <typename Condition> bool eventually (Condition condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (10);
    while (! condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
    return true;
}

class ReverbHolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        liveBefore = MarkerEngine::live.load();
        freedOnAudioThreadBefore = MarkerEngine::freedOnAudioThread.load();
    }
    void TearDown() override
    {
        EXPECT_EQ (MarkerEngine::freedOnAudioThread.load(), freedOnAudioThreadBefore)
            << "engines are freed by the builder, never by a block";
    }
    int enginesAlive() const { return MarkerEngine::live.load() - liveBefore; }
    bool settlesAt (int alive)
    {
        return eventually ([&] { return enginesAlive() == alive; });
    }

    int liveBefore = 0, freedOnAudioThreadBefore = 0;
};
} // namespace

//  input 1 1 1 1 1 1 1 | 1 1 1      The first engine fades in from the untouched input over 20 ms whatever the
//  out   1 . . . . . . | m m m      host's block size, one sample at a time included.
TEST_F (ReverbHolder, FirstEngineFadesInFromTheInputOverTwentyMillisecondsAtAnyBlockSize)
{
    for (int n : { 1, 37, blockSize, 512, 2048 })
    {
        SCOPED_TRACE (n);
        MarkerHolder holder;
        prepare (holder, rate, n);
        holder.setReverbType (1);
        holder.buildChosenEngine();
        ASSERT_TRUE (holder.hasPendingEngine());

        const auto fade = run (holder, fadeSamples + 100, n);
        ASSERT_NE (holder.running(), nullptr);
        expectCrossfade (fade, 1.0f, holder.running()->marker());
        EXPECT_FALSE (holder.isCrossfading());
        EXPECT_EQ (holder.getCurrentType(), 1);
    }
    EXPECT_TRUE (settlesAt (0));
}

TEST_F (ReverbHolder, ATypeChangeCrossfadesFromTheOldEngineWhichTheBuilderThenFrees)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    holder.buildChosenEngine();
    run (holder, fadeSamples);
    const float oldMarker = holder.running()->marker();

    holder.setReverbType (3);
    holder.buildChosenEngine();
    const auto fade = run (holder, 2 * fadeSamples);
    expectCrossfade (fade, oldMarker, holder.running()->marker());
    EXPECT_EQ (holder.getCurrentType(), 3);
    EXPECT_TRUE (settlesAt (1));
}

// The setters may run on the audio thread under automation: they only store the choice, and the builder thread
// makes the engine on its own.
TEST_F (ReverbHolder, TheBuilderThreadDeliversAChoiceMadeOnTheAudioThread)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (2);
    EXPECT_TRUE (eventually ([&] { return holder.hasPendingEngine(); }));
    run (holder, fadeSamples);
    EXPECT_EQ (holder.getCurrentType(), 2);
}

TEST_F (ReverbHolder, OnlyTheLastOfSeveralChoicesIsTakenOver)
{
    MarkerHolder holder;
    prepare (holder);
    for (int type : { 2, 4, 1, 4 })
        holder.setReverbType (type);
    holder.buildChosenEngine();

    run (holder, fadeSamples);
    EXPECT_EQ (holder.getCurrentType(), 4);
    EXPECT_TRUE (settlesAt (1));
}

TEST_F (ReverbHolder, ChoosingTheRunningTypeAgainKeepsTheRunningEngine)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (2);
    holder.buildChosenEngine();
    run (holder, fadeSamples);
    auto* running = holder.running();

    holder.setReverbType (3);
    holder.buildChosenEngine();
    holder.setReverbType (2); // the type 3 engine is parked but no longer wanted
    expectConstant (run (holder, blockSize * 4), running->marker());
    EXPECT_EQ (holder.running(), running);
    EXPECT_TRUE (settlesAt (1));
}

//  m m m | Off: fades to the input, the engine is let go | the type again: a new engine fades in from the input
TEST_F (ReverbHolder, OffFadesOutAndLetsTheEngineGoSoTheSameTypeLaterStartsFresh)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    holder.buildChosenEngine();
    run (holder, fadeSamples);
    const int firstSerial = holder.running()->serial;

    holder.setReverbType (0);
    const auto fadingOut = run (holder, 2048);
    EXPECT_EQ (fadingOut.back(), 1.0f) << "off: the input passes unchanged";
    EXPECT_EQ (holder.running(), nullptr);
    EXPECT_TRUE (settlesAt (0)) << "no memory held while off";

    holder.setReverbType (1);
    holder.buildChosenEngine();
    const auto fadingIn = run (holder, 2048);
    EXPECT_NEAR (fadingIn.front(), 1.0f, 0.01f);
    EXPECT_GT (holder.running()->serial, firstSerial) << "no old tail comes back";
    EXPECT_EQ (fadingIn.back(), holder.running()->marker());
}

// A host's reset starts the holder again as a prepared new one: a crossfade in flight ends at the new engine, a
// chosen engine waiting in the slot takes over at once, and the running engine is reset; nothing is freed there.
TEST_F (ReverbHolder, AResetEndsTheCrossfadeAndStartsTheChosenEngineWithoutAFade)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    holder.buildChosenEngine();
    run (holder, fadeSamples);

    holder.setReverbType (3);
    holder.buildChosenEngine();
    run (holder, 4 * blockSize);
    ASSERT_TRUE (holder.isCrossfading());
    holder.reset();
    EXPECT_FALSE (holder.isCrossfading());
    EXPECT_EQ (holder.running()->resetCount, 1);
    expectConstant (run (holder, blockSize), holder.running()->marker());
    EXPECT_TRUE (settlesAt (1)) << "the outgoing engine is let go";

    holder.setReverbType (2);
    holder.buildChosenEngine();
    ASSERT_TRUE (holder.hasPendingEngine());
    holder.reset();
    EXPECT_EQ (holder.getCurrentType(), 2);
    EXPECT_FALSE (holder.isCrossfading());
    expectConstant (run (holder, blockSize), holder.running()->marker());
    EXPECT_TRUE (settlesAt (1));
}

TEST_F (ReverbHolder, DiscardingTheTailBringsAFreshEngineOfTheChosenType)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (4);
    holder.buildChosenEngine();
    run (holder, fadeSamples);
    const int firstSerial = holder.running()->serial;

    holder.discardTail();
    EXPECT_EQ (holder.running(), nullptr);
    expectConstant (run (holder, blockSize), 1.0f);
    holder.buildChosenEngine();
    run (holder, fadeSamples);
    EXPECT_EQ (holder.getCurrentType(), 4);
    EXPECT_GT (holder.running()->serial, firstSerial);
}

TEST_F (ReverbHolder, EveryNewEngineGetsTheSharedSettingsTheRateAndTheTempo)
{
    MarkerHolder holder;
    prepare (holder, 96000.0, 256);
    holder.setTempo (93.0);
    holder.setReverbType (4);
    holder.buildChosenEngine();
    run (holder, 256);

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
    holder.buildChosenEngine();
    run (holder, blockSize);
    EXPECT_EQ (holder.running()->decay, 30.0f);

    holder.setReverbTime (70.0f);
    EXPECT_EQ (holder.running()->decay, 30.0f) << "the setter never touches the running engine";
    run (holder, blockSize);
    EXPECT_EQ (holder.running()->decay, 70.0f);

    holder.setReverbType (2);
    holder.buildChosenEngine();
    holder.setReverbTime (20.0f); // after the build: caught up with at the take-over
    run (holder, blockSize);
    EXPECT_EQ (holder.running()->decay, 20.0f);
}

// A host prepares with the settings already made: the first block hears the room, without a fade in.
TEST_F (ReverbHolder, PrepareBuildsTheChosenEngineAtOnceForTheNewRate)
{
    MarkerHolder holder;
    holder.setReverbType (1);
    prepare (holder, 44100.0, 128);
    ASSERT_NE (holder.running(), nullptr);
    auto* engine = holder.running();
    expectConstant (run (holder, 128, 128), engine->marker());
    EXPECT_EQ (engine->sampleRate, 44100.0);

    prepare (holder, 44100.0, 128);
    EXPECT_EQ (engine->prepareCount, 1) << "the same set-up keeps the engine and its tail";
    prepare (holder, 88200.0, 32);
    EXPECT_EQ (holder.running(), engine);
    EXPECT_EQ (engine->sampleRate, 88200.0);

    // An engine parked for the old rate is settled by prepare, never prepared by a block.
    holder.setReverbType (2);
    holder.buildChosenEngine();
    prepare (holder, 48000.0, 64);
    EXPECT_FALSE (holder.hasPendingEngine());
    EXPECT_EQ (holder.getCurrentType(), 2);
    EXPECT_EQ (holder.running()->sampleRate, 48000.0);
    EXPECT_TRUE (settlesAt (1));
}

TEST_F (ReverbHolder, TempoZeroKeepsTheStoredTempoButStillReachesTheEngine)
{
    MarkerHolder holder;
    holder.setReverbType (1);
    prepare (holder);
    holder.setTempo (100.0);
    holder.setTempo (0.0);
    EXPECT_EQ (holder.tempo.load(), 100.0);
    EXPECT_EQ (holder.running()->lastTempo, 0.0);
}

TEST_F (ReverbHolder, AFailedBuildLeavesTheRunningEngine)
{
    MarkerHolder holder;
    holder.setReverbType (1);
    prepare (holder);
    holder.failingType = 3;

    holder.setReverbType (3);
    holder.buildChosenEngine();
    EXPECT_FALSE (holder.hasPendingEngine());
    run (holder, fadeSamples);
    EXPECT_EQ (holder.getCurrentType(), 1);

    holder.setReverbType (4);
    holder.buildChosenEngine();
    run (holder, fadeSamples);
    EXPECT_EQ (holder.getCurrentType(), 4);
}

TEST_F (ReverbHolder, DestructionFreesTheRunningTheFadingAndTheParkedEngine)
{
    {
        MarkerHolder holder;
        holder.setReverbType (1);
        prepare (holder);
        holder.setReverbType (2);
        holder.buildChosenEngine();
        run (holder, blockSize); // crossfading from 1 to 2
        ASSERT_TRUE (holder.isCrossfading());
        holder.setReverbType (3);
        holder.buildChosenEngine();
        EXPECT_EQ (enginesAlive(), 3);
    }
    EXPECT_EQ (enginesAlive(), 0);
}

// A reset that arrives while the chosen engine is still being built lets the engine of the old type go (a new holder
// never hears it); the chosen engine then fades in from the input as the first engine of a new holder does.
TEST_F (ReverbHolder, AResetBeforeTheChosenEngineIsBuiltLetsTheOldTypeGo)
{
    MarkerHolder holder;
    prepare (holder);
    holder.setReverbType (1);
    holder.buildChosenEngine();
    run (holder, fadeSamples);
    ASSERT_EQ (holder.getCurrentType(), 1);

    std::atomic<bool> building { false }, release { false };
    holder.duringBuild = [&]
    {
        building = true;
        while (! release)
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
    };
    holder.setReverbType (3);
    ASSERT_TRUE (eventually ([&] { return building.load(); }));
    holder.reset();
    EXPECT_EQ (holder.getCurrentType(), 0);
    expectConstant (run (holder, 4 * blockSize), 1.0f);

    release = true;
    ASSERT_TRUE (eventually ([&] { return holder.hasPendingEngine(); }));
    const auto fadeIn = run (holder, fadeSamples + 4 * blockSize);
    ASSERT_NE (holder.running(), nullptr);
    EXPECT_EQ (holder.getCurrentType(), 3);
    expectCrossfade (fadeIn, 1.0f, holder.running()->marker());
    EXPECT_TRUE (settlesAt (1)) << "the builder frees the old engine";
}
