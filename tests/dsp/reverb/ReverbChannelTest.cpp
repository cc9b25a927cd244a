#include "dsp/reverb/ReverbChannel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace CloudSeed;

namespace
{
constexpr int rate = 48000;
constexpr int block = 256;

/* A bare channel: the multitap passes its input (one tap at gain 1), no diffusion, no filters, a single
   late line of 10 ms (480 samples), no modulation, only the late signal at the output:

       in ──► pre-delay 0 ──► tap 0 ──► line 0 (480 + T samples a pass) ──► out
*/
std::unique_ptr<ReverbChannel> makeBareChannel (ChannelLR side = ChannelLR::Left)
{
    auto c = std::make_unique<ReverbChannel> (side);
    c->SetSamplerate (rate, block);
    c->SetParameter (TapCount, 1);
    c->SetParameter (TapGain, 0);
    c->SetParameter (LineCount, 1);
    c->SetParameter (SingleLine, 1);
    c->SetParameter (LineDelay, 10);
    c->SetParameter (LineDecay, 1.0);
    c->SetParameter (MainOut, 1);
    c->ClearBuffers();
    return c;
}

// Runs a signal through a channel in blocks and returns the output.
std::vector<double> run (ReverbChannel& c, const std::vector<double>& in, int blockSize = block)
{
    std::vector<double> out;
    for (std::size_t start = 0; start < in.size(); start += (std::size_t) blockSize)
    {
        const int n = (int) std::min<std::size_t> ((std::size_t) blockSize, in.size() - start);
        c.Process (in.data() + start, n);
        out.insert (out.end(), c.GetOutput(), c.GetOutput() + n);
    }
    return out;
}

std::vector<double> impulse (std::size_t length)
{
    std::vector<double> x (length, 0.0);
    x[0] = 1.0;
    return x;
}

std::vector<double> noise (std::size_t length, unsigned seed = 1)
{
    std::mt19937 gen (seed);
    std::uniform_real_distribution<double> dist (-0.5, 0.5);
    std::vector<double> x (length);
    for (auto& v : x)
        v = dist (gen);
    return x;
}

double energy (const std::vector<double>& x, std::size_t from, std::size_t to)
{
    double e = 0.0;
    for (std::size_t i = from; i < std::min (to, x.size()); ++i)
        e += x[i] * x[i];
    return e;
}
} // namespace

TEST (ReverbChannel, FeedbackLoopRunsOneStoreLengthLongerThanTheDelay)
{
    auto c = makeBareChannel();
    const int T = block + 2;
    const auto out = run (*c, impulse (8192));
    const double g = c->lines[0]->feedback.load();
    EXPECT_NEAR (g, std::pow (10.0, (480.0 / 48000.0) * -3.0), 1e-12);

    // The tap sits after the delay: the first echo at 480, the next one loop later, each g times smaller.
    EXPECT_EQ (out[480], 1.0);
    EXPECT_NEAR (out[480 + 480 + T], g, 1e-7);
    EXPECT_NEAR (out[480 + 2 * (480 + T)], g * g, 1e-7);
    double expected = 0.0;
    for (int pass = 0; 480 + pass * (480 + T) < 8192; ++pass)
        expected += std::pow (g, 2 * pass);
    EXPECT_NEAR (energy (out, 0, out.size()), expected, 1e-5);
}

TEST (ReverbChannel, KeysThatOnlyStoreChangeNothingElse)
{
    auto a = makeBareChannel();
    auto b = makeBareChannel();
    for (auto key : { InputMix, PreDelay, HighPass, LowPass, Reserved22, Reserved27 })
        b->SetParameter (key, 123.0);
    EXPECT_EQ (b->GetParameter (Reserved22), 123.0);
    EXPECT_EQ (b->GetParameter (PreDelay), 123.0);
    EXPECT_EQ (b->preDelay.sampleDelay.load(), 0);
    EXPECT_EQ (b->highPass.Frequency, 20.0);

    const auto in = noise (4096);
    EXPECT_EQ (run (*a, in), run (*b, in));
}

TEST (ReverbChannel, SettersStoreSafeFilterValues)
{
    ReverbChannel c (ChannelLR::Left);
    c.SetParameter (PostLowShelfGain, 0.0);
    c.SetParameter (PostHighShelfGain, 0.0);
    c.SetParameter (PostCutoffFrequency, 30000.0);
    for (auto& line : c.lines)
    {
        EXPECT_EQ (line->lowShelf.Gain, 0.001);
        EXPECT_EQ (line->highShelf.Gain, 0.001);
        EXPECT_NEAR (line->cutoffFilter.cutoff, 22005.9, 1e-9);
    }
}

TEST (ReverbChannel, SwitchingEarlyDiffusionClearsItOnlyOnAChange)
{
    // Only the early signal reaches the output; the diffuser rings on after the input stops.
    auto c = makeBareChannel();
    c->SetParameter (MainOut, 0);
    c->SetParameter (EarlyOut, 1);
    c->SetParameter (DiffusionStages, 4);
    c->SetParameter (DiffusionDelay, 20);
    c->SetParameter (DiffusionFeedback, 0.7);
    c->SetParameter (DiffusionEnabled, 1);
    run (*c, noise (2048));

    const std::vector<double> silence (block, 0.0);
    c->SetParameter (DiffusionEnabled, 1);
    EXPECT_GT (energy (run (*c, silence), 0, block), 1e-3);

    c->SetParameter (DiffusionEnabled, 0);
    c->SetParameter (DiffusionEnabled, 1);
    EXPECT_EQ (energy (run (*c, silence), 0, block), 0.0);
}

TEST (ReverbChannel, QuietInputIsSquelchedBeforeThePreDelayButNotInTheDryTerm)
{
    auto c = makeBareChannel();
    c->SetParameter (MainOut, 0);
    c->SetParameter (DryOut, 1);
    c->SetParameter (PredelayOut, 1);
    const std::vector<double> in (block, 3e-5);
    const auto out = run (*c, in);
    for (int i = 0; i < block; ++i)
    {
        ASSERT_EQ (c->preDelay.GetOutput()[i], 0.0);
        ASSERT_EQ (out[(std::size_t) i], 3e-5);
    }
}

TEST (ReverbChannel, LineCountAndSingleLineScaleTheLateSum)
{
    // Three lines sum to the lines' taps / √3; one line is its tap unscaled; a single line is line 0
    // at the plain line delay.
    auto three = makeBareChannel();
    three->SetParameter (SingleLine, 0);
    three->SetParameter (LineCount, 3);
    three->SetParameter (LineDecay, 1e-6); // no feedback: one pass per line
    const auto outThree = run (*three, impulse (2048));
    double sum = 0.0;
    for (int i = 0; i < 2048; ++i)
        sum += outThree[(std::size_t) i];
    EXPECT_NEAR (sum, 3.0 / std::sqrt (3.0), 1e-9);

    auto one = makeBareChannel();
    one->SetParameter (SingleLine, 0);
    one->SetParameter (LineDelay, 20);
    const auto outOne = run (*one, impulse (2048));
    const int d = one->lines[0]->delay.sampleDelay.load();
    EXPECT_NE (d, 960);
    EXPECT_EQ (outOne[(std::size_t) d], 1.0);

    auto single = makeBareChannel();
    single->SetParameter (LineCount, 3);
    single->SetParameter (LineDelay, 20);
    EXPECT_EQ (single->lines[0]->delay.sampleDelay.load(), 960);
    EXPECT_EQ (run (*single, impulse (2048))[960], 1.0);
}

TEST (ReverbChannel, FreezeAndKillOverrideTheDecay)
{
    auto c = makeBareChannel();
    c->freeze = true;
    c->UpdateLines();
    for (auto& line : c->lines)
        EXPECT_EQ (line->feedback.load(), 1.0);

    c->kill = true;
    c->UpdateLines();
    for (auto& line : c->lines)
        EXPECT_EQ (line->feedback.load(), 0.5);

    c->freeze = false;
    c->kill = false;
    c->UpdateLines();
    EXPECT_LT (c->lines[0]->feedback.load(), 1.0);
    EXPECT_GT (c->lines[0]->feedback.load(), 0.5);
}

TEST (ReverbChannel, ZeroLineDelayStaysAboveTheModulationDepth)
{
    auto c = makeBareChannel();
    c->SetParameter (LineDelay, 0);
    c->SetParameter (LineModAmount, 1.0); // 48 samples at 48 kHz, times 0.7..1.0 per line
    for (auto& line : c->lines)
    {
        const double m = line->delay.modAmountTarget.load();
        EXPECT_GE (m, 0.7 * 48 - 1e-3);
        EXPECT_EQ (line->delay.sampleDelay.load(), (int) (m + 2.0));
    }
}

TEST (ReverbChannel, ModulationOffRampsLateDepthsToZeroAndLeavesEarlyDepth)
{
    auto c = makeBareChannel();
    c->SetParameter (LineModAmount, 1.0);
    c->SetParameter (LateDiffusionModAmount, 1.0);
    c->SetParameter (EarlyDiffusionModAmount, 1.0);
    c->SetParameter (LateDiffusionEnabled, 1);
    c->SetParameter (LateDiffusionStages, 2);
    c->SetParameter (DiffusionEnabled, 1);
    c->SetParameter (DiffusionStages, 2);

    const std::vector<double> silence (block, 0.0);
    run (*c, std::vector<double> (48000, 0.0)); // every depth reaches its target (0.8 s ramps)
    const float earlyDepth = c->diffuser.filters[0]->modAmount.getCurrentValue();
    const float lineDepth = c->lines[0]->delay.modAmount.getCurrentValue();
    EXPECT_GT (earlyDepth, 30.0f);
    EXPECT_GT (lineDepth, 30.0f);

    c->SetParameter (ModEnabled, 0);
    // The ramp lasts floor (0.1 × 48000) = 4800 updates of 8 samples: halfway after 19200 samples.
    run (*c, std::vector<double> (19200, 0.0));
    EXPECT_NEAR (c->lines[0]->delay.modAmount.getCurrentValue(), lineDepth * 0.5f, lineDepth * 0.01f);
    EXPECT_GT (c->lines[0]->diffuser.filters[0]->modAmount.getCurrentValue(), 1.0f);
    run (*c, std::vector<double> (19200 + block, 0.0));
    EXPECT_EQ (c->lines[0]->delay.modAmount.getCurrentValue(), 0.0f);
    EXPECT_EQ (c->lines[0]->diffuser.filters[0]->modAmount.getCurrentValue(), 0.0f);
    EXPECT_EQ (c->diffuser.filters[0]->modAmount.getCurrentValue(), earlyDepth);
}

TEST (ReverbChannel, WithTheTapAfterTheDelayFiltersShapeOnlyTheFeedback)
{
    auto plain = makeBareChannel();
    auto shaped = makeBareChannel();
    shaped->SetParameter (PostHighShelfGain, 0.1);
    shaped->SetParameter (PostHighShelfFrequency, 2000);
    shaped->SetParameter (HighShelfEnabled, 1);
    shaped->SetParameter (PostCutoffFrequency, 1000);
    shaped->SetParameter (CutoffEnabled, 1);

    const auto in = noise (4096);
    const auto a = run (*plain, in);
    const auto b = run (*shaped, in);
    const std::size_t secondPass = 480 + 480 + block + 2;
    for (std::size_t i = 0; i < secondPass; ++i)
        ASSERT_EQ (a[i], b[i]) << i;
    EXPECT_GT (energy (a, secondPass, 4096), 2.0 * energy (b, secondPass, 4096) - energy (a, 0, secondPass));
}

TEST (ReverbChannel, EmptyBlockLeavesTheOutputAsItWas)
{
    auto c = makeBareChannel();
    c->SetParameter (DryOut, 1);
    const auto before = run (*c, noise (block));
    c->Process (nullptr, 0);
    for (int i = 0; i < block; ++i)
        ASSERT_EQ (c->GetOutput()[i], before[(std::size_t) i]);
}

TEST (ReverbChannel, CrossSeedSplitsTheSidesLateLinesOnly)
{
    auto left = makeBareChannel (ChannelLR::Left);
    auto right = makeBareChannel (ChannelLR::Right);
    for (auto* c : { left.get(), right.get() })
    {
        c->SetParameter (DelaySeed, 161);
        c->SetParameter (TapSeed, 301);
        c->SetParameter (TapCount, 25);
        c->SetParameter (TapLength, 100);
        c->SetParameter (CrossSeed, 0.5);
    }
    EXPECT_EQ (left->crossSeed, 0.0);
    EXPECT_EQ (right->crossSeed, 0.5);
    EXPECT_NE (left->lines[0]->delay.sampleDelay.load(), right->lines[0]->delay.sampleDelay.load());
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ (left->multitap.GetTapPosition (i), right->multitap.GetTapPosition (i));
}

TEST (ReverbChannel, DepthsSetBeforePreparingHoldFromTheFirstSample)
{
    // Depths are set in milliseconds and held in samples: preparing at any rate puts every depth (early and
    // late diffusion, line delay) at its value for that rate from the first sample; a depth set while running
    // ramps over 0.1 s of updates.
    const auto prepared = [] (int sampleRate)
    {
        auto c = std::make_unique<ReverbChannel> (ChannelLR::Right);
        c->SetParameter (EarlyDiffusionModAmount, 1.0);
        c->SetParameter (LateDiffusionModAmount, 1.0);
        c->SetParameter (LineDelay, 50);
        c->SetParameter (LineModAmount, 1.0);
        c->SetSamplerate (sampleRate, block);
        return c;
    };
    const auto atCdRate = prepared (44100);

    for (int sampleRate : { 44100, 48000, 96000 })
    {
        SCOPED_TRACE (sampleRate);
        auto c = prepared (sampleRate);
        const double scale = sampleRate / 44100.0;
        const std::pair<const QEL::LinearRamp<float>*, float> depths[] = {
            { &c->diffuser.filters[0]->modAmount, atCdRate->diffuser.filters[0]->modAmount.getTargetValue() },
            { &c->lines[0]->diffuser.filters[0]->modAmount,
              atCdRate->lines[0]->diffuser.filters[0]->modAmount.getTargetValue() },
            { &c->lines[0]->delay.modAmount, atCdRate->lines[0]->delay.modAmount.getTargetValue() },
        };
        for (const auto& [depth, cdDepth] : depths)
        {
            EXPECT_GT (cdDepth, 30.0f);
            EXPECT_FALSE (depth->isSmoothing());
            EXPECT_NEAR (depth->getCurrentValue(), cdDepth * scale, cdDepth * scale * 1e-6);
        }

        auto& line = c->lines[0]->delay;
        const float lineDepth = line.modAmount.getCurrentValue();
        c->SetParameter (LineModAmount, 0.0);
        c->SetParameter (LineCount, 1);
        c->Process (std::vector<double> (block, 0.0).data(), block);
        EXPECT_LT (line.modAmount.getCurrentValue(), lineDepth);
        EXPECT_GT (line.modAmount.getCurrentValue(), 0.99f * lineDepth);
        EXPECT_TRUE (line.modAmount.isSmoothing());
    }
}

// The stores are sized from the rate and the longest delays the channel is told it will be asked for: within
// those limits (deepest modulation, longest diffusion and line delays) a channel renders exactly what one with
// stores for the keys' whole ranges renders, in a fraction of the memory; limits shorter than a delay in use
// are heard.
TEST (ReverbChannel, StoresSizedForTheLimitsRenderAsStoresForTheWholeRanges)
{
    const auto configure = [] (ReverbChannel& c, int sampleRate)
    {
        for (const auto& [key, value] : { std::pair { TapCount, 25.0 },
                                          { TapLength, 219.0 },
                                          { TapGain, 0.9 },
                                          { DiffusionEnabled, 1.0 },
                                          { DiffusionStages, 8.0 },
                                          { DiffusionDelay, 74.0 },
                                          { DiffusionFeedback, 0.7 },
                                          { LateDiffusionEnabled, 1.0 },
                                          { LateDiffusionStages, 8.0 },
                                          { LateDiffusionDelay, 74.0 },
                                          { LateDiffusionFeedback, 0.7 },
                                          { LineCount, 6.0 },
                                          { LineDelay, 20.0 },
                                          { LineDecay, 2.0 },
                                          { LineModAmount, 2.5 },
                                          { LineModRate, 3.0 },
                                          { EarlyDiffusionModAmount, 2.5 },
                                          { EarlyDiffusionModRate, 4.0 },
                                          { LateDiffusionModAmount, 2.5 },
                                          { LateDiffusionModRate, 4.0 },
                                          { EarlyOut, 1.0 },
                                          { MainOut, 1.0 },
                                          { Interpolation, 1.0 },
                                          { LateStageTap, 1.0 },
                                          { DelaySeed, 161.0 },
                                          { DiffusionSeed, 189.0 },
                                          { PostDiffusionSeed, 501.0 } })
            c.SetParameter (key, value);
        c.SetSamplerate (sampleRate, 512);
        c.ClearBuffers();
    };

    struct Case
    {
        DelayLimits limits;
        bool rendersTheSame;
    };
    for (const int sampleRate : { 44100, 192000 })
        for (const auto& [limits, same] : { Case { { 20.0, 74.0, 2.5 }, true }, Case { { 20.0, 60.0, 2.5 }, false },
                                            Case { { 12.0, 74.0, 2.5 }, false } })
        {
            ReverbChannel whole (ChannelLR::Left), sized (ChannelLR::Left, limits);
            configure (whole, sampleRate);
            configure (sized, sampleRate);
            const auto input = noise ((std::size_t) sampleRate / 2, 7);
            EXPECT_EQ (run (sized, input, 512) == run (whole, input, 512), same)
                << sampleRate << " Hz, limits " << limits.lineDelayMs << " / " << limits.diffusionDelayMs << " ms";

            const auto bytes = [] (const ReverbChannel& c)
            {
                std::size_t total = c.diffuser.filters[0]->delayBuffer.size() * AllpassDiffuser::maxStages;
                for (const auto& line : c.lines)
                    total += line->delay.delayBuffer.size() +
                             AllpassDiffuser::maxStages * line->diffuser.filters[0]->delayBuffer.size();
                return total * sizeof (double);
            };
            if (same)
            {
                EXPECT_LT (bytes (sized), bytes (whole) / 3) << sampleRate << " Hz";
            }
        }
}
