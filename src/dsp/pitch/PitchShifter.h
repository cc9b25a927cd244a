#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
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
        without reading or writing the buffer: a shifter that is not heard keeps its timing. Runs of steps
        in which nothing but the taps move are taken at once. */
    void advance (int channel, int numSamples) noexcept
    {
        const auto c = (std::size_t) channel;
        int w = writeIndex[c];
        SampleType r = readPosition[c];
        SampleType g = crossfade[c];

        while (numSamples > 0)
        {
            const int leapt = leap (w, r, g, numSamples);
            if (leapt > 0)
            {
                numSamples -= leapt;
                continue;
            }

            g = crossfadeAt (w, r, g);
            w = w + 1 >= length ? 0 : w + 1;
            const SampleType next = r + ratio;
            r = (int) next >= length ? SampleType (0) : next;
            --numSamples;
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

    /** True when the crossfade is set afresh at write position w and first tap r (it does not keep its
        last value). */
    bool crossfadeIsSet (int w, SampleType r) const noexcept
    {
        const SampleType r2 = secondTap (r);
        const int i1 = (int) r;
        const int i2 = (int) r2;
        return (w - i1 <= crossfadeLength && (SampleType) w - r >= 0) || w == i1 ||
               (w - i2 <= crossfadeLength && (SampleType) w - r2 >= 0) || w == i2;
    }

    /** Takes up to numSamples steps at once where that lands exactly where single steps would: neither
        index wraps, the first tap stays within one binade of the float format (so each addition of the
        ratio rounds by the same amount), and the crossfade is either set at the last step or by none.
        Returns the steps taken (0 when a single step must be taken first). */
    int leap (int& w, SampleType& r, SampleType& g, int numSamples) const noexcept
    {
        if constexpr (! std::is_same_v<SampleType, float>)
        {
            juce::ignoreUnused (w, r, g, numSamples);
            return 0;
        }
        else
        {
            if (! (r >= std::numeric_limits<float>::min() && ratio > 0.0f) || numSamples < 2)
                return 0;

            // In the binade [top / 2, top) floats are the multiples of spacing: r + ratio rounds to
            // r + step while the sum stays below top (no tie can depend on r, or the run is refused).
            const double bottom = binadeBottom (r);
            const double top = 2.0 * bottom;
            const double spacing = bottom * (double) std::numeric_limits<float>::epsilon();
            const double quotient = (double) ratio / spacing;
            if (quotient >= 0x1p48)
                return 0;
            // quotient is below 2^48 and positive: truncation is its floor.
            const auto whole = (double) (std::int64_t) quotient;
            if (quotient - whole == 0.5)
                return 0;
            const double step = (quotient - whole > 0.5 ? whole + 1.0 : whole) * spacing;
            if (step <= 0.0)
                return 0;

            // Sums in double are exact here: every term is a multiple of spacing or of ratio's ulp below 2^14.
            const double r0 = (double) r;
            auto steps = (long) std::min (numSamples, length - 1 - w);
            const double room = (top - (double) ratio - r0) / step;
            steps = room < 0.0 ? 0 : std::min (steps, (long) room + 1);
            while (steps > 0 && r0 + (double) (steps - 1) * step + (double) ratio >= top)
                --steps;
            while (steps > 0 && r0 + (double) steps * step >= (double) length)
                --steps;
            if (steps < 2)
                return 0;

            const int lastW = w + (int) steps - 1;
            const auto lastR = (float) (r0 + (double) (steps - 1) * step);
            if (crossfadeIsSet (lastW, lastR))
                g = crossfadeAt (lastW, lastR, g);
            else if (! clearOfCrossfades ((double) w - r0, (double) lastW - (double) lastR))
                return 0;

            w += (int) steps;
            r = (float) (r0 + (double) steps * step);
            return (int) steps;
        }
    }

    /** The power of two at or just below a positive normal float (its exponent bits alone). */
    static double binadeBottom (float x) noexcept
    {
        return (double) std::bit_cast<float> (std::bit_cast<std::uint32_t> (x) & 0x7f800000u);
    }

    /** True when no position between the distances first and last of write index and first tap (they move
        linearly) can set the crossfade: the first tap's zone (-1, fade] or the second tap's, half a buffer
        away on either side, with a margin for the second tap's rounding. */
    bool clearOfCrossfades (double first, double last) const noexcept
    {
        const double lo = std::min (first, last) - 2.0, hi = std::max (first, last) + 2.0;
        const auto half = (double) halfLength, fade = (double) crossfadeLength;

        for (const double centre : { 0.0, half, -half })
            if (hi > centre - 1.0 && lo <= centre + fade)
                return false;
        return true;
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
