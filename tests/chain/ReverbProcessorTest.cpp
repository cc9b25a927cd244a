#include "chain/ReverbProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

using tessaro::dsp::ReverbProcessor;
using namespace chain_test;

namespace
{
/** A stand-in engine: its wet output is a constant that tells its type, and it counts its instances. */
struct ConstantEngine : QEL::SkyReverbProcessorBase
{
    explicit ConstantEngine (int t) : type (t) { ++alive; }
    ~ConstantEngine() override { --alive; }

    void processImpl (const float* const*, float* const* out, int numSamples, int, int numChannels) override
    {
        for (int ch = 0; ch < numChannels; ++ch)
            juce::FloatVectorOperations::fill (out[ch], 0.1f * (float) type, numSamples);
        ++blocks;
    }

    void setDecay (float p) override { decay = p; }
    void setPreDelay (float) override {}
    void setPreDelayNote (qel::TimeUtils::TempoSyncTimes) override {}
    void setMix (float p) override { mix = p; }
    void setUseAltMix (bool b) override { altMix = b; }
    void setTone (float p) override { tone = p; }
    void setMod (float p) override { modPercent = p; }
    void setModRateNote (qel::TimeUtils::TempoSyncTimes) override {}
    void setSaturation (float) override {}
    void setFollow (float) override {}
    void setDuck (float) override {}
    void setComp (float) override {}
    void setDisintegrate (float) override {}
    void setPitch (float) override {}
    void setFreeze (bool) override {}
    void setKill (bool) override {}
    void setSync (bool) override {}
    void setMassive (bool b) override { massive = b; }
    void setWidth (float) override {}
    void setWetHighPassFilterCutoff (float) override {}
    void setWetLowPassFilterCutoff (float) override {}
    void setMonoLowEnd (bool) override {}
    void setModEnabled (bool) override {}

    int type;
    float decay = -1.0f, mix = -1.0f, tone = -1.0f;
    bool altMix = false, massive = false;
    int blocks = 0;
    static inline std::atomic<int> alive { 0 };
};

struct TestHolder : ReverbProcessor
{
    std::atomic<int> built { 0 };
    ConstantEngine* lastBuilt = nullptr;

    std::unique_ptr<QEL::SkyReverbProcessorBase> createEngine (int type) override
    {
        ++built;
        auto engine = std::make_unique<ConstantEngine> (type);
        lastBuilt = engine.get();
        return engine;
    }
};

juce::AudioBuffer<float> ones (int numSamples)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 1.0f, numSamples);
    return buffer;
}

void runBlock (ReverbProcessor& holder, juce::AudioBuffer<float>& buffer)
{
    runInBlocks (holder, buffer, buffer.getNumSamples());
}
} // namespace

TEST (ReverbProcessor, TheFirstEngineFadesInFromTheInputOverOneBlock)
{
    TestHolder holder;
    holder.prepare ({ 44100.0, 64, 2 });
    holder.setReverbType (ReverbProcessor::cathedral);
    EXPECT_TRUE (holder.hasPendingEngine());
    EXPECT_EQ (holder.lastBuilt->tone, 50.0f);
    EXPECT_EQ (holder.lastBuilt->decay, 50.0f);
    EXPECT_TRUE (holder.lastBuilt->altMix);
    EXPECT_EQ (holder.lastBuilt->modPercent, 50.0f);

    auto buffer = ones (64);
    runBlock (holder, buffer);

    // From the input (1) to the engine (0.3): B (1 - i/N) + A i/N.
    for (int i = 0; i < 64; ++i)
        ASSERT_FLOAT_EQ (buffer.getSample (0, i), 1.0f * (1.0f - i / 64.0f) + 0.3f * (i / 64.0f)) << i;
    EXPECT_EQ (holder.getCurrentType(), ReverbProcessor::cathedral);
    EXPECT_FALSE (holder.hasPendingEngine());
}

TEST (ReverbProcessor, ANewTypeCrossfadesFromTheRunningEngineAndRetiresIt)
{
    const int before = ConstantEngine::alive;
    {
        TestHolder holder;
        holder.prepare ({ 44100.0, 32, 2 });
        holder.setReverbType (ReverbProcessor::brightRoom);
        EXPECT_EQ (holder.lastBuilt->tone, 100.0f);
        auto first = ones (32);
        runBlock (holder, first);

        holder.setReverbType (ReverbProcessor::darkRoom);
        holder.setReverbType (ReverbProcessor::outerSpace); // only the second is taken over
        EXPECT_EQ (ConstantEngine::alive - before, 2) << "the setter freed the first pending engine";
        EXPECT_TRUE (holder.lastBuilt->massive);

        auto buffer = ones (32);
        runBlock (holder, buffer);
        for (int i = 0; i < 32; ++i)
            ASSERT_FLOAT_EQ (buffer.getSample (1, i), 0.1f * (1.0f - i / 32.0f) + 0.4f * (i / 32.0f)) << i;
        EXPECT_EQ (holder.getCurrentType(), ReverbProcessor::outerSpace);
        EXPECT_EQ (ConstantEngine::alive - before, 1) << "the old engine is retired";
    }
    EXPECT_EQ (ConstantEngine::alive.load(), before);
}

TEST (ReverbProcessor, OffFadesOutAndTheSameTypeFadesTheSameEngineBackIn)
{
    TestHolder holder;
    holder.prepare ({ 44100.0, 64, 2 });
    holder.setReverbType (ReverbProcessor::cathedral);
    auto buffer = ones (64);
    runBlock (holder, buffer);
    auto* running = holder.lastBuilt;

    holder.setReverbType (ReverbProcessor::off);
    EXPECT_EQ (holder.built.load(), 1) << "Off builds nothing";
    for (int n = 0; n < 8; ++n)
    {
        auto b = ones (64);
        runBlock (holder, b);
    }
    EXPECT_FALSE (holder.active.load());
    EXPECT_FALSE (holder.isRamping());

    holder.setReverbType (ReverbProcessor::cathedral);
    const int blocksBefore = running->blocks;
    auto again = ones (64);
    runBlock (holder, again);
    EXPECT_GT (running->blocks, blocksBefore) << "the running engine fades back in with its tail";
    EXPECT_EQ (holder.getCurrentType(), ReverbProcessor::cathedral);
    EXPECT_TRUE (holder.isRamping());
}

TEST (ReverbProcessor, ReverbTimeReachesTheRunningEngineAndEveryLaterOne)
{
    TestHolder holder;
    holder.prepare ({ 44100.0, 64, 2 });
    holder.setReverbType (ReverbProcessor::brightRoom);
    auto buffer = ones (64);
    runBlock (holder, buffer);
    auto* running = holder.lastBuilt;

    holder.setReverbTime (80.0f);
    EXPECT_EQ (running->decay, 50.0f) << "the setter never touches the running engine";
    runBlock (holder, buffer);
    EXPECT_EQ (running->decay, 80.0f);

    holder.setReverbType (ReverbProcessor::darkRoom);
    EXPECT_EQ (holder.lastBuilt->decay, 80.0f);
}

TEST (ReverbProcessor, AOneSampleBlockSwitchesAtOnce)
{
    TestHolder holder;
    holder.prepare ({ 44100.0, 64, 2 });
    holder.setReverbType (ReverbProcessor::darkRoom);
    auto one = ones (1);
    runBlock (holder, one);
    EXPECT_EQ (holder.getCurrentType(), ReverbProcessor::darkRoom);
    auto next = ones (1);
    runBlock (holder, next);
    EXPECT_FLOAT_EQ (next.getSample (0, 0), 0.2f);
}

// Run under the sanitizer builds: one thread changes type and time thousands of times while another
// processes audio; no crash, no use after free, no leak and no race on the hand-over.
TEST (ReverbProcessor, TypeAndTimeChangesWhileTheAudioThreadRuns)
{
    const int before = ConstantEngine::alive;
    {
        TestHolder holder;
        holder.prepare ({ 48000.0, 64, 2 });
        std::atomic<bool> done { false };

        std::thread audio (
            [&]
            {
                juce::AudioBuffer<float> buffer (2, 64);
                while (! done.load())
                {
                    buffer.clear();
                    buffer.setSample (0, 0, 1.0f);
                    float* channels[2] = { buffer.getWritePointer (0), buffer.getWritePointer (1) };
                    holder.process (channels, channels, 64, 2, 2);
                }
            });

        std::mt19937 random (7);
        for (int n = 0; n < 4000; ++n)
        {
            holder.setReverbType ((int) (random() % 5));
            holder.setReverbTime ((float) (random() % 101));
        }
        done = true;
        audio.join();
    }
    EXPECT_EQ (ConstantEngine::alive.load(), before);
}
