#include "chain/CompressProcessor.h"
#include "chain/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using tessaro::dsp::CompressProcessor;
using namespace chain_test;

namespace
{
constexpr double rate = 44100.0;

std::unique_ptr<CompressProcessor> preparedCompress()
{
    auto c = std::make_unique<CompressProcessor>();
    c->prepare ({ rate, 256, 2 });
    return c;
}

float largestStep (const juce::AudioBuffer<float>& buffer)
{
    float step = 0.0f;
    for (int i = 1; i < buffer.getNumSamples(); ++i)
        step = std::max (step, std::abs (buffer.getSample (0, i) - buffer.getSample (0, i - 1)));
    return step;
}
} // namespace

TEST (CompressModule, TrimsAsAListenerExpects)
{
    const auto levelDb = [] (void (*set) (CompressProcessor&), float amplitude)
    {
        auto module = preparedCompress();
        set (*module);
        auto buffer = sine (440.0, rate, 44100, amplitude);
        runInBlocks (*module, buffer, 256);
        return rmsDb (buffer, 0, 22050) - juce::Decibels::gainToDecibels (amplitude / std::sqrt (2.0f));
    };

    const float defaults = levelDb ([] (CompressProcessor&) {}, 0.05f);
    EXPECT_NEAR (defaults, 0.0f, 1.5f) << "Compression 0 with Auto on is about unity";
    EXPECT_NEAR (levelDb ([] (CompressProcessor& c) { c.setInputGain (-6.0f); }, 0.05f), defaults - 6.0f, 0.3f)
        << "Input trims the level at Compression 0";
    EXPECT_NEAR (levelDb ([] (CompressProcessor& c) { c.setOutputGain (-12.0f); }, 0.05f), defaults, 0.05f)
        << "Output is not heard with Auto on";

    const float autoOff = levelDb ([] (CompressProcessor& c) { c.setAuto (false); }, 0.05f);
    EXPECT_NEAR (levelDb (
                     [] (CompressProcessor& c)
                     {
                         c.setAuto (false);
                         c.setOutputGain (-12.0f);
                     },
                     0.05f),
                 autoOff - 12.0f, 0.05f)
        << "Output is heard with Auto off";
}

TEST (CompressModule, FullCompressionReducesALoudToneInBothModes)
{
    for (const bool slow : { false, true })
    {
        auto plain = preparedCompress();
        auto squeezed = preparedCompress();
        squeezed->setSlow (slow);
        squeezed->setCompression (100.0f);
        squeezed->setAuto (false); // without make-up the reduction shows as level

        auto reference = sine (440.0, rate, 44100, 0.9f);
        auto buffer = reference;
        runInBlocks (*plain, reference, 256);
        runInBlocks (*squeezed, buffer, 256);

        EXPECT_LT (rmsDb (buffer, 0, 22050), rmsDb (reference, 0, 22050) - 3.0f) << "slow " << slow;
        EXPECT_LT (squeezed->getMeterGain(), 1.0f) << "slow " << slow;
        EXPECT_GE (squeezed->getMeterGain(), 0.0f);
    }
}

TEST (CompressModule, MeterReadings)
{
    auto module = preparedCompress();
    EXPECT_EQ (module->getMeterGain(), 1.0f) << "fast mode on digital silence";

    juce::AudioBuffer<float> silence (2, 1024);
    silence.clear();
    module->setCompression (50.0f);
    runInBlocks (*module, silence, 256);
    EXPECT_EQ (module->getMeterGain(), 1.0f);

    // The fast reading is the current gain plus 1 - s/100: 0.5 above the gain at 50, the gain alone at 100.
    for (const float s : { 50.0f, 100.0f })
    {
        module->setCompression (s);
        auto tone = sine (440.0, rate, 4096, 0.1f);
        runInBlocks (*module, tone, 256);
        const float gain = (float) module->fast.compressor.gain.load();
        EXPECT_NEAR (module->getMeterGain(), gain + (1.0f - s / 100.0f), 1.0e-6f) << s;
    }

    EXPECT_FLOAT_EQ (CompressProcessor::slowRatioFor (100.0f), 10.0f);
    EXPECT_FLOAT_EQ (CompressProcessor::slowMakeUpDbFor (100.0f), 10.0f);
    EXPECT_FLOAT_EQ (CompressProcessor::fastTrimDbFor (100.0f), -30.0f);
}

TEST (CompressModule, ToggingSlowCrossfadesWithoutAJump)
{
    auto module = preparedCompress();
    module->setCompression (80.0f);
    auto warm = sine (220.0, rate, 22050, 0.5f);
    runInBlocks (*module, warm, 256);

    const float steadyStep = largestStep (warm);
    for (const bool slow : { true, false })
    {
        module->setSlow (slow);
        EXPECT_NE (module->fast.active.load(), module->slowCompressor.active.load()) << "exactly one is active";
        auto buffer = sine (220.0, rate, 4096, 0.5f);
        runInBlocks (*module, buffer, 256);
        EXPECT_LT (largestStep (buffer), 2.0f * steadyStep + 0.01f) << "slow " << slow;
    }
}

// Steps of every control from one end to the other while a tone plays add no click above either setting:
// the gains and switches glide, the automatic gain fades with the trim, both channels follow one Slay ramp.
TEST (CompressModule, StepsOfEveryControlAreClickFree)
{
    using tessaro::dsp::CompressProcessor;
    const struct
    {
        const char* name;
        std::function<void (CompressProcessor&, bool)> set;
    } cases[] = {
        { "power", [] (CompressProcessor& c, bool b) { c.setCompression (60.0f), c.setBypassSmooth (b); } },
        { "output", [] (CompressProcessor& c, bool b) { c.setAuto (false), c.setOutputGain (b ? 20.0f : -20.0f); } },
        { "slow", [] (CompressProcessor& c, bool b) { c.setCompression (60.0f), c.setSlow (b); } },
        { "auto", [] (CompressProcessor& c, bool b) { c.setCompression (60.0f), c.setAuto (b); } },
    };

    for (const auto& c : cases)
        for (const int blockSize : { 64, 512 })
        {
            const auto make = []
            {
                auto m = std::make_unique<CompressProcessor>();
                m->prepare ({ 44100.0, 512, 2 });
                return m;
            };
            EXPECT_LE (chain_test::stepClickDb (make, c.set, blockSize), 6.0) << c.name << " at block " << blockSize;
        }
}
