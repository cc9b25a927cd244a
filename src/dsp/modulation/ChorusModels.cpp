#include "dsp/modulation/ChorusModels.h"

#include <cmath>

namespace QEL
{
namespace
{
    // std::fmod (x, 1) for an LFO phase plus a voice offset, both in [0, 1): below 2, x - 1 is exact, so the
    // library call is only needed outside that range.
    inline float wrapPhase (float x) noexcept
    {
        if (x >= 0.0f && x < 1.0f)
            return x;
        if (x >= 1.0f && x < 2.0f)
            return x - 1.0f;
        return std::fmod (x, 1.0f);
    }

    // std::fmod (x, length) for a read position one history length ahead: below twice the length, x - length
    // is exact, so the library call is only needed outside that range.
    inline double wrapPosition (double x, double length) noexcept
    {
        if (x >= 0.0 && x < length)
            return x;
        if (x >= length && x < 2.0 * length)
            return x - length;
        return std::fmod (x, length);
    }

    /** One voice's read at write position w: its LFO is phi plus its phase offset, its delay sweeps from
        baseDelay to baseDelay + depth. */
    [[gnu::always_inline]] inline float voiceRead (const ChorusVoices& voices, int historyChannel, int w, float phi,
                                                   float offset, float baseDelay, float depth, double sampleRate,
                                                   double length) noexcept
    {
        const float s = std::sin (juce::MathConstants<float>::twoPi * wrapPhase (phi + offset)) * 0.5f + 0.5f;
        const double d = (double) (baseDelay + depth * s) * sampleRate;
        double p = wrapPosition ((double) w - d + length, length);

        if (p < 0.0)
            p += length;

        return voices.read (historyChannel, p);
    }

    /** Voice k's share of a channel: 1 without spread, else its place from left (channel 0) to right. */
    inline float channelShare (int channel, int k, int numVoices, bool spread) noexcept
    {
        if (! spread)
            return 1.0f;
        const float place = (float) k / (float) (numVoices - 2);
        return channel == 0 ? place : 1.0f - place;
    }

    /** A voice a channel hears: its LFO phase offset and its gain (the voice gain times the channel's share). */
    struct Tap
    {
        float offset, gain;
    };

    /** The most taps a block looks up from a table; more voices are summed by ChorusVoices::tapSum. */
    constexpr int maxTableTaps = 16;

    /** The taps of a channel with a share above 0, in voice order, as tapSum takes them; -1 when there are
        more than maxTableTaps. */
    int channelTaps (int channel, int numVoices, bool stereoSpread, float voiceGain, Tap* taps) noexcept
    {
        if (numVoices < 2)
            return 0;
        if (numVoices - 1 > maxTableTaps)
            return -1;

        const bool spread = numVoices > 2 && stereoSpread;
        int count = 0;

        for (int k = 0; k <= numVoices - 2; ++k)
        {
            const float g = channelShare (channel, k, numVoices, spread);
            if (g == 0.0f)
                continue;

            taps[count++] = { (float) k / (float) (numVoices - 1), g * voiceGain };
        }

        return count;
    }
} // namespace

void ChorusLowPass::design (double cutoffHz, double sampleRate) noexcept
{
    // A cut-off at or above the Nyquist frequency (20 kHz at 32 kHz) would give an unstable filter.
    const double cutoff = std::min (cutoffHz, 0.49 * sampleRate);
    const double k = 1.0 / std::tan (juce::MathConstants<double>::pi * cutoff / sampleRate);
    const double sqrt2 = juce::MathConstants<double>::sqrt2;
    const double n0 = 1.0 / (1.0 + sqrt2 * k + k * k);

    const juce::SpinLock::ScopedLockType scope (lock);
    b0 = (float) n0;
    b1 = (float) (2.0 * n0);
    b2 = (float) n0;
    a1 = (float) (2.0 * n0 * (1.0 - k * k));
    a2 = (float) (n0 * (1.0 - sqrt2 * k + k * k));
    ready = true;
}

float ChorusLowPass::process (float v) noexcept
{
    float y = b0 * v + s1;

    if (! (y < -1.0e-8f || y > 1.0e-8f))
        y = 0.0f;

    s1 = b1 * v - a1 * y + s2;
    s2 = b2 * v - a2 * y;
    return y;
}

//==============================================================================
void ChorusVoices::prepare (float maxDelay, float maxDepth, double sampleRate)
{
    const int length = (int) ((double) (maxDelay + maxDepth) * sampleRate) + 3;

    for (auto& channel : delayBuffer)
    {
        if ((int) channel.size() != length)
            channel.assign ((size_t) length, 0.0f);
        else
            std::fill (channel.begin(), channel.end(), 0.0f);
    }

    bufferLength = length;
    // The write position carries over; a shorter history wraps it.
    writeIndex %= bufferLength;
    lfoPhase = 0.0f;
    inverseRate = 1.0 / sampleRate;
}

void ChorusVoices::restart() noexcept
{
    for (auto& channel : delayBuffer)
        std::fill (channel.begin(), channel.end(), 0.0f);

    writeIndex = 0;
    lfoPhase = 0.0f;
}

float ChorusVoices::read (int historyChannel, double position) const noexcept
{
    const auto& q = delayBuffer[(size_t) historyChannel];
    const int i0 = (int) position;
    const int i1 = i0 + 1 == bufferLength ? 0 : i0 + 1;
    const float f = (float) (position - (double) i0);
    return (1.0f - f) * q[(size_t) i0] + f * q[(size_t) i1];
}

float ChorusVoices::tapSum (int channel, int w, float phi, int numVoices, bool stereoSpread, float baseDelay,
                            float depth, float voiceGain, double sampleRate) const noexcept
{
    if (numVoices < 2)
        return 0.0f;

    const int historyChannel = std::min (channel, 1);
    const bool spread = numVoices > 2 && stereoSpread;
    const double length = (double) bufferLength;
    float sum = 0.0f;

    for (int k = 0; k <= numVoices - 2; ++k)
    {
        const float g = channelShare (channel, k, numVoices, spread);
        if (g == 0.0f)
            continue;

        const float offset = (float) k / (float) (numVoices - 1);
        sum += g * voiceGain * voiceRead (*this, historyChannel, w, phi, offset, baseDelay, depth, sampleRate, length);
    }

    return sum;
}
} // namespace QEL

//==============================================================================
namespace juce
{
QELChorusModel1::QELChorusModel1()
{
    lowPassL.design (lowPassCutoff, sampleRate);
    lowPassR.design (lowPassCutoff, sampleRate);
}

QELChorusModel1::~QELChorusModel1() = default;

void QELChorusModel1::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    voices.prepare (maxDelay, maxDepth, newSampleRate);
    lowPassL.design (lowPassCutoff, newSampleRate);
    lowPassR.design (lowPassCutoff, newSampleRate);
}

void QELChorusModel1::reset()
{
    QELProcessorBase::reset();
    voices.restart();
    lowPassL.clear();
    lowPassR.clear();
}

void QELChorusModel1::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    const int voiceCount = numVoices.load();
    const bool spread = stereoSpread.load();
    const float base = baseDelay.load(), sweep = depth.load(), gain = voiceGain.load(), wet = wetGain.load();
    const float phaseStep = (float) (rateHz.load() * voices.inverseRate);
    const int length = voices.bufferLength;
    int w = voices.writeIndex;
    float phi = voices.lfoPhase;

    const double historyLength = (double) length;

    for (int c = 0; c < numOutputChannels; ++c)
    {
        auto& lowPass = c == 0 ? lowPassL : lowPassR;
        float* samples = channels[c];
        w = voices.writeIndex;
        phi = voices.lfoPhase;

        // The channel's taps are the same for the whole block: looked up once, summed as tapSum sums them.
        QEL::Tap taps[QEL::maxTableTaps];
        const int tapCount = QEL::channelTaps (c, voiceCount, spread, gain, taps);
        const int historyChannel = std::min (c, 1);

        for (int j = 0; j < numSamples; ++j)
        {
            const float x = samples[j];
            float sum = 0.0f;

            if (tapCount < 0)
                sum = voices.tapSum (c, w, phi, voiceCount, spread, base, sweep, gain, sampleRate);

            for (int t = 0; t < tapCount; ++t)
                sum += taps[t].gain * QEL::voiceRead (voices, historyChannel, w, phi, taps[t].offset, base, sweep,
                                                      sampleRate, historyLength);

            const float y = lowPass.process (sum);
            samples[j] = y * wet + x;
            voices.write (c, w, x);

            if (++w >= length)
                w = 0;

            phi += phaseStep;

            if (phi >= 1.0f)
                phi -= 1.0f;
        }
    }

    voices.writeIndex = w;
    voices.lfoPhase = phi;
}
} // namespace juce

//==============================================================================
namespace QEL
{
Chorus_V2::Chorus_V2()
{
    lowPassL.design (lowPassCutoff, sampleRate);
    lowPassR.design (lowPassCutoff, sampleRate);
}

Chorus_V2::~Chorus_V2() = default;

void Chorus_V2::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    voices.prepare (maxDelay, maxDepth, newSampleRate);
    applyPendingTargets();

    const int rampSteps = (int) std::floor (newSampleRate * (double) 0.05f);
    rate.reset (rampSteps);
    voiceGain.reset (rampSteps);
    depth.reset (rampSteps);

    lowPassL.design (lowPassCutoff, newSampleRate);
    lowPassR.design (lowPassCutoff, newSampleRate);
}

void Chorus_V2::applyPendingTargets() noexcept
{
    rate.setTargetValue (pendingRate.load());
    voiceGain.setTargetValue (pendingVoiceGain.load());
    depth.setTargetValue (pendingDepth.load());
}

void Chorus_V2::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    applyPendingTargets();

    const int voiceCount = numVoices.load();
    const bool spread = stereoSpread.load();
    const float base = baseDelay.load(), wet = wetGain.load();
    const int length = voices.bufferLength;
    int w = voices.writeIndex;
    float phi = voices.lfoPhase;

    for (int j = 0; j < numSamples; ++j)
    {
        const float sweep = depth.getNextValue();
        const float gain = voiceGain.getNextValue();
        const float hz = rate.getNextValue();

        for (int c = 0; c < numOutputChannels; ++c)
        {
            auto& lowPass = c == 0 ? lowPassL : lowPassR;
            const float x = channels[c][j];
            const float y =
                lowPass.process (voices.tapSum (c, w, phi, voiceCount, spread, base, sweep, gain, sampleRate));
            channels[c][j] = y * wet + x;
            voices.write (c, w, x);
        }

        if (++w >= length)
            w = 0;

        phi += (float) (hz * voices.inverseRate);

        if (phi >= 1.0f)
            phi -= 1.0f;
    }

    voices.writeIndex = w;
    voices.lfoPhase = phi;
}
} // namespace QEL
