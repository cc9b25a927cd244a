#include "dsp/saturation/ClassAValve.h"

#include "dsp/base/DspConstants.h"

#include <cmath>

namespace QEL
{
void setAudioFilter (AudioFilter& filter, int algorithm, double fc, double boostCutDb)
{
    const double Q = filter.Q <= 0.0 ? 0.707 : filter.Q;
    if (filter.algorithm == algorithm && filter.fc == fc && filter.Q == Q && filter.boostCutDb == boostCutDb)
        return;

    filter.algorithm = algorithm;
    filter.fc = fc;
    filter.Q = Q;
    filter.boostCutDb = boostCutDb;
    filter.calculateFilterCoeffs();
}

ClassAValve::ClassAValve() = default;

double ClassAValve::gridConduction (double x, double threshold) noexcept
{
    if (x <= 0.0)
        return x;
    // At or below the threshold the exponential is exp (-0) = 1 exactly.
    if (! (x > threshold))
        return x * (0.5451584 + 0.4473253);
    return x * (0.5451584 * std::exp (-0.3241584 * std::max (0.0, x - threshold)) + 0.4473253);
}

double ClassAValve::clip (double d, const ClassAValveParameters& p) noexcept
{
    return clip (d, p, std::tanh (p.saturation));
}

double ClassAValve::clip (double d, const ClassAValveParameters& p, double tanhOfSaturation) noexcept
{
    if (! p.asymmetricClip)
        return std::tanh (d * p.saturation) / tanhOfSaturation;

    const double threshold = p.conductionThreshold;
    if (d > threshold)
    {
        if (d > p.clipPointPositive)
            return p.clipPointPositive;

        double u = d - threshold;
        if (p.clipPointPositive > 1.0)
            u /= p.clipPointPositive - threshold;
        return threshold + (p.clipPointPositive - threshold) * 1.5 * u * (1.0 - u * u / 3.0);
    }

    if (d > 0.0)
        return d;

    if (d < p.clipPointNegative)
        return p.clipPointNegative;

    const double m = p.clipPointNegative < -1.0 ? d / std::abs (p.clipPointNegative) : d;
    return std::abs (p.clipPointNegative) * std::tanh (m * p.saturation) / tanhOfSaturation;
}

void ClassAValve::setParameters (const ClassAValveParameters& p)
{
    if (p.lowShelfFrequency != lowShelves[0].fc || p.lowShelfGainDb != lowShelves[0].boostCutDb)
        for (auto& filter : lowShelves)
            setAudioFilter (filter, filter.algorithm, p.lowShelfFrequency, p.lowShelfGainDb);

    if (p.highPassFrequency != highPasses[0].fc)
        for (auto& filter : highPasses)
            setAudioFilter (filter, filter.algorithm, p.highPassFrequency, filter.boostCutDb);

    if (QEL::belowNyquist (p.lowPassFrequency, sampleRate) != lowPasses[0].fc)
        for (auto& filter : lowPasses)
            setAudioFilter (filter, filter.algorithm, QEL::belowNyquist (p.lowPassFrequency, sampleRate),
                            filter.boostCutDb);

    for (auto& tracker : dcTrackers)
    {
        auto trackerSettings = tracker.parameters;
        trackerSettings.fc = p.dcTrackerFrequency;
        tracker.setParameters (trackerSettings);
    }

    parameters = p;
}

void ClassAValve::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);

    for (auto& tracker : dcTrackers)
    {
        tracker.prepareToPlay (newSampleRate, newSamplesPerBlock);
        auto trackerSettings = tracker.parameters;
        trackerSettings.algorithm = ZVAFilterParameters::stateVariableLowPass;
        trackerSettings.fc = parameters.dcTrackerFrequency;
        trackerSettings.Q = 0.707;
        tracker.setParameters (trackerSettings);
    }

    for (auto* filters : { lowShelves, highPasses, lowPasses })
        for (int channel = 0; channel < 2; ++channel)
            filters[channel].prepareToPlay (newSampleRate, newSamplesPerBlock);

    for (int channel = 0; channel < 2; ++channel)
    {
        setAudioFilter (lowShelves[channel], 13, parameters.lowShelfFrequency, parameters.lowShelfGainDb);
        setAudioFilter (highPasses[channel], 2, parameters.highPassFrequency, 0.0);
        setAudioFilter (lowPasses[channel], 3, QEL::belowNyquist (parameters.lowPassFrequency, newSampleRate), 0.0);
    }
}

void ClassAValve::reset()
{
    QELProcessorBase::reset();
    for (auto& tracker : dcTrackers)
        tracker.reset();
    for (auto* filters : { lowShelves, highPasses, lowPasses })
        for (int channel = 0; channel < 2; ++channel)
            filters[channel].reset();
}

double ClassAValve::processSample (double x, int channel, double tanhOfSaturation) noexcept
{
    auto& p = parameters;
    double d = gridConduction (x * p.inputGain, p.conductionThreshold);

    const double e = dcTrackers[channel].processAudioSample (d);
    const double shift = std::abs (std::min (e, 0.0) * p.dcShiftAmount);
    p.dcOffset = shift;
    d += shift;

    double y = highPasses[channel].processSample (clip (d, p, tanhOfSaturation));
    y = lowShelves[channel].processSample (y);
    y = lowPasses[channel].processSample (y);

    y *= p.outputGain;
    return p.invertOutput ? -y : y;
}

void ClassAValve::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    // The clipper's normalisation depends on the settings alone: once per block.
    const double tanhOfSaturation = std::tanh (parameters.saturation);
    for (int channel = 0; channel < std::min (numOutputChannels, 2); ++channel)
    {
        float* samples = channels[channel];
        for (int i = 0; i < numSamples; ++i)
            samples[i] = (float) processSample ((double) samples[i], channel, tanhOfSaturation);
    }
}
} // namespace QEL
