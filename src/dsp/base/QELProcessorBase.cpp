#include "dsp/base/QELProcessorBase.h"

#include <algorithm>
#include <cmath>

namespace juce
{
namespace
{
    // Mono blocks may still be handed a stereo buffer, so the dry path and the crossfade buffers always have
    // room for two channels.
    constexpr int minPreparedChannels = 2;

    void copyChannels (float* const* dest, const float* const* source, int numChannels, int numSamples)
    {
        for (int channel = 0; channel < numChannels; ++channel)
            juce::FloatVectorOperations::copy (dest[channel], source[channel], numSamples);
    }
} // namespace

QELProcessorBase::QELProcessorBase() = default;

QELProcessorBase::~QELProcessorBase() = default;

//==============================================================================
void QELProcessorBase::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    prepared = true;
    sampleRate = newSampleRate;
    inverseSampleRate = 1.0 / newSampleRate;
    samplesPerBlock = newSamplesPerBlock;

    if (dryDelayChannels < numChannels ||
        (dryDelayChannels > 0 && dryDelay.getMaximumDelayInSamples() < longestDryPathLatency (newSampleRate)))
        prepareDryDelay (numChannels, newSamplesPerBlock, newSampleRate);

    allocateScratch (numChannels, newSamplesPerBlock);

    // A switch requested before the ramp length is known stays instant.
    applyPendingSwitch();
    wetRamp.reset (sampleRate, (double) rampTimes[runningActive ? 0 : 1]);
    applyDryPathLatency();
}

void QELProcessorBase::prepare (const juce::dsp::ProcessSpec& spec)
{
    prepareDryDelay ((int) spec.numChannels, (int) spec.maximumBlockSize, spec.sampleRate);
    numChannels = (int) spec.numChannels;
    prepareToPlay (spec.sampleRate, (int) spec.maximumBlockSize);
}

void QELProcessorBase::setSamplesPerBlock (int newSamplesPerBlock)
{
    samplesPerBlock = newSamplesPerBlock;
}

void QELProcessorBase::reset()
{
    dryDelay.reset();
    applyPendingSwitch();
    wetRamp.reset (sampleRate, (double) rampTimes[runningActive ? 0 : 1]);
    applyDryPathLatency();
}

void QELProcessorBase::setTempo (double bpm)
{
    if (bpm != 0.0)
        tempo.store (bpm);
}

// The audio thread follows only the request, which is written last: a block that starts between the two
// writes sees the old state and no request, and switches (with its crossfade) at the next block.
void QELProcessorBase::setBypass (bool shouldBeActive)
{
    active.store (shouldBeActive);
    pendingSwitch.store (shouldBeActive ? setOnRequest : setOffRequest);
}

void QELProcessorBase::setBypassSmooth (bool shouldBeActive)
{
    active.store (shouldBeActive);
    pendingSwitch.store (shouldBeActive ? switchOnRequest : switchOffRequest);
}

void QELProcessorBase::setDryPathLatency (int samples)
{
    const int latency = juce::jlimit (0, maxDryPathLatency, samples);
    requestedDryLatency.store (latency);
    keepDryPathRunning.store (latency > 0);
}

//==============================================================================
void QELProcessorBase::processBypass (const float* const*, float* const* out, int numSamples, int,
                                      int numOutputChannels)
{
    dryDelay.process (out, std::min (numOutputChannels, dryDelayChannels), numSamples);
}

void QELProcessorBase::processDryImpl (const float* const*, float* const*, int, int, int) {}

void QELProcessorBase::processImpl (float*, int) {}

void QELProcessorBase::processImpl (float* const* channels, int numSamples, int, int numOutputChannels)
{
    for (int channel = 0; channel < numOutputChannels; ++channel)
    {
        for (int i = 0; i < numSamples; ++i)
        {
            float value = channels[channel][i];
            processImpl (&value, channel);
            channels[channel][i] = value;
        }
    }
}

void QELProcessorBase::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                    int numOutputChannels)
{
    processImpl (out, numSamples, numInputChannels, numOutputChannels);
}

void QELProcessorBase::processImpl (juce::dsp::ProcessContextReplacing<float>) {}

void QELProcessorBase::processWithSidechainImpl (const float* const*, float* const*, const float* const*, int, int, int,
                                                 int)
{
}

void QELProcessorBase::clearBuffers() {}

void QELProcessorBase::processWhileOff (float* const* channels, int numSamples, int numInputChannels,
                                        int numOutputChannels)
{
    processImpl (channels, channels, numSamples, numInputChannels, numOutputChannels);
}

//==============================================================================
void QELProcessorBase::process (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                int numOutputChannels)
{
    applyPendingRequests();

    const int chunkSize = dryScratch.getNumSamples();
    const int pointerSlots = (int) chunkOutputs.size();
    const int pointerCount = std::max (numInputChannels, numOutputChannels);

    if (chunkSize == 0 || numSamples <= chunkSize || pointerCount > pointerSlots)
    {
        processChunk (in, out, numSamples, numInputChannels, numOutputChannels);
        return;
    }

    // A block larger than prepared goes through in pieces the crossfade buffers can hold.
    const bool inPlace = static_cast<const void*> (in) == static_cast<const void*> (out);

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int length = std::min (chunkSize, numSamples - start);

        for (int channel = 0; channel < (inPlace ? pointerCount : numOutputChannels); ++channel)
            chunkOutputs[(size_t) channel] = out[channel] + start;

        for (int channel = 0; channel < (inPlace ? 0 : numInputChannels); ++channel)
            chunkInputs[(size_t) channel] = in[channel] + start;

        const float* const* chunkIn = inPlace ? chunkOutputs.data() : chunkInputs.data();
        processChunk (chunkIn, chunkOutputs.data(), length, numInputChannels, numOutputChannels);
    }
}

void QELProcessorBase::process (juce::dsp::ProcessContextReplacing<float> context)
{
    applyPendingRequests();

    auto& block = context.getOutputBlock();
    const auto numSamples = block.getNumSamples();
    const auto chunkSize = (size_t) dryScratch.getNumSamples();

    if (chunkSize == 0 || numSamples <= chunkSize)
    {
        processContextChunk (context);
        return;
    }

    for (size_t start = 0; start < numSamples; start += chunkSize)
    {
        auto piece = block.getSubBlock (start, std::min (chunkSize, numSamples - start));
        juce::dsp::ProcessContextReplacing<float> pieceContext (piece);
        pieceContext.isBypassed = context.isBypassed;
        processContextChunk (pieceContext);
    }
}

//==============================================================================
void QELProcessorBase::processChunk (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                     int numOutputChannels)
{
    endRampWhenScratchMissing (numSamples, numInputChannels, numOutputChannels);
    dryPathRan = false;

    if (wetRamp.isSmoothing())
        processRamp (in, out, numSamples, numInputChannels, numOutputChannels);
    else if (runningActive)
        processSteadyOn (in, out, numSamples, numInputChannels, numOutputChannels);
    else
        processSteadyOff (out, numSamples, numInputChannels, numOutputChannels);
}

void QELProcessorBase::processSteadyOn (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                        int numOutputChannels)
{
    if (runDryPath && scratchFits (numSamples, numInputChannels, numOutputChannels))
    {
        // Keeps the dry path's history current while its output is not needed.
        auto* dry = dryScratch.getArrayOfWritePointers();
        copyChannels (dry, out, numOutputChannels, numSamples);
        processBypass (dry, dry, numSamples, numInputChannels, numOutputChannels);
        dryPathRan = true;
    }

    processImpl (in, out, numSamples, numInputChannels, numOutputChannels);
    dryPathRan = false;
}

void QELProcessorBase::processSteadyOff (float* const* out, int numSamples, int numInputChannels, int numOutputChannels)
{
    if (! runsWhenOff())
        return;

    if (scratchFits (numSamples, numInputChannels, numOutputChannels))
    {
        // Keeps the processing's state current while its output is not needed.
        auto* wet = wetScratch.getArrayOfWritePointers();
        copyChannels (wet, out, numOutputChannels, numSamples);
        processWhileOff (wet, numSamples, numInputChannels, numOutputChannels);
    }

    if (runDryPath)
        processBypass (out, out, numSamples, numInputChannels, numOutputChannels);
}

bool QELProcessorBase::runsWhenOff() const noexcept
{
    return runDryPath || keepRunningWhenOff.load();
}

void QELProcessorBase::processRamp (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                    int numOutputChannels)
{
    const auto gains = advanceRamp (numSamples);

    if (numSamples > 0)
    {
        auto* dry = dryScratch.getArrayOfWritePointers();
        auto* wet = wetScratch.getArrayOfWritePointers();
        copyChannels (dry, in, numOutputChannels, numSamples);
        copyChannels (wet, in, numOutputChannels, numSamples);

        if (runDryPath)
            processBypass (dry, dry, numSamples, numInputChannels, numOutputChannels);

        dryPathRan = runDryPath;
        processImpl (wet, wet, numSamples, numInputChannels, numOutputChannels);
        dryPathRan = false;

        for (int channel = 0; channel < numOutputChannels; ++channel)
            crossfadeChannel (out[channel], dry[channel], wet[channel], numSamples, gains);
    }

    clearBuffersWhenOffRampEnded();
}

void QELProcessorBase::processContextChunk (juce::dsp::ProcessContextReplacing<float> context)
{
    auto& block = context.getOutputBlock();
    const int blockChannels = (int) block.getNumChannels();
    endRampWhenScratchMissing ((int) block.getNumSamples(), blockChannels, blockChannels);

    if (wetRamp.isSmoothing())
        processContextRamp (context);
    else if (runningActive)
        processImpl (context);
}

void QELProcessorBase::processContextRamp (juce::dsp::ProcessContextReplacing<float> context)
{
    const auto& input = context.getInputBlock();
    auto& output = context.getOutputBlock();
    const int numSamples = (int) output.getNumSamples();
    const int channels = (int) output.getNumChannels();
    const auto gains = advanceRamp (numSamples);

    if (numSamples > 0)
    {
        auto* dry = dryScratch.getArrayOfWritePointers();
        auto* wet = wetScratch.getArrayOfWritePointers();

        for (int channel = 0; channel < channels; ++channel)
        {
            juce::FloatVectorOperations::copy (dry[channel], input.getChannelPointer ((size_t) channel), numSamples);
            juce::FloatVectorOperations::copy (wet[channel], input.getChannelPointer ((size_t) channel), numSamples);
        }

        juce::dsp::AudioBlock<float> wetBlock (wet, (size_t) channels, (size_t) numSamples);
        processImpl (juce::dsp::ProcessContextReplacing<float> (wetBlock));

        for (int channel = 0; channel < channels; ++channel)
            crossfadeChannel (output.getChannelPointer ((size_t) channel), dry[channel], wet[channel], numSamples,
                              gains);
    }

    clearBuffersWhenOffRampEnded();
}

//==============================================================================
QELProcessorBase::RampGains QELProcessorBase::advanceRamp (int numSamples) noexcept
{
    RampGains gains;

    // The smooth crossfade moves one step per sample from where the last block ended, so the blocks of a
    // crossfade join without a step whatever their size.
    if (smoothCrossfade)
    {
        gains.smooth = true;
        gains.start = wetRamp.getCurrentValue();
        gains.end = wetRamp.skip (numSamples);
        return gains;
    }

    gains.start = wetRamp.getNextValue();
    gains.end = numSamples > 0 ? wetRamp.skip (numSamples) : gains.start;
    return gains;
}

void QELProcessorBase::crossfadeChannel (float* dest, const float* dry, const float* wet, int numSamples,
                                         RampGains gains) noexcept
{
    if (gains.smooth)
    {
        const float increment = (gains.end - gains.start) / (float) numSamples;

        for (int i = 0; i < numSamples; ++i)
        {
            const float position = juce::jlimit (0.0f, 1.0f, gains.start + increment * (float) (i + 1));
            const float wetGain = 0.5f - 0.5f * std::cos (juce::MathConstants<float>::pi * position);
            dest[i] = dry[i] + wetGain * (wet[i] - dry[i]);
        }
        return;
    }

    const float dryIncrement = ((1.0f - gains.end) - (1.0f - gains.start)) / (float) numSamples;
    const float wetIncrement = (gains.end - gains.start) / (float) numSamples;

    float dryGain = 1.0f - gains.start;

    for (int i = 0; i < numSamples; ++i)
    {
        dest[i] = dryGain * dry[i];
        dryGain += dryIncrement;
    }

    float wetGain = gains.start;

    for (int i = 0; i < numSamples; ++i)
    {
        dest[i] += wetGain * wet[i];
        wetGain += wetIncrement;
    }
}

void QELProcessorBase::clearBuffersWhenOffRampEnded()
{
    if (! wetRamp.isSmoothing() && ! runningActive)
        clearBuffers();
}

//==============================================================================
void QELProcessorBase::applyPendingRequests()
{
    applyPendingSwitch();
    applyDryPathLatency();
}

void QELProcessorBase::applyPendingSwitch()
{
    // Most blocks find no request: a plain load spares them the locked exchange.
    if (pendingSwitch.load (std::memory_order_relaxed) == noSwitchRequest)
        return;

    const int request = pendingSwitch.exchange (noSwitchRequest);

    if (request == noSwitchRequest)
        return;

    runningActive = request == switchOnRequest || request == setOnRequest;

    if (request == switchOnRequest || request == switchOffRequest)
        startSwitchRamp (runningActive);
    else
        wetRamp.setCurrentAndTargetValue (runningActive ? 1.0f : 0.0f); // a later crossfade starts from here
}

void QELProcessorBase::startSwitchRamp (bool switchOn)
{
    // Unequal on and off times: the new direction brings its own length, and a running ramp ends first.
    if (rampTimes[0] != rampTimes[1])
        wetRamp.reset (sampleRate, (double) rampTimes[switchOn ? 0 : 1]);

    wetRamp.setTargetValue (switchOn ? 1.0f : 0.0f);
}

void QELProcessorBase::applyDryPathLatency()
{
    const int latency = requestedDryLatency.load();

    if (latency != appliedDryLatency)
    {
        // An idle dry path holds stale history; start it from silence.
        if (appliedDryLatency == 0)
            dryDelay.reset();

        dryDelay.setDelay (latency);
        appliedDryLatency = latency;
    }

    runDryPath = keepDryPathRunning.load();
}

int QELProcessorBase::longestDryPathLatency (double rate) const noexcept
{
    int longest = requestedDryLatency.load();
    if (dryPathReserved)
    {
        const double reservedSeconds = std::floor ((double) reservedDryPathSeconds * rate);
        longest =
            std::max (longest, reservedDryPathSamples + (int) std::min (reservedSeconds, (double) maxDryPathLatency));
    }
    return juce::jlimit (0, maxDryPathLatency, longest);
}

void QELProcessorBase::prepareDryDelay (int channels, int blockSize, double rate)
{
    // Most blocks never delay their dry signal: they hold no history for it.
    if (requestedDryLatency.load() == 0 && ! dryPathReserved)
        return;

    // Room for the longest latency the block may be given at this rate, not for any latency at all.
    dryDelayChannels = std::max (channels, minPreparedChannels);
    dryDelay.prepare (dryDelayChannels, longestDryPathLatency (rate), std::max (blockSize, 1));
}

void QELProcessorBase::allocateScratch (int channels, int blockSize)
{
    const int scratchChannels = std::max (channels, minPreparedChannels);
    const int scratchSamples = std::max (blockSize, 1);
    dryScratch.setSize (scratchChannels, scratchSamples);
    wetScratch.setSize (scratchChannels, scratchSamples);
    chunkInputs.assign ((size_t) scratchChannels, nullptr);
    chunkOutputs.assign ((size_t) scratchChannels, nullptr);
}

bool QELProcessorBase::scratchFits (int numSamples, int numInputChannels, int numOutputChannels) const noexcept
{
    return numSamples <= dryScratch.getNumSamples() &&
           std::max (numInputChannels, numOutputChannels) <= dryScratch.getNumChannels();
}

void QELProcessorBase::endRampWhenScratchMissing (int numSamples, int numInputChannels, int numOutputChannels)
{
    // Unprepared, or more channels than prepared: finish the crossfade rather than overrun a buffer.
    if (! wetRamp.isSmoothing() || numSamples <= 0 || scratchFits (numSamples, numInputChannels, numOutputChannels))
        return;

    wetRamp.setCurrentAndTargetValue (wetRamp.getTargetValue());

    if (! runningActive)
        clearBuffers();
}
} // namespace juce
