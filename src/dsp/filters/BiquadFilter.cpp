#include "dsp/filters/BiquadFilter.h"

#include "dsp/base/DspConstants.h"

namespace juce::frut::dsp
{
namespace
{
    void zeroEntry (std::vector<double>& history, int channel)
    {
        if ((int) history.size() <= channel)
            history.resize ((std::size_t) channel + 1, 0.0);
        history[(std::size_t) channel] = 0.0;
    }
} // namespace

BiquadFilter::BiquadFilter (int numberOfChannels)
{
    setNumberOfChannels (numberOfChannels);
}

void BiquadFilter::setCoefficients (double newA0, double newA1, double newA2, double newB1, double newB2, double newC0,
                                    double newD0) noexcept
{
    a0 = newA0;
    a1 = newA1;
    a2 = newA2;
    b1 = newB1;
    b2 = newB2;
    c0 = newC0;
    d0 = newD0;
}

void BiquadFilter::setNumberOfChannels (int numberOfChannels)
{
    numChannels = numberOfChannels > 0 ? numberOfChannels : 0;
    resetDelays();
}

void BiquadFilter::resetDelays()
{
    for (int channel = 0; channel < numChannels; ++channel)
        for (auto* history : { &inputs1, &inputs2, &outputs1, &outputs2, &lastOutputs })
            zeroEntry (*history, channel);
}

double BiquadFilter::processSample (int channel, double x) noexcept
{
    const auto c = (std::size_t) channel;
    double y = QEL::flushTiny (a0 * x + a1 * inputs1[c] + a2 * inputs2[c] - b1 * outputs1[c] - b2 * outputs2[c]);

    inputs2[c] = inputs1[c];
    inputs1[c] = x;
    outputs2[c] = outputs1[c];
    outputs1[c] = y;

    if (d0 != 0.0)
        y = c0 * y + d0 * x;

    lastOutputs[c] = y;
    return y;
}
} // namespace juce::frut::dsp
