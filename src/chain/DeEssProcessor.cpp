#include "chain/DeEssProcessor.h"

#include "dsp/base/DspConstants.h"

#include <algorithm>
#include <cmath>

namespace tessaro::dsp
{
namespace
{
    float pole (double seconds, double rate)
    {
        return (float) std::exp (-1.0 / (seconds * rate));
    }
} // namespace

DeEssProcessor::DeEssProcessor()
{
    for (auto& c : compressors)
    {
        c.setAttack (5.0f);
        c.setRelease (10.0f);
        c.setRatio (0.01f);
        c.rangeDb.store (-80.0f);
        c.knee.store (0.0f);
    }
}

float DeEssProcessor::Biquad::process (float x) noexcept
{
    const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

void DeEssProcessor::restDetector() noexcept
{
    fastEnergy = 0.0f;
    slowEnergy = 1.0e-6f;
    crossingRate = 0.0f;
    previousSign = 1;
    latch = false;
}

void DeEssProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    const double fs = spec.sampleRate;

    fastA = pole (0.008, fs);
    fastB = 1.0f - fastA;
    slowA = pole (0.3, fs);
    slowB = 1.0f - slowA;
    crossA = pole (0.012, fs);
    crossB = 1.0f - crossA;

    // The Linkwitz-Riley split at 6.6 kHz, designed in float with the rate truncated; split and detector
    // stay below Nyquist at low rates.
    const float split = (float) QEL::belowNyquist (6600.0, (double) (int) fs);
    const float t = std::tan (juce::MathConstants<float>::pi * split / (float) (int) fs);
    const float d = (1.0f + t) * (1.0f + t);
    for (int ch = 0; ch < 2; ++ch)
    {
        lowPass[ch] = { t * t / d, 2.0f * t * t / d, t * t / d, 2.0f * (t * t - 1.0f) / d,
                        (1.0f - t) * (1.0f - t) / d };
        highPass[ch] = { 1.0f / d, -2.0f / d, 1.0f / d, lowPass[ch].a1, lowPass[ch].a2 };
    }

    const double n = 1.0 / std::tan (juce::MathConstants<double>::pi * QEL::belowNyquist (8500.0, fs) / fs);
    const double c = 1.0 / (1.0 + n / 2.0 + n * n);
    detection.setCoefficients (juce::IIRCoefficients (c * n / 2.0, 0.0, -c * n / 2.0, 1.0, 2.0 * c * (1.0 - n * n),
                                                      c * (1.0 - n / 2.0 + n * n)));
    detection.reset();

    for (auto& compressor : compressors)
    {
        compressor.initRuntime();
        compressor.setSampleRate (fs);
    }

    amount.reset (fs, (double) 0.05f);
    amount.setCurrentAndTargetValue (amountTarget.load());
    restDetector();

    const auto pieceLength = (size_t) std::max ((int) spec.maximumBlockSize, 1);
    latched.assign (pieceLength, 0.0f);
    thresholds.assign (pieceLength, 0.0f);
}

void DeEssProcessor::reset()
{
    juce::QELProcessorBase::reset();
    detection.reset();
    for (int ch = 0; ch < 2; ++ch)
    {
        lowPass[ch].clear();
        highPass[ch].clear();
    }
    for (auto& compressor : compressors)
        compressor.reset();
    amount.setCurrentAndTargetValue (amountTarget.load());
    restDetector();
}

bool DeEssProcessor::isReducing() const noexcept
{
    return std::min (compressors[0].getLastGRDB(), compressors[1].getLastGRDB()) < 0.0f;
}

// One detection step on a channel-0 sample; returns 1 while sibilance is latched, else 0.
float DeEssProcessor::detect (float x) noexcept
{
    float d = detection.processSingleSampleRaw (x);
    if (std::abs (d) < 1.0e-8f)
        d = 0.0f;

    fastEnergy = fastA * fastEnergy + fastB * d * d;
    slowEnergy = slowA * slowEnergy + slowB * d * d;

    const int sign = d >= 0.0f ? 1 : -1;
    crossingRate = crossA * crossingRate + crossB * (sign != previousSign ? 1.0f : 0.0f);
    previousSign = sign;

    // Below the energy floor the latch opens whatever the ratio: its logarithm is only taken above it.
    if (fastEnergy <= minimumEnergy)
    {
        latch = false;
        return 0.0f;
    }

    // The latch holds (or closes) while the energy ratio and the crossing rate both reach their limits; the
    // rate is the cheaper test and goes first.
    const float ratio = (fastEnergy + 1.0e-12f) / (slowEnergy + 1.0e-12f);
    if (latch)
        latch = crossingRate >= offRate && reaches (ratio, offRatioDb, offBounds);
    else
        latch = crossingRate >= onRate && reaches (ratio, onRatioDb, onBounds);

    return latch ? 1.0f : 0.0f;
}

// Whether 10 log10 (ratio) >= limitDb. A ratio 0.1 % or more away from the limit's (0.004 dB, some ten
// thousand times the logarithm's rounding) is on its side whatever the logarithm gives, so the logarithm
// is only taken near the limit.
bool DeEssProcessor::reaches (float ratio, float limitDb, const RatioBounds& bounds) noexcept
{
    if (ratio <= bounds.surelyBelow)
        return false;
    if (ratio >= bounds.surelyAbove)
        return true;
    return 10.0f * std::log10 (ratio) >= limitDb;
}

DeEssProcessor::RatioBounds DeEssProcessor::boundsFor (float limitDb) noexcept
{
    const double ratio = std::pow (10.0, (double) limitDb / 10.0);
    return { (float) (ratio * 0.999), (float) (ratio * 1.001) };
}

void DeEssProcessor::detectPiece (const float* channel0, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        latched[(size_t) i] = detect (channel0[i]);
        thresholds[(size_t) i] = -80.0f * amount.getNextValue();
    }
}

void DeEssProcessor::compressPiece (int ch, float* samples, int numSamples) noexcept
{
    auto& compressor = compressors[ch];
    auto& low = lowPass[ch];
    auto& high = highPass[ch];
    for (int i = 0; i < numSamples; ++i)
    {
        compressor.amountRamp.setTargetValue (100.0f * latched[(size_t) i]);
        compressor.setThresh (thresholds[(size_t) i]);

        const float x = samples[i];
        const float lowBand = low.process (x);
        float highBand = -high.process (x);
        compressor.processSingleSampleMono (highBand);
        samples[i] = lowBand + highBand;
    }
}

void DeEssProcessor::followPiece (juce::QELCompressor& compressor, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        compressor.amountRamp.setTargetValue (100.0f * latched[(size_t) i]);
        compressor.setThresh (thresholds[(size_t) i]);
    }
}

// Detection reads channel 0 before it is changed, so a whole piece is detected first; then each channel
// is split and compressed on its own.
void DeEssProcessor::processImpl (const float* const*, float* const* out, int numSamples, int, int numChannels)
{
    amount.setTargetValue (amountTarget.load());
    const int channels = std::min (numChannels, 2);
    const int pieceLength = (int) latched.size();
    if (pieceLength == 0 || channels < 1)
        return; // not prepared, or nothing to detect on

    for (int start = 0; start < numSamples; start += pieceLength)
    {
        const int n = std::min (pieceLength, numSamples - start);
        detectPiece (out[0] + start, n);
        for (int ch = 0; ch < channels; ++ch)
            compressPiece (ch, out[ch] + start, n);
        for (int ch = channels; ch < 2; ++ch)
            followPiece (compressors[ch], n);
    }
}
} // namespace tessaro::dsp
