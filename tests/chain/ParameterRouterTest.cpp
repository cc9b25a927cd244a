#include "core/Params.h"
#include "core/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <functional>

using namespace state_test;

namespace
{
class ParameterRouterTest : public ::testing::Test
{
protected:
    Sandbox sandbox;
    std::unique_ptr<Processor> processor = makeProcessor();
};

bool near (float a, float b)
{
    return std::abs (a - b) <= 1.0e-4f * std::max (1.0f, std::abs (b));
}
} // namespace

TEST_F (ParameterRouterTest, EveryParameterReachesItsModule)
{
    using namespace Params;
    using Check = std::function<bool (tessaro::dsp::TessaroProcessor&, Processor&)>;
    struct Case
    {
        const juce::String& id;
        float value;
        Check reached;
    };
    using T = tessaro::dsp::TessaroProcessor;
    const Case cases[] = {
        { paramMix, 25.0f, [] (T& c, Processor&) { return near (c.getMixTarget(), 0.25f); } },
        { paramBypass, 1.0f, [] (T& c, Processor&) { return ! c.active.load(); } },
        { paramCompressPower, 0.0f, [] (T& c, Processor&) { return ! c.compressProcessor.active.load(); } },
        { paramCompressInput, -6.0f, [] (T& c, Processor&) { return c.compressProcessor.getInputGain() == -6.0f; } },
        { paramCompressCompression, 100.0f,
          [] (T& c, Processor&) { return c.compressProcessor.getCompression() == 100.0f; } },
        { paramCompressOutput, 3.0f, [] (T& c, Processor&) { return c.compressProcessor.getOutputGain() == 3.0f; } },
        { paramCompressSlow, 1.0f, [] (T& c, Processor&) { return c.compressProcessor.isSlow(); } },
        { paramCompressAuto, 0.0f, [] (T& c, Processor&) { return ! c.compressProcessor.isAuto(); } },
        { paramEnhancePower, 0.0f, [] (T& c, Processor&) { return ! c.enhanceProcessor.active.load(); } },
        { paramEnhanceDeEss, 40.0f,
          [] (T& c, Processor&) { return near (c.enhanceProcessor.getDeEssAmount(), 0.4f); } },
        { paramEnhanceDeNoise, 1.0f,
          [] (T& c, Processor&)
          { return c.enhanceProcessor.isDeNoiseOn() && near (c.enhanceProcessor.getDeNoiseThresholdDb(), -99.1f); } },
        { paramEnhanceAir, 30.0f, [] (T& c, Processor&) { return near (c.enhanceProcessor.getAirTarget(), 0.3f); } },
        { paramEnhancePreComp, 1.0f,
          [] (T& c, Processor&) { return c.enhancePreComp.load() && c.getModuleOrder()[0] == T::enhanceId; } },
        { paramEQPower, 0.0f, [] (T& c, Processor&) { return ! c.eqProcessor.active.load(); } },
        { paramEQHighFreq, 8000.0f,
          [] (T& c, Processor& p)
          { return c.eqProcessor.highBand.getFrequency() == 8000.0f && p.eqHighFreq.load() == 8000.0f; } },
        { paramEQHighGain, -6.0f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.highBand.getGainDb(), -6.0f) && near (p.eqHighGain.load(), -6.0f); } },
        { paramEQHighQ, 2.0f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.highBand.getQ(), 2.0f) && near (p.eqHighQ.load(), 2.0f); } },
        { paramEQMidFreq, 2000.0f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.midBand.getFrequency(), 2000.0f) && near (p.eqMidFreq.load(), 2000.0f); } },
        { paramEQMidGain, 6.0f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.midBand.getGainFactor(), 1.9952623f) && near (p.eqMidGain.load(), 6.0f); } },
        { paramEQMidQ, 3.0f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.midBand.getQ(), 3.0f) && near (p.eqMidQ.load(), 3.0f); } },
        { paramEQLowFreq, 200.0f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.lowBand.getFrequency(), 200.0f) && near (p.eqLowFreq.load(), 200.0f); } },
        { paramEQLowGain, -12.0f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.lowBand.getGainDb(), -12.0f) && near (p.eqLowGain.load(), -12.0f); } },
        { paramEQLowQ, 1.5f,
          [] (T& c, Processor& p)
          { return near (c.eqProcessor.lowBand.getQ(), 1.5f) && near (p.eqLowQ.load(), 1.5f); } },
        { paramEQPre, 1.0f, [] (T& c, Processor&) { return c.eqPre.load() && c.getModuleOrder()[0] == T::eqId; } },
        { paramEQAdLib, 1.0f, [] (T& c, Processor&) { return c.eqProcessor.adLib.active.load(); } },
        { paramMultiplyPower, 0.0f, [] (T& c, Processor&) { return ! c.multiplyProcessor.active.load(); } },
        { paramMultiplySpread, 150.0f, [] (T& c, Processor&) { return c.multiplyProcessor.getSpread() == 150.0f; } },
        { paramMultiplyOffset, 100.0f, [] (T& c, Processor&) { return near (c.multiplyProcessor.getOffset(), 2.0f); } },
        { paramMultiplyAmount, 100.0f, [] (T& c, Processor&) { return near (c.multiplyProcessor.getAmount(), 2.0f); } },
        { paramMultiplyLow, 50.0f, [] (T& c, Processor&) { return near (c.multiplyProcessor.getLowGain(), 1.0f); } },
        { paramSpacePower, 0.0f, [] (T& c, Processor&) { return ! c.spaceProcessor.active.load(); } },
        { paramSpaceReverbType, 3.0f, [] (T& c, Processor&) { return c.spaceProcessor.getReverbType() == 3; } },
        { paramSpaceReverbTime, 80.0f,
          [] (T& c, Processor&) { return near (c.spaceProcessor.getReverbTime(), 80.0f); } },
        { paramSpaceReverbAmount, 60.0f,
          [] (T& c, Processor&) { return near (c.spaceProcessor.getReverbMix(), 0.6f); } },
        { paramSpaceDelaySync, 0.0f,
          [] (T& c, Processor&)
          { return c.spaceProcessor.getDelayNoteIndex() == 0 && near (c.spaceProcessor.getDelayFreeTime(), 0.2f); } },
        { paramSpaceDelayType, 4.0f, [] (T& c, Processor&) { return c.spaceProcessor.getDelayType() == 4; } },
        { paramSpaceDelayTime, 250.0f,
          [] (T& c, Processor&) { return near (c.spaceProcessor.getDelayFreeTime(), 0.2f); } }, // waits for Sync off
        { paramSpaceDelayNote, 18.0f, [] (T& c, Processor&) { return c.spaceProcessor.getDelayNoteIndex() == 1; } },
        { paramSpaceDelayAmount, 70.0f, [] (T& c, Processor&) { return near (c.spaceProcessor.getDelayMix(), 0.7f); } },
        { paramSpaceDelayFeedback, 20.0f,
          [] (T& c, Processor&) { return near (c.spaceProcessor.getDelayFeedback(), 0.2f); } },
        { paramGainPower, 0.0f, [] (T& c, Processor&) { return ! c.gainProcessor.active.load(); } },
        { paramGainType, 2.0f,
          [] (T& c, Processor&)
          { return c.gainProcessor.saturation.getType() == 2 && c.gainProcessor.saturation.driveIn.active.load(); } },
        // With the type Off the drive stages are off too; they take the new drive when they next run.
        { paramGainDrive, 100.0f, [] (T& c, Processor&) { return near (c.gainProcessor.saturation.getDriveDb(), 20.0f); } },
        { paramGainMix, 40.0f,
          [] (T& c, Processor&) { return near (c.gainProcessor.saturation.blend.mixRamp.getTargetValue(), 0.4f); } },
        { paramGainGain, -4.0f,
          [] (T& c, Processor&) { return near (c.gainProcessor.outputGain.gainRamp.getTargetValue(), 0.63095734f); } },
        { paramGainPreFx, 1.0f,
          [] (T& c, Processor&) { return c.gainPreFx.load() && c.getModuleOrder()[4] == T::gainId; } },
        { paramGainLimit, 1.0f,
          [] (T& c, Processor& p) { return c.gainProcessor.isLimiting() && p.getLatencySamples() == 2268; } },
    };
    ASSERT_EQ ((int) std::size (cases), 47);

    for (const auto& c : cases)
    {
        Sandbox fresh;
        auto p = makeProcessor();
        p->prepareToPlay (44100.0, 512);
        p->presetManagerModel->changed = false;
        setValue (*p, c.id, c.value);
        juce::AudioBuffer<float> block (2, 512); // ramp targets reach the stages at the next block
        block.clear();
        juce::MidiBuffer midi;
        p->processBlock (block, midi);
        EXPECT_TRUE (c.reached (p->tessaroProcessor, *p)) << c.id;
        EXPECT_TRUE (p->presetManagerModel->changed.load()) << c.id;
        EXPECT_EQ (p->getLatencySamples(), 2268) << c.id << " must not change the latency";
    }
}

TEST_F (ParameterRouterTest, AnUnknownIdOnlyMarksThePresetChanged)
{
    processor->presetManagerModel->changed = false;
    processor->parameterChanged ("paramNothing", 1.0f);
    EXPECT_TRUE (processor->presetManagerModel->changed.load());
}

TEST_F (ParameterRouterTest, ConversionsAtTheEndsOfTheRanges)
{
    auto& chain = processor->tessaroProcessor;
    const auto route = [this] (const juce::String& id, float v) { processor->parameterChanged (id, v); };

    route (Params::paramEnhanceDeEss, 150.0f);
    EXPECT_EQ (chain.enhanceProcessor.getDeEssAmount(), 1.0f);
    route (Params::paramEnhanceDeEss, -5.0f);
    EXPECT_EQ (chain.enhanceProcessor.getDeEssAmount(), 0.0f);

    route (Params::paramEnhanceDeNoise, 100.0f);
    EXPECT_FLOAT_EQ (chain.enhanceProcessor.getDeNoiseThresholdDb(), -10.0f);
    route (Params::paramEnhanceDeNoise, 0.0f);
    EXPECT_FALSE (chain.enhanceProcessor.isDeNoiseOn());

    EXPECT_FLOAT_EQ (tessaro::dsp::CompressProcessor::slowRatioFor (100.0f), 10.0f);
    EXPECT_FLOAT_EQ (tessaro::dsp::CompressProcessor::slowMakeUpDbFor (100.0f), 10.0f);
    EXPECT_FLOAT_EQ (tessaro::dsp::CompressProcessor::fastTrimDbFor (100.0f), -30.0f);
    EXPECT_FLOAT_EQ (tessaro::dsp::CompressProcessor::slowRatioFor (0.0f), 1.0f);

    route (Params::paramMultiplyAmount, 0.0f);
    EXPECT_EQ (chain.multiplyProcessor.getAmount(), 0.0f);
    route (Params::paramMultiplyLow, 100.0f);
    EXPECT_FLOAT_EQ (chain.multiplyProcessor.getLowGain(), 2.0f);

    route (Params::paramEQMidGain, -100.0f);
    EXPECT_EQ (chain.eqProcessor.midBand.getGainFactor(), 0.0f);
    EXPECT_EQ (processor->eqMidGain.load(), -100.0f);

    // Note choice c gives index 19 - c; the time waits for Sync off, the note for Sync on.
    route (Params::paramSpaceDelayNote, 0.0f);
    EXPECT_EQ (chain.spaceProcessor.getDelayNoteIndex(), 19);
    route (Params::paramSpaceDelayTime, 250.0f);
    route (Params::paramSpaceDelaySync, 0.0f);
    EXPECT_FLOAT_EQ (chain.spaceProcessor.getDelayFreeTime(), 0.25f);
    route (Params::paramSpaceDelayNote, 10.0f);
    EXPECT_EQ (chain.spaceProcessor.getDelayNoteIndex(), 0);
    route (Params::paramSpaceDelaySync, 1.0f);
    EXPECT_EQ (chain.spaceProcessor.getDelayNoteIndex(), 9);
}

// The look-ahead is part of the latency whether Limit is on or off, so a host never has to
// re-align the track when it switches, and nothing reports a latency from the audio thread.
TEST_F (ParameterRouterTest, GainLimitLeavesTheLatencyAsPrepared)
{
    processor->prepareToPlay (48000.0, 256);
    EXPECT_EQ (processor->getLatencySamples(), 2048 + 239);
    for (const float limit : { 1.0f, 0.0f })
    {
        setValue (*processor, Params::paramGainLimit, limit);
        EXPECT_EQ (processor->getLatencySamples(), 2048 + 239);
        EXPECT_EQ (processor->getReportedLatency(), 2048 + 239);
    }
}
