#include "dsp/pitch/PitchShifterProcessor_V2.h"

#include <algorithm>

namespace QEL
{
PitchShifterProcessor_V2::PitchShifterProcessor_V2()
    : leftShifter (std::make_unique<juce::SmbPitchShift>()), rightShifter (std::make_unique<juce::SmbPitchShift>())
{
}

PitchShifterProcessor_V2::~PitchShifterProcessor_V2() = default;

void PitchShifterProcessor_V2::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    scratch.setSize (2, std::max (newSamplesPerBlock, 1));
}

void PitchShifterProcessor_V2::reset()
{
    juce::QELProcessorBase::reset();
    leftShifter->restart();
    rightShifter->restart();
}

void PitchShifterProcessor_V2::processImpl (const float* const* in, float* const* out, int numSamples,
                                            int numInputChannels, int numOutputChannels)
{
    const int chunkSize = scratch.getNumSamples();
    if (chunkSize == 0)
        return;

    const float factor = pitchFactor.load (std::memory_order_relaxed);
    const auto rate = (float) sampleRate;
    const bool stereo = numOutputChannels == 2;
    const float* rightSource = stereo && numInputChannels >= 2 ? in[1] : in[0];
    auto* left = scratch.getWritePointer (0);
    auto* right = scratch.getWritePointer (1);

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int n = std::min (chunkSize, numSamples - start);
        std::copy (in[0] + start, in[0] + start + n, left);
        std::copy (rightSource + start, rightSource + start + n, right);

        leftShifter->smbPitchShift (factor, n, juce::SmbPitchShift::frameSize, juce::SmbPitchShift::oversampling, rate,
                                    left, left);
        rightShifter->smbPitchShift (factor, n, juce::SmbPitchShift::frameSize, juce::SmbPitchShift::oversampling, rate,
                                     right, right);

        std::copy (left, left + n, out[0] + start);
        if (stereo)
            std::copy (right, right + n, out[1] + start);
    }
}
} // namespace QEL
