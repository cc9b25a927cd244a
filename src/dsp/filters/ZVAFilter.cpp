#include "dsp/filters/ZVAFilter.h"

#include "dsp/base/DspConstants.h"

#include <cmath>

namespace QEL
{
namespace
{
    constexpr double pi = 3.141592653589793;
} // namespace

void ZVAFilter::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    z1 = z2 = 0.0;
}

void ZVAFilter::reset()
{
    QELProcessorBase::reset();
    z1 = z2 = 0.0;
}

void ZVAFilter::setParameters (const ZVAFilterParameters& p)
{
    const bool unchanged = designed && p.fc == parameters.fc && p.Q == parameters.Q &&
                           p.selfOscillate == parameters.selfOscillate &&
                           p.matchAnalogNyquist == parameters.matchAnalogNyquist;
    parameters = p;
    calculateGains();

    if (! unchanged)
        calculateCoefficients();
}

void ZVAFilter::calculateGains()
{
    const double Q = parameters.Q;
    const double peakDb = Q <= 0.707 ? 0.0 : 20.0 * std::log10 (Q * Q / std::sqrt (Q * Q - 0.25));
    inputGain = (parameters.gainCompensation && peakDb > 0.0) ? std::pow (10.0, -peakDb / 40.0) : 1.0;
    outputGain = std::pow (10.0, parameters.outputGainDb / 20.0);
}

void ZVAFilter::calculateCoefficients()
{
    designed = true;
    const double T = 1.0 / sampleRate;
    const double fc = parameters.fc;
    const double g = ((2.0 / T) * std::tan (2.0 * pi * fc * T / 2.0)) * T / 2.0;

    if (isFirstOrder())
    {
        alpha = g / (1.0 + g);
        return;
    }

    const double R2 = parameters.selfOscillate ? 0.0 : 1.0 / parameters.Q;
    alpha0 = 1.0 / (1.0 + R2 * g + g * g);
    alpha = g;
    rho = R2 + g;
    const double ratio = sampleRate / (2.0 * fc);
    sigma = 1.0 / (g * ratio * ratio);
}

double ZVAFilter::processAudioSample (double x) noexcept
{
    const auto& p = parameters;

    x *= inputGain;

    if (isFirstOrder())
    {
        const double v = (x - z1) * alpha;
        const double lp = v + z1;
        z1 = flushTiny (v + lp);
        const double hp = x - lp;
        const double ap = lp - hp;

        switch (p.algorithm)
        {
            case ZVAFilterParameters::firstOrderLowPass: return p.matchAnalogNyquist ? lp + alpha * hp : lp;
            case ZVAFilterParameters::firstOrderHighPass: return hp;
            default: return ap;
        }
    }

    const double hp = alpha0 * (x - rho * z1 - z2);
    double bp = alpha * hp + z1;
    if (p.nonlinear)
        bp = (bp > 0.0 ? 1.0 : (bp < 0.0 ? -1.0 : 0.0)) * (1.0 - std::exp (-std::abs (bp)));
    const double lp = alpha * bp + z2;
    const double bs = hp + lp;
    const double s = z1;
    z1 = flushTiny (alpha * hp + bp);
    z2 = flushTiny (alpha * bp + lp);

    double y;
    switch (p.algorithm)
    {
        case ZVAFilterParameters::stateVariableLowPass: y = p.matchAnalogNyquist ? lp + sigma * s : lp; break;
        case ZVAFilterParameters::stateVariableHighPass: y = hp; break;
        case ZVAFilterParameters::stateVariableBandPass: y = bp; break;
        case ZVAFilterParameters::stateVariableBandStop: y = bs; break;
        default: y = lp; break;
    }
    return outputGain * y;
}
} // namespace QEL
