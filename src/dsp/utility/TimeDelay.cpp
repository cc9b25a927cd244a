#include "dsp/utility/TimeDelay.h"

#include <algorithm>

TimeDelay::TimeDelay (int initialDelaySamples, double initialFeedback, int nominalSampleRate, int initialWriteIndex)
    : delaySamples (initialDelaySamples), feedback (initialFeedback), writeIndex (initialWriteIndex),
      sampleRate (nominalSampleRate), buffer ((std::size_t) defaultLength, 0.0f)
{
}

void TimeDelay::clear() noexcept
{
    std::fill (buffer.begin(), buffer.end(), 0.0f);
}
