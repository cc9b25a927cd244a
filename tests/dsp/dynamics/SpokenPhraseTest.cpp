#include "dsp/dynamics/GainReductionProcessor.h"
#include "dsp/dynamics/KestraneCL1BProcessor.h"
#include "dsp/dynamics/LookAheadCompressorProcessor.h"

#include "dsp/DynamicsSignals.h"

#include "SpokenPhrase.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
using namespace dynamics_signals;

/** The phrase every test here speaks, rendered once; empty when espeak-ng is missing. */
const test_support::SpokenPhrase& spokenPhrase()
{
    static const auto phrase = test_support::speak ("Loud words, then a quiet whisper, and loud again.");
    return phrase;
}

/** Runs a stereo copy of the samples through a block in 256-sample blocks and returns the left channel. */
std::vector<float> render (juce::QELProcessorBase& block, std::vector<float> samples, double rate)
{
    block.prepare ({ rate, 256, 2 });
    auto right = samples;
    for (size_t start = 0; start < samples.size(); start += 256)
    {
        float* channels[] = { samples.data() + start, right.data() + start };
        const int count = (int) std::min<size_t> (256, samples.size() - start);
        block.process (channels, channels, count, 2, 2);
    }
    return samples;
}

/** The spread in dB between the loud (90th percentile) and quiet (30th percentile) 30 ms frames with speech. */
double levelSpreadDb (const std::vector<float>& samples, double rate)
{
    const size_t frame = (size_t) (0.03 * rate);
    std::vector<double> levels;
    for (size_t start = 0; start + frame <= samples.size(); start += frame)
    {
        const double level =
            rms (std::vector<float> (samples.begin() + (long) start, samples.begin() + (long) (start + frame)));
        if (level > 1.0e-3)
            levels.push_back (levelToDb (level));
    }
    std::sort (levels.begin(), levels.end());
    return levels[levels.size() * 9 / 10] - levels[levels.size() * 3 / 10];
}

TEST (SpokenPhrase, LimiterHoldsABoostedVoiceUnderFullScale)
{
    const auto& phrase = spokenPhrase();
    TESSARO_REQUIRE_SPEECH (phrase);

    auto boosted = phrase.samples;
    const double gain = 1.0 / peak (boosted) * 8.0; // peaks at +18 dBFS
    for (auto& sample : boosted)
        sample = (float) (sample * gain);

    QEL::LookAheadCompressorProcessor limiter;
    const auto limited = render (limiter, boosted, phrase.sampleRate);

    EXPECT_LE (peak (limited), 1.0 + 1.0e-5);
    EXPECT_GT (peak (limited), 0.99);
    EXPECT_TRUE (finiteAndNormal (limited.data(), (int) limited.size()));
}

TEST (SpokenPhrase, CompressorsNarrowTheVoicesLevelSpread)
{
    const auto& phrase = spokenPhrase();
    TESSARO_REQUIRE_SPEECH (phrase);

    const double before = levelSpreadDb (phrase.samples, phrase.sampleRate);

    GainReductionProcessor slay;
    slay.compressor.setSlay (100.0f);
    slay.autoGain = true;

    KestraneCL1BProcessor character;
    character.mode = 3;
    character.initCompressor();
    character.setAmount (100.0f);

    for (juce::QELProcessorBase* block : { (juce::QELProcessorBase*) &slay, (juce::QELProcessorBase*) &character })
    {
        const auto after = levelSpreadDb (render (*block, phrase.samples, phrase.sampleRate), phrase.sampleRate);
        EXPECT_LT (after, before - 3.0) << "before " << before << " dB, after " << after << " dB";
    }
}
} // namespace
