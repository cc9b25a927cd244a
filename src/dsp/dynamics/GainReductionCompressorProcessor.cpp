#include "dsp/dynamics/GainReductionCompressorProcessor.h"

#include <algorithm>
#include <cmath>

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
        // Both channels in one loop, each with its own filter and follower, in processFrame's order.
        float* left = samples[0];
        float* right = samples[1];
        for (int i = 0; i < numSamples; ++i)
        {
            compress (left + i, 0, offset, gliding);
            compress (right + i, 1, offset, gliding);
        }
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
