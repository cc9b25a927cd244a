#include "dsp/utility/MixProcessor.h"

#include <gtest/gtest.h>

namespace
{
/** Mixes a block whose processed signal is 1.0 with a dry signal of 0.25 and returns the output samples. */
std::vector<float> mixBlock (QEL::MixProcessor& mixer, int numSamples)
{
    std::vector<float> dry ((size_t) numSamples, 0.25f), wet ((size_t) numSamples, 1.0f);
    const float* in[] = { dry.data() };
    float* out[] = { wet.data() };
    mixer.process (in, out, numSamples, 1, 1);
    return wet;
}
} // namespace

TEST (MixProcessor, LawsWeighProcessedAndDrySignals)
{
    const struct
    {
        int law;
        float mix;
        float wetGain;
        float dryGain;
    } cases[] = {
        { 0, 1.0f, 1.0f, 0.0f }, { 0, 0.0f, 0.0f, 1.0f },  { 0, 0.3f, 0.3f, 0.7f }, { 1, 0.25f, 0.5f, 1.0f },
        { 1, 0.5f, 1.0f, 1.0f }, { 1, 0.75f, 1.0f, 0.5f }, { 1, 0.0f, 0.0f, 1.0f }, { 1, 1.0f, 1.0f, 0.0f },
    };

    for (const auto& c : cases)
    {
        QEL::MixProcessor mixer; // unprepared: the mix applies at once
        mixer.mixLaw = c.law;
        mixer.setMix (c.mix);
        const auto out = mixBlock (mixer, 8);
        EXPECT_FLOAT_EQ (out[7], c.wetGain * 1.0f + c.dryGain * 0.25f) << "law " << c.law << " mix " << c.mix;
    }
}

TEST (MixProcessor, OnlyPrepareGivesTheRampItsLength)
{
    QEL::MixProcessor mixer;
    mixer.prepareToPlay (48000.0, 512); // the base's: leaves the ramp instant
    mixer.setMix (0.0f);
    EXPECT_FLOAT_EQ (mixBlock (mixer, 1)[0], 0.25f);

    mixer.prepare ({ 48000.0, 4096, 1 });
    mixer.setMix (1.0f);
    const auto out = mixBlock (mixer, 2401);
    EXPECT_LT (out[2398], 1.0f);
    EXPECT_EQ (out[2399], 1.0f); // 2400 samples: floor (0.050000001 * 48000)
    EXPECT_NEAR (out[1199], 0.25f + 0.75f * 0.5f, 1.0e-4f);
}
