// Run also under the sanitizer builds (TESSARO_SANITIZER=address or thread): they report any use after
// free, leak or data race in the engine hand-over that these threads provoke.

#include "chain/ChainTestSupport.h"
#include "chain/ReverbTestEngine.h"
#include "core/Params.h"
#include "core/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

namespace
{
/** One thread changes the type and the time `changes` times while the calling thread runs blocks, now and
    then preparing the holder again as the chain does after a module-order change. */
template <typename Holder, typename ChangeType, typename ChangeTime>
void raceChangesAgainstBlocks (Holder& holder, int changes, ChangeType changeType, ChangeTime changeTime)
{
    std::atomic<bool> done { false };
    std::thread setter (
        [&]
        {
            std::mt19937 random (7);
            for (int i = 0; i < changes; ++i)
            {
                changeType ((int) (random() % 5));
                changeTime ((float) (random() % 101));
            }
            done.store (true);
        });

    juce::AudioBuffer<float> buffer (2, 64);
    juce::Random noise (3);
    bool finite = true;
    for (int blockIndex = 0; ! done.load() || blockIndex < 64; ++blockIndex)
    {
        if (blockIndex % 97 == 96)
            holder.prepare ({ 48000.0, 64, 2 });

        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < 64; ++i)
                buffer.setSample (channel, i, noise.nextFloat() - 0.5f);

        holder.process (buffer.getArrayOfWritePointers(), buffer.getArrayOfWritePointers(), 64, 2, 2);
        finite = finite && chain_test::allFinite (buffer);
    }
    setter.join();
    EXPECT_TRUE (finite);
}
} // namespace

TEST (ReverbHandOverStress, TypeAndTimeChangesRacingTheAudioThreadLoseAndLeakNoEngine)
{
    const int liveBefore = reverb_test::MarkerEngine::live.load();
    {
        reverb_test::MarkerHolder holder;
        holder.prepare ({ 48000.0, 64, 2 });
        raceChangesAgainstBlocks (
            holder, 5000, [&] (int type) { holder.setReverbType (type); },
            [&] (float percent) { holder.setReverbTime (percent); });

        // The builder frees what the blocks let go: a running, a fading and a parked engine are left at most.
        for (int wait = 0; wait < 5000 && reverb_test::MarkerEngine::live.load() - liveBefore > 3; ++wait)
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        EXPECT_LE (reverb_test::MarkerEngine::live.load() - liveBefore, 3);
    }
    EXPECT_EQ (reverb_test::MarkerEngine::live.load(), liveBefore);
}

// The whole plug-in with its real engines: the host automates "Space - Reverb - Type" and "Space - Reverb - Time"
// from one thread while another runs the audio blocks with the reverb audible.
TEST (ReverbHandOverStress, AutomatedReverbTypeAndTimeRacingTheAudioBlocks)
{
    state_test::Sandbox sandbox;
    auto processor = state_test::makeProcessor();
    processor->setPlayConfigDetails (2, 2, 48000.0, 64);
    processor->prepareToPlay (48000.0, 64);
    state_test::setValue (*processor, Params::paramSpaceReverbAmount, 100.0f);

    std::atomic<bool> done { false };
    std::thread host (
        [&]
        {
            std::mt19937 random (5);
            for (int i = 0; i < 100; ++i)
            {
                state_test::setValue (*processor, Params::paramSpaceReverbType, (float) (random() % 5));
                state_test::setValue (*processor, Params::paramSpaceReverbTime, (float) (random() % 101));
            }
            done.store (true);
        });

    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    juce::Random noise (3);
    bool finite = true;
    for (int blockIndex = 0; ! done.load() || blockIndex < 64; ++blockIndex)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < 64; ++i)
                buffer.setSample (channel, i, noise.nextFloat() - 0.5f);
        processor->processBlock (buffer, midi);
        finite = finite && chain_test::allFinite (buffer);
    }
    host.join();
    EXPECT_TRUE (finite);
}
