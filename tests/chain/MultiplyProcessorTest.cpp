#include "chain/MultiplyProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using tessaro::dsp::MultiplyProcessor;
using namespace chain_test;

namespace
{
std::unique_ptr<MultiplyProcessor> preparedMultiply (double rate = 44100.0, int blockSize = 256)
{
    auto m = std::make_unique<MultiplyProcessor>();
    m->prepare ({ rate, (juce::uint32) blockSize, 2 });
    return m;
}
} // namespace

TEST (MultiplyModule, TheDrySignalComesAtTheLatencyOnEveryPathAndRate)
{
    for (const double rate : { 44100.0, 96000.0 })
    {
        auto m = preparedMultiply (rate, 128);
        EXPECT_EQ (m->getLatencyInSamples(), 2048);
        auto on = impulse (8192, 10);
        runInBlocks (*m, on, 128);
        EXPECT_EQ (peakIndex (on, 0), 10 + 2048) << rate;

        m->setBypassSmooth (false);
        EXPECT_EQ (m->getLatencyInSamples(), 2048) << "off keeps its latency";
        juce::AudioBuffer<float> settle (2, 8192);
        settle.clear();
        runInBlocks (*m, settle, 128);

        const auto input = sine (300.0, rate, 8192);
        auto off = input;
        runInBlocks (*m, off, 128);
        for (int i = 2048; i < off.getNumSamples(); ++i)
            ASSERT_EQ (off.getSample (0, i), input.getSample (0, i - 2048)) << "off is the input delayed, " << i;
    }
}

TEST (MultiplyModule, SpreadZeroIsMonoAndAmountAddsVoices)
{
    const auto render = [] (float spread, float amount)
    {
        auto m = preparedMultiply();
        m->setSpread (spread);
        m->setAmount (amount);
        juce::AudioBuffer<float> buffer (2, 16384);
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            buffer.setSample (0, i, 0.3f * std::sin (0.031f * (float) i));
            buffer.setSample (1, i, 0.3f * std::sin (0.031f * (float) i));
        }
        runInBlocks (*m, buffer, 256);
        return buffer;
    };

    // A centred voice: the voices stay in the middle at Spread 0 and spread out at 200.
    const auto sideOf = [] (const juce::AudioBuffer<float>& b)
    {
        float side = 0.0f;
        for (int i = 8192; i < b.getNumSamples(); ++i)
            side = std::max (side, std::abs (b.getSample (0, i) - b.getSample (1, i)));
        return side;
    };
    EXPECT_LT (sideOf (render (0.0f, 100.0f)), 1.0e-4f);
    EXPECT_GT (sideOf (render (200.0f, 100.0f)), 0.01f);

    const auto dry = render (100.0f, 0.0f);
    const auto doubled = render (100.0f, 100.0f);
    float difference = 0.0f;
    for (int i = 8192; i < dry.getNumSamples(); ++i)
        difference = std::max (difference, std::abs (dry.getSample (0, i) - doubled.getSample (0, i)));
    EXPECT_GT (difference, 0.01f);

    EXPECT_FLOAT_EQ (MultiplyProcessor::amountFor (100.0f), 2.0f);
    EXPECT_FLOAT_EQ (MultiplyProcessor::offsetFor (100.0f), 2.0f);
    EXPECT_FLOAT_EQ (MultiplyProcessor::lowGainFor (50.0f), 1.0f);
}

// Voices coming back from a rest (power, amount) and the octave voice starting (low) fade in from silence
// with the timing they would have had; spread glides to mono. None clicks above either setting.
TEST (MultiplyModule, StepsThatWakeOrMoveTheVoicesAreClickFree)
{
    const struct
    {
        const char* name;
        std::function<void (MultiplyProcessor&, bool)> set;
    } cases[] = {
        { "power", [] (MultiplyProcessor& m, bool b) { m.setAmount (50.0f), m.setBypassSmooth (b); } },
        { "amount", [] (MultiplyProcessor& m, bool b) { m.setAmount (b ? 100.0f : 0.0f); } },
        { "low", [] (MultiplyProcessor& m, bool b) { m.setAmount (50.0f), m.setLow (b ? 100.0f : 0.0f); } },
        { "spread", [] (MultiplyProcessor& m, bool b) { m.setAmount (50.0f), m.setSpread (b ? 0.0f : 200.0f); } },
    };

    for (const auto& c : cases)
        EXPECT_LE (stepClickDb ([] { return preparedMultiply (44100.0, 512); }, c.set), 6.0) << c.name;
}

TEST (MultiplyModule, SwitchedOnAfterARestTheDrySignalCarriesOnExactly)
{
    // Amount and Low at 0: the module is its latency line, on, off and in between. A rest through other
    // audio, then the switch back on: the output is the input 2048 samples late throughout, never audio
    // from before the rest.
    for (const int blockSize : { 128, 100 })
    {
        auto m = preparedMultiply (48000.0, 128);
        auto before = sine (500.0, 48000.0, 8192, 0.9f);
        runInBlocks (*m, before, blockSize);

        m->setBypassSmooth (false);
        const auto input = sine (220.0, 48000.0, 16384, 0.4f);
        auto buffer = input;
        const int half = 8192 / blockSize * blockSize;
        juce::AudioBuffer<float> restPart (buffer.getArrayOfWritePointers(), 2, half);
        runInBlocks (*m, restPart, blockSize);
        m->setBypassSmooth (true);
        juce::AudioBuffer<float> onPart (buffer.getArrayOfWritePointers(), 2, half, 16384 - half);
        runInBlocks (*m, onPart, blockSize);

        for (int i = 2048; i < 16384; ++i)
            ASSERT_NEAR (buffer.getSample (0, i), input.getSample (0, i - 2048), 1.0e-6f)
                << "block " << blockSize << ", sample " << i;
    }
}
