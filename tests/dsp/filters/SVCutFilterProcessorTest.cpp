#include "dsp/filters/SVCutFilterProcessor.h"

#include "dsp/BlockSignals.h"

#include <gtest/gtest.h>

namespace
{
constexpr double rate = 44100.0;

template <typename Block> void prepareStereo (Block& block)
{
    block.prepare ({ rate, 256, 2 });
}

template <typename Block> double sineGainDb (Block& block, double frequency)
{
    return blocksignals::sineGainDb (frequency, rate,
                                     [&] (float* const* ch, int n) { block.process (ch, ch, n, 1, 1); });
}
} // namespace

TEST (SVFProcessor, LowPassIsThreeDecibelsDownAtCutoffAndFallsTwelvePerOctave)
{
    QEL::SVFProcessor<float> svf;
    prepareStereo (svf);
    svf.filter.setCutoffFrequency (1000.0f);

    EXPECT_NEAR (sineGainDb (svf, 100.0), 0.0, 0.05);
    EXPECT_NEAR (sineGainDb (svf, 1000.0), -3.01, 0.05);
    EXPECT_NEAR (sineGainDb (svf, 8000.0), -38.15, 0.1); // prewarped Butterworth: 1 / sqrt (1 + 8.99^4)
}

TEST (SVFProcessor, SilenceAfterSignalEndsInExactZeros)
{
    QEL::SVFProcessor<float> svf;
    prepareStereo (svf);
    svf.filter.setCutoffFrequency (20.0f); // slow: each silent block leaves about 2 % of the state

    std::vector<float> left = blocksignals::noise (2048, 0.5f, 1), right = blocksignals::noise (2048, 0.5f, 2);
    float* channels[] = { left.data(), right.data() };
    svf.process (channels, channels, 2048, 2, 2);

    // Left alone the states would still be near 1e-15 after eight blocks; snapped, they are gone by then.
    for (int block = 0; block < 8; ++block)
    {
        std::fill (left.begin(), left.end(), 0.0f);
        std::fill (right.begin(), right.end(), 0.0f);
        svf.process (channels, channels, 2048, 2, 2);
    }

    for (size_t i = 0; i < left.size(); ++i)
        ASSERT_TRUE (left[i] == 0.0f && right[i] == 0.0f) << i;
    EXPECT_EQ (svf.filter.s1, std::vector<float> (2, 0.0f));
    EXPECT_EQ (svf.filter.s2, std::vector<float> (2, 0.0f));
}

TEST (SVCutFilterProcessor, NewPairPassesTheSignalUnchanged)
{
    QEL::SVCutFilterProcessor<float> pair;
    prepareStereo (pair);
    EXPECT_EQ (pair.highPassCutoff.load(), 20.0f);
    EXPECT_EQ (pair.lowPassCutoff.load(), 20000.0f);

    const auto in = blocksignals::noise (1024);
    const auto out =
        blocksignals::processInBlocks (in, 256, [&] (float* const* ch, int n) { pair.process (ch, ch, n, 1, 1); });
    EXPECT_EQ (out, in);
}

TEST (SVCutFilterProcessor, EachSideRunsOnlyInsideTheAudioBand)
{
    const struct
    {
        bool highPassSide;
        float hz;
        bool on;
    } cases[] = {
        { true, 20.0f, false },     { true, 20.01f, true },    { true, 5.0f, false },
        { false, 20000.0f, false }, { false, 19999.0f, true }, { false, 22000.0f, false },
    };

    for (const auto& c : cases)
    {
        QEL::SVCutFilterProcessor<float> pair;
        prepareStereo (pair);
        if (c.highPassSide)
            pair.setHighPassCutoff (c.hz);
        else
            pair.setLowPassCutoff (c.hz);

        EXPECT_EQ ((c.highPassSide ? pair.highPass : pair.lowPass).active.load(), c.on) << c.hz;
        EXPECT_EQ ((c.highPassSide ? pair.lowPass : pair.highPass).active.load(), false) << c.hz;
    }
}

TEST (SVCutFilterProcessor, SwitchingASideOnFadesItInThenCuts)
{
    QEL::SVCutFilterProcessor<float> pair;
    prepareStereo (pair);
    pair.setHighPassCutoff (1000.0f);
    pair.setLowPassCutoff (4000.0f);

    // 440-sample fade: the first block still carries most of the unfiltered low tone.
    const auto low = blocksignals::sine (100.0, rate, 256);
    const auto firstBlock =
        blocksignals::processInBlocks (low, 256, [&] (float* const* ch, int n) { pair.process (ch, ch, n, 1, 1); });
    EXPECT_GT (blocksignals::rms (firstBlock), 0.3 * blocksignals::rms (low));
    EXPECT_TRUE (pair.highPass.isRamping());

    EXPECT_LT (sineGainDb (pair, 100.0), -39.0);
    EXPECT_NEAR (sineGainDb (pair, 2000.0), -0.9, 0.5);
    EXPECT_LT (sineGainDb (pair, 16000.0), -23.0);
}

TEST (SVCutFilterProcessor, CutoffAboveNyquistStaysStable)
{
    QEL::SVCutFilterProcessor<float> pair;
    pair.prepare ({ 32000.0, 256, 1 });
    pair.setLowPassCutoff (19000.0f); // above 16 kHz, where the filter's prewarp turns negative

    const auto out = blocksignals::processInBlocks (blocksignals::noise (32000), 256,
                                                    [&] (float* const* ch, int n) { pair.process (ch, ch, n, 1, 1); });
    for (const float s : out)
        ASSERT_TRUE (std::isfinite (s) && std::abs (s) < 2.0f);
}

// The multiplier asks for a 14 kHz low cut at every rate; at 22.05 kHz that lies above the Nyquist
// frequency. Whatever the cut-off is limited to, a voice followed by silence must fall silent.
TEST (SVCutFilterProcessor, CutoffAboveNyquistFallsSilentAfterTheSignal)
{
    constexpr double lowRate = 22050.0;
    for (const juce::int64 seed : { 1, 2, 3 })
    {
        QEL::SVCutFilterProcessor<float> pair;
        pair.prepare ({ lowRate, 256, 1 });
        pair.setLowPassCutoff (14000.0f);

        auto signal = blocksignals::noise ((int) lowRate, 0.3f, seed);
        signal.resize ((size_t) (6 * lowRate), 0.0f);
        const auto out = blocksignals::processInBlocks (
            std::move (signal), 256, [&] (float* const* ch, int n) { pair.process (ch, ch, n, 1, 1); });

        float tailPeak = 0.0f;
        for (size_t i = (size_t) (5 * lowRate); i < out.size(); ++i)
            tailPeak = std::max (tailPeak, std::abs (out[i]));
        EXPECT_EQ (tailPeak, 0.0f) << "seed " << seed;
    }
}
