#include "dsp/eq/StereoFilterProcessor_V3.h"

#include "dsp/filters/FilterForms.h"

#include <algorithm>
#include <cmath>

namespace QEL
{
namespace
{
    constexpr double invSqrtTwo = 0.70710678118654752;
    constexpr float butterworthQ = 0.70710678f;

    using Forms = FilterForms::Forms;

    float followerCoefficient (double sampleRate, float ms)
    {
        return ms < 0.001f
                   ? 0.0f
                   : (float) std::exp (-2.0 * juce::MathConstants<double>::pi * 1000.0 / (sampleRate * (double) ms));
    }

    bool usesSecondStage (const FilterData& d)
    {
        return (d.type == 0 || d.type == 4 || d.type == 6) && (d.slope == 2 || d.slope == 3);
    }
} // namespace

//==============================================================================
void StereoFilterProcessor_V3::LevelFollower::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    attackCoefficient = followerCoefficient (sampleRate, attackMs);
    releaseCoefficient = followerCoefficient (sampleRate, releaseMs);
    state[0] = state[1] = 0.0f;
}

float StereoFilterProcessor_V3::LevelFollower::process (float power, int channel) noexcept
{
    float& y = state[channel];
    const float c = power > y ? attackCoefficient : releaseCoefficient;
    y = power + c * (y - power);
    return y;
}

//==============================================================================
StereoFilterProcessor_V3::StereoFilterProcessor_V3()
{
    for (auto& follower : followers)
        follower.prepare (44100.0);
}

void StereoFilterProcessor_V3::setFilterData (FilterData newData)
{
    {
        const juce::SpinLock::ScopedLockType lock (pendingLock);
        pendingData = newData;
        pendingDataWaiting.store (true, std::memory_order_release);
    }
    setBypassSmooth (newData.enabled && newData.switchedOn);
}

void StereoFilterProcessor_V3::applyPendingData() noexcept
{
    if (! pendingDataWaiting.load (std::memory_order_acquire))
        return;

    const juce::SpinLock::ScopedTryLockType lock (pendingLock);
    if (! lock.isLocked())
        return; // being written right now: taken at the next block

    pendingDataWaiting.store (false, std::memory_order_relaxed);
    applyData (pendingData);
}

void StereoFilterProcessor_V3::applyData (const FilterData& data) noexcept
{
    dirty = true;
    filterData = data;
    frequencyStart = designedFrequency;
    smoothFrequency.setTargetValue (data.frequency);
    smoothGain.setTargetValue (data.gain);
    smoothQ.setTargetValue (data.q);

    auto& dyn = dynamicEQ;
    dyn.frequency = data.frequency;
    dyn.q = data.q;
    dyn.smoothFrequency.setTargetValue (data.frequency);
    dyn.smoothQ.setTargetValue (data.q);
    dyn.dirty = true;
    dyn.range = data.gain > 0.0f ? std::max (20.0f * std::log10 (data.gain), -100.0f) : -100.0f;
    dyn.type = data.type;
    dyn.threshold = data.threshold;
    for (auto& envelope : dyn.envelopes)
        envelope.setAttack (data.attack);
    for (auto& envelope : dyn.envelopes)
        envelope.setRelease (data.release);
    dyn.sidechain = data.sidechain;
    dyn.shapedDetector = data.shapedDetector;
}

void StereoFilterProcessor_V3::prepare (const juce::dsp::ProcessSpec& spec)
{
    applyPendingData();
    QELProcessorBase::prepare (spec);
    dynamicEQ.prepare (spec);

    for (auto* ramp : { &smoothFrequency, &smoothGain, &smoothQ })
        ramp->reset (spec.sampleRate, (double) rampSeconds);
    for (auto& follower : followers)
        follower.prepare (spec.sampleRate);
    dirty = true;
}

void StereoFilterProcessor_V3::reset()
{
    QELProcessorBase::reset();
    stage1.reset();
    for (auto& follower : followers)
        follower.state[0] = follower.state[1] = 0.0f;
}

//==============================================================================
void StereoFilterProcessor_V3::updateFilter() noexcept
{
    const int steps = isRamping() ? 1 : 0;
    designedFrequency = nextShaped (smoothFrequency, frequencyStart);
    const float q = smoothQ.getNextValue();
    const float g = smoothGain.getNextValue();
    designStages (designedFrequency, q, g, steps);
}

// A linear ramp's progress, bent: near the Nyquist frequency a small move of the frequency moves the
// coefficients fast, and a glide that started or stopped at full speed there would be heard as a tick.
float StereoFilterProcessor_V3::nextShaped (LinearRamp<float>& ramp, float start) noexcept
{
    const float linear = ramp.getNextValue();
    if (! ramp.isSmoothing())
        return linear;

    const double progress = 1.0 - (double) ramp.getCountdown() / (double) ramp.getRampSteps();
    const double bent = 0.5 - 0.5 * std::cos (juce::MathConstants<double>::pi * progress);
    return (float) ((double) start + ((double) ramp.getTargetValue() - (double) start) * bent);
}

bool StereoFilterProcessor_V3::isRamping() const noexcept
{
    return smoothFrequency.isSmoothing() || smoothQ.isSmoothing() || smoothGain.isSmoothing();
}

// A design of the other order than the stage had starts that stage from a cleared state.
bool StereoFilterProcessor_V3::designStages (float f, float q, float g, int numSteps) noexcept
{
    const double fs = sampleRate;
    const int type = filterData.type;
    const int slope = filterData.slope;

    const auto designOne = [numSteps] (GlidingBiquad& stage, int& order, const auto& values)
    {
        const int newOrder = values.size() == 4 ? 1 : 2;
        if (newOrder != order)
        {
            stage.reset();
            order = newOrder;
        }
        stage.glideTo (GlidingBiquad::normalise (values), numSteps);
        stage.advance();
        return true;
    };

    if (type == 0 || type == 4)
    {
        const bool high = type == 0;
        const auto firstOrder = high ? Forms::makeFirstOrderHighPass (fs, f) : Forms::makeFirstOrderLowPass (fs, f);
        const auto withQ = high ? Forms::makeHighPass (fs, f, q) : Forms::makeLowPass (fs, f, q);

        switch (slope)
        {
            case 0: stage1Designed = designOne (stage1, stage1Order, firstOrder); break;
            case 1: stage1Designed = designOne (stage1, stage1Order, withQ); break;
            case 2:
                stage1Designed = designOne (stage1, stage1Order,
                                            high ? Forms::makeHighPass (fs, f, butterworthQ)
                                                 : Forms::makeLowPass (fs, f, butterworthQ));
                stage2Designed = designOne (stage2, stage2Order, firstOrder);
                break;
            case 3:
                stage1Designed = designOne (stage1, stage1Order, withQ);
                stage2Designed = designOne (stage2, stage2Order, withQ);
                break;
            default: return false;
        }
        return true;
    }

    switch (type)
    {
        case 1: stage1Designed = designOne (stage1, stage1Order, FilterForms::lowShelf (fs, f, q, g)); return true;
        case 2: stage1Designed = designOne (stage1, stage1Order, FilterForms::peak (fs, f, q, g)); return true;
        case 3: stage1Designed = designOne (stage1, stage1Order, FilterForms::highShelf (fs, f, q, g)); return true;
        case 5:
            stage1Designed = designOne (stage1, stage1Order, FilterForms::highShelf (fs, f, q, g));
            stage2Designed = designOne (stage2, stage2Order, FilterForms::lowShelf (fs, f, q, 1.0f / g));
            return true;
        case 6:
            if (slope == 0 || slope == 3)
            {
                stage1Designed = designOne (stage1, stage1Order, Forms::makeBandPass (fs, f, q));
                if (slope == 3)
                    stage2Designed = designOne (stage2, stage2Order, Forms::makeBandPass (fs, f, q));
                return true;
            }
            return false;
        default: return false;
    }
}

//==============================================================================
float StereoFilterProcessor_V3::processBand (float x, int sample, int channel) noexcept
{
    if (filterData.dynamic)
        return dynamicEQ.processSpl (x, sample, channel);

    const auto run = [this, channel] (GlidingBiquad& stage, float v)
    { return moving ? stage.processMoving (channel, v) : stage.processStillRemembering (channel, v); };

    float y = stage1Designed ? run (stage1, x) : x;
    if (usesSecondStage (filterData) && stage2Designed)
        y = run (stage2, y);
    return y;
}

float StereoFilterProcessor_V3::processFilterPart (float x, int sample, int channel) noexcept
{
    if (filterData.splitMode == 0)
        return processBand (x, sample, channel);

    const float power = x * x;
    const float fast = followers[0].process (power, channel);
    const float slow = followers[1].process (power, channel);
    const float reference = followers[2].process (power, channel);
    const float share = reference == 0.0f ? 1.0f : std::clamp ((fast - slow) / reference, 0.0f, 1.0f);
    const float transient = share * x;
    const float rest = x - transient;

    switch (filterData.splitMode)
    {
        case 1: return processBand (transient, sample, channel) + rest;
        case 2: return transient + processBand (rest, sample, channel);
        default: return transient + rest;
    }
}

// A band that neither ramps nor waits for a design, whole signal on every channel, not dynamic: the per-sample
// loop below would run its stages still on every sample, so they run here in one loop per block instead, the
// stages of both channels in the lanes of one vector with the same float arithmetic in the same order. As
// there, the last two samples also go into the stages' history. Returns false where the loop must run.
bool StereoFilterProcessor_V3::processStillBlock (float* const* out, int numSamples, int channels) noexcept
{
    if (dirty || isRamping() || filterData.dynamic || filterData.splitMode != 0 || filterData.channelMode != 0 ||
        channels < 1 || numSamples < 1)
        return false;

    if (moving)
    {
        stage1.settle();
        stage2.settle();
        moving = false;
    }

    const bool second = usesSecondStage (filterData) && stage2Designed;
    const int plain = std::max (0, numSamples - 2);
    const bool pair = channels == 2 && out[0] != out[1];

    if (pair)
    {
        if (stage1Designed)
            runStill (stage1, out[0], out[1], plain);
        if (second)
            runStill (stage2, out[0], out[1], plain);
    }

    for (int ch = 0; ch < channels; ++ch)
    {
        float* x = out[ch];
        if (! pair)
        {
            if (stage1Designed)
                runStill (stage1, ch, x, plain);
            if (second)
                runStill (stage2, ch, x, plain);
        }

        for (int i = plain; i < numSamples; ++i)
        {
            float y = stage1Designed ? stage1.processStillRemembering (ch, x[i]) : x[i];
            if (second)
                y = stage2.processStillRemembering (ch, y);
            x[i] = y;
        }
    }

    stage1.snapToZero();
    stage2.snapToZero();
    return true;
}

void StereoFilterProcessor_V3::runStill (GlidingBiquad& stage, int channel, float* x, int numSamples) noexcept
{
    auto run = stage.beginStill (channel);
    for (int i = 0; i < numSamples; ++i)
        x[i] = run.process (x[i]);
    stage.endStill (channel, run);
}

void StereoFilterProcessor_V3::runStill (GlidingBiquad& stage, float* left, float* right, int numSamples) noexcept
{
    using Lanes = float __attribute__ ((vector_size (16)));
    auto l = stage.beginStill (0), r = stage.beginStill (1);
    const Lanes b0 = { l.b0, r.b0, 0.0f, 0.0f }, b1 = { l.b1, r.b1, 0.0f, 0.0f }, b2 = { l.b2, r.b2, 0.0f, 0.0f };
    const Lanes a1 = { l.a1, r.a1, 0.0f, 0.0f }, a2 = { l.a2, r.a2, 0.0f, 0.0f };
    Lanes v1 = { l.v1, r.v1, 0.0f, 0.0f }, v2 = { l.v2, r.v2, 0.0f, 0.0f };

    for (int i = 0; i < numSamples; ++i)
    {
        const Lanes x = { left[i], right[i], 0.0f, 0.0f };
        const Lanes y = (b0 * x) + v1;
        v1 = (b1 * x) - (a1 * y) + v2;
        v2 = (b2 * x) - (a2 * y);
        left[i] = y[0];
        right[i] = y[1];
    }

    l.v1 = v1[0];
    l.v2 = v2[0];
    r.v1 = v1[1];
    r.v2 = v2[1];
    stage.endStill (0, l);
    stage.endStill (1, r);
}

void StereoFilterProcessor_V3::processImpl (const float* const*, float* const* out, int numSamples, int,
                                            int numOutputChannels)
{
    applyPendingData();

    const int mode = filterData.channelMode;
    const bool midSide = mode == 3 || mode == 4;
    if (mode < 0 || mode > 4 || (midSide && numOutputChannels > 2))
        return;

    const int channels = std::min (numOutputChannels, 2);
    if (processStillBlock (out, numSamples, channels))
        return;

    for (int i = 0; i < numSamples; ++i)
    {
        const bool ramping = isRamping();
        if (dirty || ramping)
        {
            updateFilter();
            dirty = false;
        }
        if (moving && ! ramping)
        {
            stage1.settle();
            stage2.settle();
        }
        moving = ramping;

        if (channels <= 0)
            continue;

        if (midSide && channels == 2)
        {
            const double l = out[0][i], r = out[1][i];
            double m = (l + r) * invSqrtTwo;
            double s = (l - r) * invSqrtTwo;
            if (mode == 3)
                m = processFilterPart ((float) m, i, 0);
            else
                s = processFilterPart ((float) s, i, 0);
            out[0][i] = (float) ((m + s) * invSqrtTwo);
            out[1][i] = (float) ((m - s) * invSqrtTwo);
            continue;
        }

        if (midSide || mode == 0)
        {
            for (int channel = 0; channel < (midSide ? 1 : channels); ++channel)
                out[channel][i] = processFilterPart (out[channel][i], i, channel);
        }
        else if (mode - 1 < channels)
        {
            out[mode - 1][i] = processFilterPart (out[mode - 1][i], i, mode - 1);
        }
    }

    // Like JUCE's own block processing: no denormal tails after the signal stops.
    stage1.snapToZero();
    stage2.snapToZero();
    if (filterData.dynamic)
        dynamicEQ.snapToZero();
}
} // namespace QEL
