#include "chain/ReverbProcessor.h"

#include <gtest/gtest.h>

#include <cmath>

// Every mode at rates whose Nyquist frequency lies below the engines' 20 kHz filter settings: the tail must
// stay finite and audible, and fall silent after the input stops.
TEST (SkyReverbLowRates, EveryModeStaysFiniteBelowFortyFourKilohertz)
{
    for (double rate : { 22050.0, 32000.0 })
        for (int type = 1; type <= 4; ++type)
        {
            SCOPED_TRACE (juce::String (rate) + " Hz, type " + juce::String (type));
            auto engine = tessaro::dsp::ReverbProcessor::makeEngine (type);
            engine->setUseAltMix (true);
            engine->setDecay (10.0f);
            engine->setTone (50.0f);
            engine->prepareToPlay (rate, 256);

            juce::Random random (1);
            juce::AudioBuffer<float> buffer (2, 256);
            float heard = 0.0f, last = 0.0f;
            bool finite = true;
            const int blocks = (int) (4.0 * rate / 256);
            for (int block = 0; block < blocks; ++block)
            {
                const bool feeding = block < blocks / 8;
                for (int channel = 0; channel < 2; ++channel)
                    for (int i = 0; i < 256; ++i)
                        buffer.setSample (channel, i, feeding ? 0.5f * (random.nextFloat() * 2.0f - 1.0f) : 0.0f);
                engine->process (buffer.getArrayOfWritePointers(), buffer.getArrayOfWritePointers(), 256, 2, 2);
                for (int i = 0; i < 256; ++i)
                    finite =
                        finite && std::isfinite (buffer.getSample (0, i)) && std::isfinite (buffer.getSample (1, i));
                const float peak = buffer.getMagnitude (0, 256);
                heard = std::max (heard, peak);
                last = peak;
            }
            EXPECT_TRUE (finite);
            EXPECT_GT (heard, 0.01f);
            EXPECT_LT (last, 1.0e-3f);
        }
}
