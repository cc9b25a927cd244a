#include "chain/VintageTapeProcessor.h"

namespace tessaro::dsp
{
VintageTapeProcessor::VintageTapeProcessor() = default;

void VintageTapeProcessor::processImpl (float* sample, int)
{
    *sample = shape (*sample);
}

void VintageTapeProcessor::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    for (int channel = 0; channel < numOutputChannels; ++channel)
    {
        float* samples = channels[channel];
        for (int i = 0; i < numSamples; ++i)
            samples[i] = shape (samples[i]);
    }
}
} // namespace tessaro::dsp
