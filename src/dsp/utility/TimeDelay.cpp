#include "dsp/utility/TimeDelay.h"

#include <algorithm>

TimeDelay::TimeDelay (int initialDelaySamples, double initialFeedback, int nominalSampleRate, int initialWriteIndex,
                      int lineLength)
    : delaySamples (initialDelaySamples), feedback (initialFeedback), writeIndex (initialWriteIndex),
      length (std::max (1, lineLength)), sampleRate (nominalSampleRate), buffer ((std::size_t) length, 0.0f)
{
}

void TimeDelay::clear() noexcept
{
    std::fill (buffer.begin(), buffer.end(), 0.0f);
}
