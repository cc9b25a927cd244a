#include "dsp/saturation/ClassBValvePair.h"

#include "dsp/saturation/ClassAValve.h"
#include "dsp/base/DspConstants.h"

#include <cmath>

namespace QEL
{
namespace
{
    double softLimit (double w, double limit) noexcept
    {
        return w / (1.0 + std::abs (w) / limit);
    }
} // namespace

//==============================================================================
void ClassBValvePolettiWaveshaper::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    for (auto& filter : laneFilters)
    {
        filter.prepareToPlay (newSampleRate, newSamplesPerBlock);
        setAudioFilter (filter, 2, parameters.highPassFrequency, filter.boostCutDb);
    }
}

void ClassBValvePolettiWaveshaper::setParameters (const ClassBValveParameters& p)
{
    parameters = p;
    if (p.highPassFrequency != laneFilters[0].fc)
        for (auto& filter : laneFilters)
            setAudioFilter (filter, filter.algorithm, p.highPassFrequency, filter.boostCutDb);
}

std::pair<double, double> ClassBValvePolettiWaveshaper::lanes (double d, const ClassBValveParameters& p) noexcept
{
    const double h = d * p.polettiDrive;
    if (d > 0.0)
        return { h / (1.0 + h / p.softLimit), h / (1.0 + h / p.hardLimit) };
    return { h / (1.0 - h / p.hardLimit), h / (1.0 - h / p.softLimit) };
}

double ClassBValvePolettiWaveshaper::shape (double d) noexcept
{
    const auto [u0, u1] = lanes (d, parameters);
    const double q0 = laneFilters[0].processSample (u1);
    const double q1 = laneFilters[1].processSample (u0);
    const double gain = parameters.outputStageGain, limit = parameters.outputStageLimit;
    return softLimit (gain * q0, limit) + softLimit (gain * q1, limit);
}

//==============================================================================
void ClassBValvePirkleWaveshaper::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    for (auto& tracker : halfTrackers)
    {
        tracker.prepareToPlay (newSampleRate, newSamplesPerBlock);
        auto settings = tracker.parameters;
        settings.algorithm = ZVAFilterParameters::firstOrderLowPass;
        settings.fc = 5.0;
        tracker.setParameters (settings);
    }
}

void ClassBValvePirkleWaveshaper::setParameters (const ClassBValveParameters& p)
{
    parameters = p;
}

double ClassBValvePirkleWaveshaper::shape (double d) noexcept
{
    auto& p = parameters;
    const double threshold = p.conductionThreshold;
    const double positive = d > 0.0 ? ClassAValve::gridConduction (d, threshold) : d;
    const double negative = d < 0.0 ? ClassAValve::gridConduction (-d, threshold) : -d;

    const double trackedPositive = halfTrackers[0].processAudioSample (positive);
    const double trackedNegative = halfTrackers[1].processAudioSample (negative);
    p.dcLevelPositive = trackedPositive;
    p.dcLevelNegative = trackedNegative;

    const double shift = std::min (trackedPositive, 0.0) * p.dcShiftAmount;
    return 1.5 *
           (std::atan ((positive + p.bias + shift) * p.saturation) -
            std::atan ((negative + p.bias + shift) * p.saturation)) /
           std::atan (p.saturation);
}

//==============================================================================
void ClassBValvePair::setParameters (const ClassBValveParameters& p)
{
    for (auto& filter : highPasses)
        setAudioFilter (filter, filter.algorithm, p.highPassFrequency, filter.boostCutDb);
    for (auto& filter : lowPasses)
        setAudioFilter (filter, filter.algorithm, p.lowPassFrequency, filter.boostCutDb);

    parameters = p;
    for (auto& waveshaper : pirkleWaveshapers)
        waveshaper.setParameters (p);
    for (auto& waveshaper : polettiWaveshapers)
        waveshaper.setParameters (p);
}

void ClassBValvePair::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);

    for (auto& filter : highPasses)
    {
        filter.prepareToPlay (newSampleRate, newSamplesPerBlock);
        setAudioFilter (filter, 2, parameters.highPassFrequency, filter.boostCutDb);
    }
    for (auto& filter : lowPasses)
    {
        filter.prepareToPlay (newSampleRate, newSamplesPerBlock);
        setAudioFilter (filter, 3, parameters.lowPassFrequency, filter.boostCutDb);
    }

    for (auto& waveshaper : pirkleWaveshapers)
        waveshaper.prepareToPlay (newSampleRate, newSamplesPerBlock);
    for (auto& waveshaper : polettiWaveshapers)
        waveshaper.prepareToPlay (newSampleRate, newSamplesPerBlock);
}

void ClassBValvePair::reset()
{
    QELProcessorBase::reset();
    for (auto* filters : { highPasses, lowPasses })
        for (int channel = 0; channel < 2; ++channel)
            filters[channel].reset();
}

double ClassBValvePair::processSample (double x, int channel) noexcept
{
    const double d = x * parameters.inputGain;
    const double s =
        parameters.waveshaper == 1 ? polettiWaveshapers[channel].shape (d) : pirkleWaveshapers[channel].shape (d);
    double y = highPasses[channel].processSample (s);
    y = lowPasses[channel].processSample (y);
    return flushTiny (y * parameters.outputGain);
}

void ClassBValvePair::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    for (int channel = 0; channel < std::min (numOutputChannels, 2); ++channel)
    {
        float* samples = channels[channel];
        for (int i = 0; i < numSamples; ++i)
            samples[i] = (float) processSample ((double) samples[i], channel);
    }
}
} // namespace QEL
