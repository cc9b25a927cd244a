#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

namespace QEL
{
/** Linear interpolation between neighbouring samples (the read type of PitchShifter). */
struct DLLinear
{
};

/** A time-domain pitch shifter: a circular buffer written at normal speed and read by two taps half a
    buffer apart that move at the pitch ratio, crossfading to the other tap while one passes the write
    position. Each sample is stored twice (at its index and one buffer length further on) so that an
    interpolated read never wraps. */
template <typename SampleType, typename InterpolationType = DLLinear> class PitchShifter
{
public:
    /** Sizes the buffer for numChannels channels (reallocating only on a change) and resets. */
    void prepare (int numChannels)
    {
        buffer.setSize (numChannels, 2 * length);
        channelData = buffer.getArrayOfWritePointers();
        writeIndex.resize ((std::size_t) numChannels);
        readPosition.resize ((std::size_t) numChannels);
        crossfade.resize ((std::size_t) numChannels);
        reset();
    }

    /** Silences the buffer and puts both taps back at 0 and half a buffer. */
    void reset()
    {
        std::fill (writeIndex.begin(), writeIndex.end(), 0);
        std::fill (readPosition.begin(), readPosition.end(), SampleType (0));
        std::fill (crossfade.begin(), crossfade.end(), SampleType (0));

        // Samples reach the buffer through channelData, which the buffer's "is clear" flag never sees,
        // so every channel is zeroed explicitly.
        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
            juce::FloatVectorOperations::clear (channelData[channel], buffer.getNumSamples());
    }

    /** Silences the buffer and leaves the taps where they are. */
    void clearBuffer()
    {
        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
            juce::FloatVectorOperations::clear (channelData[channel], buffer.getNumSamples());
    }

    /** Shifts one sample of a channel and returns the output sample. */
    SampleType processSample (int channel, SampleType x) noexcept
    {
        const auto c = (std::size_t) channel;
        auto* b = channelData[channel];
        const int w = writeIndex[c];
        const SampleType r = readPosition[c];

        b[w] = x;
        b[w + length] = x;

        const SampleType r2 = secondTap (r);
        const int i1 = (int) r;
        const int i2 = (int) r2;
        const SampleType ya = b[i1] + (b[i1 + 1] - b[i1]) * (r - (SampleType) i1);
        const SampleType yb = b[i2] + (b[i2 + 1] - b[i2]) * (r2 - (SampleType) i2);

        const SampleType g = stepTaps (c);
        return g * ya + (1 - g) * yb;
    }

    /** Moves the taps and their crossfade of a channel on by numSamples exactly as processSample would,
        without reading or writing the buffer: a shifter that is not heard keeps its timing. */
    void advance (int channel, int numSamples) noexcept
    {
        // The same steps as stepTaps, on local copies of the state, which stay in registers.
        const auto c = (std::size_t) channel;
        int w = writeIndex[c];
        SampleType r = readPosition[c];
        SampleType g = crossfade[c];

        for (int i = 0; i < numSamples; ++i)
        {
            g = crossfadeAt (w, r, g);
            w = w + 1 >= length ? 0 : w + 1;
            const SampleType next = r + ratio;
            r = (int) next >= length ? SampleType (0) : next;
        }

        writeIndex[c] = w;
        readPosition[c] = r;
        crossfade[c] = g;
    }

    juce::AudioBuffer<SampleType> buffer;
    SampleType* const* channelData = nullptr;
    std::vector<int> writeIndex;
    std::vector<SampleType> readPosition;
    /** Read speed relative to the write speed: the pitch factor. */
    SampleType ratio = 1;
    std::vector<SampleType> crossfade;
    int crossfadeLength = 256;
    int length = 4096;
    SampleType halfLength = 2048;

private:
    SampleType secondTap (SampleType r) const noexcept { return halfLength > r ? r + halfLength : r - halfLength; }

    /** The crossfade for write position w and first tap r, given the last crossfade g. */
    SampleType crossfadeAt (int w, SampleType r, SampleType g) const noexcept
    {
        const SampleType r2 = secondTap (r);
        const int i1 = (int) r;
        const int i2 = (int) r2;

        if (w - i1 <= crossfadeLength && (SampleType) w - r >= 0)
            g = ((SampleType) w - r) / (SampleType) crossfadeLength;
        else if (w == i1)
            g = 0;

        if (w - i2 <= crossfadeLength && (SampleType) w - r2 >= 0)
            g = 1 - ((SampleType) w - r2) / (SampleType) crossfadeLength;
        else if (w == i2)
            g = 1;

        return g;
    }

    /** The crossfade for the current taps, then the taps one sample on; returns the crossfade. */
    SampleType stepTaps (std::size_t c) noexcept
    {
        const int w = writeIndex[c];
        const SampleType r = readPosition[c];
        const SampleType g = crossfadeAt (w, r, crossfade[c]);
        crossfade[c] = g;

        writeIndex[c] = w + 1 >= length ? 0 : w + 1;
        const SampleType next = r + ratio;
        readPosition[c] = (int) next >= length ? SampleType (0) : next;
        return g;
    }
};
} // namespace QEL
