#include "dsp/dynamics/QELCompressor.h"

#include "dsp/base/DspConstants.h"

#include <algorithm>
#include <cmath>

namespace juce
{
namespace
{
    constexpr float offset = 1.0e-25f;
    constexpr float noRangeFloor = -100.0f;

    enum class ShelfKind
    {
        low,
        high
    };

    /** A Q = 1 shelf of the key emphasis, as float coefficients for the spin-locked filters. */
    juce::IIRCoefficients makeEmphasisShelf (ShelfKind kind, double rate, double hz, double gainFactor)
    {
        const double A = std::sqrt (std::max (gainFactor, 1.0e-15));
        const double w = juce::MathConstants<double>::twoPi * hz / rate;
        const double beta = std::sqrt (A) * std::sin (w);
        const double c = std::cos (w);
        const double Am = A - 1.0;
        const double Ap = A + 1.0;

        if (kind == ShelfKind::low)
            return { A * (Ap - Am * c + beta), 2.0 * A * (Am - Ap * c), A * (Ap - Am * c - beta),
                     Ap + Am * c + beta,       -2.0 * (Am + Ap * c),    Ap + Am * c - beta };

        return { A * (Ap + Am * c + beta), -2.0 * A * (Am + Ap * c), A * (Ap + Am * c - beta),
                 Ap - Am * c + beta,       2.0 * (Am - Ap * c),      Ap - Am * c - beta };
    }
} // namespace

//==============================================================================
double QELCompressor::KeyFilter::processSample (double x) noexcept
{
    // Decaying tails below the smallest normal float are cut, so long silence leaves no denormal state.
    const double y = QEL::flushTiny (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

void QELCompressor::KeyFilter::setCoefficients (double nb0, double nb1, double nb2, double a0, double na1,
                                                double na2) noexcept
{
    b0 = nb0 / a0;
    b1 = nb1 / a0;
    b2 = nb2 / a0;
    a1 = na1 / a0;
    a2 = na2 / a0;
}

//==============================================================================
forcedinline float QELCompressor::keyLinkOf (float a, float b) noexcept
{
    filterKey (a, b);
    return std::max (std::abs (a), std::abs (b));
}

forcedinline void QELCompressor::filterKey (float& left, float& right) noexcept
{
    if (schpHz > 0.0f)
    {
        left = (float) sidechainHighPass[0].processSample ((double) left);
        right = (float) sidechainHighPass[1].processSample ((double) right);
    }

    if (sclpHz > 0.0f)
    {
        left = (float) sidechainLowPass[0].processSample ((double) left);
        right = (float) sidechainLowPass[1].processSample ((double) right);
    }

    runEmphasis (left, right);
}

forcedinline void QELCompressor::runEmphasis (float& left, float& right) noexcept
{
    if (emphasisMode != 1 && emphasisMode != 2)
        return;

    const int first = (emphasisMode - 1) * 4;
    left = emphasisFilters[first + 2].processSingleSampleRaw (emphasisFilters[first].processSingleSampleRaw (left));
    right =
        emphasisFilters[first + 3].processSingleSampleRaw (emphasisFilters[first + 1].processSingleSampleRaw (right));
}

forcedinline void QELCompressor::makeUp (float& left, float& right) noexcept
{
    if (! autoMakeup.load())
        return;

    const float makeup = makeupFromThreshold.load() ? std::abs (thresholdDb.load())
                                                    : (1.0f - ratio.load()) * std::abs (thresholdDb.load()) * 0.5f *
                                                          amount / 100.0f * makeupScale.load();
    if (makeup != makeupDbSeen)
    {
        makeupDbSeen = makeup;
        makeupGainSeen = dbToGain (makeup);
    }

    left *= makeupGainSeen;
    right *= makeupGainSeen;
}

//==============================================================================
forcedinline float QELCompressor::kneeTarget (float over, float kneeWidth, float slope,
                                              bool& belowThreshold) const noexcept
{
    belowThreshold = false;

    if (kneeWidth == 0.0f)
    {
        belowThreshold = over < 0.0f;
        return belowThreshold ? 0.0f : over;
    }

    const float halfKnee = kneeWidth / 2.0f;

    if (over < -halfKnee)
        return 0.0f;

    if (over > halfKnee)
        return over * (1.0f - slope);

    const float inKnee = over + halfKnee;
    return inKnee * inKnee / (2.0f * kneeWidth) * (1.0f - slope);
}

forcedinline float QELCompressor::quietLevelFor (float threshold, float kneeWidth) noexcept
{
    if (! (threshold == quietThreshold && kneeWidth == quietKnee))
    {
        quietThreshold = threshold;
        quietKnee = kneeWidth;
        // 0.99 keeps a margin of 0.087 dB, far beyond the rounding of the decibel path; the -100 dB floor
        // of levelToDb and a negative knee get no shortcut.
        const float kneeStart = threshold - kneeWidth / 2.0f;
        quietLevel = kneeWidth >= 0.0f && kneeStart > -99.0f ? 0.99f * std::pow (10.0f, kneeStart / 20.0f) : 0.0f;
    }
    return quietLevel;
}

forcedinline void QELCompressor::compressPair (float& left, float& right, float key) noexcept
{
    if (autoRelease)
        updateCrestFactorRelease (left, right);

    const float kneeWidth = knee.load();
    const float slope = ratio.load();
    const float threshold = thresholdDb.load();
    const float level = std::abs (key) + offset;

    bool belowThreshold = false;
    float target;
    if (level < quietLevelFor (threshold, kneeWidth))
    {
        // Plainly below the knee: the target is 0 dB whatever the logarithm would give.
        belowThreshold = kneeWidth == 0.0f;
        target = 0.0f + offset;
    }
    else
    {
        target = kneeTarget (levelToDb (level) - threshold, kneeWidth, slope, belowThreshold) + offset;
    }

    stepEnvelope (target, envelope);

    if (adaptiveRelease)
        driftRelease (target);

    float smoothed = envelope;

    if (limitAttackLag && target > smoothed)
    {
        const float lag = target - smoothed;
        smoothed = target - lag / (1.0f + lag / 24.0f);
    }

    smoothed -= offset;

    // A hard knee applies the slope after smoothing; a soft knee has it in its target already.
    float reductionDb = kneeWidth == 0.0f ? -(1.0f - slope) * smoothed : -smoothed;

    const float floorDb = rangeDb.load();
    if (floorDb != noRangeFloor)
        reductionDb = std::max (reductionDb, floorDb);

    amount = amountRamp.getNextValue();
    reductionDb = reductionDb * amount / 100.0f;

    lastGainReductionDb.store (belowThreshold ? 0.0f : reductionDb, std::memory_order_relaxed);

    const float gain = dbToGain (reductionDb);
    left *= gain;
    right *= gain;

    makeUp (left, right);
}

forcedinline void QELCompressor::compressMono (float& sample) noexcept
{
    if (bypassed.load())
        return;

    float copy = sample;
    compressPair (sample, copy, keyLinkOf (sample, copy));
}

//==============================================================================
QELCompressor::QELCompressor() : QELAttRelEnvelope (10.0f) {}

void QELCompressor::setSlowRelease (float ms)
{
    QELAttRelEnvelope::setSlowRelease (ms);
    maxReleaseMs = ms;
}

void QELCompressor::setSampleRate (double newSampleRate)
{
    QELAttRelEnvelope::setSampleRate (newSampleRate);
    resetFilters (newSampleRate);
    amountRamp.reset (newSampleRate, (double) 0.05f);
}

void QELCompressor::setThresh (float decibels)
{
    // Callers that set the threshold every sample mostly repeat it; an unchanged value costs no store.
    if (thresholdDb.load (std::memory_order_relaxed) != decibels)
        thresholdDb.store (decibels);
}

void QELCompressor::setRatio (float slope)
{
    ratio.store (slope);
}

void QELCompressor::setSCHP (float hz)
{
    schpHz = hz;
    const double w = juce::MathConstants<double>::twoPi * (double) hz / getSampleRate();
    const double alpha = std::sin (w) / 2.0;
    const double c = std::cos (w);

    for (auto& filter : sidechainHighPass)
        filter.setCoefficients ((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void QELCompressor::setSCLP (float hz)
{
    sclpHz = hz;
    const double w = juce::MathConstants<double>::twoPi * (double) hz / getSampleRate();
    const double alpha = std::sin (w) / 2.0;
    const double c = std::cos (w);

    for (auto& filter : sidechainLowPass)
        filter.setCoefficients ((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void QELCompressor::setRange (float x)
{
    rangeDb.store (-24.0f * x);
    setRatio (1.0f - 0.99f * x);
}

float QELCompressor::getThresh() const
{
    return thresholdDb.load();
}

float QELCompressor::getRatio() const
{
    return ratio.load();
}

float QELCompressor::getLastGRDB() const
{
    return lastGainReductionDb.load (std::memory_order_relaxed);
}

float QELCompressor::getSCHP() const
{
    return schpHz;
}

float QELCompressor::getSCLP() const
{
    return sclpHz;
}

void QELCompressor::reset()
{
    initRuntime();
    holdCounter = 0;
    meanSquare = 1.0e-6f;
    peakSquare = 1.0e-6f;
    makeupDbSeen = 0.0f;
    makeupGainSeen = 1.0f;
    lastGainReductionDb.store (0.0f, std::memory_order_relaxed);
    for (auto& filter : sidechainHighPass)
        filter.x1 = filter.x2 = filter.y1 = filter.y2 = 0.0;
    for (auto& filter : sidechainLowPass)
        filter.x1 = filter.x2 = filter.y1 = filter.y2 = 0.0;
    for (auto& filter : emphasisFilters)
        filter.reset();
    amount = 100.0f;
    amountRamp.setCurrentAndTargetValue (100.0f);
}

void QELCompressor::initRuntime()
{
    envelope = offset;
}

void QELCompressor::resetFilters (double newSampleRate)
{
    const double cut = std::pow (10.0, -0.6);
    const double boost = std::pow (10.0, 0.6);
    const auto lowShelf1 = makeEmphasisShelf (ShelfKind::low, newSampleRate, 200.0, cut);
    const auto highShelf1 = makeEmphasisShelf (ShelfKind::high, newSampleRate, 2000.0, boost);
    const auto lowShelf2 = makeEmphasisShelf (ShelfKind::low, newSampleRate, 650.0, cut);
    const auto highShelf2 = makeEmphasisShelf (ShelfKind::high, newSampleRate, 650.0, boost);
    const juce::IIRCoefficients* designs[4] = { &lowShelf1, &highShelf1, &lowShelf2, &highShelf2 };

    for (int stage = 0; stage < 4; ++stage)
        for (int channel = 0; channel < 2; ++channel)
            emphasisFilters[stage * 2 + channel].setCoefficients (*designs[stage]);
}

//==============================================================================
void QELCompressor::process (const float* const*, float* const* out, int numSamples, int, int numOutputChannels)
{
    if (numOutputChannels == 2)
    {
        for (int i = 0; i < numSamples; ++i)
            processSingleSampleStereo (out[0][i], out[1][i]);
        return;
    }

    if (numOutputChannels < 1)
        return;

    for (int i = 0; i < numSamples; ++i)
    {
        float copy = out[0][i];
        processSingleSampleStereo (out[0][i], copy);
    }
}

void QELCompressor::processSingleSampleMono (float& sample)
{
    compressMono (sample);
}

void QELCompressor::processMonoBlock (float* samples, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
        compressMono (samples[i]);
}

void QELCompressor::processMonoBlock (float* samples, const float* amountTargets, const float* thresholds,
                                      int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        amountRamp.setTargetValue (amountTargets[i]);
        setThresh (thresholds[i]);
        compressMono (samples[i]);
    }
}

void QELCompressor::processSingleSampleMono (float& sample, float key)
{
    float copy = sample;
    processSingleSampleStereo (sample, copy, key, key);
}

void QELCompressor::processSingleSampleStereo (float& left, float& right)
{
    if (bypassed.load())
        return;

    compressPair (left, right, keyLinkOf (left, right));
}

void QELCompressor::processSingleSampleStereo (float& left, float& right, float keyLeft, float keyRight)
{
    if (bypassed.load())
        return;

    compressPair (left, right, keyLinkOf (keyLeft, keyRight));
}

float QELCompressor::getKeyLink (float a, float b)
{
    return keyLinkOf (a, b);
}

void QELCompressor::processSidechainFilters (float& left, float& right)
{
    filterKey (left, right);
}

void QELCompressor::applyAutoMakeupGain (float& left, float& right)
{
    makeUp (left, right);
}

void QELCompressor::process (float& left, float& right, float key)
{
    compressPair (left, right, key);
}

//==============================================================================
void QELCompressor::updateCrestFactorRelease (float left, float right)
{
    const float peak = std::max (std::abs (left), std::abs (right));
    const float power = std::max (peak * peak, 1.0e-6f);
    meanSquare += (power - meanSquare) * crestCoef;
    peakSquare = std::max (power, peakSquare + (power - peakSquare) * crestCoef);
    setRelease (2.0f * autoReleaseBase * meanSquare / peakSquare * 1000.0f);
}

void QELCompressor::driftRelease (float target)
{
    const float delta = (float) (getSampleRate() * 0.01 / 44100.0);
    const float drifted = target == offset ? getRelease() - delta : getRelease() + delta;
    setRelease (std::max (std::min (drifted, maxReleaseMs), minReleaseMs));
}
} // namespace juce
