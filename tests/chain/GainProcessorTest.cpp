#include "chain/GainProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using tessaro::dsp::GainProcessor;
using tessaro::dsp::SaturationProcessor;
using namespace chain_test;

namespace
{
constexpr double rate = 44100.0;

std::unique_ptr<GainProcessor> preparedGain()
{
    auto g = std::make_unique<GainProcessor>();
    g->prepare ({ rate, 256, 2 });
    return g;
}

float peakFrom (const juce::AudioBuffer<float>& buffer, int from)
{
    return buffer.getMagnitude (0, from, buffer.getNumSamples() - from);
}
} // namespace

TEST (GainModule, TypeOffOrMixZeroPassesTheSignalWhateverTheDrive)
{
    struct Case
    {
        int type;
        float drive, mix;
    };
    for (const auto c :
         { Case { SaturationProcessor::off, 100.0f, 100.0f }, Case { SaturationProcessor::off, 50.0f, 30.0f },
           Case { SaturationProcessor::vintageTape, 100.0f, 0.0f } })
    {
        auto g = preparedGain();
        g->setType (c.type);
        g->setDrive (c.drive);
        g->setSaturationMix (c.mix);
        juce::AudioBuffer<float> settle (2, 8192);
        settle.clear();
        runInBlocks (*g, settle, 256);

        const auto input = sine (220.0, rate, 4096, 0.9f);
        auto buffer = input;
        runInBlocks (*g, buffer, 256);
        const int latency = g->getLatencyInSamples(); // the limiter's look-ahead, Limit on or off
        for (int i = latency; i < buffer.getNumSamples(); ++i)
            ASSERT_NEAR (buffer.getSample (0, i), input.getSample (0, i - latency), 1.0e-6f) << c.type << " " << i;
    }
}

TEST (GainModule, OutputGainScalesTheSignal)
{
    auto g = preparedGain();
    g->setOutputGain (6.0f);
    EXPECT_NEAR (sineGainDb (*g, 1000.0, rate), 6.0f, 0.01f);
}

TEST (GainModule, VintageTapeAtFullDriveClipsLoudSignalsAndKeepsQuietOnes)
{
    struct Case
    {
        float amplitude;
        float expectedPeak, tolerance;
    };
    for (const auto c : { Case { 1.0f, 0.1571f, 0.0f }, Case { 0.001f, 0.001f, 0.0001f } })
    {
        auto g = preparedGain();
        g->setType (SaturationProcessor::vintageTape);
        g->setDrive (100.0f);
        juce::AudioBuffer<float> settle (2, 8192);
        settle.clear();
        runInBlocks (*g, settle, 256);

        auto buffer = sine (220.0, rate, 8192, c.amplitude);
        runInBlocks (*g, buffer, 256);
        if (c.tolerance == 0.0f)
        {
            EXPECT_LE (peakFrom (buffer, 0), c.expectedPeak);
            EXPECT_GT (peakFrom (buffer, 0), 0.14f); // atan (10) / 10
        }
        else
        {
            EXPECT_NEAR (peakFrom (buffer, 4096), c.expectedPeak, c.tolerance);
        }
    }
}

TEST (GainModule, ATypeChangeCrossfadesAndKeepsTheDriveStagesOn)
{
    auto g = preparedGain();
    g->setType (SaturationProcessor::vintageTape);
    g->setDrive (100.0f);
    auto buffer = sine (220.0, rate, 8192, 1.0f);
    runInBlocks (*g, buffer, 256);

    g->setType (SaturationProcessor::cleanTube);
    EXPECT_TRUE (g->saturation.driveIn.active.load());
    EXPECT_FALSE (g->saturation.tape.active.load());

    auto next = sine (220.0, rate, 512, 1.0f);
    runInBlocks (*g, next, 64);
    float largestStep = 0.0f;
    for (int i = 1; i < next.getNumSamples(); ++i)
        largestStep = std::max (largestStep, std::abs (next.getSample (0, i) - next.getSample (0, i - 1)));
    EXPECT_LT (largestStep, 0.2f) << "no jump at the switch";
}

TEST (GainModule, TheLimiterDelaysByItsLookAheadAndHoldsPeaksDown)
{
    struct Case
    {
        double rate;
        int latency;
    };
    for (const auto c : { Case { 44100.0, 220 }, Case { 48000.0, 239 }, Case { 96000.0, 479 } })
    {
        GainProcessor g;
        g.prepare ({ c.rate, 256, 2 });
        g.setLimit (true);
        EXPECT_EQ (g.getLatencyInSamples(), c.latency);

        juce::AudioBuffer<float> settle (2, 4096);
        settle.clear();
        runInBlocks (g, settle, 256);

        // A 0.5 impulse stays under the 0 dB threshold: it comes out untouched, only delayed.
        auto buffer = impulse (4096, 1000);
        buffer.setSample (0, 1000, 0.5f);
        buffer.setSample (1, 1000, 0.5f);
        runInBlocks (g, buffer, 256);
        EXPECT_EQ (peakIndex (buffer), 1000 + c.latency) << c.rate;
        EXPECT_EQ (buffer.getSample (0, 1000 + c.latency), 0.5f) << c.rate;
        EXPECT_EQ (buffer.getMagnitude (0, 0, 4096), 0.5f) << "nothing else passes " << c.rate;

        // 20 dB over full scale: the brick wall at 0 dBFS (threshold 0 dB, slope -1, instant attack) holds
        // every peak at full scale, neither above nor below it.
        auto loud = sine (200.0, c.rate, 8192, 10.0f);
        runInBlocks (g, loud, 256);
        EXPECT_NEAR (loud.getMagnitude (0, 4096, 4096), 1.0f, 1.0e-3f) << c.rate;

        g.setLimit (false);
        EXPECT_EQ (g.getLatencyInSamples(), c.latency) << "off keeps the look-ahead, so the host never re-aligns";
    }
}

TEST (GainModule, EveryTypeStaysFiniteAndAudibleAtTheLowestRate)
{
    for (int type = SaturationProcessor::vintageTape; type <= SaturationProcessor::brokenTube; ++type)
    {
        GainProcessor g;
        g.prepare ({ 22050.0, 256, 2 });
        g.setType (type);
        g.setDrive (100.0f);
        auto buffer = sine (440.0, 22050.0, 22050, 0.5f);
        runInBlocks (g, buffer, 256);
        EXPECT_TRUE (allFinite (buffer)) << "type " << type;
        EXPECT_GT (peakFrom (buffer, 11025), 0.05f) << "type " << type;
        EXPECT_LT (peakFrom (buffer, 11025), 2.0f) << "type " << type;
    }
}

// Type, drive and output steps while a tone plays glide along raised cosines: no click above either setting.
TEST (GainModule, StepsOfTypeDriveAndGainAreClickFree)
{
    using Module = tessaro::dsp::GainProcessor;
    const struct
    {
        const char* name;
        std::function<void (Module&, bool)> set;
    } cases[] = {
        { "type", [] (Module& g, bool b) { g.setDrive (40.0f), g.setType (b ? 4 : 0); } },
        { "drive", [] (Module& g, bool b) { g.setType (1), g.setDrive (b ? 100.0f : 0.0f); } },
        { "gain", [] (Module& g, bool b) { g.setOutputGain (b ? 20.0f : -20.0f); } },
    };

    for (const auto& c : cases)
    {
        const auto make = []
        {
            auto g = std::make_unique<Module>();
            g->prepare ({ 44100.0, 512, 2 });
            return g;
        };
        EXPECT_LE (chain_test::stepClickDb (make, c.set), 6.0) << c.name;
    }
}

TEST (GainModule, SwitchedOnAfterARestItCarriesOnWithoutOldAudio)
{
    // With neutral settings the module is its look-ahead delay, on, off and in between: after a rest
    // through other audio, the switch back on must pass the input on exactly, at every block size, whether
    // the limiter (a quiet signal stays under it) is heard or not.
    struct Case
    {
        bool limit;
        int blockSize;
    };
    for (const auto c : { Case { false, 256 }, Case { true, 256 }, Case { true, 64 }, Case { false, 100 } })
    {
        auto g = preparedGain();
        g->setLimit (c.limit);
        auto before = sine (330.0, rate, 8192, 10.0f); // loud: fills the limiter with audio never to return
        runInBlocks (*g, before, c.blockSize);

        g->setBypassSmooth (false);
        const auto input = sine (220.0, rate, 16384, 0.4f);
        auto buffer = input;
        const int half = 8192 / c.blockSize * c.blockSize;
        juce::AudioBuffer<float> restPart (buffer.getArrayOfWritePointers(), 2, half);
        runInBlocks (*g, restPart, c.blockSize);
        g->setBypassSmooth (true);
        juce::AudioBuffer<float> onPart (buffer.getArrayOfWritePointers(), 2, half, 16384 - half);
        runInBlocks (*g, onPart, c.blockSize);

        // From the end of the switch-off crossfade, in which the limiter still eased the loud audio's peaks.
        const int latency = g->getLatencyInSamples();
        for (int i = latency + 1024; i < 16384; ++i)
            ASSERT_NEAR (buffer.getSample (0, i), input.getSample (0, i - latency), 1.0e-6f)
                << "limit " << c.limit << ", block " << c.blockSize << ", sample " << i;
    }
}
