#include "dsp/reverb/SkyChoraleReverbProcessor.h"
#include "dsp/reverb/SkyCloudReverbProcessor.h"
#include "dsp/reverb/SkyPlateReverbProcessor.h"
#include "dsp/reverb/SkyRoomReverbProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>

using namespace CloudSeed;
using QEL::SkyEngineReverbProcessor;
using Note = qel::TimeUtils::TempoSyncTimes;

namespace
{
struct ModeCase
{
    const char* name;
    std::function<std::unique_ptr<SkyEngineReverbProcessor>()> make;
    float modAtZero;     // the engine's modulation depth control after setMod (0)
    float rateAtFifty;   // the engine's modulation rate control after setMod (50), sync off
    float sizeAtHundred; // the engine's size after setDecay (100)
};

const ModeCase modes[] = {
    { "room", [] { return std::make_unique<QEL::SkyRoomReverbProcessor>(); }, 19.0f, 61.0f, 100.0f },
    { "plate", [] { return std::make_unique<QEL::SkyPlateReverbProcessor>(); }, 5.0f, 61.0f, 50.0f },
    { "cloud", [] { return std::make_unique<QEL::SkyCloudReverbProcessor>(); }, 46.0f, 66.0f, 100.0f },
};

double engineParameter (const SkyEngineReverbProcessor& mode, Parameter key)
{
    return mode.reverb.controller.parameters[(std::size_t) key].load();
}

double channelParameter (const SkyEngineReverbProcessor& mode, Parameter key)
{
    return mode.reverb.controller.channelR.GetParameter (key);
}
} // namespace

TEST (SkyReverbModes, ControlsMapToTheEngineByMode)
{
    for (const auto& c : modes)
    {
        SCOPED_TRACE (c.name);
        auto mode = c.make();

        EXPECT_NEAR (engineParameter (*mode, LineModAmount), c.modAtZero / 100.0, 1e-6);
        mode->setMod (100.0f);
        EXPECT_NEAR (engineParameter (*mode, LineModAmount), 1.0, 1e-6);
        mode->setMod (50.0f);
        EXPECT_NEAR (engineParameter (*mode, LineModRate), c.rateAtFifty / 100.0, 1e-6);

        mode->setDecay (100.0f);
        EXPECT_EQ (mode->reverb.size.load(), c.sizeAtHundred);

        mode->setSaturation (100.0f);
        EXPECT_NEAR (mode->reverb.getDriveTarget(), 31.622776f, 1e-4f);
        mode->setSaturation (0.0f);
        EXPECT_EQ (mode->reverb.getDriveTarget(), 1.0f);

        mode->setComp (100.0f);
        EXPECT_TRUE (mode->reverb.compOn.load());
        EXPECT_NEAR (mode->reverb.getCompRatioTarget(), 0.1f, 1e-6f);

        mode->setFollow (0.0f);
        EXPECT_FALSE (mode->reverb.followOn.load());
        EXPECT_EQ (mode->reverb.followGates[1].getThresh(), -100.0f);
        mode->setDuck (40.0f);
        EXPECT_TRUE (mode->reverb.duckOn.load());
        EXPECT_EQ (mode->reverb.duckCompressors[0].getThresh(), -20.0f);

        mode->setDisintegrate (0.0f);
        EXPECT_FALSE (mode->reverb.bitcrusher.active.load());
        EXPECT_EQ (mode->reverb.bitcrusher.downsampleFactor, 1);
        mode->setDisintegrate (100.0f);
        EXPECT_TRUE (mode->reverb.bitcrusher.active.load());
        EXPECT_EQ (mode->reverb.bitcrusher.downsampleFactor, 50);

        mode->setWetHighPassFilterCutoff (20.0f);
        EXPECT_FALSE (mode->reverb.wetCut.highPass.active.load());
        mode->setWetHighPassFilterCutoff (21.0f);
        EXPECT_TRUE (mode->reverb.wetCut.highPass.active.load());
    }
}

TEST (SkyReverbModes, BuiltWithTheirOwnCharacter)
{
    QEL::SkyRoomReverbProcessor room;
    EXPECT_NEAR (channelParameter (room, EarlyOut), 0.5200075, 1e-7);
    EXPECT_NEAR (channelParameter (room, MainOut), 0.6572661, 1e-7);
    EXPECT_EQ (channelParameter (room, LowPassEnabled), 0.0);
    EXPECT_EQ (room.reverb.getMixTarget(), 100.0f);

    QEL::SkyPlateReverbProcessor plate;
    EXPECT_EQ (channelParameter (plate, EarlyOut), 0.0);
    EXPECT_NEAR (channelParameter (plate, LowPass), 4320.0, 1e-9);

    QEL::SkyCloudReverbProcessor cloud;
    EXPECT_EQ (channelParameter (cloud, DiffusionFeedback), (double) 0.76f);
    EXPECT_EQ (channelParameter (cloud, LateDiffusionFeedback), (double) 0.72f);
    EXPECT_EQ (cloud.reverb.massive.load(), 1.0f);
    cloud.setDecay (100.0f);
    EXPECT_NEAR (channelParameter (cloud, LineDecay), 60.0, 1e-9);
}

TEST (SkyReverbModes, SyncedModulationFollowsTheNote)
{
    QEL::SkyRoomReverbProcessor room;
    room.setTempo (120.0);
    room.setSync (true);

    const std::pair<int, double> notes[] = {
        { 14, 2.0 }, { 13, 2.0 / 0.67 }, { 15, 2.0 / 1.5 }, { 19, 0.5 }, { 0, 0.0 }
    };
    for (auto [note, hz] : notes)
    {
        room.setModRateNote ((Note) note);
        EXPECT_NEAR (channelParameter (room, LineModRate), hz, 1e-5) << note;
        EXPECT_NEAR (room.reverb.controller.channelL.GetParameter (LineModRate), hz, 1e-5) << note;
    }

    // The pre-delay follows its note while synced (one eighth at 120 BPM: 250 ms).
    room.setPreDelayNote (Note::eighth);
    EXPECT_EQ (channelParameter (room, PreDelay), 250.0);
    room.setSync (false);
    EXPECT_EQ (channelParameter (room, PreDelay), 0.0);
}

TEST (SkyReverbModes, FreezeHoldsAndKillWins)
{
    QEL::SkyPlateReverbProcessor plate;
    plate.setFreeze (true);
    for (auto* channel : { &plate.reverb.controller.channelL, &plate.reverb.controller.channelR })
        for (auto& line : channel->lines)
            EXPECT_EQ (line->feedback.load(), 1.0);

    plate.setKill (true);
    for (auto* channel : { &plate.reverb.controller.channelL, &plate.reverb.controller.channelR })
        for (auto& line : channel->lines)
            EXPECT_EQ (line->feedback.load(), 0.5);
    EXPECT_TRUE (plate.reverb.controller.freeze.load());
    EXPECT_TRUE (plate.reverb.controller.kill.load());
}

TEST (SkyReverbModes, EachModeRingsAfterAnImpulse)
{
    for (const auto& c : modes)
    {
        SCOPED_TRACE (c.name);
        auto mode = c.make();
        mode->setUseAltMix (true);
        mode->setDecay (60.0f);
        mode->prepareToPlay (48000.0, 512);

        std::vector<float> left (48128, 0.0f), right (48128, 0.0f);
        left[0] = right[0] = 1.0f;
        for (std::size_t start = 0; start < left.size(); start += 512)
        {
            float* channels[] = { left.data() + start, right.data() + start };
            mode->process (channels, channels, 512, 2, 2);
        }

        double early = 0.0, late = 0.0;
        for (std::size_t i = 0; i < left.size(); ++i)
        {
            ASSERT_TRUE (std::isfinite (left[i]));
            (i < 24064 ? early : late) += (double) left[i] * left[i];
        }
        EXPECT_GT (early, 1e-3);
        EXPECT_GT (late, 1e-7);
    }
}

TEST (SkyReverbModes, ChoraleModulationSteersTheChorus)
{
    QEL::SkyChoraleReverbProcessor chorale;
    EXPECT_EQ (chorale.chorus.numVoices.load(), 3);
    EXPECT_NEAR (chorale.chorus.depth.load(), 0.035f, 1e-7f);
    EXPECT_EQ (chorale.chorus.rateHz.load(), 0.44f);
    const double engineRate = engineParameter (chorale, LineModRate);

    const std::tuple<float, int, float> mods[] = { { 0.0f, 3, 0.0f }, { 50.0f, 4, 0.5f }, { 100.0f, 5, 1.0f } };
    for (auto [percent, voices, gain] : mods)
    {
        chorale.setMod (percent);
        EXPECT_EQ (chorale.chorus.numVoices.load(), voices);
        EXPECT_EQ (chorale.chorus.voiceGain.load(), gain);
    }
    EXPECT_EQ (engineParameter (chorale, LineModRate), engineRate);

    chorale.setTempo (120.0);
    chorale.setModRateNote (Note::quarter);
    EXPECT_EQ (chorale.chorus.rateHz.load(), 0.44f);
    chorale.setSync (true);
    EXPECT_EQ (chorale.chorus.rateHz.load(), 2.0f);
    EXPECT_EQ (engineParameter (chorale, LineModRate), engineRate);

    chorale.setModEnabled (false);
    EXPECT_FALSE (chorale.chorus.active.load());
    EXPECT_EQ (chorale.reverb.controller.channelL.modEnabled.load(), false);
}

TEST (SkyReverbModes, ChoraleInPlaceAtMixZeroGivesTheChorusedInput)
{
    QEL::SkyChoraleReverbProcessor chorale;
    chorale.setMix (0.0f);
    chorale.prepareToPlay (48000.0, 512);

    juce::QELChorusModel1 reference;
    reference.numVoices = 3;
    reference.depth = chorale.chorus.depth.load();
    reference.rateHz = 0.44f;
    reference.prepareToPlay (48000.0, 512);

    std::mt19937 gen (5);
    std::uniform_real_distribution<float> dist (-0.5f, 0.5f);
    std::vector<float> left (4096), right (4096);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = right[i] = dist (gen);
    auto refLeft = left, refRight = right;
    const auto dry = left;

    for (std::size_t start = 0; start < left.size(); start += 512)
    {
        float* channels[] = { left.data() + start, right.data() + start };
        chorale.process (channels, channels, 512, 2, 2);
        float* refChannels[] = { refLeft.data() + start, refRight.data() + start };
        reference.processImpl (refChannels, 512, 2, 2);
    }

    EXPECT_EQ (left, refLeft);
    EXPECT_NE (left, dry);
}

namespace
{
/** A mode with its wet chain busy: pre-delay, pitch, crushing, compression, ducking, follow, saturation, width
    and mono low end all on, so a reset has every stage's state to put back. */
std::unique_ptr<SkyEngineReverbProcessor>
busyMode (const std::function<std::unique_ptr<SkyEngineReverbProcessor>()>& make, double rate, int blockSize)
{
    auto mode = make();
    mode->setMix (60.0f);
    mode->setDecay (70.0f);
    mode->setPreDelay (2.0f);
    mode->setPitch (-12.0f);
    mode->setDisintegrate (20.0f);
    mode->setComp (50.0f);
    mode->setDuck (30.0f);
    mode->setFollow (40.0f);
    mode->setSaturation (30.0f);
    mode->setWidth (150.0f);
    mode->setMonoLowEnd (true);
    mode->setWetHighPassFilterCutoff (120.0f);
    mode->setWetLowPassFilterCutoff (9000.0f);
    mode->prepareToPlay (rate, blockSize);
    return mode;
}

/** Bursts of noise with silence between them, through the mode in blocks; returns both channels in one row. */
std::vector<float> renderBursts (SkyEngineReverbProcessor& mode, int length, int blockSize)
{
    std::minstd_rand random (7);
    std::uniform_real_distribution<float> noise (-0.3f, 0.3f);
    juce::AudioBuffer<float> block (2, blockSize);
    std::vector<float> out;

    for (int start = 0; start < length; start += blockSize)
    {
        for (int i = 0; i < blockSize; ++i)
        {
            const bool burst = ((start + i) / 6000) % 2 == 0;
            block.setSample (0, i, burst ? noise (random) : 0.0f);
            block.setSample (1, i, burst ? noise (random) : 0.0f);
        }
        mode.process (block.getArrayOfWritePointers(), block.getArrayOfWritePointers(), blockSize, 2, 2);
        for (int ch = 0; ch < 2; ++ch)
            out.insert (out.end(), block.getReadPointer (ch), block.getReadPointer (ch) + blockSize);
    }
    return out;
}
} // namespace

// A host resets before an offline render: every mode then renders as a new one prepared at the same rate, to the
// bit, though its lines, modulations, chorus and wet chain ran on through the render before.
TEST (SkyReverbModes, AfterAResetTheRenderIsANewModesRender)
{
    const ModeCase cathedral { "cathedral", [] { return std::make_unique<QEL::SkyChoraleReverbProcessor>(); }, 0, 0,
                               0 };
    for (const auto* c : { &modes[0], &modes[1], &modes[2], &cathedral })
        for (double rate : { 44100.0, 48000.0 })
        {
            SCOPED_TRACE (std::string (c->name) + " at " + std::to_string ((int) rate));
            constexpr int blockSize = 256, length = 24000;
            auto fresh = busyMode (c->make, rate, blockSize);
            const auto expected = renderBursts (*fresh, length, blockSize);

            auto used = busyMode (c->make, rate, blockSize);
            renderBursts (*used, length, blockSize);
            used->reset();
            const auto again = renderBursts (*used, length, blockSize);

            const auto differs = std::mismatch (expected.begin(), expected.end(), again.begin());
            EXPECT_EQ (differs.first, expected.end()) << "first difference at " << (differs.first - expected.begin());
        }
}

// Preparing at any rate puts every modulation depth at its value for that rate from the first sample: a mode
// prepared once renders, to the bit, what one renders whose depth ramps were settled by preparing again.
TEST (SkyReverbModes, PreparedAtAnyRateTheModulationDepthsStandFromTheFirstSample)
{
    const ModeCase cathedral { "cathedral", [] { return std::make_unique<QEL::SkyChoraleReverbProcessor>(); }, 0, 0,
                               0 };
    for (const auto* c : { &modes[2], &cathedral })
        for (double rate : { 48000.0, 96000.0 })
        {
            SCOPED_TRACE (std::string (c->name) + " at " + std::to_string ((int) rate));
            constexpr int blockSize = 256, length = 24000;
            auto once = busyMode (c->make, rate, blockSize);
            const auto expected = renderBursts (*once, length, blockSize);

            auto settled = busyMode (c->make, rate, blockSize);
            settled->prepareToPlay (rate, blockSize);
            settled->reset();
            const auto again = renderBursts (*settled, length, blockSize);

            const auto differs = std::mismatch (expected.begin(), expected.end(), again.begin());
            EXPECT_EQ (differs.first, expected.end()) << "first difference at " << (differs.first - expected.begin());
        }
}
