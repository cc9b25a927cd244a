#include "dsp/multiplier/QelVocalMultiplierProcessor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr float detuneRange = 0.09f;        // semitones either side
constexpr float singleVoiceDelayMs = 30.0f; // before the offset scale
constexpr float maxVoiceDelayMs = 50.0f;    // the longest base delay of a voice
constexpr float maxOffsetScale = 2.0f;      // Offset 100 %
constexpr double octaveQuefrency = 0.001;   // seconds
constexpr int octaveDelaySamples = 1024;
constexpr float filterCutoffHz = 8000.0f;
constexpr float stereoCopyCutoffHz = 500.0f;
constexpr float voiceFeedHighPassHz = 150.0f;
constexpr float voiceFeedLowPassHz = 14000.0f;
constexpr juce::int64 driftSeed = 0x7e55a40;

float wetLevelFor (float amountPercent) noexcept
{
    return (std::pow (10.0f, amountPercent / 100.0f) - 1.0f) / 9.0f * 2.0f;
}

float decibelsFor (float gain) noexcept
{
    const float decibels = gain > 0.0f ? 20.0f * std::log10 (gain) : -100.0f;
    return std::max (decibels, -100.0f);
}

/** A voice's pitch offset in semitones: its detune plus its drift scaled by the drift depth. */
float voicePitchOffset (size_t voice, float detune, float draw, float depth) noexcept
{
    const float direction = (voice % 2 == 0) ? -1.0f : 0.1f;
    return detune + ((draw + 0.125f) * 4.0f * 0.9f + direction) * depth;
}

/** The single voice's pitch factor for a drift value. */
float singleVoiceFactorFor (float draw, float depth) noexcept
{
    return 0.99f - ((draw + 0.125f) * 4.0f * 0.04f + 0.01f) * depth;
}

/** Advances a ramp numSamples samples, exactly as that many getNextValue calls do. */
void advance (QEL::LinearRamp<float>& ramp, int numSamples) noexcept
{
    for (int i = 0; i < numSamples && ramp.isSmoothing(); ++i)
        ramp.getNextValue();
}

juce::dsp::ProcessSpec monoSpec (const juce::dsp::ProcessSpec& spec) noexcept
{
    return { spec.sampleRate, spec.maximumBlockSize, 1 };
}
} // namespace

QelVocalMultiplierProcessor::QelVocalMultiplierProcessor() : requestedWetLevel (wetLevelFor (50.0f))
{
    for (auto& line : voiceDelays)
        line = QEL::VoiceDelayLine (maxDelaySamples);

    singleDrift.setSeed (driftSeed);

    for (int i = 0; i < maxVoices; ++i)
        voiceDrift[(size_t) i].setSeed (driftSeed + 1 + i);

    setVoicesAmount (10.0f);
    wetLevel.setTargetValue (requestedWetLevel.load());

    // Straight into the ramps (not through setGainDb, whose hand-over a later prepare would apply over
    // the Low setting).
    octaveGain.gainRamp.setCurrentAndTargetValue (0.0f);
    octaveGain.decibelRamp.setCurrentAndTargetValue (-100.0f);

    singleDrift.setHoldTime (driftHoldMs);
    for (auto& drift : voiceDrift)
        drift.setHoldTime (driftHoldMs);

    spreadPercent = 100.0f;
    widthStage.mode = 0;
    widthStage.setSplit (true, 100.0f);
    stereoizer.setAmount (0.0f);

    driftDepth.setTargetValue ((std::pow (10.0f, 0.5f) - 1.0f) / 9.0f * 0.8f);

    updateFilters();
    enhancer.clarity.gain = 1.0f;

    offsetScale.setTargetValue (requestedOffsetScale.load());

    voiceCompressor.setThresh (-40.0f);
    voiceCompressor.setRatio (0.5f);
    voiceCompressor.setAttack (30.0f);
    voiceCompressor.setRelease (50.0f);
    voiceCompressor.autoMakeup = true;
    voiceCompressor.makeupScale = 1.6f;

    latencyDelay.setDelay (std::min (maxDelaySamples, latencySamples));

    if (onLatencyChanged)
        onLatencyChanged();
}

QelVocalMultiplierProcessor::~QelVocalMultiplierProcessor() = default;

void QelVocalMultiplierProcessor::setVoicesAmount (float amount)
{
    const int n = juce::jlimit (1, maxVoices, (int) (17.0f * amount / 100.0f + 1.0f));

    for (int i = 0; i < maxVoices; ++i)
    {
        float delayMs = 0.0f, gain = 0.0f;

        if (n == 1)
        {
            delayMs = i == 0 ? -45.0f : (i == 1 ? 50.0f : 0.0f);
            gain = i < 2 ? amount / 5.0f : 0.0f;
        }
        else if (i < n)
        {
            delayMs = std::abs ((float) i * 95.0f / (float) (n - 1) - 45.0f);
            gain = 1.0f;
        }

        voiceDelayTimes[(size_t) i].setTargetValue (delayMs);
        voiceGains[(size_t) i].setTargetValue (gain);
    }

    voiceCount = n;
    updateTimingProcessorsStep();
    timingSettled = false;

    const float compensationDb = -7.0f * (float) (n - 1) / 17.0f;
    levelCompensation.setTargetValue (compensationDb <= -100.0f ? 0.0f : std::pow (10.0f, compensationDb / 20.0f));
    singleVoiceGain = n == 1 ? 1.0f - amount / 5.0f : 0.0f;
}

void QelVocalMultiplierProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    const double rate = spec.sampleRate;

    // Controls set before this point take effect at once: the ramps below jump to their targets.
    applyControls();

    octaveShifter = std::make_unique<stftpitchshift::StftPitchShift> (1024, 128, rate);
    singleVoiceShifter = std::make_unique<stftpitchshift::StftPitchShift> (1024, 128, rate);
    octaveVoiceRunning = false;
    widenedCopyRunning = false;
    voiceResting.fill (false);
    voicePathResting = false;
    timingSettled = false;
    streaming = false;
    shifterChannels = (int) std::max (1u, spec.numChannels);

    octaveGain.prepare (spec);
    switchVoiceFeedFilterOff();
    voiceFeedFilter.prepare (spec);
    switchVoiceFeedFilterOn();
    octavePreFilter.prepare (spec);
    octavePostFilter.prepare (spec);
    enhancer.prepare (spec);
    stereoCopyHighPass.prepare (spec);

    stereoCopyHighPass.setCoefficients (juce::dsp::IIR::Coefficients<float>::makeHighPass (rate, stereoCopyCutoffHz));

    singleDrift.prepare (rate);

    // Each line holds the longest delay its voice can reach at this rate (at the largest offset scale).
    const int voiceCapacity = (int) std::ceil (maxVoiceDelayMs * maxOffsetScale * rate / 1000.0) + 1;
    const int singleCapacity = (int) std::ceil (singleVoiceDelayMs * maxOffsetScale * rate / 1000.0) + 1;

    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        voiceDrift[i].prepare (rate);
        voiceShifters[i].prepare (shifterChannels);
        voiceShifters[i].reset();
        pendingTapSamples[i] = 0;
        voiceDelays[i].prepare (std::min (maxDelaySamples, voiceCapacity), (int) spec.maximumBlockSize);
        voiceGains[i].reset (rate, 0.05);
        voicePans[i].reset (rate, 0.05);
        voiceDelayTimes[i].reset (rate, 4.0);
        voiceDetunes[i].reset (rate, 0.5);
    }

    singleVoiceDelay.prepare (std::min (maxDelaySamples, singleCapacity), (int) spec.maximumBlockSize);
    octaveDelay.setMaximumDelayInSamples (octaveDelaySamples);
    octaveDelay.prepare (monoSpec (spec));
    octaveDelay.setDelay ((float) std::min (maxDelaySamples, octaveDelaySamples));

    levelCompensation.reset (rate, 0.05);
    wetLevel.reset (rate, 0.05);
    stereoCopyGain.reset (rate, 0.05);

    latencyChannels = (int) std::max (2u, spec.numChannels);
    latencyDelay.prepare (latencyChannels, latencySamples, (int) spec.maximumBlockSize);

    voiceCompressor.setSampleRate (rate);
    voiceCompressor.resetFilters (rate);

    driftDepth.reset (rate, 0.05);
    offsetScale.reset (rate, (double) 0.08f);
    voiceFeedFade.reset (rate, wakeFadeSeconds);
    octaveFeedFade.reset (rate, wakeFadeSeconds);

    widthStage.prepare (spec);
    stereoizer.prepare (spec);

    updateFilters();
    // A filter sizes its state on its first reset; do that here, not when the voice starts on the audio thread.
    octavePreFilter.reset();
    octavePostFilter.reset();
    stereoCopyHighPass.reset();
    allocateScratch ((int) spec.maximumBlockSize);
}

void QelVocalMultiplierProcessor::allocateScratch (int blockSize)
{
    scratchCapacity = std::max (1, blockSize);

    for (auto* buffer : { &dry, &voiceFeed, &octave, &widened, &voiceBus })
        buffer->setSize (2, scratchCapacity);

    for (auto& buffer : voiceBuffers)
        buffer.setSize (1, scratchCapacity);

    delayTracks.assign ((size_t) (maxVoices + 1) * (size_t) scratchCapacity, 0.0f);
}

void QelVocalMultiplierProcessor::reset()
{
    juce::QELProcessorBase::reset();

    // As prepare: the controls reach their ramps, which end at their targets, and every voice starts again.
    applyControls();
    endRamps();
    octaveVoiceRunning = false;
    widenedCopyRunning = false;
    voiceResting.fill (false);
    voicePathResting = false;
    timingSettled = false;
    voicePitchOffsets.fill (0.0f);
    singleVoiceFactor = 0.0f;

    octaveGain.reset();
    switchVoiceFeedFilterOff();
    voiceFeedFilter.reset();
    switchVoiceFeedFilterOn();
    widthStage.reset();
    stereoizer.reset();
    enhancer.reset();
    stereoCopyHighPass.reset();
    voiceCompressor.reset();
    latencyDelay.reset();
    singleVoiceDelay.reset();
    octaveDelay.reset();

    singleDrift.restart();
    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        voiceDrift[i].restart();
        clearVoice (i);
    }

    // A restarted stream must not replay the octave voice's or the shifters' old audio.
    octavePreFilter.reset();
    octavePostFilter.reset();

    if (octaveShifter != nullptr)
        octaveShifter->reset();
    if (singleVoiceShifter != nullptr)
        singleVoiceShifter->reset();

    for (auto& buffer : voiceBuffers)
        buffer.clear();

    streaming = false;
}

// The feed's band limits start each stream off and fade in over their switch ramp with the first block; the
// off request is applied by the prepare or reset that follows, so both leave the same state.
void QelVocalMultiplierProcessor::switchVoiceFeedFilterOff()
{
    voiceFeedFilter.highPass.setBypassSmooth (false);
    voiceFeedFilter.lowPass.setBypassSmooth (false);
}

void QelVocalMultiplierProcessor::switchVoiceFeedFilterOn()
{
    voiceFeedFilter.setHighPassCutoff (voiceFeedHighPassHz);
    voiceFeedFilter.setLowPassCutoff (voiceFeedLowPassHz);
}

void QelVocalMultiplierProcessor::endRamps() noexcept
{
    for (auto* ramps : { &voiceGains, &voiceDelayTimes })
        for (auto& ramp : *ramps)
            ramp.setCurrentAndTargetValue (ramp.getTargetValue());

    // Pans and detunes get their targets with the first block the voices run, and glide there from 0.
    for (auto* ramps : { &voicePans, &voiceDetunes })
        for (auto& ramp : *ramps)
            ramp.setCurrentAndTargetValue (0.0f);
    detuneTargetsCount = -1;

    for (auto* ramp : { &levelCompensation, &wetLevel, &stereoCopyGain, &driftDepth, &offsetScale })
        ramp->setCurrentAndTargetValue (ramp->getTargetValue());
}

void QelVocalMultiplierProcessor::clearVoice (size_t voice)
{
    // The shifter's buffer is written through raw pointers, which its buffer's clear flag does not see;
    // preparing it again (same size, no allocation) takes fresh pointers, so the reset really clears.
    voiceShifters[voice].prepare (shifterChannels);
    pendingTapSamples[voice] = 0;
    voiceDelays[voice].reset();
}

// A voice coming back from a rest starts from silence, with its taps where they would be had it been heard
// all along: it sounds as it would have, once its buffers have filled again.
void QelVocalMultiplierProcessor::silenceVoice (size_t voice)
{
    voiceShifters[voice].clearBuffer();
    voiceDelays[voice].reset();
}

void QelVocalMultiplierProcessor::setTempo (double bpm)
{
    juce::QELProcessorBase::setTempo (bpm);
}

void QelVocalMultiplierProcessor::processDryImpl (const float* const*, float* const* out, int numSamples, int,
                                                  int numOutputChannels)
{
    latencyDelay.process (out, std::min (numOutputChannels, latencyChannels), numSamples);
}

void QelVocalMultiplierProcessor::setSpread (float percent)
{
    requestedSpread.store (percent);
}

void QelVocalMultiplierProcessor::setOffset (float percent)
{
    requestedOffsetScale.store (0.6f + 1.4f * percent / 100.0f);
}

void QelVocalMultiplierProcessor::setAmount (float percent)
{
    requestedWetLevel.store (wetLevelFor (percent));
}

void QelVocalMultiplierProcessor::setLow (float percent)
{
    requestedLowGain.store (2.0f * percent / 100.0f);
}

void QelVocalMultiplierProcessor::applyControls()
{
    const float spread = requestedSpread.load();

    if (spread != appliedSpread)
        applySpread (spread);

    const float offsetTarget = offsetScale.getTargetValue();
    offsetScale.setTargetValue (requestedOffsetScale.load());
    timingSettled = timingSettled && offsetScale.getTargetValue() == offsetTarget;
    wetLevel.setTargetValue (requestedWetLevel.load());

    const float low = requestedLowGain.load();
    octaveGain.gainRamp.setTargetValue (low);
    octaveGain.decibelRamp.setTargetValue (decibelsFor (low));
}

void QelVocalMultiplierProcessor::applySpread (float percent)
{
    appliedSpread = percent;
    spreadPercent = juce::jlimit (0.0f, 100.0f, percent);

    if (percent <= 100.0f)
    {
        widthStage.setWidth (percent / 2.0f, 0.0f);
        stereoizer.setAmount (0.0f);
        stereoCopyGain.setTargetValue (0.0f);
    }
    else
    {
        widthStage.mode = 0;
        stereoizer.setAmount (percent - 100.0f);
        stereoCopyGain.setTargetValue ((percent - 100.0f) * 0.4f / 100.0f);
    }
}

void QelVocalMultiplierProcessor::updateTimingProcessorsStep()
{
    const float s = offsetScale.getNextValue();
    currentOffsetScale = s;
    const auto samplesPerMs = (float) (sampleRate / 1000.0);

    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        const float d = voiceDelayTimes[i].getNextValue();
        setDelayClamped (voiceDelays[i], voiceDelaySamples[i], std::abs (d * s) * samplesPerMs);
    }

    setDelayClamped (singleVoiceDelay, singleVoiceDelaySamples,
                     (float) sampleRate * std::abs (s * singleVoiceDelayMs) / 1000.0f);
}

bool QelVocalMultiplierProcessor::timingIsMoving() const noexcept
{
    bool moving = offsetScale.isSmoothing();
    for (const auto& time : voiceDelayTimes)
        moving = moving || time.isSmoothing();
    return moving;
}

// With every timing ramp at rest a step sets the same delays each time: one step settles them for good.
void QelVocalMultiplierProcessor::settleTiming()
{
    if (! timingSettled)
        updateTimingProcessorsStep();
    timingSettled = true;
}

void QelVocalMultiplierProcessor::setDelayClamped (QEL::VoiceDelayLine& line, float& current, float samples)
{
    // Most of the time the ramps rest and the delay stays the same; only a change reaches the line.
    const float clamped = juce::jlimit (0.0f, (float) line.getMaximumDelayInSamples(), samples);

    if (clamped != current)
    {
        current = clamped;
        line.setDelay (clamped);
    }
}

void QelVocalMultiplierProcessor::updateFilters()
{
    const auto cutoff = (float) std::min ((double) filterCutoffHz, 0.49 * sampleRate);
    const auto lowPass = juce::dsp::IIR::Coefficients<float>::makeLowPass (sampleRate, cutoff);

    octavePreFilter.setCoefficients (lowPass);
    octavePostFilter.setCoefficients (lowPass);
}

void QelVocalMultiplierProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                               int numInputChannels, int numOutputChannels)
{
    if (scratchCapacity == 0 || numOutputChannels < 1) // not prepared yet
        return;

    applyControls();

    const int channels = juce::jlimit (1, 2, numOutputChannels);
    const int inputs = juce::jlimit (1, channels, numInputChannels);

    // Processing happens in place; a caller with separate input arrays gets its input copied over first.
    for (int c = 0; c < channels; ++c)
        if (in != nullptr && in[std::min (c, numInputChannels - 1)] != out[c] && numInputChannels > 0)
            juce::FloatVectorOperations::copy (out[c], in[std::min (c, numInputChannels - 1)], numSamples);

    for (int start = 0; start < numSamples; start += scratchCapacity)
    {
        float* chunk[2] = { out[0] + start, channels > 1 ? out[1] + start : nullptr };
        processChunk (chunk, std::min (scratchCapacity, numSamples - start), inputs, channels);
    }
}

void QelVocalMultiplierProcessor::processChunk (float* const* out, int numSamples, int numInputChannels,
                                                int numChannels)
{
    for (int c = 0; c < numChannels; ++c)
        for (auto* buffer : { &dry, &voiceFeed })
            buffer->copyFrom (c, 0, out[c], numSamples);

    processOctaveVoice (out, numSamples, numChannels);
    processDry (dry.getArrayOfWritePointers(), numSamples, numChannels);

    // At a wet level resting at 0 the voice bus is multiplied by 0: it is not computed.
    if (wetLevel.getCurrentValue() == 0.0f && wetLevel.getTargetValue() == 0.0f)
    {
        restVoicePath (numSamples, numChannels);
    }
    else
    {
        wakeVoicePath();
        processWidenedCopy (numSamples, numChannels);
        processVoiceFeed (numSamples, numInputChannels, numChannels);
        processVoices (numSamples, numChannels);

        auto* bus = voiceBus.getArrayOfWritePointers();
        enhancer.process (bus, bus, numSamples, numChannels, numChannels);
        widthStage.process (bus, bus, numSamples, numChannels, numChannels);
    }

    mixVoiceBus (out, numSamples, numChannels);
    streaming = true;
}

void QelVocalMultiplierProcessor::processOctaveVoice (const float* const* input, int numSamples, int numChannels)
{
    // The voice runs while its gain is above 0 or heading away from it; at rest it is silent and costs
    // nothing. When it starts again its filters, shifter and delay forget what they held the last time,
    // so old audio is never replayed.
    const auto& gain = octaveGain.gainRamp;
    const bool running = gain.getCurrentValue() != 0.0f || gain.getTargetValue() != 0.0f;

    if (! running)
    {
        octave.clear (0, numSamples);
        octaveVoiceRunning = false;
        return;
    }

    if (! octaveVoiceRunning)
    {
        octavePreFilter.reset();
        octavePostFilter.reset();
        octaveShifter->reset();
        octaveDelay.reset();
        // Coming back while audio already flows; the first block of a stream starts as the stream does.
        if (streaming)
        {
            octaveFeedFade.setCurrentAndTargetValue (0.0f);
            octaveFeedFade.setTargetValue (1.0f);
        }
        octaveVoiceRunning = true;
    }

    for (int c = 0; c < numChannels; ++c)
        octave.copyFrom (c, 0, input[c], numSamples);

    auto* channels = octave.getArrayOfWritePointers();
    fadeIn (octaveFeedFade, channels, numChannels, numSamples);
    octavePreFilter.process (channels, channels, numSamples, numChannels, numChannels);

    float* voice = channels[0];
    octaveShifter->shiftpitch ((size_t) numSamples, voice, voice, octaveFactors, octaveQuefrency);

    for (int t = 0; t < numSamples; ++t)
    {
        octaveDelay.pushSample (0, voice[t]);
        voice[t] = octaveDelay.popSample (0);
    }

    if (numChannels == 2)
        octave.copyFrom (1, 0, voice, numSamples);

    octaveGain.process (channels, channels, numSamples, numChannels, numChannels);
    octavePostFilter.process (channels, channels, numSamples, numChannels, numChannels);
}

void QelVocalMultiplierProcessor::processDry (float* const* channels, int numSamples, int numChannels)
{
    latencyDelay.process (channels, numChannels, numSamples);
}

void QelVocalMultiplierProcessor::processWidenedCopy (int numSamples, int numChannels)
{
    for (int c = 0; c < numChannels; ++c)
        widened.copyFrom (c, 0, dry, c, 0, numSamples);

    // The copy is heard only while its gain is above 0 or heading away from it; at rest its filters
    // wait, and start again from silence.
    const bool audible = stereoCopyGain.getCurrentValue() != 0.0f || stereoCopyGain.getTargetValue() != 0.0f;

    if (! audible)
    {
        widenedCopyRunning = false;
        return;
    }

    if (! widenedCopyRunning)
    {
        stereoCopyHighPass.reset();
        widenedCopyRunning = true;
    }

    auto* channels = widened.getArrayOfWritePointers();
    stereoizer.process (channels, channels, numSamples, numChannels, numChannels);
    stereoCopyHighPass.process (channels, channels, numSamples, numChannels, numChannels);
}

void QelVocalMultiplierProcessor::processVoiceFeed (int numSamples, int numInputChannels, int numChannels)
{
    auto* channels = voiceFeed.getArrayOfWritePointers();
    voiceFeedFilter.process (channels, channels, numSamples, numChannels, numChannels);

    // The mono feed goes into the single voice's buffer; the voices shift from it.
    float* mono = voiceBuffers[maxVoices].getWritePointer (0);
    juce::FloatVectorOperations::copy (mono, channels[0], numSamples);

    if (numInputChannels == 2)
    {
        juce::FloatVectorOperations::add (mono, channels[1], numSamples);
        juce::FloatVectorOperations::multiply (mono, 0.5f, numSamples);
    }

    fadeIn (voiceFeedFade, &mono, 1, numSamples);

    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        // A silent voice whose gain rests at 0 is not heard: its shifter and delay wait (its drift and
        // ramps go on), and when it comes back they start again from silence.
        const auto& gain = voiceGains[i];
        const bool resting = gain.getCurrentValue() == 0.0f && gain.getTargetValue() == 0.0f;

        if (! resting && voiceResting[i])
            silenceVoice (i);

        voiceResting[i] = resting;

        if (resting)
            continue;

        catchUpVoiceTaps (i);
        auto& shifter = voiceShifters[i];
        shifter.ratio = voiceRatio (i);
        float* voice = voiceBuffers[i].getWritePointer (0);

        for (int t = 0; t < numSamples; ++t)
            voice[t] = shifter.processSample (0, mono[t]);
    }

    if (voiceCount == 1)
    {
        singleVoiceFactors[0] = singleVoiceFactor;
        singleVoiceShifter->shiftpitch ((size_t) numSamples, mono, mono, singleVoiceFactors, 0.0);
    }
}

void QelVocalMultiplierProcessor::setVoiceDetuneTargets()
{
    // The targets follow only the voice count and the spread; unchanged, setting them again changes nothing.
    if (voiceCount == detuneTargetsCount && spreadPercent == detuneTargetsSpread)
        return;

    detuneTargetsCount = voiceCount;
    detuneTargetsSpread = spreadPercent;
    const int n = voiceCount;

    for (int i = 0; i < maxVoices; ++i)
    {
        float detune = 0.0f;

        if (n == 1)
            detune = i == 0 ? -detuneRange : (i == 1 ? detuneRange : 0.0f);
        else if (i < n)
            detune = (float) i * 2.0f * detuneRange / (float) (n - 1) - detuneRange;

        voiceDetunes[(size_t) i].setTargetValue (detune);
        voicePans[(size_t) i].setTargetValue (voicePanTarget (i));
    }
}

float QelVocalMultiplierProcessor::voicePanTarget (int voice) const noexcept
{
    const float spread = spreadPercent / 100.0f;

    if (voiceCount == 1)
        return voice == 0 ? -spread : spread;

    const float f = (float) voice / (float) (voiceCount - 1);
    return spread * (f < 0.5f ? 2.0f * f - 1.0f : 2.0f * (f - 0.5f));
}

void QelVocalMultiplierProcessor::processVoices (int numSamples, int numChannels)
{
    // Voice count and spread change only between blocks, so their targets are set once per block.
    setVoiceDetuneTargets();

    // Resting timing ramps leave the delays as one step sets them; moving ones step every sample.
    const bool timingMoves = timingIsMoving();
    if (timingMoves)
        recordTimingSteps (numSamples);
    else
        settleTiming();

    float* left = voiceBus.getWritePointer (0);
    float* right = voiceBus.getWritePointer (1);
    startVoiceBus (left, right, numSamples, numChannels);

    // Voice by voice, each adds its whole block to the bus in voice order, as a sample-by-sample sum
    // would. A resting voice adds an exact zero to a sum that is never -0, so it is left out.
    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        if (voiceResting[i])
        {
            advance (voicePans[i], numSamples);
            advance (voiceGains[i], numSamples);
            continue;
        }

        delayVoice (i, timingMoves, numSamples);
        addVoice (i, left, right, numSamples);
    }

    for (int t = 0; t < numSamples; ++t)
    {
        const float key = voiceCompressor.getKeyLink (left[t], right[t]);
        voiceCompressor.process (left[t], right[t], key);
    }

    addSingleVoice (left, right, timingMoves, numSamples);
    advanceDrift (numSamples);

    // The next block's pitches follow the drift and detune of this block's last sample.
    updatePitchOffsets();
}

// Every sample's timing step, with the delay it gives each line kept for that sample's reads.
void QelVocalMultiplierProcessor::recordTimingSteps (int numSamples)
{
    timingSettled = false;

    for (int t = 0; t < numSamples; ++t)
    {
        updateTimingProcessorsStep();

        for (size_t i = 0; i < (size_t) maxVoices; ++i)
            delayTrack (i)[t] = voiceDelaySamples[i];
        delayTrack ((size_t) maxVoices)[t] = singleVoiceDelaySamples;
    }
}

float* QelVocalMultiplierProcessor::delayTrack (size_t line) noexcept
{
    return delayTracks.data() + line * (size_t) scratchCapacity;
}

// The bus starts from the widened copy (silent in mono on the right), each sum from +0 as a fresh sum does.
void QelVocalMultiplierProcessor::startVoiceBus (float* left, float* right, int numSamples, int numChannels)
{
    const float* copyLeft = widened.getReadPointer (0);
    const float* copyRight = widened.getReadPointer (numChannels > 1 ? 1 : 0);

    for (int t = 0; t < numSamples; ++t)
    {
        const float copyGain = stereoCopyGain.getNextValue();
        left[t] = 0.0f + copyGain * copyLeft[t];
        right[t] = numChannels > 1 ? 0.0f + copyGain * copyRight[t] : 0.0f;
    }
}

void QelVocalMultiplierProcessor::delayVoice (size_t voice, bool timingMoves, int numSamples) noexcept
{
    float* samples = voiceBuffers[voice].getWritePointer (0);

    if (timingMoves)
        voiceDelays[voice].process (samples, samples, delayTrack (voice), numSamples);
    else
        voiceDelays[voice].process (samples, samples, numSamples);
}

// A voice's delayed block, placed by its pan and scaled by its gain, onto the bus.
void QelVocalMultiplierProcessor::addVoice (size_t voice, float* left, float* right, int numSamples) noexcept
{
    const float* y = voiceBuffers[voice].getReadPointer (0);
    auto& panRamp = voicePans[voice];
    auto& gainRamp = voiceGains[voice];

    if (panRamp.isSmoothing() || gainRamp.isSmoothing())
    {
        for (int t = 0; t < numSamples; ++t)
        {
            const float pan = panRamp.getNextValue();
            const float gain = gainRamp.getNextValue();
            left[t] += y[t] * (1.0f - pan) * gain;
            right[t] += y[t] * (1.0f + pan) * gain;
        }
        return;
    }

    const float towardsLeft = 1.0f - panRamp.getTargetValue();
    const float towardsRight = 1.0f + panRamp.getTargetValue();
    const float gain = gainRamp.getTargetValue();

    for (int t = 0; t < numSamples; ++t)
    {
        left[t] += y[t] * towardsLeft * gain;
        right[t] += y[t] * towardsRight * gain;
    }
}

void QelVocalMultiplierProcessor::addSingleVoice (float* left, float* right, bool timingMoves, int numSamples) noexcept
{
    float* z = voiceBuffers[maxVoices].getWritePointer (0);

    if (timingMoves)
        singleVoiceDelay.process (z, z, delayTrack ((size_t) maxVoices), numSamples);
    else
        singleVoiceDelay.process (z, z, numSamples);

    for (int t = 0; t < numSamples; ++t)
    {
        left[t] = singleVoiceGain * z[t] + left[t];
        right[t] = z[t] * singleVoiceGain + right[t];
    }
}

// Only the block's last drift, detune and depth reach the pitches, so they move a whole block at once.
void QelVocalMultiplierProcessor::advanceDrift (int numSamples)
{
    advance (driftDepth, numSamples);
    singleDrift.skip (numSamples);

    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        voiceDrift[i].skip (numSamples);
        advance (voiceDetunes[i], numSamples);
    }
}

void QelVocalMultiplierProcessor::updatePitchOffsets() noexcept
{
    const float depth = driftDepth.getCurrentValue();
    singleVoiceFactor = singleVoiceFactorFor (singleDrift.getLastValue(), depth);

    for (size_t i = 0; i < (size_t) maxVoices; ++i)
        voicePitchOffsets[i] =
            voicePitchOffset (i, voiceDetunes[i].getCurrentValue(), voiceDrift[i].getLastValue(), depth);
}

void QelVocalMultiplierProcessor::processResting (float* const* channels, int numSamples, int numInputChannels,
                                                  int numOutputChannels)
{
    if (scratchCapacity == 0 || numOutputChannels < 1)
        return;

    juce::ignoreUnused (numInputChannels);
    processDry (channels, numSamples, juce::jlimit (1, 2, numOutputChannels));
    restControls (numSamples, numOutputChannels);
}

void QelVocalMultiplierProcessor::restControls (int numSamples, int numOutputChannels)
{
    if (scratchCapacity == 0 || numOutputChannels < 1)
        return;

    // Nothing here touches the block buffers, so a rest of any length goes in one step.
    applyControls();
    restVoicePath (numSamples, juce::jlimit (1, 2, numOutputChannels));
    octaveVoiceRunning = false;
    streaming = true;
    advance (wetLevel, numSamples);
    advance (levelCompensation, numSamples);
}

// Unheard, the voices' shifters and delays, their compressor, enhancer and width stage wait and start
// again from silence; the controls and the drift go on exactly as when heard, so the voices come back
// with the pitch, place and gain they would have had, and their shifters' taps keep time.
void QelVocalMultiplierProcessor::restVoicePath (int numSamples, int numChannels)
{
    enterVoicePathRest();

    juce::ignoreUnused (numChannels);

    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        const auto& gain = voiceGains[i];
        if (gain.getCurrentValue() != 0.0f || gain.getTargetValue() != 0.0f)
            restVoiceTaps (i, numSamples);
    }

    restVoiceControls (numSamples);
}

// A resting voice's taps owe the samples they rested at one ratio; they catch up when the ratio changes
// or the voice sings again, landing exactly where stepping them every block would have.
void QelVocalMultiplierProcessor::restVoiceTaps (size_t voice, int numSamples) noexcept
{
    const float ratio = voiceRatio (voice);
    auto& shifter = voiceShifters[voice];

    if (ratio != shifter.ratio || pendingTapSamples[voice] > (1 << 24))
        catchUpVoiceTaps (voice);

    shifter.ratio = ratio;
    pendingTapSamples[voice] += numSamples;
}

void QelVocalMultiplierProcessor::catchUpVoiceTaps (size_t voice) noexcept
{
    if (pendingTapSamples[voice] > 0)
        voiceShifters[voice].advance (0, pendingTapSamples[voice]);
    pendingTapSamples[voice] = 0;
}

// A voice's pitch ratio; the drift holds for hundreds of milliseconds, so the last one is mostly reused.
float QelVocalMultiplierProcessor::voiceRatio (size_t voice) noexcept
{
    const float offset = voicePitchOffsets[voice];
    if (offset != ratioPitchOffsets[voice] || pitchOffsetRatios[voice] == 0.0f)
    {
        ratioPitchOffsets[voice] = offset;
        pitchOffsetRatios[voice] = std::pow (2.0f, offset / 12.0f);
    }
    return pitchOffsetRatios[voice];
}

void QelVocalMultiplierProcessor::enterVoicePathRest() noexcept
{
    if (voicePathResting)
        return;

    voicePathResting = true;
    voiceResting.fill (true);
    // Nothing writes the bus while the path rests: cleared once, it stays silent.
    voiceBus.clear();
    widenedCopyRunning = false;
}

// What a resting voice path keeps: its ramps, drift, delay times and pitch offsets, exactly as when heard.
void QelVocalMultiplierProcessor::restVoiceControls (int numSamples)
{
    setVoiceDetuneTargets();
    advance (stereoCopyGain, numSamples);

    if (timingIsMoving())
    {
        for (int t = 0; t < numSamples; ++t)
            updateTimingProcessorsStep();
        timingSettled = false;
    }
    else
    {
        settleTiming();
    }

    advanceDrift (numSamples);

    for (size_t i = 0; i < (size_t) maxVoices; ++i)
    {
        advance (voicePans[i], numSamples);
        advance (voiceGains[i], numSamples);
    }
    updatePitchOffsets();
}

void QelVocalMultiplierProcessor::wakeVoicePath()
{
    if (! voicePathResting)
        return;

    voicePathResting = false;
    voiceFeedFade.setCurrentAndTargetValue (0.0f);
    voiceFeedFade.setTargetValue (1.0f);
    voiceFeedFilter.reset();
    voiceCompressor.initRuntime();
    enhancer.reset();
    widthStage.reset();
    singleVoiceDelay.reset();
    if (singleVoiceShifter != nullptr)
        singleVoiceShifter->reset();
}

// A raised cosine from silence: the voices' filters, shifters and delays hear their input rise without a
// corner, and pass it on the same way.
void QelVocalMultiplierProcessor::fadeIn (QEL::LinearRamp<float>& fade, float* const* channels, int numChannels,
                                          int numSamples) noexcept
{
    for (int t = 0; t < numSamples && fade.isSmoothing(); ++t)
    {
        const float gain = 0.5f - 0.5f * std::cos (juce::MathConstants<float>::pi * fade.getNextValue());

        for (int c = 0; c < numChannels; ++c)
            channels[c][t] *= gain;
    }
}

// The decaying tails of the voices' filters and shifters end in zeros, never in subnormal floats.
static float flushSubnormal (float x) noexcept
{
    return std::abs (x) < std::numeric_limits<float>::min() ? 0.0f : x;
}

void QelVocalMultiplierProcessor::mixVoiceBus (float* const* out, int numSamples, int numChannels)
{
    if (wetLevel.isSmoothing() || levelCompensation.isSmoothing())
    {
        for (int t = 0; t < numSamples; ++t)
        {
            const float w = wetLevel.getNextValue();
            const float k = levelCompensation.getNextValue();

            for (int c = 0; c < numChannels; ++c)
                out[c][t] =
                    flushSubnormal (voiceBus.getSample (c, t) * w * k + dry.getSample (c, t) + octave.getSample (c, t));
        }
        return;
    }

    // Both levels at rest: a channel at a time, in a loop the compiler can vectorise.
    const float w = wetLevel.getTargetValue();
    const float k = levelCompensation.getTargetValue();

    for (int c = 0; c < numChannels; ++c)
    {
        const float* bus = voiceBus.getReadPointer (c);
        const float* direct = dry.getReadPointer (c);
        const float* low = octave.getReadPointer (c);
        float* y = out[c];

        for (int t = 0; t < numSamples; ++t)
            y[t] = flushSubnormal (bus[t] * w * k + direct[t] + low[t]);
    }
}
