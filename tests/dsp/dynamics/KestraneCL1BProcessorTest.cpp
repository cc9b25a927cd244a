#include "dsp/dynamics/KestraneCL1BProcessor.h"

#include "dsp/DynamicsSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using namespace dynamics_signals;

constexpr double rate = 48000.0;
constexpr int blockSize = 256;

/** The compressor as the Compress module sets it up: mode 3, prepared for the given channels. */
struct CharacterCompressor : KestraneCL1BProcessor
{
    explicit CharacterCompressor (float percent, int channels = 2)
    {
        mode = 3;
        initCompressor();
        setAmount (percent);
        prepare ({ rate, (juce::uint32) blockSize, (juce::uint32) channels });
    }

    /** Runs the channels through the block entry in place, in prepared blocks. */
    void run (std::vector<std::vector<float>>& channels)
    {
        const int total = (int) channels[0].size();
        for (int start = 0; start < total; start += blockSize)
        {
            std::vector<float*> pointers;
            for (auto& channel : channels)
                pointers.push_back (channel.data() + start);
            const int count = (int) pointers.size();
            process (pointers.data(), pointers.data(), std::min (blockSize, total - start), count, count);
        }
    }
};

TEST (RiduziCompressorGainStageCL1B, ReleaseSlowsDownFrom10DbOfReduction)
{
    qel::RiduziCompressorGainStageCL1B stage (48000);
    const double slow = std::exp (std::log (0.27) / (0.2 * rate));
    const double fast = std::exp (std::log (0.27) / (0.02 * rate));
    const double attack = std::exp (std::log (0.27) / (0.01 * rate));

    struct Case
    {
        double from, to, coefficient;
    };
    const Case cases[] = {
        { 0.0, 20.0, attack }, // rising: 10 ms everywhere
        { 20.0, 10.0, slow },  // falling while the envelope is 10 dB or more
        { 20.0, 9.9, fast },   // below 10 dB
        { 0.0, 80.0, attack }, // an envelope beyond the table uses its last entry
        { 90.0, 80.0, slow },
    };

    for (const auto& c : cases)
    {
        stage.reset (c.from);
        const double next = stage.processGainReduction (c.to, 0.0);
        EXPECT_DOUBLE_EQ (next, (1.0 - c.coefficient) * c.to + c.coefficient * c.from) << c.from << " to " << c.to;
    }

    // 200 ms of a held envelope of 15 dB after 20 dB covers 73 % of the step.
    stage.reset (20.0);
    for (int i = 0; i < 9600; ++i)
        stage.processGainReduction (15.0, 0.0);
    EXPECT_NEAR (stage.state, 15.0 + 5.0 * 0.27, 1.0e-6);
}

TEST (KestraneCL1BProcessor, AmountSetsRatioAndSideChainCurve)
{
    struct Case
    {
        float amount;
        double slope, makeupDb;
    };
    const Case cases[] = { { 0.0f, 0.0, 0.0 },
                           { 50.0f, 1.0 - 1.0 / (9.0 * std::pow (0.5, 1.5) + 1.0), 0.0 },
                           { 100.0f, 0.9, 18.0 } };

    for (const auto& c : cases)
    {
        CharacterCompressor compressor (c.amount);
        const auto& sideChain = compressor.compressor->sideChains[0];
        EXPECT_NEAR (sideChain.slope, c.slope, 1.0e-6) << c.amount;
        EXPECT_NEAR (sideChain.makeupDb, c.slope * 20.0, 1.0e-5) << c.amount;
        if (c.makeupDb > 0.0)
        {
            EXPECT_NEAR (sideChain.makeupDb, c.makeupDb, 1.0e-5);
        }
    }

    // Gain computer at amount 100: knee 20 dB around a threshold of -40 dB.
    CharacterCompressor compressor (100.0f);
    auto sideChain = compressor.compressor->sideChains[0];
    const std::pair<double, double> levels[] = {
        { -20.0, 18.0 }, { -30.0, 9.0 }, { -40.0, 2.25 }, { -50.0, 0.0 }, { -60.0, 0.0 }
    };
    for (const auto& [levelDb, targetDb] : levels)
    {
        sideChain.processLevel (levelDb);
        EXPECT_NEAR (sideChain.target, targetDb, 1.0e-9) << levelDb;
    }
}

TEST (KestraneCL1BProcessor, AmountZeroLeavesTheAudioExactlyAlone)
{
    CharacterCompressor compressor (0.0f);
    std::vector<std::vector<float>> audio { sine (1000.0, rate, 0.5f, 9600), sine (700.0, rate, 0.5f, 9600) };
    const auto original = audio;
    compressor.run (audio);
    EXPECT_EQ (audio, original);
    EXPECT_EQ (compressor.getGainReductionDb(), 0.0);
}

TEST (KestraneCL1BProcessor, CompressesAHeldToneAndTheMeterReadsTheReduction)
{
    CharacterCompressor compressor (100.0f);
    std::vector<std::vector<float>> audio (2, sine (1000.0, rate, 0.5f, 48000));
    compressor.run (audio);

    const double measuredDb = levelToDb (rms (audio[0], 38400) / (0.5 / std::sqrt (2.0)));
    EXPECT_LT (measuredDb, -10.0);
    EXPECT_GT (measuredDb, -30.0);
    EXPECT_NEAR (-compressor.getGainReductionDb(), measuredDb, 1.0) << measuredDb;
    EXPECT_EQ (audio[0], audio[1]);
}

TEST (KestraneCL1BProcessor, MonoLevelIsHalfItsOwnKey)
{
    // Mono at twice the level meets the same reduction as stereo, because the missing key counts as 0.
    CharacterCompressor stereo (100.0f, 2), mono (100.0f, 1);
    EXPECT_EQ (mono.compressor->sideChains[0].externalStage, &mono.cl1bStages[0]);
    EXPECT_EQ (stereo.compressor->sideChains[1].externalStage, &stereo.cl1bStages[1]);

    std::vector<std::vector<float>> stereoAudio (2, sine (500.0, rate, 0.25f, 24000));
    std::vector<std::vector<float>> monoAudio { sine (500.0, rate, 0.5f, 24000) };
    stereo.run (stereoAudio);
    mono.run (monoAudio);

    for (size_t i = 0; i < monoAudio[0].size(); i += 997)
        EXPECT_NEAR (monoAudio[0][i], 2.0f * stereoAudio[0][i], 1.0e-6) << i;
}

TEST (KestraneCL1BProcessor, AutomaticMakeUpChoosesTheLastStage)
{
    struct Case
    {
        bool autoMakeup;
        float makeupDb, outputDb;
        double gainDb;
    };
    const Case cases[] = {
        { true, 10.0f, -3.0f, 10.0 },  { true, 10.0f * std::pow (0.5f, 1.5f), 0.0f, 3.5355 },
        { true, 0.0f, 0.0f, 0.0 },     { false, 10.0f, 0.0f, 0.0 },
        { false, 10.0f, -3.0f, -3.0 },
    };

    for (const auto& c : cases)
    {
        CharacterCompressor compressor (100.0f);
        compressor.compressor->bypassed = true; // the gain stages alone
        compressor.autoMakeup = c.autoMakeup;
        compressor.makeupGain.setGainDb (c.makeupDb);
        compressor.outputGain.setGainDb (c.outputDb);

        std::vector<std::vector<float>> audio (2, std::vector<float> (2048, 0.25f));
        compressor.run (audio);
        EXPECT_NEAR (levelToDb (audio[0].back() / 0.25), c.gainDb, 1.0e-3) << c.autoMakeup << " " << c.makeupDb;
        EXPECT_EQ (compressor.getGainReductionDb(), 0.0);
    }
}

TEST (KestraneCL1BProcessor, PrepareStartsFromNoReductionAndKeepsTheCompressor)
{
    CharacterCompressor compressor (100.0f);
    std::vector<std::vector<float>> loud (2, sine (1000.0, rate, 0.9f, 9600));
    compressor.run (loud);
    EXPECT_GT (compressor.getGainReductionDb(), 5.0);

    const auto* before = compressor.compressor.get();
    compressor.prepare ({ rate, (juce::uint32) blockSize, 2 });
    EXPECT_EQ (compressor.compressor.get(), before);
    EXPECT_EQ (compressor.getGainReductionDb(), 0.0);

    std::vector<std::vector<float>> again (2, std::vector<float> (blockSize, 0.9f));
    compressor.run (again);
    EXPECT_EQ (again[0][0], 0.9f); // keyed by 0: nothing to reduce yet

    compressor.prepare ({ 96000.0, (juce::uint32) blockSize, 4 }); // more channels: grown in place
    EXPECT_EQ (compressor.compressor.get(), before);
    EXPECT_EQ (compressor.compressor->numChannels, 4);
    EXPECT_EQ (compressor.compressor->sideChains[1].externalStage, nullptr); // CL1B pair only for stereo
}

TEST (KestraneCL1BProcessor, OversizedBlockMatchesPreparedBlocksAndSilenceStaysClean)
{
    auto noiseThenSilence = []
    {
        juce::Random random (11);
        std::vector<float> samples (48000, 0.0f);
        for (int i = 0; i < 4000; ++i)
            samples[(size_t) i] = random.nextFloat() - 0.5f;
        return samples;
    };

    CharacterCompressor inPieces (80.0f), whole (80.0f);
    std::vector<std::vector<float>> expected (2, noiseThenSilence());
    auto actual = expected;
    inPieces.run (expected);

    float* channels[] = { actual[0].data(), actual[1].data() };
    whole.processImpl (channels, channels, 48000, 2, 2); // straight past the block entry

    EXPECT_EQ (expected, actual);
    EXPECT_EQ (peak (actual[0], 4000), 0.0);
    EXPECT_TRUE (finiteAndNormal (actual[0].data(), (int) actual[0].size()));
}
} // namespace
