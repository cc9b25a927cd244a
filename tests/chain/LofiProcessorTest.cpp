#include "chain/LofiProcessor.h"

#include <gtest/gtest.h>

#include <random>

using tessaro::dsp::LofiProcessor;

namespace
{
constexpr double rate = 48000.0;

/** The voice as JUCE's own filters compute it: five sections, each output snapped below 1e-8, then -6 dB. */
struct JuceVoice
{
    JuceVoice()
    {
        const double q = 1.0 / std::sqrt (2.0);
        const juce::IIRCoefficients designs[] = {
            juce::IIRCoefficients::makeLowPass (rate, 3000.0, q),
            juce::IIRCoefficients::makeHighPass (rate, 350.0, q),
            juce::IIRCoefficients::makePeakFilter (rate, 1500.0, 1.5, std::pow (10.0, 0.45)),
            juce::IIRCoefficients::makePeakFilter (rate, 2500.0, 2.5, std::pow (10.0, 0.45)),
            juce::IIRCoefficients::makeLowShelf (rate, 273.0, 1.0, std::pow (10.0, -0.75)),
        };
        for (int s = 0; s < 5; ++s)
            stages[s].setCoefficients (designs[s]);
    }

    float process (float x)
    {
        for (auto& stage : stages)
        {
            x = stage.processSingleSampleRaw (x);
            if (std::abs (x) < 1.0e-8f)
                x = 0.0f;
        }
        return x * std::pow (10.0f, -0.3f);
    }

    juce::IIRFilter stages[5];
};

/** Noise with silent stretches, so the filters' tails run into the snapping. */
juce::AudioBuffer<float> noiseWithGaps (int channels, int numSamples)
{
    juce::AudioBuffer<float> buffer (channels, numSamples);
    std::mt19937 random (7);
    std::normal_distribution<float> noise (0.0f, 0.3f);
    for (int ch = 0; ch < channels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, (i / 2000) % 3 == 2 ? 0.0f : noise (random) * (ch == 0 ? 1.0f : 0.7f));
    return buffer;
}
} // namespace

// The voice must be JUCE's filter cascade to the bit on each channel alone, steady on, steady off (its filters
// still running unheard) and while the switch fades, in stereo and in mono.
TEST (LofiProcessor, VoiceIsJucesFilterCascadeBitForBit)
{
    constexpr int blockSize = 480, numSamples = 48000;
    const bool switchFor[] = { true, false, false, true, true };
    const auto switchAt = [&] (int block) { return switchFor[(block / 20) % 5]; };

    for (const int channels : { 2, 1 })
    {
        SCOPED_TRACE (channels);
        LofiProcessor lofi;
        lofi.setBypass (true);
        lofi.prepareToPlay (rate, blockSize);
        auto buffer = noiseWithGaps (channels, numSamples);
        const auto input = buffer;

        for (int start = 0, block = 0; start < numSamples; start += blockSize, ++block)
        {
            lofi.setBypassSmooth (switchAt (block));
            float* pointers[2] = { buffer.getWritePointer (0, start),
                                   channels > 1 ? buffer.getWritePointer (1, start) : nullptr };
            lofi.processImpl (pointers, pointers, blockSize, channels, channels);
        }

        for (int ch = 0; ch < channels; ++ch)
        {
            JuceVoice voice;
            QEL::SwitchFade fade;
            fade.prepare (rate, LofiProcessor::fadeSeconds, true);
            int mismatches = 0, fading = 0;
            for (int start = 0, block = 0; start < numSamples; start += blockSize, ++block)
            {
                fade.follow (switchAt (block));
                const bool fadingBlock = fade.isFading(), heard = fade.isFullyOn();
                for (int i = start; i < start + blockSize; ++i)
                {
                    const float x = input.getSample (ch, i);
                    const float y = voice.process (x);
                    float expected = heard ? y : x;
                    if (fadingBlock)
                    {
                        expected = x + (y - x) * fade.nextGain();
                        ++fading;
                    }
                    mismatches += buffer.getSample (ch, i) != expected ? 1 : 0;
                }
            }
            EXPECT_EQ (mismatches, 0);
            EXPECT_GT (fading, 0);
        }
    }
}
