#include "dsp/dynamics/RiduziCompressor.h"

#include <algorithm>
#include <cmath>

namespace qel
{
namespace
{
    const double ln10 = std::log (10.0);
    constexpr double levelFloorDb = -70.01;
    constexpr double keyFilterK = 0.7072135785; // Q 0.707
} // namespace

//==============================================================================
void RiduziCompressorSideChain::updateCoefficients()
{
    attackCoef = std::exp (-ln10 / (attackMs / 1000.0 * sampleRate));
    releaseCoef = detectorType == 0 ? 10.0 / (releaseMs / 1000.0 * sampleRate)
                                    : std::exp (-ln10 / (releaseMs / 1000.0 * sampleRate));
    rmsCoef = rmsWindowMs > 0.0 ? std::exp (-ln10 / (rmsWindowMs / 1000.0 * sampleRate)) : 0.0;
}

void RiduziCompressorSideChain::setKnee (double widthDb)
{
    knee = widthDb;
    halfKnee = widthDb / 2.0;
    doubleKnee = widthDb * 2.0;
}

void RiduziCompressorSideChain::setSlope (double newSlope)
{
    slope = newSlope;
    updateMakeup();
}

double RiduziCompressorSideChain::curve (double overDb) const noexcept
{
    if (knee <= 0.0)
        return overDb > 0.0 ? overDb : 0.0;

    if (overDb < -halfKnee)
        return 0.0;

    if (overDb > halfKnee)
        return overDb;

    return (overDb + halfKnee) * (overDb + halfKnee) / doubleKnee;
}

void RiduziCompressorSideChain::updateMakeup()
{
    makeupDb = curve (referenceDb - thresholdDb) * slope * 0.5;
}

void RiduziCompressorSideChain::processLevel (double levelDb) noexcept
{
    target = curve (levelDb - thresholdDb) * slope;

    double level = target;
    if (rmsWindowMs > 0.0)
    {
        rmsState = (1.0 - rmsCoef) * target * target + rmsCoef * rmsState;
        level = std::sqrt (rmsState);
    }

    runDetector (level);
}

void RiduziCompressorSideChain::runDetector (double t) noexcept
{
    const double a = attackCoef;
    const double r = releaseCoef;

    if (detectorType == 2)
    {
        if (t > envelope && holdCounter > 0)
            --holdCounter;
        else if (t > envelope)
            envelope = a == 0.0 ? t : (1.0 - a) * t + a * envelope;
        else
        {
            holdCounter = (int) (holdMs * sampleRate / 1000.0);
            envelope = r == 0.0 ? t : (1.0 - r) * t + r * envelope;
        }
        return;
    }

    if (detectorType == 1)
    {
        peak = r == 0.0 ? t : std::max (t, (1.0 - r) * t + r * peak);
        envelope = a == 0.0 ? peak : (1.0 - a) * peak + a * envelope;
        return;
    }

    if (t > envelope)
        envelope = a == 0.0 ? t : (1.0 - a) * t + a * envelope;
    else
        envelope = r == 0.0 ? t : std::max (t, envelope - r);
}

double RiduziCompressorSideChain::getGainReductionDb (bool withMakeup)
{
    // Only the plain built-in stage exists: every stageType without an external stage uses it.
    RiduziCompressorGainStage& stage = externalStage != nullptr ? *externalStage : fetStage;
    const double reduction = stage.processGainReduction (envelope, target);
    return withMakeup ? reduction - makeupDb : reduction;
}

void RiduziCompressorSideChain::clearState()
{
    envelope = target = peak = rmsState = 0.0;
    holdCounter = 0;
    fetStage.reset (0.0);
}

//==============================================================================
template <typename SampleType> RiduziCompressor<SampleType>::RiduziCompressor (int channels, int rate)
{
    prepare (channels, rate);
}

template <typename SampleType> void RiduziCompressor<SampleType>::prepare (int channels, int rate)
{
    const auto size = (size_t) std::max (channels, 0);

    if (size > sideChains.size())
    {
        sideChains.resize (size);
        keyHighPass.resize (size);
        keyLowPass.resize (size);
    }

    for (auto* values : { &inputs, &keys, &outputs, &gainReductionDb, &gainReductionWithMakeupDb })
        values->assign (std::max (size, values->size()), 0.0);

    numChannels = (int) size;
    sampleRate = rate;

    for (auto& sideChain : sideChains)
    {
        sideChain.sampleRate = (double) rate;
        sideChain.updateCoefficients();
        sideChain.clearState();
    }

    designKeyFilter (keyHighPass, true, keyHighPassHz);
    designKeyFilter (keyLowPass, false, keyLowPassHz);
}

template <typename SampleType> void RiduziCompressor<SampleType>::setRatio (double ratio)
{
    invert = ratio < 1.0;

    for (auto& sideChain : sideChains)
        sideChain.setSlope (1.0 - 1.0 / ratio);
}

template <typename SampleType> void RiduziCompressor<SampleType>::setKeyHighPass (bool on, int hz)
{
    keyHighPassHz = hz;
    designKeyFilter (keyHighPass, true, hz);

    if (on != keyHighPassOn)
        for (auto& filter : keyHighPass)
            filter.resetDelays();

    keyHighPassOn = on;
}

template <typename SampleType> void RiduziCompressor<SampleType>::setKeyLowPass (bool on, int hz)
{
    keyLowPassHz = hz;
    designKeyFilter (keyLowPass, false, hz);

    if (on != keyLowPassOn)
        for (auto& filter : keyLowPass)
            filter.resetDelays();

    keyLowPassOn = on;
}

template <typename SampleType>
void RiduziCompressor<SampleType>::designKeyFilter (std::vector<juce::frut::dsp::BiquadFilter>& filters, bool highPass,
                                                    int hz)
{
    const double w = 2.0 * M_PI * (double) hz / (double) sampleRate;
    const double beta = 0.5 * (1.0 - keyFilterK * std::sin (w)) / (1.0 + keyFilterK * std::sin (w));
    const double gamma = (0.5 + beta) * std::cos (w);
    const double edge = highPass ? 0.5 + beta + gamma : 0.5 + beta - gamma;

    for (auto& filter : filters)
    {
        filter.setNumberOfChannels (1);
        filter.setCoefficients (edge / 2.0, highPass ? -edge : edge, edge / 2.0, -2.0 * gamma, 2.0 * beta);
    }
}

//==============================================================================
template <typename SampleType>
void RiduziCompressor<SampleType>::process (double* const* channels, int activeChannels, int numSamples) noexcept
{
    activeChannels = std::min (activeChannels, numChannels);

    if (bypassed)
    {
        std::fill (gainReductionDb.begin(), gainReductionDb.end(), 0.0);
        std::fill (gainReductionWithMakeupDb.begin(), gainReductionWithMakeupDb.end(), 0.0);
        return;
    }

    for (int i = 0; i < numSamples; ++i)
    {
        computeKeys (channels, i, activeChannels);

        for (int c = 0; c < activeChannels; ++c)
            sideChains[(size_t) c].processLevel (linkedLevelDb (c, activeChannels) + keyOffsetDb);

        for (int c = 0; c < activeChannels; ++c)
        {
            const auto ch = (size_t) c;
            auto& sideChain = sideChains[ch];
            gainReductionDb[ch] = sideChain.getGainReductionDb (false);
            gainReductionWithMakeupDb[ch] = sideChain.getGainReductionDb (true);

            const double reduction = applyMakeup ? gainReductionWithMakeupDb[ch] : gainReductionDb[ch];
            const double gainDb = invert ? reduction : -reduction;
            const double x = channels[c][i];
            const double y = std::pow (10.0, gainDb / 20.0) * inputs[ch] * outputGain;
            outputs[ch] = y;

            if (listenKey)
                channels[c][i] = keys[ch];
            else if (mixPercent <= 99)
                channels[c][i] = y * wetGain + x * dryGain;
            else
                channels[c][i] = y;
        }
    }
}

template <typename SampleType>
void RiduziCompressor<SampleType>::computeKeys (const double* const* channels, int sample, int activeChannels) noexcept
{
    for (int c = 0; c < activeChannels; ++c)
    {
        const auto ch = (size_t) c;
        const double x = channels[c][sample];
        inputs[ch] = x;

        double key = outputs[ch];
        if (keyFromInput)
            key = x;
        else if (keyFromGainReduction)
            key = x * std::pow (10.0, -gainReductionWithMakeupDb[ch] / 20.0);

        if (keyHighPassOn)
            key = keyHighPass[ch].processSample (0, key);
        if (keyLowPassOn)
            key = keyLowPass[ch].processSample (0, key);

        keys[ch] = key;
    }
}

template <typename SampleType>
double RiduziCompressor<SampleType>::linkedLevelDb (int channel, int activeChannels) const noexcept
{
    const double own = keys[(size_t) channel];
    double level = std::abs (own);

    if (stereoLink != 0)
    {
        // A mono compressor has no other channel: its key counts as 0.
        const int other = channel == 0 ? 1 : 0;
        const double otherKey = other < activeChannels ? keys[(size_t) other] : 0.0;
        level = std::abs (linkWeights[0] * own) + std::abs (linkWeights[1] * otherKey);
    }

    const double levelDb = level > 0.0 ? std::max (20.0 * std::log10 (level), levelFloorDb) : levelFloorDb;
    return levelDb + inputOffsetDb;
}

template class RiduziCompressor<float>;
} // namespace qel
