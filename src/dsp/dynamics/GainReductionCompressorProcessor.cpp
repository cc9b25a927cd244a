#include "dsp/dynamics/GainReductionCompressorProcessor.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{
constexpr double keyShelfHz = 120.0;
constexpr double keyShelfGain = 0.501187; // -6 dB
constexpr double keyShelfQ = 0.5;
constexpr int lowShelf = 2;

double zeroIfDenormal (double value) noexcept
{
    return std::fpclassify (value) == FP_SUBNORMAL ? 0.0 : value;
}

double coefficientFor (double ms, int rate)
{
    return 1.0 - std::exp (-1000.0 / (ms * (double) rate));
}
} // namespace

//==============================================================================
void GREnvelopeFollower::setup (double newAttackMs, double newReleaseMs, double newHoldMs, double newGateDb)
{
    attackMs = newAttackMs;
    releaseMs = newReleaseMs;
    holdMs = newHoldMs;
    gateDb = newGateDb;
}

void GREnvelopeFollower::prepare (int newSampleRate)
{
    sampleRate = newSampleRate;
    attackCoef = coefficientFor (attackMs, sampleRate);
    releaseCoef = coefficientFor (releaseMs, sampleRate);
    holdSamples = (int) (holdMs * (double) sampleRate / 1000.0);
    gateLevel = std::pow (10.0, gateDb / 20.0);
    input = state = output = 0.0;
    holdCounter = 0;
}

double GREnvelopeFollower::process (double level) noexcept
{
    input = level;

    if (holdCounter > 0 && state > level)
    {
        --holdCounter;
        level = state;
    }
    else if (gateLevel > level)
    {
        level = 0.0;
    }

    double coefficient = releaseCoef;

    if (state < level)
    {
        coefficient = attackCoef;
        holdCounter = holdSamples;
    }

    state = zeroIfDenormal (coefficient * level + (1.0 - coefficient) * state);
    output = state;
    return output;
}

//==============================================================================
GainReductionCompressorProcessor::GainReductionCompressorProcessor()
{
    for (auto& filter : keyFilters)
        filter.setCoeff (keyShelfHz, keyShelfGain, keyShelfQ, lowShelf, 44100);

    for (auto& follower : followers)
    {
        follower.setup (0.16905, 28.0035, 13.138125, -96.0);
        follower.prepare (44100);
    }
}

GainReductionCompressorProcessor::~GainReductionCompressorProcessor() = default;

void GainReductionCompressorProcessor::setSlay (float slay)
{
    const double position = 1.0 - (double) slay / 100.0;
    slayPosition.store (position, std::memory_order_relaxed);
    slayOffset.store ((std::pow (3000.0, position) - 1.0) / 2999.0, std::memory_order_relaxed);
    pendingSlay.store (slay);
    slayChanged.store (true);
}

void GainReductionCompressorProcessor::applyPendingSlay() noexcept
{
    if (! slayChanged.load (std::memory_order_relaxed) || ! slayChanged.exchange (false))
        return;

    offsetRamp.setTargetValue ((float) slayOffset.load (std::memory_order_relaxed));
    slayRamp.setTargetValue (pendingSlay.load());
}

void GainReductionCompressorProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    applyPendingSlay();
    offsetRamp.reset (newSampleRate, (double) 0.1f);
    slayRamp.reset (newSampleRate, (double) 0.1f);

    const int integerRate = (int) newSampleRate;

    for (auto& filter : keyFilters)
    {
        filter.setCoeff (filter.frequency, filter.gain, filter.q, filter.type, integerRate);
        filter.reset();
    }

    for (auto& follower : followers)
        follower.prepare (integerRate);

    glideCoefficient = 1.0 - std::exp (-1.0 / (glideGainSeconds * newSampleRate));
    appliedGain = { 1.0, 1.0 };
    gainLag = { 0.0, 0.0 };
}

// Clears the key filters and the followers, so no level (nor a NaN) from before survives a reset.
void GainReductionCompressorProcessor::reset()
{
    juce::QELProcessorBase::reset();
    for (auto& filter : keyFilters)
        filter.reset();
    for (auto& follower : followers)
        follower.prepare ((int) sampleRate);
    envelope = key = 0.0;
    appliedGain = { 1.0, 1.0 };
    gainLag = { 0.0, 0.0 };
}

void GainReductionCompressorProcessor::processImpl (float* sample, int channel)
{
    if (channel < 0 || channel >= (int) followers.size())
        return;

    applyPendingSlay();
    const bool gliding = levelGliding || offsetRamp.isSmoothing();
    compress (sample, channel, (double) offsetRamp.getNextValue(), gliding);
}

void GainReductionCompressorProcessor::processFrame (float* const* samples, int numChannels)
{
    applyPendingSlay();
    const bool gliding = levelGliding || offsetRamp.isSmoothing();
    const double offset = (double) offsetRamp.getNextValue();

    for (int channel = 0; channel < std::min (numChannels, (int) followers.size()); ++channel)
        compress (samples[channel], channel, offset, gliding);
}

bool GainReductionCompressorProcessor::prepareSteadyBlock() noexcept
{
    applyPendingSlay();
    return ! offsetRamp.isSmoothing() && ! slayRamp.isSmoothing();
}

void GainReductionCompressorProcessor::compressSteadyBlock (float* const* samples, int numChannels,
                                                            int numSamples) noexcept
{
    // A ramp that stands still hands out its target at every step and never glides.
    const double offset = (double) offsetRamp.getTargetValue();
    const bool gliding = levelGliding;
    const int channels = std::min (numChannels, (int) followers.size());

    if (channels == 2)
    {
        compressPairSteady (samples[0], samples[1], numSamples, offset, gliding);
        return;
    }

    for (int i = 0; channels == 1 && i < numSamples; ++i)
        compress (samples[0] + i, 0, offset, gliding);
}

inline double GainReductionCompressorProcessor::followGain (double computed, int channel, bool gliding) noexcept
{
    auto& applied = appliedGain[(size_t) channel];
    auto& lag = gainLag[(size_t) channel];

    // While a glide runs the gain follows the computed one; once it ends, the distance left decays on its
    // own, so the gain meets the computed one within a few milliseconds whatever the signal does.
    if (gliding)
        applied += (computed - applied) * glideCoefficient;
    else if (lag != 0.0)
        applied = computed + lag * (1.0 - glideCoefficient);
    else
        applied = computed;

    lag = applied - computed;
    if (! gliding && std::abs (lag) <= 1.0e-7)
        lag = 0.0;
    return applied;
}

inline void GainReductionCompressorProcessor::compress (float* sample, int channel, double offset,
                                                        bool gliding) noexcept
{
    const float x = *sample;
    lastInputNonZero.store (x != 0.0f, std::memory_order_relaxed);

    key = keyFilters[(size_t) channel].processSample ((double) x);
    envelope = followers[(size_t) channel].process (zeroIfDenormal (std::abs (key + offset)));

    const double computed = envelope <= threshold ? 1.0 : std::max (threshold / envelope, threshold);
    const double newGain = followGain (computed, channel, gliding);
    gain.store (newGain, std::memory_order_relaxed);
    *sample = x * (float) newGain;
}

#if defined(__SSE2__)
namespace
{
/** Lane-wise a where the mask is set, else b. */
inline __m128d select (__m128d mask, __m128d a, __m128d b) noexcept
{
    return _mm_or_pd (_mm_and_pd (mask, a), _mm_andnot_pd (mask, b));
}

inline __m128d magnitude (__m128d v) noexcept
{
    return _mm_andnot_pd (_mm_set1_pd (-0.0), v);
}

/** zeroIfDenormal in each lane: a subnormal (not zero, below the smallest normal) becomes 0. */
inline __m128d zeroIfDenormalLanes (__m128d v) noexcept
{
    const __m128d m = magnitude (v);
    const __m128d subnormal = _mm_and_pd (_mm_cmplt_pd (m, _mm_set1_pd (DBL_MIN)), _mm_cmpneq_pd (m, _mm_setzero_pd()));
    return _mm_andnot_pd (subnormal, v);
}

/** Channel 0 in the low lane, channel 1 in the high one. */
inline __m128d lanes (double channel0, double channel1) noexcept
{
    return _mm_set_pd (channel1, channel0);
}

inline double low (__m128d v) noexcept
{
    return _mm_cvtsd_f64 (v);
}

inline double high (__m128d v) noexcept
{
    return _mm_cvtsd_f64 (_mm_unpackhi_pd (v, v));
}
} // namespace

void GainReductionCompressorProcessor::compressPairSteady (float* left, float* right, int numSamples, double offset,
                                                           bool gliding) noexcept
{
    auto& f0 = keyFilters[0];
    auto& f1 = keyFilters[1];
    auto& e0 = followers[0];
    auto& e1 = followers[1];

    const __m128d b0 = lanes (f0.b0, f1.b0), b1 = lanes (f0.b1, f1.b1), b2 = lanes (f0.b2, f1.b2);
    const __m128d a1 = lanes (f0.a1, f1.a1), a2 = lanes (f0.a2, f1.a2);
    __m128d x1 = lanes (f0.x1, f1.x1), x2 = lanes (f0.x2, f1.x2), y1 = lanes (f0.y1, f1.y1), y2 = lanes (f0.y2, f1.y2);

    const __m128d attackCoef = lanes (e0.attackCoef, e1.attackCoef);
    const __m128d releaseCoef = lanes (e0.releaseCoef, e1.releaseCoef);
    const __m128d gateLevel = lanes (e0.gateLevel, e1.gateLevel);
    const __m128d holdSamples = lanes ((double) e0.holdSamples, (double) e1.holdSamples);
    __m128d hold = lanes ((double) e0.holdCounter, (double) e1.holdCounter);
    __m128d state = lanes (e0.state, e1.state);
    __m128d input = lanes (e0.input, e1.input);

    __m128d applied = lanes (appliedGain[0], appliedGain[1]);
    __m128d lag = lanes (gainLag[0], gainLag[1]);

    const __m128d zero = _mm_setzero_pd(), one = _mm_set1_pd (1.0), glide = _mm_set1_pd (glideCoefficient);
    const __m128d offsets = _mm_set1_pd (offset), thresholds = _mm_set1_pd (threshold);
    const __m128d lagFloor = _mm_set1_pd (1.0e-7);
    __m128d y = lanes (f0.lastOutput, f1.lastOutput);
    float lastRight = 0.0f;

    for (int i = 0; i < numSamples; ++i)
    {
        const __m128 samplePair = _mm_set_ps (0.0f, 0.0f, right[i], left[i]);
        lastRight = right[i];

        // The key filter, as GRIIRFilter::processSample.
        const __m128d x = zeroIfDenormalLanes (_mm_cvtps_pd (samplePair));
        __m128d sum = _mm_add_pd (_mm_mul_pd (b0, x), _mm_mul_pd (b1, x1));
        sum = _mm_add_pd (sum, _mm_mul_pd (b2, x2));
        sum = _mm_sub_pd (sum, _mm_mul_pd (a1, y1));
        sum = _mm_sub_pd (sum, _mm_mul_pd (a2, y2));
        y = zeroIfDenormalLanes (sum);
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;

        // The follower, as GREnvelopeFollower::process.
        __m128d level = zeroIfDenormalLanes (magnitude (_mm_add_pd (y, offsets)));
        input = level;
        const __m128d holding = _mm_and_pd (_mm_cmpgt_pd (hold, zero), _mm_cmpgt_pd (state, level));
        hold = select (holding, _mm_sub_pd (hold, one), hold);
        const __m128d gated = _mm_andnot_pd (holding, _mm_cmpgt_pd (gateLevel, level));
        level = select (holding, state, _mm_andnot_pd (gated, level));
        const __m128d attacking = _mm_cmplt_pd (state, level);
        const __m128d coefficient = select (attacking, attackCoef, releaseCoef);
        hold = select (attacking, holdSamples, hold);
        state = zeroIfDenormalLanes (
            _mm_add_pd (_mm_mul_pd (coefficient, level), _mm_mul_pd (_mm_sub_pd (one, coefficient), state)));

        // The computed gain: 1 at or below the threshold, else the larger of threshold / envelope and threshold.
        const __m128d ratio = _mm_div_pd (thresholds, state);
        const __m128d above = select (_mm_cmplt_pd (ratio, thresholds), thresholds, ratio);
        const __m128d computed = select (_mm_cmple_pd (state, thresholds), one, above);

        // The applied gain, as followGain.
        if (gliding)
        {
            applied = _mm_add_pd (applied, _mm_mul_pd (_mm_sub_pd (computed, applied), glide));
            lag = _mm_sub_pd (applied, computed);
        }
        else
        {
            const __m128d decaying = _mm_add_pd (computed, _mm_mul_pd (lag, _mm_sub_pd (one, glide)));
            applied = select (_mm_cmpneq_pd (lag, zero), decaying, computed);
            lag = _mm_sub_pd (applied, computed);
            lag = _mm_andnot_pd (_mm_cmple_pd (magnitude (lag), lagFloor), lag);
        }

        const __m128 gains = _mm_cvtpd_ps (applied);
        const __m128 shaped = _mm_mul_ps (samplePair, gains);
        left[i] = _mm_cvtss_f32 (shaped);
        right[i] = _mm_cvtss_f32 (_mm_shuffle_ps (shaped, shaped, 1));
    }

    if (numSamples <= 0)
        return;

    f0.x1 = low (x1), f1.x1 = high (x1);
    f0.x2 = low (x2), f1.x2 = high (x2);
    f0.y1 = low (y1), f1.y1 = high (y1);
    f0.y2 = low (y2), f1.y2 = high (y2);
    f0.lastOutput = low (y), f1.lastOutput = high (y);
    e0.holdCounter = (int) low (hold), e1.holdCounter = (int) high (hold);
    e0.state = e0.output = low (state);
    e1.state = e1.output = high (state);
    e0.input = low (input), e1.input = high (input);
    appliedGain = { low (applied), high (applied) };
    gainLag = { low (lag), high (lag) };

    // The last frame's values, as the per-frame steps leave them: channel 1 wrote last.
    key = high (y);
    envelope = high (state);
    gain.store (high (applied), std::memory_order_relaxed);
    lastInputNonZero.store (lastRight != 0.0f, std::memory_order_relaxed);
}
#else
void GainReductionCompressorProcessor::compressPairSteady (float* left, float* right, int numSamples, double offset,
                                                           bool gliding) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        compress (left + i, 0, offset, gliding);
        compress (right + i, 1, offset, gliding);
    }
}
#endif
