#include "dsp/dynamics/LookAheadCompressorProcessor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace QEL
{
namespace
{
    int wrap (int index, int length)
    {
        index %= length;
        return index < 0 ? index + length : index;
    }
} // namespace

//==============================================================================
LookAheadCompressorProcessor::LookAheadCompressorProcessor() = default;

LookAheadCompressorProcessor::~LookAheadCompressorProcessor() = default;

float LookAheadCompressorProcessor::coefficientFor (float seconds, double rate, bool exact)
{
    if (seconds == 0.0f)
        return 1.0f;

    const double samples = (double) seconds * rate;
    return exact ? (float) (1.0 - std::pow (0.01, 1.0 / samples)) : (float) (1.0 - std::exp (-1.0 / samples));
}

void LookAheadCompressorProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);

    attackCoef = coefficientFor (attackSeconds, sampleRate, attackExact);
    releaseCoef = coefficientFor (releaseSeconds, sampleRate, releaseExact);
    halfKnee = knee / 2.0f;

    const int newBlockSize = std::max ((int) spec.maximumBlockSize, 1);
    effectiveLookAheadSeconds = std::max (0.0f, lookAheadSeconds);
    delayInSamples = (int) ((double) effectiveLookAheadSeconds * sampleRate);

    gainBuffer.assign ((size_t) (newBlockSize + delayInSamples), 0.0f);
    writePosition = 0;
    lastBlockSize = 0;

    // A mono block may still be handed a stereo buffer.
    delay.prepare (std::max ((int) spec.numChannels, 2), delayInSamples, newBlockSize);
    delay.setDelay (delayInSamples);
    gainsSettled = true;

    // A thousandth of a decibel below the knee, so the rounding of the level in decibels cannot reach it.
    restingKeyBound = (float) std::pow (10.0, ((double) thresholdDb - (double) halfKnee - 0.001) / 20.0);

    if (newBlockSize != maxBlockSize)
        work.setSize (2, (newBlockSize + 3) / 4 * 4, false, true, true);

    maxBlockSize = newBlockSize;
}

void LookAheadCompressorProcessor::reset()
{
    juce::QELProcessorBase::reset();
    envelope = 0.0f;
}

void LookAheadCompressorProcessor::clearBuffers()
{
    delay.reset();
    gainsSettled = true;
    std::fill (gainBuffer.begin(), gainBuffer.end(), 0.0f);
    envelope = 0.0f;
    holdCounter = 0;
}

//==============================================================================
void LookAheadCompressorProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                                int numInputChannels, int numOutputChannels)
{
    if (maxBlockSize == 0 || numSamples <= 0 || numOutputChannels <= 0)
        return;

    if (static_cast<const void*> (in) != static_cast<const void*> (out))
        for (int channel = 0; channel < std::min (numInputChannels, numOutputChannels); ++channel)
            if (in[channel] != out[channel])
                juce::FloatVectorOperations::copy (out[channel], in[channel], numSamples);

    // Work and gain buffers hold one prepared block: a larger block goes through in pieces.
    float* piece[64];
    const int channels = std::min (numOutputChannels, 64);

    for (int start = 0; start < numSamples; start += maxBlockSize)
    {
        for (int channel = 0; channel < channels; ++channel)
            piece[channel] = out[channel] + start;

        processPiece (piece, std::min (maxBlockSize, numSamples - start), channels);
    }
}

void LookAheadCompressorProcessor::processPiece (float* const* out, int numSamples, int numChannels)
{
    computeKey (out, numSamples, numChannels);

    if (restsThrough (numSamples))
    {
        rest (out, numSamples, numChannels);
        return;
    }

    computeGains (numSamples);
    float* gains = work.getWritePointer (1);

    if (lookAheadEnabled)
    {
        delay.process (out, numChannels, numSamples);
        storeAndFadeIn (numSamples);
        readBackGains (numSamples);
        noteWhetherSettled();
    }
    else
    {
        for (int i = 0; i < numSamples; ++i)
            gains[i] = std::pow (10.0f, (gains[i] + makeupDb) / 20.0f);
    }

    for (int channel = 0; channel < numChannels; ++channel)
        juce::FloatVectorOperations::multiply (out[channel], gains, numSamples);
}

// With every stored gain at 0 dB, the envelope at rest and no level in the block reaching the knee, each
// gain the block would compute, store and read back is exactly 0 dB: the output is the delayed input.
bool LookAheadCompressorProcessor::restsThrough (int numSamples) const noexcept
{
    if (! (lookAheadEnabled && gainsSettled && envelope == 0.0f && makeupDb == 0.0f))
        return false;

    const float* key = work.getReadPointer (0);
    bool below = true;
    for (int i = 0; i < numSamples; ++i)
        below &= key[i] < restingKeyBound;
    return below;
}

// What the full path leaves behind for such a block: the audio delayed, zeros stored, the hold re-armed.
void LookAheadCompressorProcessor::rest (float* const* out, int numSamples, int numChannels) noexcept
{
    delay.process (out, numChannels, numSamples);
    envelope = 0.0f;
    holdCounter = holdSamples;
    writePosition = (writePosition + numSamples) % (int) gainBuffer.size();
    lastBlockSize = numSamples;
}

void LookAheadCompressorProcessor::noteWhetherSettled() noexcept
{
    gainsSettled = envelope == 0.0f &&
                   std::all_of (gainBuffer.begin(), gainBuffer.end(), [] (float gain) { return gain == 0.0f; });
}

void LookAheadCompressorProcessor::computeKey (float* const* out, int numSamples, int numChannels)
{
    float* key = work.getWritePointer (0);
    float* magnitudes = work.getWritePointer (1);
    juce::FloatVectorOperations::abs (key, out[0], numSamples);

    for (int channel = 1; channel < numChannels; ++channel)
    {
        juce::FloatVectorOperations::abs (magnitudes, out[channel], numSamples);
        juce::FloatVectorOperations::max (key, key, magnitudes, numSamples);
    }
}

void LookAheadCompressorProcessor::computeGains (int numSamples)
{
    const float* key = work.getReadPointer (0);
    float* gains = work.getWritePointer (1);

    for (int i = 0; i < numSamples; ++i)
    {
        const float levelDb = key[i] > 0.0f ? 20.0f * std::log10 (key[i]) : -std::numeric_limits<float>::infinity();
        const float over = levelDb - thresholdDb;

        // The first test also covers a knee of 0, so the knee's division never sees 0 / 0.
        float target = 0.0f;
        if (over <= -halfKnee)
            target = 0.0f;
        else if (over <= halfKnee)
            target = slope * 0.5f * (halfKnee + over) * (halfKnee + over) / knee;
        else
            target = slope * over;

        const float difference = target - envelope;

        if (difference < 0.0f)
        {
            if (holdCounter > 0)
                --holdCounter;
            else
                envelope += difference * attackCoef;
        }
        else
        {
            holdCounter = holdSamples;
            envelope += difference * releaseCoef;
        }

        gains[i] = envelope;
    }
}

void LookAheadCompressorProcessor::storeAndFadeIn (int numSamples)
{
    const int length = (int) gainBuffer.size();
    const float* gains = work.getReadPointer (1);

    for (int i = 0; i < numSamples; ++i)
        gainBuffer[(size_t) ((writePosition + i) % length)] = gains[i];

    writePosition = (writePosition + numSamples) % length;
    lastBlockSize = numSamples;

    // Walking back from the newest value, every dip is preceded by a straight line in dB from 0 down to
    // it over delayInSamples samples.
    float ramp = 0.0f;
    float step = 0.0f;
    int index = writePosition;

    for (int i = 0; i < numSamples; ++i)
    {
        index = wrap (index - 1, length);
        float& value = gainBuffer[(size_t) index];

        if (value > ramp)
        {
            value = ramp;
            ramp += step;
        }
        else
        {
            step = delayInSamples > 0 ? -value / (float) delayInSamples : 0.0f;
            ramp = value + step;
        }
    }

    for (int i = 0; i < delayInSamples; ++i)
    {
        index = wrap (index - 1, length);
        float& value = gainBuffer[(size_t) index];

        if (! (value > ramp))
            break;

        value = ramp;
        ramp += step;
    }
}

void LookAheadCompressorProcessor::readBackGains (int numSamples)
{
    const int length = (int) gainBuffer.size();
    const int start = wrap (writePosition - delayInSamples - numSamples, length);
    float* gains = work.getWritePointer (1);

    for (int i = 0; i < numSamples; ++i)
    {
        const float decibels = gainBuffer[(size_t) ((start + i) % length)] + makeupDb;
        gains[i] = decibels <= -100.0f ? 0.0f : std::pow (10.0f, decibels / 20.0f);
    }
}
} // namespace QEL
