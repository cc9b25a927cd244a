#include "dsp/dynamics/RiduziCompressorGainStage.h"

#include <algorithm>
#include <cmath>

namespace qel
{
namespace
{
    /** A one-pole coefficient that covers 73 % of a step in the given time. */
    double coefficientFor (double seconds, double rate)
    {
        return std::exp (std::log (0.27) / (seconds * rate));
    }
} // namespace

void RiduziCompressorGainStageFET::reset (double gainReductionDb)
{
    state = gainReductionDb;
}

double RiduziCompressorGainStageFET::processGainReduction (double envelopeDb, double)
{
    state = envelopeDb;
    return state;
}

//==============================================================================
RiduziCompressorGainStageCL1B::RiduziCompressorGainStageCL1B (int newSampleRate)
    : attackTable ((size_t) tableSize), releaseTable ((size_t) tableSize)
{
    setSampleRate (newSampleRate);
}

void RiduziCompressorGainStageCL1B::setSampleRate (int newSampleRate)
{
    sampleRate = (double) newSampleRate;
    const double attack = coefficientFor (0.010, sampleRate);
    const double fastRelease = coefficientFor (0.020, sampleRate);
    const double slowRelease = coefficientFor (0.200, sampleRate);

    for (int i = 0; i < tableSize; ++i)
    {
        attackTable[(size_t) i] = attack;
        releaseTable[(size_t) i] = i < 10 ? fastRelease : slowRelease;
    }

    state = 0.0;
}

void RiduziCompressorGainStageCL1B::reset (double gainReductionDb)
{
    state = gainReductionDb;
}

double RiduziCompressorGainStageCL1B::processGainReduction (double envelopeDb, double)
{
    const double scaled = (double) stepsPerDb * envelopeDb;
    const int index = scaled > 0.0 ? (int) std::min (scaled, (double) (tableSize - 1)) : 0;
    const auto& table = envelopeDb > state ? attackTable : releaseTable;
    const double coefficient = index < (int) table.size() ? table[(size_t) index] : 0.0;
    state = (1.0 - coefficient) * envelopeDb + coefficient * state;
    return state;
}
} // namespace qel
