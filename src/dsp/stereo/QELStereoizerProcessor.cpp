#include "dsp/stereo/QELStereoizerProcessor.h"

#include "dsp/base/DspConstants.h"

#include <cmath>

namespace
{
constexpr double pi = 3.141592653589793;
constexpr double allPassFrequencies[] = { 354.0, 455.0, 953.0, 870.0 };
constexpr float amountRampSeconds = 0.05f;

/** Values too small for a normal float become 0, so a decaying tail never leaves subnormal floats. */
double flushSubnormal (double x) noexcept
{
    return QEL::flushTiny (x);
}

QELStereoizerProcessor::Section allPassSection (double hz)
{
    const double w = 2.0 * pi * std::min (hz, 0.499 * QELStereoizerProcessor::constructionRate) /
                     QELStereoizerProcessor::constructionRate;
    const double alpha = std::sin (w) / 2.0;
    const double a0 = 1.0 + alpha;
    QELStereoizerProcessor::Section s;
    s.b0 = (1.0 - alpha) / a0;
    s.b1 = -2.0 * std::cos (w) / a0;
    s.b2 = (1.0 + alpha) / a0;
    s.a1 = -2.0 * std::cos (w) / a0;
    s.a2 = (1.0 - alpha) / a0;
    return s;
}

QELStereoizerProcessor::Section highPassSection (double hz, double q)
{
    const double rate = QELStereoizerProcessor::constructionRate;
    const double limited = std::min (std::min (hz, 0.49 * rate), 0.499 * rate);
    const double w = 2.0 * pi * limited / rate;
    const double alpha = std::sin (w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    QELStereoizerProcessor::Section s;
    s.b0 = (1.0 + std::cos (w)) / 2.0 / a0;
    s.b1 = -(1.0 + std::cos (w)) / a0;
    s.b2 = (1.0 + std::cos (w)) / 2.0 / a0;
    s.a1 = -2.0 * std::cos (w) / a0;
    s.a2 = (1.0 - alpha) / a0;
    return s;
}
} // namespace

double QELStereoizerProcessor::Section::process (double x) noexcept
{
    const double y = flushSubnormal (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

// The side delay is 8.5 ms at the nominal rate; its line holds just that, not the default length.
QELStereoizerProcessor::QELStereoizerProcessor()
    : sideDelay (sideDelaySamples(), 0.0, (int) constructionRate, 0, sideDelaySamples() + 1)
{
    lowPassCoefficient = std::exp (-2.0 * pi * 12000.0 / constructionRate);
    outputGainCoefficient = 1.0 - std::exp (-2.0 * pi * 20.0 / constructionRate);
    highPass = highPassSection (210.0, 0.707);
    for (int i = 0; i < numAllPasses; ++i)
        allPass[i] = allPassSection (allPassFrequencies[i]);
}

int QELStereoizerProcessor::sideDelaySamples() noexcept
{
    return (int) std::floor (constructionRate * 8.5 / 1000.0);
}

void QELStereoizerProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    amountRamp.setTargetValue (amount.load (std::memory_order_relaxed));
    amountRamp.reset (newSampleRate, (double) amountRampSeconds);
}

void QELStereoizerProcessor::reset()
{
    QELProcessorBase::reset();
    sideDelay.clear();
    outputGain = 0.0; // fades in again, as after construction
    amountRamp.setCurrentAndTargetValue (amount.load (std::memory_order_relaxed));
    lowPassState = 0.0;
    highPass.clear();
    for (auto& section : allPass)
        section.clear();
}

void QELStereoizerProcessor::processStereoizer (double& left, double& right, int channels) noexcept
{
    const bool stereo = channels == 2;
    const double mid = stereo ? left + right : left;
    double delayed = sideDelay.step ((float) mid);
    if (stereo)
        delayed *= 0.5;

    double s = flushSubnormal (-delayed);
    for (auto& section : allPass)
        s = section.process (s);

    lowPassState = flushSubnormal ((1.0 - lowPassCoefficient) * s + lowPassCoefficient * lowPassState);
    const double q = highPass.process (lowPassState);

    amountRamp.setTargetValue (amount.load (std::memory_order_relaxed));
    const double v = (double) amountRamp.getNextValue();
    if (v <= 0.0)
        return;

    const double side = q * sideScale * std::pow (v / 100.0, 1.5);
    outputGain = flushSubnormal (outputGainCoefficient * outputGainTarget + (1.0 - outputGainCoefficient) * outputGain);

    if (! stereo)
        right = left;
    left = flushSubnormal ((left + side) * outputGain);
    right = flushSubnormal ((right - side) * outputGain);
}

void QELStereoizerProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                          int numOutputChannels)
{
    // At rest at 0 nothing is widened; on the way down to 0 the ramp still runs, so the width fades out.
    const bool resting = amount.load (std::memory_order_relaxed) == 0.0f && amountRamp.getCurrentValue() <= 0.0f;
    if (resting || numSamples <= 0 || numInputChannels < 1 || numOutputChannels < 1)
        return;

    for (int i = 0; i < numSamples; ++i)
    {
        double left = out[0][i];
        double right = numInputChannels == 1 ? left : (double) out[1][i];
        processStereoizer (left, right, numInputChannels);

        if (numOutputChannels == 1)
        {
            out[0][i] = (float) (left + right);
        }
        else
        {
            out[0][i] = (float) left;
            out[1][i] = (float) right;
        }
    }
}
