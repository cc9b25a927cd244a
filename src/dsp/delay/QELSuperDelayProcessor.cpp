#include "dsp/delay/QELSuperDelayProcessor.h"

#include "dsp/base/TimeUtils.h"

#include <cmath>

namespace juce
{
namespace
{
    constexpr double toneCutoffHz = 12000.0;
    constexpr double butterworthQ = 0.70710678118654752440;

    /** One-pole step in double, stored as float. */
    float approach (float value, float target, double rate) noexcept
    {
        return (float) ((double) value + ((double) target - (double) value) * rate);
    }

    /** Four-point cubic Hermite read of a line of length samples between the whole positions below and above
        (equal when the position is whole) at the fraction f past below; positions wrap around the line. */
    inline float cubicReadAt (const float* line, int length, int below, int above, float f) noexcept
    {
        const int indices[] = { below - 1, below, above, above + 1 };
        float y[4];

        // Most reads lie wholly inside the line and need no wrapping.
        if (indices[0] >= 0 && indices[3] < length)
        {
            for (int n = 0; n < 4; ++n)
                y[n] = line[indices[n]];
        }
        else
        {
            for (int n = 0; n < 4; ++n)
            {
                int k = indices[n];

                if (k < 0)
                    k += (1 - k / length) * length;

                y[n] = line[k % length];
            }
        }

        const float c1 = 0.5f * (y[2] - y[0]);
        const float c2 = y[0] - 2.5f * y[1] + 2.0f * y[2] - 0.5f * y[3];
        const float c3 = 1.5f * (y[1] - y[2]) + 0.5f * (y[3] - y[0]);
        return ((c3 * f + c2) * f + c1) * f + y[1];
    }

    /** The cubic read at a position. */
    inline float cubicRead (const float* line, int length, double position) noexcept
    {
        const double below = std::floor (position);
        const double above = std::ceil (position);
        return cubicReadAt (line, length, (int) below, (int) above, (float) (position - below));
    }

    /** A read delay that stays the same through a block: writeIndex - delay is exact in double (a whole
        number of at most 31 bits less a float), so its floor and ceiling are the write position plus those of
        -delay, and its fraction that of -delay, for every sample. */
    struct SteadyRead
    {
        explicit SteadyRead (float delay) noexcept
        {
            const double position = -(double) delay;
            const double below = std::floor (position);
            belowOffset = (int) below;
            aboveOffset = (int) std::ceil (position);
            fraction = (float) (position - below);
        }

        /** The cubic read at writeIndex - delay. */
        float read (const float* line, int length, int writeIndex) const noexcept
        {
            return cubicReadAt (line, length, writeIndex + belowOffset, writeIndex + aboveOffset, fraction);
        }

        int belowOffset, aboveOffset;
        float fraction;
    };
} // namespace

QELSuperDelayProcessor::QELSuperDelayProcessor() = default;

QELSuperDelayProcessor::~QELSuperDelayProcessor() = default;

//==============================================================================
void QELSuperDelayProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    sampleTime = (float) (1.0 / newSampleRate);
    initBuffer();
    feedbackRamp.reset (newSampleRate, feedbackRampSeconds);
    feedbackRamp.setCurrentAndTargetValue (feedback.load());
    // Prepared switched off: the first block switched on writes into silent lines, so it fades the writing in.
    wasOnLastBlock = ! isSteadyOff();
    lofi.prepareToPlay (newSampleRate, newSamplesPerBlock);
    stereoizer.prepareToPlay (newSampleRate, newSamplesPerBlock);

    // Kept below the Nyquist frequency, so low rates get a stable filter.
    const double toneCutoff = std::min (toneCutoffHz, 0.49 * newSampleRate);
    for (auto& filter : toneFilters)
        filter.setCoefficients (IIRCoefficients::makeLowPass (newSampleRate, toneCutoff, butterworthQ));
}

void QELSuperDelayProcessor::reset()
{
    QELProcessorBase::reset();
    lofi.reset();
    stereoizer.reset();
    for (auto& filter : toneFilters)
        filter.reset();
}

void QELSuperDelayProcessor::clearBuffers()
{
    clearing = ! bufferLeft.empty();
    clearOrigin = writeIndex;
    wasOnLastBlock = false; // the next block that runs switched on starts the echoes from silence
    writtenSinceClear = zeroedBeforeOrigin = 0;

    const auto targets = computeTargets (spread.load());
    delaySamplesLeft = targets.left;
    delaySamplesRight = targets.right;
    envelope = 0.0f;
    stereoizer.reset();

    // The loop's filter states would otherwise leak a faint tail when the delay is switched on again.
    for (auto* multi : { &lowPassFilter, &highPassFilter })
        for (auto& filter : multi->filters)
            filter->Reset();

    for (auto& filter : toneFilters)
        filter.reset();

    for (auto& filter : lofi.filters)
        filter.reset();

    saturationSmoother.Reset();
    saturationPrevious = 0.0f;
}

void QELSuperDelayProcessor::setTempo (double bpm)
{
    QELProcessorBase::setTempo (bpm);

    if (bpm > 0.0 && std::isfinite (bpm))
        validTempo.store (bpm);
}

void QELSuperDelayProcessor::initBuffer()
{
    const auto length = (size_t) std::max (1.0, std::ceil ((double) maxDelaySeconds * sampleRate));

    for (auto* line : { &bufferLeft, &bufferRight })
    {
        if (line->size() != length)
            line->assign (length, 0.0f);
        else
            std::fill (line->begin(), line->end(), 0.0f);
    }

    writeIndex = 0;
    clearing = false;
    const auto targets = computeTargets (spread.load());
    delaySamplesLeft = targets.left;
    delaySamplesRight = targets.right;
}

void QELSuperDelayProcessor::zeroStaleSlice() noexcept
{
    const int length = (int) bufferLeft.size();
    const int count = std::min (clearSliceSamples, length - writtenSinceClear - zeroedBeforeOrigin);

    // Backwards from the origin: the slots the reads reach first once the echo restarts.
    for (int k = 0; k < count; ++k)
    {
        int index = clearOrigin - 1 - zeroedBeforeOrigin - k;
        if (index < 0)
            index += length;
        bufferLeft[(size_t) index] = 0.0f;
        bufferRight[(size_t) index] = 0.0f;
    }

    zeroedBeforeOrigin += std::max (count, 0);
    clearing = writtenSinceClear + zeroedBeforeOrigin < length;
}

bool QELSuperDelayProcessor::isStale (float delaySamples) const noexcept
{
    // The cubic read reaches up to two samples further back than the delay.
    return clearing && (double) delaySamples + 2.0 > (double) (writtenSinceClear + zeroedBeforeOrigin);
}

//==============================================================================
float QELSuperDelayProcessor::getDelayTime() const noexcept
{
    const int index = noteIndex.load();
    double t = 0.0;

    if (index == 0)
        t = (double) freeTimeSeconds.load();
    else if (index >= 1 && index <= 19)
        t = (double) qel::TimeUtils::noteToSeconds ((qel::TimeUtils::TempoSyncTimes) (20 - index), validTempo.load());

    if (lfoDepth != 0.0f)
        t = std::pow (t, (double) lfoDepth * std::sin (MathConstants<double>::twoPi * (double) lfoPhase) + 1.0);

    if (driftDepth != 0.0f)
        t = std::pow (t, (double) driftDepth * std::sin ((double) driftAngle) + 1.0);

    return (float) t;
}

QELSuperDelayProcessor::Targets QELSuperDelayProcessor::computeTargets (float spreadAmount) const noexcept
{
    const double t = (double) getDelayTime();
    const double s = (double) spreadAmount / 2.0;
    const double left = s == 0.0 ? t : std::pow (t, 1.0 + s);
    const double right = s == 0.0 ? t : std::pow (t, 1.0 - s);

    // Never at or ahead of the write position: that slot still holds the sample of a line length ago.
    return { std::max ((float) (left * sampleRate), minDelaySamples),
             std::max ((float) (right * sampleRate), minDelaySamples) };
}

float QELSuperDelayProcessor::getSample (const std::vector<float>& line, float position) noexcept
{
    return getSample (line, (double) position);
}

float QELSuperDelayProcessor::getSample (const std::vector<float>& line, double position) noexcept
{
    return cubicRead (line.data(), (int) line.size(), position);
}

//==============================================================================
void QELSuperDelayProcessor::advanceDrift() noexcept
{
    driftAngle += MathConstants<float>::twoPi * driftRate * sampleTime;

    if (driftAngle >= MathConstants<float>::twoPi)
        driftAngle -= MathConstants<float>::twoPi;

    // A slowly wandering random value that bends the drift's pace; only heard with a drift depth.
    if (driftDepth != 0.0f)
    {
        driftState += (driftRandom.nextFloat() * 2.0f - 1.0f - driftState) * driftRate * sampleTime;
        driftAngle += driftState * driftRate * sampleTime;
    }
}

void QELSuperDelayProcessor::saturate (float& wl, float& wr, float driveAmount) noexcept
{
    const float blend = saturationBlend;

    for (int pass = 0; pass < saturationPasses; ++pass)
    {
        const float xl = wl * driveAmount;
        const float sl = xl != 0.0f ? std::sin (xl * xl) / xl : 0.0f;
        const float gl = std::abs (saturationPrevious + sl) * 0.5f * blend;
        const float yl = (gl * sl + (1.0f - gl) * xl) / driveAmount;

        const float xr = wr * driveAmount;
        const float sr = xr != 0.0f ? std::sin (xr * xr) / xr : 0.0f;
        const float gr = std::abs (sl + sr) * 0.5f * blend;
        const float yr = (gr * sr + (1.0f - gr) * xr) / driveAmount;

        saturationPrevious = sr;
        saturationSmoother.Process (sampleTime, yl, yr, saturationSmoothing, wl, wr, false);
    }
}

void QELSuperDelayProcessor::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    if (numOutputChannels <= 0 || bufferLeft.empty())
        return;

    const float dt = sampleTime;
    const float spreadAmount = spread.load();
    const float angle = rotationAngle.load();
    feedbackRamp.setTargetValue (feedback.load());
    const float driveAmount = drive.load();
    const float dry = dryGain.load(), wet = wetGain.load();
    const int requested = requestedType.load();
    const bool runLofi = lofiOn.load() && lofi.active.load();
    const bool runClip = clipOn.load();
    const bool runStereoizer = stereoizerOn.load();
    const bool modulated = lfoDepth != 0.0f || driftDepth != 0.0f;
    const int length = (int) bufferLeft.size();

    if (clearing)
        zeroStaleSlice();

    // Switched on again: the line starts from silence, and the first echo must not start with a step.
    const bool on = active.load();
    if (on && ! wasOnLastBlock)
        typeFade = 0.0f;
    wasOnLastBlock = on;

    Targets targets = computeTargets (spreadAmount);
    float* left = channels[0];
    float* right = numOutputChannels >= 2 ? channels[1] : channels[0];

    // A delay that has reached its target (its glide step no longer moves it) stays put through a block whose
    // targets are not modulated: its reads then share one floor, ceiling and fraction.
    const auto settled = [&] (float delay, float target)
    { return ! modulated && delaysInitialised && delay + (target - delay) * 10.0f * dt == delay; };
    const bool steadyLeft = settled (delaySamplesLeft, targets.left);
    const bool steadyRight = settled (delaySamplesRight, targets.right);
    const SteadyRead steadyReadLeft (delaySamplesLeft), steadyReadRight (delaySamplesRight);

    for (int i = 0; i < numSamples; ++i)
    {
        if (modulated && i > 0)
            targets = computeTargets (spreadAmount);

        // 1. First sample: start at the target without a glide.
        if (! delaysInitialised)
        {
            delaySamplesLeft = targets.left;
            delaySamplesRight = targets.right;
            delaysInitialised = true;
        }

        // 2. Routing change: fade the writing out, switch, fade back in.
        if (currentType == requested)
        {
            typeFade = std::min (1.0f, typeFade + 100.0f * dt);
        }
        else
        {
            typeFade -= 100.0f * dt;

            if (typeFade <= 0.0f)
            {
                typeFade = 0.0f;
                currentType = requested;
            }
        }

        // 3-4. Rotations and delay times glide.
        const double rotationRate = 100.0 * (double) dt;
        inputRotation = approach (inputRotation, currentType == rotating ? 0.0f : angle, rotationRate);
        feedbackRotation = approach (feedbackRotation, currentType == rotating ? angle : 0.0f, rotationRate);
        delaySamplesLeft += (targets.left - delaySamplesLeft) * 10.0f * dt;
        delaySamplesRight += (targets.right - delaySamplesRight) * 10.0f * dt;

        // 5. Input level follower.
        const float inLeft = left[i];
        const float inRight = numOutputChannels == 2 ? right[i] : inLeft;
        const float level = std::abs (numOutputChannels == 2 ? inLeft + inRight : inLeft);
        envelope += (level - envelope) * (level > envelope ? envelopeAttack : envelopeRelease) * dt;

        // 6-7. Modulation.
        lfoPhase += lfoRate * dt;
        while (lfoPhase > 1.0f)
            lfoPhase -= 1.0f;
        advanceDrift();

        // 8. Read.
        float wl = 0.0f, wr = 0.0f;
        if (! isStale (delaySamplesLeft))
            wl = steadyLeft ? steadyReadLeft.read (bufferLeft.data(), length, writeIndex)
                            : cubicRead (bufferLeft.data(), length, (double) writeIndex - (double) delaySamplesLeft);
        if (! isStale (delaySamplesRight))
            wr = steadyRight ? steadyReadRight.read (bufferRight.data(), length, writeIndex)
                             : cubicRead (bufferRight.data(), length, (double) writeIndex - (double) delaySamplesRight);

        // 9. Feedback rotation.
        if (feedbackRotation != 0.0f)
        {
            const float c = std::cos (feedbackRotation), s = std::sin (feedbackRotation);
            const float rotatedLeft = wl * c - wr * s;
            wr = wl * s + wr * c;
            wl = rotatedLeft;
        }

        // 10-15. The loop's colour.
        lowPassFilter.Process (dt, wl, wr, lowPassCutoff, false);
        highPassFilter.Process (dt, wl, wr, highPassCutoff, true);
        wl = toneFilters[0].processSingleSampleRaw (wl);
        wr = toneFilters[1].processSingleSampleRaw (wr);

        if (runLofi)
        {
            lofi.processImpl (wl, 0);
            lofi.processImpl (wr, 1);
        }

        if (runStereoizer)
        {
            double wideLeft = wl, wideRight = wr;
            stereoizer.processStereoizer (wideLeft, wideRight, 2);
            wl = (float) wideLeft;
            wr = (float) wideRight;
        }

        if (driveAmount > 0.0f && saturationPasses > 0)
            saturate (wl, wr, driveAmount);

        if (runClip)
        {
            wl = std::atan (wl * clipDrive) / clipDrive;
            wr = std::atan (wr * clipDrive) / clipDrive;
        }

        // 16. Input rotation.
        float a = inLeft, b = inRight;
        if (inputRotation != 0.0f)
        {
            const float theta = inputRotation / 2.0f;
            const float c = std::cos (theta), s = std::sin (theta);
            a = inLeft * c - inRight * s;
            b = inLeft * s + inRight * c;
        }

        // 17. Write; ping-pong swaps the sides on every pass.
        const float feedbackAmount = feedbackRamp.getNextValue();
        const float p = wl * feedbackAmount + a;
        const float q = wr * feedbackAmount + b;
        const bool swap = currentType == pingPong;
        bufferLeft[(size_t) writeIndex] = (swap ? q : p) * typeFade;
        bufferRight[(size_t) writeIndex] = (swap ? p : q) * typeFade;

        if (++writeIndex >= length)
            writeIndex = 0;

        if (clearing && ++writtenSinceClear + zeroedBeforeOrigin >= length)
            clearing = false;

        // 18. Output, ducked by the input.
        const float duck = std::min (1.0f, duckAmount * envelope);
        const float g = wet * (1.0f - duck);
        left[i] = inLeft * dry + wl * g;

        for (int c = 1; c < numOutputChannels; ++c)
            channels[c][i] = channels[c][i] * dry + wr * g;
    }
}
} // namespace juce
