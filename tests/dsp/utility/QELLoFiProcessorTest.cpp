#include "dsp/utility/QELLoFiProcessor.h"

#include "dsp/BlockSignals.h"

#include <gtest/gtest.h>

#include <complex>

namespace
{
using Stage = juce::QELLoFiProcessor::Stage;

/** Magnitude in dB of a normalised biquad (b0, b1, b2, a1, a2) at a frequency. */
double biquadDb (const juce::IIRCoefficients& c, double frequency, double rate)
{
    const auto z = std::polar (1.0, -juce::MathConstants<double>::twoPi * frequency / rate);
    const auto* k = c.coefficients;
    const auto num = (double) k[0] + (double) k[1] * z + (double) k[2] * z * z;
    const auto den = 1.0 + (double) k[3] * z + (double) k[4] * z * z;
    return 20.0 * std::log10 (std::abs (num / den));
}

double loFiGainDb (juce::QELLoFiProcessor& lofi, double frequency, double rate)
{
    return blocksignals::sineGainDb (frequency, rate,
                                     [&] (float* const* ch, int n) { lofi.process (ch, ch, n, 1, 1); });
}
} // namespace

TEST (QELLoFiProcessor, TelephoneBandIsThreeDecibelsDownAtItsEdges)
{
    const struct
    {
        double rate;
        double frequency;
        double expectedDb;
        double tolerance;
    } cases[] = {
        { 44100.0, 350.0, -3.011, 0.02 },
        { 44100.0, 3000.0, -3.011, 0.02 },
        { 44100.0, 1000.0, -0.115, 0.02 },
        { 44100.0, 50.0, -33.81, 0.05 },
        { 44100.0, 12000.0, -28.97, 0.05 },
        // Preparing for another rate redesigns the band for it.
        { 96000.0, 350.0, -3.011, 0.02 },
        { 96000.0, 3000.0, -3.011, 0.02 },
    };

    for (const auto& c : cases)
    {
        juce::QELLoFiProcessor lofi;
        lofi.prepare ({ c.rate, 256, 2 });
        EXPECT_NEAR (loFiGainDb (lofi, c.frequency, c.rate), c.expectedDb, c.tolerance)
            << c.frequency << " Hz at " << c.rate;
    }
}

TEST (QELLoFiProcessor, EachStageHasItsNominalResponse)
{
    const double rate = 48000.0;
    const struct
    {
        Stage stage;
        double frequency;
        double expectedDb;
    } cases[] = {
        { Stage::lowPassStage, 3000.0, -3.0103 }, { Stage::highPassStage, 350.0, -3.0103 },
        { Stage::lowPeakStage, 1500.0, 9.0 },     { Stage::highPeakStage, 2500.0, 9.0 },
        { Stage::lowShelfStage, 1.0, -15.0 },     { Stage::lowShelfStage, 20000.0, 0.0 },
        { Stage::highShelfStage, 23999.0, 5.0 },  { Stage::highShelfStage, 10.0, 0.0 },
    };

    for (const auto& c : cases)
        EXPECT_NEAR (biquadDb (juce::QELLoFiProcessor::designStage (c.stage, rate), c.frequency, rate), c.expectedDb,
                     0.05)
            << "stage " << (int) c.stage << " at " << c.frequency << " Hz";
}

TEST (QELLoFiProcessor, ModesRunTheirStagesInSeries)
{
    const double rate = 44100.0;
    auto stageDb = [&] (Stage s, double f)
    { return biquadDb (juce::QELLoFiProcessor::designStage (s, rate), f, rate); };

    for (const double f : { 500.0, 1500.0, 2500.0 })
    {
        const double band = stageDb (Stage::lowPassStage, f) + stageDb (Stage::highPassStage, f);
        const double modeOne = band + stageDb (Stage::lowPeakStage, f) + stageDb (Stage::highPeakStage, f) +
                               stageDb (Stage::lowShelfStage, f) - 6.0; // 10^-0.3
        const double modeTwo = band + stageDb (Stage::highShelfStage, f);

        juce::QELLoFiProcessor lofi;
        lofi.mode = 1;
        EXPECT_NEAR (loFiGainDb (lofi, f, rate), modeOne, 0.02) << "mode 1 at " << f;
        lofi.mode = 2;
        EXPECT_NEAR (loFiGainDb (lofi, f, rate), modeTwo, 0.02) << "mode 2 at " << f;
    }
}

TEST (QELLoFiProcessor, OtherModesAndChannelsPassUnchanged)
{
    juce::QELLoFiProcessor lofi;
    lofi.mode = 7;
    float sample = 0.3f;
    lofi.processImpl (sample, 0);
    EXPECT_EQ (sample, 0.3f);

    lofi.mode = 0;
    lofi.processImpl (sample, 2);
    EXPECT_EQ (sample, 0.3f);
}

TEST (QELLoFiProcessor, ResetKeepsTheTailAndSilenceEndsInExactZeros)
{
    juce::QELLoFiProcessor lofi;
    lofi.mode = 1;
    lofi.prepare ({ 44100.0, 256, 2 });
    blocksignals::processInBlocks (blocksignals::noise (4410), 256,
                                   [&] (float* const* ch, int n) { lofi.process (ch, ch, n, 1, 1); });
    lofi.reset();

    const auto tail = blocksignals::processInBlocks (std::vector<float> (44100, 0.0f), 256,
                                                     [&] (float* const* ch, int n) { lofi.process (ch, ch, n, 1, 1); });
    EXPECT_NE (tail[0], 0.0f);
    for (size_t i = 22050; i < tail.size(); ++i)
        ASSERT_EQ (tail[i], 0.0f) << i;
}
