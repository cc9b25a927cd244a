#include "chain/TessaroProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

using tessaro::dsp::TessaroProcessor;
using namespace chain_test;

namespace
{
using Ids = std::array<int, 6>;
constexpr int C = TessaroProcessor::compressId, N = TessaroProcessor::enhanceId, M = TessaroProcessor::multiplyId,
              Q = TessaroProcessor::eqId, S = TessaroProcessor::spaceId, G = TessaroProcessor::gainId;

Ids listedIds (TessaroProcessor& chain)
{
    Ids ids {};
    const auto& modules = chain.getModuleRack().modules;
    EXPECT_EQ (modules.size(), 6);
    const tessaro::dsp::ModuleProcessorBase* byId[] = { &chain.compressProcessor, &chain.enhanceProcessor,
                                                        &chain.multiplyProcessor, &chain.eqProcessor,
                                                        &chain.spaceProcessor,    &chain.gainProcessor };
    for (int i = 0; i < std::min (6, modules.size()); ++i)
        for (int id = 0; id < 6; ++id)
            if (modules[i] == byId[id])
                ids[(size_t) i] = id;
    return ids;
}

void processSilence (TessaroProcessor& chain, int numSamples = 64)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    buffer.clear();
    runInBlocks (chain, buffer, 64);
}

/** A chain whose modules are all off, so it only delays by its latency. */
std::unique_ptr<TessaroProcessor> silentChain (double rate = 44100.0, int blockSize = 64)
{
    auto chain = std::make_unique<TessaroProcessor>();
    for (tessaro::dsp::ModuleProcessorBase* m : { (tessaro::dsp::ModuleProcessorBase*) &chain->compressProcessor,
                                                  (tessaro::dsp::ModuleProcessorBase*) &chain->enhanceProcessor,
                                                  (tessaro::dsp::ModuleProcessorBase*) &chain->eqProcessor,
                                                  (tessaro::dsp::ModuleProcessorBase*) &chain->multiplyProcessor,
                                                  (tessaro::dsp::ModuleProcessorBase*) &chain->spaceProcessor,
                                                  (tessaro::dsp::ModuleProcessorBase*) &chain->gainProcessor })
        m->setBypassSmooth (false);
    chain->prepare ({ rate, (juce::uint32) blockSize, 2 });
    chain->setReportedLatency (chain->getTotalLatencyInSamples());
    return chain;
}
} // namespace

TEST (TessaroProcessor, ANewChainListsTheDefaultOrder)
{
    TessaroProcessor chain;
    EXPECT_EQ (listedIds (chain), (Ids { C, N, Q, M, S, G }));
    EXPECT_EQ (chain.getModuleOrder(), (Ids { C, N, Q, M, S, G }));
    EXPECT_EQ (chain.compressProcessor.sampleRate, 44100.0);
    EXPECT_EQ (chain.gainProcessor.samplesPerBlock, 64);
}

TEST (TessaroProcessor, RoutingSwitchesReorderTheModulesAtTheNextBlock)
{
    struct Case
    {
        bool preComp, eqPre, preFx;
        Ids order;
    };
    const Case cases[] = {
        { false, false, false, { C, N, Q, M, S, G } }, { true, false, false, { N, C, Q, M, S, G } },
        { false, true, false, { Q, C, N, M, S, G } },  { true, true, false, { Q, N, C, M, S, G } },
        { false, false, true, { C, N, Q, M, G, S } },  { true, true, true, { Q, N, C, M, G, S } },
    };

    for (const auto& c : cases)
    {
        TessaroProcessor chain;
        chain.prepare ({ 48000.0, 128, 2 });
        chain.enhancePreComp = c.preComp;
        chain.eqPre = c.eqPre;
        chain.gainPreFx = c.preFx;
        chain.updateModuleOrder();
        EXPECT_EQ (listedIds (chain), (Ids { C, N, Q, M, S, G })) << "not before the next block";

        processSilence (chain);
        EXPECT_EQ (listedIds (chain), c.order) << c.preComp << c.eqPre << c.preFx;
        EXPECT_EQ (chain.eqProcessor.sampleRate, 48000.0) << "the rebuild prepares every module";
    }
}

TEST (TessaroProcessor, LatencyIsTheSumOfTheModulesWhateverTheOrderOrPower)
{
    struct Case
    {
        double rate;
        bool limit;
        int latency;
    };
    const Case cases[] = { { 44100.0, false, 2048 },
                           { 44100.0, true, 2268 },
                           { 48000.0, true, 2287 },
                           { 96000.0, true, 2527 },
                           { 48000.0, false, 2048 } };

    for (const auto& c : cases)
    {
        TessaroProcessor chain;
        chain.prepare ({ c.rate, 512, 2 });
        chain.gainProcessor.setLimit (c.limit);
        EXPECT_EQ (chain.getTotalLatencyInSamples(), c.latency) << c.rate;

        chain.multiplyProcessor.setBypassSmooth (false);
        chain.gainProcessor.setBypassSmooth (false);
        chain.eqPre = true;
        chain.updateModuleOrder();
        processSilence (chain);
        EXPECT_EQ (chain.getTotalLatencyInSamples(), c.latency) << c.rate;
    }
}

TEST (TessaroProcessor, AnImpulseComesOutAtTheLatencyForEveryMix)
{
    for (const float mix : { 0.0f, 0.5f, 1.0f })
    {
        auto chain = silentChain();
        chain->multiplyProcessor.setBypassSmooth (true); // the only module with latency runs
        chain->setMix (mix);
        auto buffer = impulse (4096, 100);
        runInBlocks (*chain, buffer, 64);

        for (int ch = 0; ch < 2; ++ch)
        {
            EXPECT_EQ (peakIndex (buffer, ch), 100 + 2048) << mix;
            EXPECT_FLOAT_EQ (buffer.getSample (ch, 100 + 2048), 1.0f) << mix;
            EXPECT_FLOAT_EQ (buffer.getMagnitude (ch, 0, 4096), 1.0f) << "no early copy at mix " << mix;
        }
    }
}

TEST (TessaroProcessor, MixZeroIsTheInputDelayedBitForBit)
{
    auto chain = silentChain();
    chain->setMix (0.0f);
    processSilence (*chain, 4096); // past the mix ramp
    const auto input = sine (997.0, 44100.0, 6000);
    auto buffer = input;
    runInBlocks (*chain, buffer, 64);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 2048; i < buffer.getNumSamples(); ++i)
            ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i - 2048)) << i;
}

TEST (TessaroProcessor, AMixChangeRampsLinearlyOver50Milliseconds)
{
    TessaroProcessor chain;
    chain.prepare ({ 44100.0, 64, 2 });
    chain.setMix (0.0f);
    processSilence (chain, 64 * 10);

    EXPECT_TRUE (chain.mixProcessor.mixRamp.isSmoothing());
    EXPECT_EQ (chain.mixProcessor.mixRamp.getCountdown(), 2205 - 640);
    EXPECT_NEAR (chain.mixProcessor.mixRamp.getCurrentValue(), 1.0f - 640.0f / 2205.0f, 1.0e-4f);

    processSilence (chain, 64 * 30);
    EXPECT_FALSE (chain.mixProcessor.mixRamp.isSmoothing());
    EXPECT_EQ (chain.mixProcessor.mixRamp.getCurrentValue(), 0.0f);

    chain.reset(); // keeps the list and the ramp
    EXPECT_EQ (chain.mixProcessor.mixRamp.getCurrentValue(), 0.0f);
    EXPECT_EQ (listedIds (chain), (Ids { C, N, Q, M, S, G }));
}

TEST (TessaroProcessor, ChainOffIsTheInputDelayedByTheLatency)
{
    TessaroProcessor chain;
    chain.prepare ({ 44100.0, 64, 2 });
    chain.setReportedLatency (chain.getTotalLatencyInSamples());
    chain.setBypassSmooth (false);
    processSilence (chain, 512); // past the 441-sample ramp

    const auto input = sine (440.0, 44100.0, 6000);
    auto buffer = input;
    runInBlocks (chain, buffer, 64);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 2048; i < buffer.getNumSamples(); ++i)
            ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i - 2048)) << i;
}

TEST (TessaroProcessor, ATempoOfZeroKeepsTheChainTempo)
{
    TessaroProcessor chain;
    chain.setTempo (90.0);
    chain.setTempo (0.0);
    EXPECT_EQ (chain.tempo.load(), 90.0);
    EXPECT_EQ (chain.spaceProcessor.tempo.load(), 90.0);
}

TEST (TessaroProcessor, EveryModuleStaysFiniteAtTheLowestRate)
{
    TessaroProcessor chain;
    chain.compressProcessor.setCompression (100.0f);
    chain.enhanceProcessor.setAir (100.0f);
    chain.enhanceProcessor.setDeEss (100.0f);
    chain.enhanceProcessor.setDeNoise (50.0f);
    chain.eqProcessor.setAdLib (true);
    chain.eqProcessor.setHighGain (6.0f);
    chain.eqProcessor.setHighFreq (22000.0f);
    chain.eqProcessor.setMidFreq (22000.0f);
    chain.eqProcessor.setMidGain (6.0f);
    chain.multiplyProcessor.setAmount (100.0f);
    chain.multiplyProcessor.setLow (50.0f);
    chain.gainProcessor.setType (1);
    chain.gainProcessor.setDrive (100.0f);
    chain.prepare ({ 22050.0, 256, 2 });

    const tessaro::dsp::ModuleProcessorBase* modules[] = { &chain.compressProcessor, &chain.enhanceProcessor,
                                                           &chain.eqProcessor, &chain.multiplyProcessor,
                                                           &chain.gainProcessor };
    const char* names[] = { "Compress", "Enhance", "EQ", "Multiply", "Gain" };
    for (size_t n = 0; n < std::size (modules); ++n)
    {
        auto* m = const_cast<tessaro::dsp::ModuleProcessorBase*> (modules[n]);
        auto buffer = sine (440.0, 22050.0, 22050, 0.5f);
        runInBlocks (*m, buffer, 256);
        // Audible and bounded: Multiply at full Amount adds its voices at twice their level, about +14 dB here.
        EXPECT_TRUE (allFinite (buffer)) << names[n];
        EXPECT_GT (buffer.getMagnitude (11025, 11025), 0.05f) << names[n];
        EXPECT_LT (buffer.getMagnitude (11025, 11025), 4.0f) << names[n];
    }
}
