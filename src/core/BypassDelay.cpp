#include "core/BypassDelay.h"

namespace QEL
{
void BypassDelay::prepare (int numChannels, int maxDelaySamples)
{
    maxDelay = juce::jmax (0, maxDelaySamples);
    history.setSize (juce::jmax (1, numChannels), maxDelay + 1);
    delay = juce::jmin (delay, maxDelay);
    reset();
}

void BypassDelay::reset()
{
    history.clear();
    writePos = 0;
}

int BypassDelay::advance (int numSamples) noexcept
{
    const int start = writePos;
    writePos = (writePos + numSamples) % history.getNumSamples();
    return start;
}

void BypassDelay::push (const float* const* channels, int numChannels, int numSamples) noexcept
{
    const int size = history.getNumSamples();
    const int start = advance (numSamples);
    const int used = juce::jmin (numChannels, history.getNumChannels());

    for (int ch = 0; ch < used; ++ch)
    {
        auto* ring = history.getWritePointer (ch);
        for (int i = 0, pos = start; i < numSamples; ++i, pos = (pos + 1 == size ? 0 : pos + 1))
            ring[pos] = channels[ch][i];
    }
}

void BypassDelay::process (float* const* channels, int numChannels, int numSamples) noexcept
{
    const int size = history.getNumSamples();
    const int start = advance (numSamples);
    const int used = juce::jmin (numChannels, history.getNumChannels());

    for (int ch = 0; ch < used; ++ch)
    {
        auto* ring = history.getWritePointer (ch);
        auto* io = channels[ch];
        int pos = start;
        int readPos = (start - delay + size) % size;

        for (int i = 0; i < numSamples; ++i)
        {
            ring[pos] = io[i];
            io[i] = ring[readPos];
            pos = pos + 1 == size ? 0 : pos + 1;
            readPos = readPos + 1 == size ? 0 : readPos + 1;
        }
    }
}
} // namespace QEL
