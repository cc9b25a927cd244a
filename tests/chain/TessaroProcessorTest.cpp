#include "chain/TessaroProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

using tessaro::dsp::TessaroProcessor;
using namespace chain_test;

namespace
{
using Ids = std::array<int, 6>;
constexpr int latency = 2268; // at 44.1 kHz: the multiplier's 2048 and the limiter's look-ahead
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

        processSilence (chain, 64); // the fade out lasts 5 ms, 240 samples
        EXPECT_EQ (listedIds (chain), (Ids { C, N, Q, M, S, G })) << "not before the fade out ends";
        processSilence (chain, 192);
        EXPECT_EQ (listedIds (chain), c.order) << c.preComp << c.eqPre << c.preFx;
    }
}

// An order switch fades the signal after the last module that moves out over 3 ms, lists the modules
// anew at silence and fades it in over 3 ms; the modules behind carry the dip on, after their latency.
// No module is prepared or cleared: an echo ringing through the switch rings on, sample for sample.
//
//   tone    ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~   in
//           ~~~~~~~~~~~~~~~~~~~v~~~~~~~~~~~~   out: one fade to 0 and back, the latency after the switch
//   echo    ~~~~~~~~____________________       in: a tone, then silence before the switch
//           ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~   out: the same as without a switch
TEST (TessaroProcessor, AnOrderSwitchFadesThroughSilenceAndKeepsTheTails)
{
    constexpr int switchAt = 44100 / 4, total = 44100, fades = 2 * 221;

    const auto render = [] (bool switchOrder, bool echo)
    {
        auto chain = silentChain (44100.0, 64);
        chain->spaceProcessor.setDelaySync (false);
        chain->spaceProcessor.setDelayTime (100.0f);
        chain->spaceProcessor.setDelayType (echo ? 3 : 0);
        chain->spaceProcessor.setDelayAmount (50.0f);
        chain->spaceProcessor.setBypassSmooth (true);
        processSilence (*chain, 44100 / 10);

        auto buffer = sine (440.0, 44100.0, total);
        if (echo)
            for (int ch = 0; ch < 2; ++ch)
                buffer.clear (ch, switchAt - 2205, total - switchAt + 2205);
        juce::AudioBuffer<float> head (buffer.getArrayOfWritePointers(), 2, 0, switchAt);
        juce::AudioBuffer<float> tail (buffer.getArrayOfWritePointers(), 2, switchAt, total - switchAt);
        runInBlocks (*chain, head, 64);
        chain->eqPre = switchOrder; // the modules that move are off: the order alone changes nothing
        chain->updateModuleOrder();
        runInBlocks (*chain, tail, 64);
        return buffer;
    };

    const auto toneSteady = render (false, false), toneSwitched = render (true, false);
    const auto echoSteady = render (false, true), echoSwitched = render (true, true);
    const int dip = switchAt + latency;

    for (int ch = 0; ch < 2; ++ch)
    {
        float quietest = 1.0f;
        for (int i = dip; i < dip + fades; ++i)
            quietest = std::min (quietest, std::abs (toneSwitched.getSample (ch, i)));
        EXPECT_EQ (quietest, 0.0f) << "the order changes at silence";
        for (int i = 0; i < total; ++i)
        {
            if (i < dip || i >= dip + fades)
            {
                ASSERT_EQ (toneSwitched.getSample (ch, i), toneSteady.getSample (ch, i)) << ch << " " << i;
            }
        }

        ASSERT_GT (echoSteady.getMagnitude (ch, dip, fades), 0.05f) << "an echo rings through the switch";
        for (int i = 0; i < total; ++i)
            ASSERT_EQ (echoSwitched.getSample (ch, i), echoSteady.getSample (ch, i)) << ch << " " << i;
    }
}

/** The largest second difference of a render from a sample on, over both channels: a step or a corner in a
    smooth tone stands far above the tone's own curvature. */
float largestBend (const juce::AudioBuffer<float>& buffer, int from)
{
    float largest = 0.0f;
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = std::max (2, from); i < buffer.getNumSamples(); ++i)
            largest = std::max (largest, std::abs (buffer.getSample (ch, i) - 2.0f * buffer.getSample (ch, i - 1) +
                                                   buffer.getSample (ch, i - 2)));
    return largest;
}

// Gain's look-ahead line still holds the old order's signal (the echoes included) when the order changes, and
// lets it go a few milliseconds after the fade in: the connections on both sides of the moving modules are
// faded as well, so that line empties faded out and the tone bends about as it does held still (the echo
// runs on a look-ahead later against the tone, so the sum may be a little louder; a step is tens of times
// the bend). Blocks of 1 and 64: the fade is timed in samples.
TEST (TessaroProcessor, MovingALookAheadPastAnEchoLeavesNoStep)
{
    constexpr int switchAt = 44100 / 4, total = 44100 / 2;

    const auto render = [] (bool preFx, bool switchOrder, int blockSize)
    {
        auto chain = silentChain (44100.0, blockSize);
        chain->spaceProcessor.setDelaySync (false);
        chain->spaceProcessor.setDelayTime (30.0f);
        chain->spaceProcessor.setDelayType (3);
        chain->spaceProcessor.setDelayAmount (50.0f);
        chain->spaceProcessor.setBypassSmooth (true);
        chain->gainPreFx = preFx;
        chain->updateModuleOrder();
        processSilence (*chain, 44100 / 10);

        auto buffer = sine (440.0, 44100.0, total);
        juce::AudioBuffer<float> head (buffer.getArrayOfWritePointers(), 2, 0, switchAt);
        juce::AudioBuffer<float> tail (buffer.getArrayOfWritePointers(), 2, switchAt, total - switchAt);
        runInBlocks (*chain, head, blockSize);
        chain->gainPreFx = preFx != switchOrder;
        chain->updateModuleOrder();
        runInBlocks (*chain, tail, blockSize);
        return buffer;
    };

    for (const int blockSize : { 1, 64 })
        for (const bool preFx : { false, true })
        {
            const float held = std::max (largestBend (render (preFx, false, blockSize), switchAt),
                                         largestBend (render (! preFx, false, blockSize), switchAt));
            EXPECT_LT (largestBend (render (preFx, true, blockSize), switchAt), 2.0f * held)
                << "block " << blockSize << (preFx ? ", to after the space" : ", to before the space");
        }
}

// A second switch that arrives while the first fades out waits for a fade of its own: the connections it
// moves were not faded out, so listing it at the first fade's silence would cut them off at once.
TEST (TessaroProcessor, ASwitchDuringAFadeTakesTheNextFade)
{
    constexpr int switchAt = 32 * 344, total = 32 * 688; // whole blocks of 32

    const auto render = [] (bool second)
    {
        auto chain = silentChain (44100.0, 32);
        chain->spaceProcessor.setDelaySync (false);
        chain->spaceProcessor.setDelayTime (30.0f);
        chain->spaceProcessor.setDelayType (3);
        chain->spaceProcessor.setDelayAmount (50.0f);
        chain->spaceProcessor.setBypassSmooth (true);
        processSilence (*chain, 44100 / 10);

        auto buffer = sine (440.0, 44100.0, total);
        for (int start = 0; start < total; start += 32)
        {
            if (start == switchAt)
                chain->gainPreFx = true;
            if (start == switchAt + 64)
                chain->eqPre = second;
            chain->updateModuleOrder();
            float* channels[2] = { buffer.getWritePointer (0, start), buffer.getWritePointer (1, start) };
            chain->process (channels, channels, 32, 2, 2);
        }
        EXPECT_EQ (listedIds (*chain), second ? (Ids { Q, C, N, M, G, S }) : (Ids { C, N, Q, M, G, S }));
        return buffer;
    };

    const float one = largestBend (render (false), switchAt);
    EXPECT_LT (largestBend (render (true), switchAt), 1.5f * one);
}

TEST (TessaroProcessor, LatencyIsTheSumOfTheModulesWhateverTheOrderOrPower)
{
    struct Case
    {
        double rate;
        bool limit;
        int latency;
    };
    // The limiter's look-ahead counts with Limit off as well: switching it never moves the track.
    const Case cases[] = { { 44100.0, false, 2268 },
                           { 44100.0, true, 2268 },
                           { 48000.0, true, 2287 },
                           { 96000.0, true, 2527 },
                           { 48000.0, false, 2287 } };

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
            EXPECT_EQ (peakIndex (buffer, ch), 100 + latency) << mix;
            EXPECT_FLOAT_EQ (buffer.getSample (ch, 100 + latency), 1.0f) << mix;
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
        for (int i = latency; i < buffer.getNumSamples(); ++i)
            ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i - latency)) << i;
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
        for (int i = latency; i < buffer.getNumSamples(); ++i)
            ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i - latency)) << i;
}

TEST (TessaroProcessor, ATempoOfZeroKeepsTheChainTempo)
{
    TessaroProcessor chain;
    chain.setTempo (90.0);
    chain.setTempo (0.0);
    EXPECT_EQ (chain.tempo.load(), 90.0);
    EXPECT_EQ (chain.spaceProcessor.tempo.load(), 90.0);
}

/** Every module but Space working hard: full compression, air and de-essing, the EQ lifting at the top of the
    band with AdLib on, Multiply at full Amount, the chosen valve driven fully. */
static void setEveryModuleBusy (TessaroProcessor& chain, int gainType)
{
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
    chain.gainProcessor.setType (gainType);
    chain.gainProcessor.setDrive (100.0f);
}

TEST (TessaroProcessor, EveryModuleStaysFiniteAtTheLowestRate)
{
    TessaroProcessor chain;
    setEveryModuleBusy (chain, 1);
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

// Every module on and working, at rates from 8 kHz to 384 kHz: the corners designed for 44.1 kHz (the
// de-esser's split and detector, the valves' low-passes) stay below Nyquist, so nothing rings to infinity.
TEST (TessaroProcessor, EveryModuleOnStaysFiniteAndBoundedAtEveryRate)
{
    for (const int gainType : { 1, 2, 3, 4 })
        for (const double rate : { 8000.0, 11025.0, 16000.0, 22050.0, 44100.0, 96000.0, 192000.0, 384000.0 })
        {
            TessaroProcessor chain;
            setEveryModuleBusy (chain, gainType);
            chain.eqProcessor.setLowGain (6.0f);
            chain.spaceProcessor.setDelayType (2);
            chain.spaceProcessor.setDelayAmount (50.0f);
            chain.prepare ({ rate, 256, 2 });

            auto buffer = sine (440.0, rate, (int) (rate / 4), 0.5f);
            runInBlocks (chain, buffer, 256);
            EXPECT_TRUE (allFinite (buffer)) << rate << " Hz, gain type " << gainType;
            EXPECT_LT (buffer.getMagnitude (0, buffer.getNumSamples()), 8.0f) << rate << " Hz, gain type " << gainType;
        }
}

// A NaN that gets past the plug-in's input guard (here: straight into the chain) or arises inside a
// module is heard as one short gap, not as noise for ever: the module holding it starts afresh.
//
//   input   ~~~~~~~~~~~~N~~~~~~~~~~~~~~   (one NaN sample in block 40)
//   output  ~~~~~~~~~~~~~~~~~~_~~~~~~~~   (one silent block, delayed by the latency; then as without it)
TEST (TessaroProcessor, ANaNInsideTheChainIsOneSilentBlockNotForEver)
{
    constexpr int blockSize = 256, faultBlock = 40, blocks = 120;

    const auto render = [] (bool fault)
    {
        TessaroProcessor chain;
        chain.compressProcessor.setCompression (50.0f);
        chain.eqProcessor.setMidGain (6.0f);
        chain.spaceProcessor.setDelayType (2);
        chain.spaceProcessor.setDelayAmount (30.0f);
        chain.prepare ({ 44100.0, blockSize, 2 });
        chain.setReportedLatency (chain.getTotalLatencyInSamples());

        auto buffer = sine (440.0, 44100.0, blockSize * blocks, 0.25f);
        if (fault)
            buffer.setSample (0, faultBlock * blockSize + 10, std::numeric_limits<float>::quiet_NaN());
        runInBlocks (chain, buffer, blockSize);
        return buffer;
    };

    const auto clean = render (false);
    const auto faulty = render (true);

    ASSERT_TRUE (allFinite (faulty));

    // The gap reaches the output after the latency; from there, the compressor and the echo settle back.
    const int recovered = faultBlock * blockSize + latency + blockSize + 44100 / 5;
    ASSERT_LT (recovered, clean.getNumSamples() - 4410);
    for (int ch = 0; ch < 2; ++ch)
        EXPECT_NEAR (rmsDb (faulty, ch, recovered), rmsDb (clean, ch, recovered), 0.5) << ch;
}

// With Limit on, even a sum of a loud dry mix, saturation and echoes after the limiter stays within
// full scale: the output never passes 1.0.
TEST (TessaroProcessor, WithLimitOnNoSamplePassesFullScale)
{
    TessaroProcessor chain;
    chain.gainProcessor.setOutputGain (20.0f);
    chain.gainProcessor.setType (4);
    chain.gainProcessor.setDrive (100.0f);
    chain.gainProcessor.setLimit (true);
    chain.gainPreFx = true; // the echo follows the limiter
    chain.updateModuleOrder();
    chain.spaceProcessor.setDelayType (2);
    chain.spaceProcessor.setDelayAmount (80.0f);
    chain.prepare ({ 48000.0, 512, 2 });
    chain.setReportedLatency (chain.getTotalLatencyInSamples());
    chain.setMix (0.7f);

    juce::Random random (7);
    juce::AudioBuffer<float> buffer (2, 48000);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
    runInBlocks (chain, buffer, 512);

    for (int ch = 0; ch < 2; ++ch)
        EXPECT_LE (buffer.getMagnitude (ch, 0, buffer.getNumSamples()), 1.0f) << ch;
}
