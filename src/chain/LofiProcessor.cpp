#include "chain/LofiProcessor.h"

namespace tessaro::dsp
{
namespace
{
    const float outputFactor = std::pow (10.0f, -0.3f);
} // namespace

// Its filters run on while it is off, so switching it on fades in a voice already settled, not the
// start-up of five filters from silence.
LofiProcessor::LofiProcessor()
{
    keepRunningWhenOff.store (true);
}

void LofiProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);

    const double fs = newSampleRate;
    const double butterworthQ = 1.0 / std::sqrt (2.0);
    const juce::IIRCoefficients designs[numStages] = {
        juce::IIRCoefficients::makeLowPass (fs, 3000.0, butterworthQ),
        juce::IIRCoefficients::makeHighPass (fs, 350.0, butterworthQ),
        juce::IIRCoefficients::makePeakFilter (fs, 1500.0, 1.5, std::pow (10.0, 0.45)),
        juce::IIRCoefficients::makePeakFilter (fs, 2500.0, 2.5, std::pow (10.0, 0.45)),
        juce::IIRCoefficients::makeLowShelf (fs, 273.0, 1.0, std::pow (10.0, -0.75)),
    };

    for (auto& channel : stages)
        for (int s = 0; s < numStages; ++s)
        {
            channel[s].setCoefficients (designs[s]);
            channel[s].reset();
        }
}

void LofiProcessor::processImpl (float* sample, int channel)
{
    if (channel < 0 || channel > 1)
        return;

    float y = *sample;
    for (auto& stage : stages[channel])
    {
        y = stage.processSingleSampleRaw (y);
        if (std::abs (y) < 1.0e-8f)
            y = 0.0f;
    }
    *sample = y * outputFactor;
}
} // namespace tessaro::dsp
