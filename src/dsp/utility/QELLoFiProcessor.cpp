#include "dsp/utility/QELLoFiProcessor.h"

#include <algorithm>
#include <cmath>

namespace juce
{
namespace
{
    constexpr double butterworthQ = 0.70710678118654752440;
    // Mode 1 ends 6 dB down: 10^-0.3.
    const float modeOneGain = std::pow (10.0f, -0.3f);

    /** 10^(dB/20) in single precision, never below 10^-15 (JUCE 7's shelf and peak factories divide by it). */
    float gainFactor (float gainDb) noexcept
    {
        return std::max (std::pow (10.0f, gainDb / 20.0f), 1.0e-15f);
    }
} // namespace

QELLoFiProcessor::QELLoFiProcessor()
{
    updateFilters();
}

QELLoFiProcessor::~QELLoFiProcessor() = default;

IIRCoefficients QELLoFiProcessor::designStage (Stage stage, double rate) noexcept
{
    switch (stage)
    {
        case lowPassStage: return IIRCoefficients::makeLowPass (rate, 3000.0, butterworthQ);
        case highPassStage: return IIRCoefficients::makeHighPass (rate, 350.0, butterworthQ);
        case lowPeakStage: return IIRCoefficients::makePeakFilter (rate, 1500.0, 1.5, gainFactor (9.0f));
        case highPeakStage: return IIRCoefficients::makePeakFilter (rate, 2500.0, 2.5, gainFactor (9.0f));
        case lowShelfStage: return IIRCoefficients::makeLowShelf (rate, 273.0, 1.0, gainFactor (-15.0f));
        case highShelfStage: return IIRCoefficients::makeHighShelf (rate, 3000.0, 0.707, gainFactor (5.0f));
        case numStages: break;
    }
    return {};
}

void QELLoFiProcessor::updateFilters()
{
    for (int channel = 0; channel < 2; ++channel)
        for (int stage = 0; stage < numStages; ++stage)
            filters[(size_t) (2 * stage + channel)].setCoefficients (designStage ((Stage) stage, sampleRate));
}

void QELLoFiProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    updateFilters();
}

void QELLoFiProcessor::reset()
{
    QELProcessorBase::reset();
}

float QELLoFiProcessor::runStage (Stage stage, int channel, float x) noexcept
{
    return filters[(size_t) (2 * stage + channel)].processSingleSampleRaw (x);
}

void QELLoFiProcessor::processImpl (float* sample, int channel)
{
    processImpl (*sample, channel);
}

void QELLoFiProcessor::processImpl (float& sample, int channel) noexcept
{
    if (channel < 0 || channel > 1)
        return;

    switch (mode.load (std::memory_order_relaxed))
    {
        case 0: sample = runStage (highPassStage, channel, runStage (lowPassStage, channel, sample)); break;
        case 1:
        {
            float x = runStage (highPassStage, channel, runStage (lowPassStage, channel, sample));
            x = runStage (lowShelfStage, channel,
                          runStage (highPeakStage, channel, runStage (lowPeakStage, channel, x)));
            sample = x * modeOneGain;
            break;
        }
        case 2:
            sample = runStage (highShelfStage, channel,
                               runStage (highPassStage, channel, runStage (lowPassStage, channel, sample)));
            break;
        default: break;
    }
}
} // namespace juce
