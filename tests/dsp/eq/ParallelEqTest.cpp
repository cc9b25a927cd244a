#include "dsp/eq/QELRevazezaderParallelEqualizerProcessor.h"
#include "dsp/eq/QELStereoFilterProcessor.h"

#include "dsp/FilterMeasure.h"

#include <gtest/gtest.h>

using juce::QELRevazezaderParallelEqualizerProcessor;

namespace
{
constexpr double fs = 48000.0;
constexpr int blockSize = 480;

/** Gain in dB of a stereo sine at hz through a block, run in blocks of blockSize. */
double stereoGainDb (juce::QELProcessorBase& block, double hz)
{
    const int n = (int) fs / 4;
    juce::AudioBuffer<float> buffer (2, n);
    for (int i = 0; i < n; ++i)
        for (int channel = 0; channel < 2; ++channel)
            buffer.setSample (channel, i, 0.5f * (float) std::sin (2.0 * FilterMeasure::pi * hz * i / fs));
    const double in = buffer.getRMSLevel (1, n / 2, n / 2);

    for (int start = 0; start < n; start += blockSize)
    {
        float* pointers[2] = { buffer.getWritePointer (0, start), buffer.getWritePointer (1, start) };
        block.process (pointers, pointers, std::min (blockSize, n - start), 2, 2);
    }
    return FilterMeasure::toDb (buffer.getRMSLevel (1, n / 2, n / 2) / in);
}

void prepare (QELRevazezaderParallelEqualizerProcessor& enhancer)
{
    enhancer.prepare ({ fs, (juce::uint32) blockSize, 2 });
}
} // namespace

TEST (ParallelEqualizer, UnityGainsScaleEveryFrequencyBy099)
{
    QELRevazezaderParallelEqualizerProcessor enhancer;
    prepare (enhancer);
    for (double hz : { 50.0, 600.0, 1200.0, 5000.0, 18000.0 })
        EXPECT_NEAR (stereoGainDb (enhancer, hz), FilterMeasure::toDb (0.99), 1e-3) << hz;
}

TEST (ParallelEqualizer, FocusBoostLiftsTheHighsOfItsCopy)
{
    QELRevazezaderParallelEqualizerProcessor enhancer;
    enhancer.focus.gain = 4.0f;
    prepare (enhancer);

    EXPECT_NEAR (stereoGainDb (enhancer, 20.0), FilterMeasure::toDb (0.99), 0.05);
    EXPECT_NEAR (stereoGainDb (enhancer, 20000.0), FilterMeasure::toDb (1.98), 0.1);
}

TEST (ParallelEqualizer, ClarityShelvesFollowModeAndChoices)
{
    // Clarity gain 4: above its shelf the output rises toward (1 + 1 + 4)·0.33 = 1.98 (+5.9 dB); below it, and
    // where no shelf is chosen, it stays at 0.99.
    const double flatDb = FilterMeasure::toDb (0.99), fullDb = FilterMeasure::toDb (1.98);
    const struct
    {
        int mode, presenceChoice, airChoice;
        double hz, minDb, maxDb;
    } cases[] = {
        { 0, 0, 0, 10000.0, fullDb - 0.5, fullDb },         { 0, 0, 0, 30.0, flatDb - 0.05, flatDb + 0.05 },
        { 0, 1, 0, 6000.0, fullDb - 0.5, fullDb },          { 0, 1, 0, 1200.0, flatDb + 2.0, fullDb },
        { 0, 0, 0, 1200.0, flatDb + 0.5, flatDb + 3.0 },    { 2, 0, 1, 23000.0, flatDb + 3.0, fullDb },
        { 2, 0, 1, 1000.0, flatDb - 0.05, flatDb + 0.05 },  { 2, 0, 0, 10000.0, flatDb - 1e-3, flatDb + 1e-3 },
        { 1, 0, 1, 10000.0, flatDb - 1e-3, flatDb + 1e-3 },
    };

    for (const auto& c : cases)
    {
        QELRevazezaderParallelEqualizerProcessor enhancer;
        enhancer.clarity.gain = 4.0f;
        enhancer.clarity.mode = c.mode;
        enhancer.clarity.presenceChoice = c.presenceChoice;
        enhancer.clarity.airChoice = c.airChoice;
        prepare (enhancer);
        const double db = stereoGainDb (enhancer, c.hz);
        EXPECT_GE (db, c.minDb) << c.mode << "/" << c.presenceChoice << "/" << c.airChoice << " at " << c.hz;
        EXPECT_LE (db, c.maxDb) << c.mode << "/" << c.presenceChoice << "/" << c.airChoice << " at " << c.hz;
    }
}

TEST (ParallelEqualizer, ZeroGainFocusCutsItsCopyWithoutNaN)
{
    QELRevazezaderParallelEqualizerProcessor enhancer;
    enhancer.focus.gain = 0.0f;
    prepare (enhancer);
    // The focus copy's highs vanish: (1 + 0 + 1)·0.33.
    EXPECT_NEAR (stereoGainDb (enhancer, 20000.0), FilterMeasure::toDb (0.66), 0.1);
}

TEST (QELStereoFilterProcessor, PassesUntilCoefficientsAreInstalledAndKeepsStateOverPrepare)
{
    juce::QELStereoFilterProcessor holder;
    holder.prepare ({ fs, (juce::uint32) blockSize, 2 });
    EXPECT_NEAR (stereoGainDb (holder, 3000.0), 0.0, 1e-6);

    holder.setCoefficients (juce::dsp::IIR::Coefficients<float>::makeLowPass (fs, 8000.0f));
    EXPECT_NEAR (stereoGainDb (holder, 8000.0), -3.01, 0.05);
    EXPECT_LT (stereoGainDb (holder, 20000.0), -20.0);

    // Prepare keeps the state (an impulse's tail goes on), reset clears it.
    float sample = 1.0f;
    holder.processImpl (&sample, 0);
    holder.prepareToPlay (fs, blockSize);
    float tail = 0.0f;
    holder.processImpl (&tail, 0);
    EXPECT_NE (tail, 0.0f);
    holder.reset();
    float afterReset = 0.0f;
    holder.processImpl (&afterReset, 0);
    EXPECT_EQ (afterReset, 0.0f);
}
