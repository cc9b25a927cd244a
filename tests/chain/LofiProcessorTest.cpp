#include "chain/LofiProcessor.h"

#include <gtest/gtest.h>

using tessaro::dsp::LofiProcessor;

// Two channels run side by side in one loop; each must come out exactly as a voice given that channel
// alone does, switched on, off (its filters running unheard) and fading in between, down to silence.
TEST (LofiProcessor, AStereoBlockIsTwoMonoVoicesBitForBit)
{
    LofiProcessor stereo, left, right;
    for (auto* voice : { &stereo, &left, &right })
    {
        voice->setBypass (false);
        voice->prepareToPlay (48000.0, 512);
    }

    juce::AudioBuffer<float> both (2, 48000);
    both.clear();
    juce::Random random (11);
    for (int i = 0; i < 24000; ++i)
    {
        both.setSample (0, i, random.nextFloat() - 0.5f);
        both.setSample (1, i, 0.3f * (random.nextFloat() - 0.5f));
    }
    auto alone = both;

    const int blockLengths[] = { 1, 2, 3, 64, 512, 100 };
    int start = 0;
    for (int block = 0; start < both.getNumSamples(); ++block)
    {
        if (block == 30 || block == 90) // on, then off again: each fades over 20 ms
            for (auto* voice : { &stereo, &left, &right })
                voice->setBypassSmooth (block == 30);

        const int n = std::min (blockLengths[block % 6], both.getNumSamples() - start);
        float* pair[2] = { both.getWritePointer (0, start), both.getWritePointer (1, start) };
        float* l[1] = { alone.getWritePointer (0, start) };
        float* r[1] = { alone.getWritePointer (1, start) };
        stereo.process (pair, pair, n, 2, 2);
        left.process (l, l, n, 1, 1);
        right.process (r, r, n, 1, 1);
        start += n;
    }

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < both.getNumSamples(); ++i)
            ASSERT_EQ (both.getSample (ch, i), alone.getSample (ch, i)) << "ch " << ch << " " << i;
    EXPECT_NE (both.getSample (0, 24000 * 5 / 8), alone.getSample (1, 24000 * 5 / 8)); // the channels differ
}
