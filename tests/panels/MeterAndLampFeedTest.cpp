#include "core/Params.h"
#include "editor/EditorTestFixture.h"

#include <cmath>

namespace
{
using editor_test::EditorTest;

/** Plays blocks through the processor, ticking the editor after each one as its timer would. */
struct Playback
{
    Playback (OrvaneTessaroAudioProcessor& p, editor_test::RecordingEditor& e) : processor (p), editor (e) {}

    OrvaneTessaroAudioProcessor& processor;
    editor_test::RecordingEditor& editor;
    juce::AudioBuffer<float> block { 2, 512 };
    juce::MidiBuffer midi;
    juce::Random random { 7 };
    int sample = 0;
    bool deEssLit = false; // the De-Ess lamp was lit after some tick

    /** `seconds` of the signal made by `next` (called once per sample, same on both channels). */
    template <typename Signal>
    void play (double seconds, Signal next)
    {
        for (int done = 0; done < (int) (seconds * 48000.0); done += block.getNumSamples())
        {
            for (int i = 0; i < block.getNumSamples(); ++i, ++sample)
            {
                const float x = next();
                block.setSample (0, i, x);
                block.setSample (1, i, x);
            }
            processor.processBlock (block, midi);
            editor.updateUI();
            deEssLit = deEssLit || editor.mainPanel.enhancePanel.deEssLamp.isLit();
        }
    }

    void tone (double seconds, float amplitude)
    {
        play (seconds, [this, amplitude] { return amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 1000.0 * sample / 48000.0); });
    }

    /** White noise differentiated: most of its energy sits high, like an "s". */
    void sibilance (double seconds)
    {
        float previous = 0.0f;
        play (seconds, [this, &previous]
              {
                  const float x = random.nextFloat() * 2.0f - 1.0f;
                  const float hiss = 0.4f * (x - previous);
                  previous = x;
                  return hiss;
              });
    }

    void silence (double seconds)
    {
        play (seconds, [] { return 0.0f; });
    }
};

void set (OrvaneTessaroAudioProcessor& p, const juce::String& id, float value)
{
    auto* parameter = p.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}
} // namespace

TEST_F (EditorTest, TheMeterAndTheDeEssLampFollowTheAudio)
{
    auto& e = open();
    processor->prepareToPlay (48000.0, 512);
    set (*processor, Params::paramCompressCompression, 100.0f);
    set (*processor, Params::paramEnhanceDeEss, 100.0f);
    auto& meter = e.mainPanel.compressPanel.meter;
    auto& lamp = e.mainPanel.enhancePanel.deEssLamp;
    Playback playback (*processor, e);

    playback.silence (0.1);
    EXPECT_FLOAT_EQ (meter.level, 1.0f); // no reduction: an empty bar
    EXPECT_FALSE (lamp.isActive());

    playback.tone (0.5, 0.9f);
    EXPECT_LT (meter.level, 0.9f) << "a loud tone with Compression up reduces the gain";

    EXPECT_FALSE (playback.deEssLit) << "a 1 kHz tone is no sibilance";
    playback.sibilance (0.5);
    EXPECT_TRUE (playback.deEssLit);

    playback.silence (1.0);
    EXPECT_FLOAT_EQ (meter.level, 1.0f);
    EXPECT_FALSE (lamp.isActive());
    processor->releaseResources();
}

TEST_F (EditorTest, TheMeterReadsTheSlowCompressorWhenSlowIsOn)
{
    auto& e = open();
    processor->prepareToPlay (48000.0, 512);
    set (*processor, Params::paramCompressCompression, 100.0f);
    set (*processor, Params::paramCompressSlow, 1.0f);
    Playback playback (*processor, e);
    playback.tone (1.0, 0.9f);
    const auto& compress = processor->tessaroProcessor.compressProcessor;
    const double reductionDb = compress.slowCompressor.getGainReductionDb();
    ASSERT_GT (reductionDb, 0.5);
    const float expected = e.mainPanel.compressPanel.meter.range.convertTo0to1 (
        juce::jmax (-18.0f, (float) -reductionDb));
    EXPECT_NEAR (e.mainPanel.compressPanel.meter.level, expected, 1e-3);
    processor->releaseResources();
}
