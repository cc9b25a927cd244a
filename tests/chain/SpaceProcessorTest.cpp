#include "chain/SpaceProcessor.h"
#include "chain/ChainTestSupport.h"
#include "dsp/reverb/SkyEngineReverbProcessor.h"

#include <gtest/gtest.h>

using tessaro::dsp::SpaceProcessor;

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSize = 256;

void prepare (SpaceProcessor& space)
{
    space.prepare ({ rate, (juce::uint32) blockSize, 2 });
}

juce::AudioBuffer<float> noise (int numSamples, float amplitude = 0.5f)
{
    juce::Random random (11);
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (channel, i, amplitude * (2.0f * random.nextFloat() - 1.0f));
    return buffer;
}

/** Lets the on/off and blend ramps settle on silence. */
void settle (SpaceProcessor& space)
{
    juce::AudioBuffer<float> silence (2, (int) rate / 2);
    silence.clear();
    chain_test::runInBlocks (space, silence, blockSize);
}

/** RMS in dB of (a - b) on the left channel from a sample on. */
float differenceDb (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b, int from)
{
    juce::AudioBuffer<float> diff (a);
    diff.addFrom (0, 0, b, 0, 0, a.getNumSamples(), -1.0f);
    return chain_test::rmsDb (diff, 0, from);
}
} // namespace

TEST (SpaceModule, DelayAmountZeroLeavesTheSignalExactlyDryForEveryType)
{
    for (int type = 0; type <= 4; ++type)
    {
        SCOPED_TRACE (type);
        SpaceProcessor space;
        prepare (space);
        space.setDelayType (type);
        space.setDelayFeedback (80.0f);

        auto buffer = noise ((int) rate / 2);
        const auto input = buffer;
        chain_test::runInBlocks (space, buffer, blockSize);
        for (int channel = 0; channel < 2; ++channel)
            ASSERT_EQ (0, std::memcmp (buffer.getReadPointer (channel), input.getReadPointer (channel),
                                       sizeof (float) * (size_t) buffer.getNumSamples()));
    }
}

// An impulse through the Modern echo at Amount 100, feedback 0, 120 BPM: nothing but one echo at the delay time.
TEST (SpaceModule, FullAmountGivesOnlyTheEchoAtTheSyncedOrFreeTime)
{
    struct Case
    {
        const char* name;
        std::function<void (SpaceProcessor&)> setTiming;
        int echoAt;
    };
    const Case cases[] = {
        { "sync on, 1/8 at 120 BPM", [] (SpaceProcessor&) {}, 12000 },
        { "time changed while synced", [] (SpaceProcessor& s) { s.setDelayTime (100.0f); }, 12000 },
        { "time heard once sync is off",
          [] (SpaceProcessor& s)
          {
              s.setDelayTime (100.0f);
              s.setDelaySync (false);
          },
          4800 },
        { "1/4 note", [] (SpaceProcessor& s) { s.setDelayNote (13); }, 24000 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        SpaceProcessor space;
        prepare (space);
        space.setTempo (120.0);
        space.setDelayType (3);
        space.setDelayFeedback (0.0f);
        space.setDelayAmount (100.0f);
        c.setTiming (space);
        settle (space);

        auto buffer = chain_test::impulse (30000);
        chain_test::runInBlocks (space, buffer, blockSize);
        const int peak = chain_test::peakIndex (buffer);
        EXPECT_NEAR (peak, c.echoAt, 3);
        EXPECT_GT (std::abs (buffer.getSample (0, peak)), 0.1f);
        EXPECT_LT (buffer.getMagnitude (0, 0, c.echoAt - 50), 1.0e-4f) << "no dry signal ahead of the echo";
    }
}

TEST (SpaceModule, DelayTypeOffFadesTheEchoesOutAndATypeBringsThemBack)
{
    SpaceProcessor space;
    prepare (space);
    space.setDelayType (3);
    space.setDelayAmount (50.0f);
    settle (space);

    auto echoing = noise ((int) rate);
    const auto dryEchoing = echoing;
    chain_test::runInBlocks (space, echoing, blockSize);
    EXPECT_GT (differenceDb (echoing, dryEchoing, (int) rate / 2), -20.0f) << "echoes heard";

    space.setDelayType (0);
    auto fading = noise ((int) rate / 2);
    const auto dryFading = fading;
    chain_test::runInBlocks (space, fading, blockSize);
    EXPECT_EQ (differenceDb (fading, dryFading, (int) rate / 10), -200.0f) << "after the off ramp: dry only";

    space.setDelayType (4);
    auto back = noise ((int) rate);
    const auto dryBack = back;
    chain_test::runInBlocks (space, back, blockSize);
    EXPECT_GT (differenceDb (back, dryBack, (int) rate / 2), -20.0f) << "echoes again";
}

TEST (SpaceModule, DelayTypesSetTheEchoCharacter)
{
    struct Expected
    {
        int type;
        int routing;
        float angle;
        bool lofi;
        int lofiMode;
        bool saturation;
    };
    // Applied in this order: Modern and Pong keep the lo-fi mode Tape left behind.
    const Expected table[] = {
        { 1, 0, 0.0f, true, 0, false },
        { 2, 0, 0.0f, true, 2, true },
        { 3, 0, 0.0f, false, 2, false },
        { 4, 1, 1.5707964f, false, 2, false },
    };

    SpaceProcessor space;
    auto& echo = space.delayStage.delay.superDelay;
    echo.spread.store (0.3f);
    for (const auto& row : table)
    {
        SCOPED_TRACE (row.type);
        space.setDelayType (row.type);
        EXPECT_EQ (echo.requestedType.load(), row.routing);
        EXPECT_EQ (echo.rotationAngle.load(), row.angle);
        EXPECT_EQ (echo.lofiOn.load(), row.lofi);
        EXPECT_EQ (echo.lofi.mode.load(), row.lofiMode);
        EXPECT_EQ (echo.clipOn.load(), row.saturation);
        EXPECT_EQ (echo.spread.load(), 0.0f);
    }
}

TEST (SpaceModule, StartsWithEverythingOffAndTheDefaultEchoSettings)
{
    SpaceProcessor space;
    const auto& echo = space.delayStage.delay.superDelay;
    EXPECT_FALSE (echo.active.load());
    EXPECT_FALSE (space.reverbStage.reverb.active.load());
    EXPECT_EQ (echo.noteIndex.load(), 9);
    EXPECT_EQ (echo.freeTimeSeconds.load(), 0.2f);
    EXPECT_EQ (echo.feedback.load(), 0.5f);
    EXPECT_EQ (echo.dryGain.load(), 0.0f);
    EXPECT_EQ (echo.wetGain.load(), 1.0f);
    EXPECT_EQ (space.getReverbTime(), 50.0f);
    EXPECT_NEAR (echo.getDelayTime(), 0.25f, 1.0e-6f) << "1/8 at 120 BPM";
}

TEST (SpaceModule, TempoZeroChangesNoStoredTempo)
{
    SpaceProcessor space;
    space.setTempo (90.0);
    space.setTempo (0.0);
    for (const juce::QELProcessorBase* block :
         { (const juce::QELProcessorBase*) &space, (const juce::QELProcessorBase*) &space.delayStage,
           (const juce::QELProcessorBase*) &space.delayStage.delay,
           (const juce::QELProcessorBase*) &space.delayStage.delay.superDelay,
           (const juce::QELProcessorBase*) &space.reverbStage,
           (const juce::QELProcessorBase*) &space.reverbStage.reverb })
        EXPECT_EQ (block->tempo.load(), 90.0);
    EXPECT_NEAR (space.delayStage.delay.superDelay.getDelayTime(), 60.0f / 90.0f / 2.0f, 1.0e-6f);
}

TEST (SpaceModule, ResetSilencesPendingEchoes)
{
    SpaceProcessor space;
    prepare (space);
    space.setDelayType (3);
    space.setDelayAmount (100.0f);
    settle (space);

    auto burst = noise (blockSize * 4);
    chain_test::runInBlocks (space, burst, blockSize);
    space.reset();

    juce::AudioBuffer<float> after (2, (int) rate / 2);
    after.clear();
    chain_test::runInBlocks (space, after, blockSize);
    EXPECT_EQ (after.getMagnitude (0, after.getNumSamples()), 0.0f);
}

//==============================================================================
namespace
{
/** A module with only the reverb heard (Amount 100), prepared with its type chosen (so the engine runs from the
    first block) and its ramps settled. */
void prepareReverb (SpaceProcessor& space, int type, float time = 50.0f)
{
    space.setReverbTime (time);
    space.setReverbType (type);
    space.setReverbAmount (100.0f);
    prepare (space);
    settle (space);
}

/** RMS in dB of the left channel between two times in seconds. */
float windowDb (const juce::AudioBuffer<float>& buffer, double from, double to)
{
    const int start = (int) (from * rate);
    return juce::Decibels::gainToDecibels (buffer.getRMSLevel (0, start, (int) (to * rate) - start), -200.0f);
}

juce::AudioBuffer<float> impulseResponse (SpaceProcessor& space, double seconds)
{
    auto buffer = chain_test::impulse ((int) (seconds * rate));
    chain_test::runInBlocks (space, buffer, blockSize);
    return buffer;
}
} // namespace

TEST (SpaceReverb, EveryTypeRingsAfterAnImpulseAndDiesAway)
{
    for (int type : { 1, 2, 3, 4 })
    {
        SCOPED_TRACE (type);
        SpaceProcessor space;
        prepareReverb (space, type, 20.0f);
        const auto response = impulseResponse (space, 2.0);
        const float early = windowDb (response, 0.05, 0.3);
        EXPECT_GT (early, -70.0f) << "a tail is heard";
        EXPECT_LT (windowDb (response, 1.7, 2.0), early - 10.0f) << "and fades";
        EXPECT_LT (response.getMagnitude (0, response.getNumSamples()), 2.0f);
    }
}

TEST (SpaceReverb, ALongerReverbTimeRingsLonger)
{
    SpaceProcessor shortRoom, longRoom;
    prepareReverb (shortRoom, 1, 10.0f);
    prepareReverb (longRoom, 1, 90.0f);
    EXPECT_GT (windowDb (impulseResponse (longRoom, 1.0), 0.5, 1.0),
               windowDb (impulseResponse (shortRoom, 1.0), 0.5, 1.0) + 6.0f);
}

TEST (SpaceReverb, ReverbTimeChangesReachTheRunningEngine)
{
    SpaceProcessor changed, reference;
    prepareReverb (changed, 1, 10.0f);
    prepareReverb (reference, 1, 90.0f);
    changed.setReverbTime (90.0f);
    EXPECT_NEAR (windowDb (impulseResponse (changed, 1.0), 0.5, 1.0),
                 windowDb (impulseResponse (reference, 1.0), 0.5, 1.0), 3.0f);
}

TEST (SpaceReverb, AmountZeroIsExactlyDryWhileAnEngineRuns)
{
    SpaceProcessor space;
    prepareReverb (space, 4);
    space.setReverbAmount (0.0f);
    settle (space);

    auto buffer = noise ((int) rate / 2);
    const auto input = buffer;
    chain_test::runInBlocks (space, buffer, blockSize);
    EXPECT_EQ (differenceDb (buffer, input, 0), -200.0f);
}

//  noise ▮▮▮ | Off: dry only | same type again on silence: silence, no old tail
TEST (SpaceReverb, OffFadesOutAndTheSameTypeLaterBringsNoOldTailBack)
{
    SpaceProcessor space;
    prepareReverb (space, 2);
    auto burst = noise ((int) rate / 4);
    chain_test::runInBlocks (space, burst, blockSize);

    space.setReverbType (0);
    auto offBlock = noise ((int) rate / 4);
    const auto dryOff = offBlock;
    chain_test::runInBlocks (space, offBlock, blockSize);
    EXPECT_EQ (differenceDb (offBlock, dryOff, (int) rate / 10), -200.0f) << "off: dry only after the ramp";

    space.setReverbType (2);
    space.reverbStage.reverb.buildChosenEngine();
    juce::AudioBuffer<float> silence (2, (int) rate / 4);
    silence.clear();
    chain_test::runInBlocks (space, silence, blockSize);
    EXPECT_EQ (silence.getMagnitude (0, silence.getNumSamples()), 0.0f);
    EXPECT_EQ (space.reverbStage.reverb.getCurrentType(), 2);
}

// The module switched off (its fade ended) and on again: neither echoes nor the reverb's tail come back.
TEST (SpaceModule, OffAndOnAgainBringsBackNothingFromBefore)
{
    SpaceProcessor space;
    space.setDelayType (3);
    space.setDelayAmount (100.0f);
    space.setDelayFeedback (90.0f);
    prepareReverb (space, 3, 90.0f);
    auto burst = noise ((int) rate / 4);
    chain_test::runInBlocks (space, burst, blockSize);

    space.setBypassSmooth (false);
    juce::AudioBuffer<float> gap (2, (int) rate / 10);
    gap.clear();
    chain_test::runInBlocks (space, gap, blockSize);

    space.setBypassSmooth (true);
    space.reverbStage.reverb.buildChosenEngine();
    juce::AudioBuffer<float> silence (2, (int) rate * 2);
    silence.clear();
    chain_test::runInBlocks (space, silence, blockSize);
    EXPECT_EQ (silence.getMagnitude (0, silence.getNumSamples()), 0.0f);
}

// A NaN that reaches the module, or arises inside the reverb's lines, is one silent block; the stage is cleared and
// the module sounds as before from the next block on.
TEST (SpaceModule, ANonFiniteBlockIsSilencedAndTheStagesRecover)
{
    for (const bool insideTheReverb : { false, true })
    {
        SCOPED_TRACE (insideTheReverb ? "inside the reverb" : "at the input");
        SpaceProcessor space, reference;
        for (auto* module : { &space, &reference })
        {
            module->setDelayType (3);
            module->setDelayAmount (50.0f);
            prepareReverb (*module, 1);
        }

        juce::AudioBuffer<float> input (2, blockSize);
        input.clear();
        if (insideTheReverb)
        {
            auto& engine = dynamic_cast<QEL::SkyEngineReverbProcessor&> (*space.reverbStage.reverb.getCurrentEngine());
            auto& line = engine.reverb.controller.channelL.lines[0]->delay.delayBuffer;
            std::fill (line.begin(), line.end(), std::numeric_limits<double>::quiet_NaN());
        }
        else
        {
            input.setSample (0, 10, std::numeric_limits<float>::quiet_NaN());
        }

        // Until the fault reaches the output: that block is silent, and the reference runs the same blocks.
        bool faultHeard = false;
        for (int block = 0; block < 100 && ! faultHeard; ++block)
        {
            auto out = input;
            space.process (out.getArrayOfWritePointers(), out.getArrayOfWritePointers(), blockSize, 2, 2);
            juce::AudioBuffer<float> silent (2, blockSize);
            silent.clear();
            reference.process (silent.getArrayOfWritePointers(), silent.getArrayOfWritePointers(), blockSize, 2, 2);
            faultHeard = space.reverbStage.reverb.getCurrentType() == 0 || ! input.hasBeenCleared();
            EXPECT_EQ (out.getMagnitude (0, blockSize), faultHeard ? 0.0f : silent.getMagnitude (0, blockSize));
            input.clear();
        }
        ASSERT_TRUE (faultHeard);

        space.reverbStage.reverb.buildChosenEngine();
        auto after = noise ((int) rate);
        auto expected = after;
        chain_test::runInBlocks (space, after, blockSize);
        chain_test::runInBlocks (reference, expected, blockSize);
        bool finite = true;
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < after.getNumSamples(); ++i)
                finite = finite && std::isfinite (after.getSample (channel, i));
        EXPECT_TRUE (finite);
        const double firstBlock = (double) blockSize / rate;
        EXPECT_GT (windowDb (after, 0.0, firstBlock), windowDb (expected, 0.0, firstBlock) - 3.0f)
            << "sound from the next block on";
        EXPECT_NEAR (windowDb (after, 0.5, 1.0), windowDb (expected, 0.5, 1.0), 1.0f) << "as loud as without the fault";
        EXPECT_EQ (space.reverbStage.reverb.getCurrentType(), 1);
    }
}

// A host resets before an offline render: the tail of what played before is not heard in it.
TEST (SpaceReverb, ResetLetsNoOldTailIntoTheNextRender)
{
    SpaceProcessor space;
    prepareReverb (space, 1, 80.0f);
    auto burst = noise ((int) rate / 4);
    chain_test::runInBlocks (space, burst, blockSize);
    space.reset();

    juce::AudioBuffer<float> silence (2, (int) rate / 4);
    silence.clear();
    chain_test::runInBlocks (space, silence, blockSize);
    EXPECT_EQ (silence.getMagnitude (0, silence.getNumSamples()), 0.0f);
}

namespace
{
/** T30 in seconds of a reverb's impulse response in the octave around 1 kHz: the Schroeder backward integral's
    time from -5 to -35 dB, doubled. */
double t30At1kHz (const std::vector<float>& response, double sampleRate)
{
    juce::dsp::IIR::Filter<double> band (juce::dsp::IIR::Coefficients<double>::makeBandPass (sampleRate, 1000.0, 1.41));
    std::vector<double> energy (response.size());
    for (size_t i = 0; i < response.size(); ++i)
    {
        const double y = band.processSample ((double) response[i]);
        energy[i] = y * y;
    }
    for (size_t i = energy.size() - 1; i > 0; --i)
        energy[i - 1] += energy[i];

    const auto timeAt = [&] (double db)
    {
        const double level = energy[0] * std::pow (10.0, db / 10.0);
        size_t i = 0;
        while (i < energy.size() && energy[i] > level)
            ++i;
        return (double) i / sampleRate;
    };
    return 2.0 * (timeAt (-35.0) - timeAt (-5.0));
}

/** The reverb holder's impulse response (left channel) with Bright Room at Time 100, run in host blocks of n. */
std::vector<float> brightRoomResponse (int n, double seconds)
{
    tessaro::dsp::ReverbProcessor holder;
    holder.setReverbTime (100.0f);
    holder.setReverbType (1);
    holder.prepare ({ rate, (juce::uint32) n, 2 });

    const int total = (int) (seconds * rate);
    std::vector<float> left ((size_t) total), right ((size_t) total);
    left[0] = right[0] = 1.0f;
    for (int start = 0; start < total; start += n)
    {
        float* block[] = { left.data() + start, right.data() + start };
        holder.process (block, block, std::min (n, total - start), 2, 2);
    }
    return left;
}
} // namespace

// A bounce at another buffer size sounds like playback: the late loop's delay does not follow the host's block.
TEST (SpaceReverb, DecayIsTheSameAtEveryHostBlockSize)
{
    const double reference = t30At1kHz (brightRoomResponse (512, 14.0), rate);
    EXPECT_GT (reference, 4.0);
    for (int n : { 1, 64, 2048, 4096 })
    {
        SCOPED_TRACE (n);
        EXPECT_NEAR (t30At1kHz (brightRoomResponse (n, 14.0), rate), reference, 0.02 * reference);
    }
}
