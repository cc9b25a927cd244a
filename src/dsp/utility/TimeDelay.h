#pragma once

#include <cstddef>
#include <vector>

/** A fixed-length single-channel delay line with feedback, stepped one sample at a time by its user.

    A delay of 0 samples passes the input straight through and leaves the line (buffer and write position)
    untouched. The user keeps delaySamples between 0 and length. */
class TimeDelay
{
public:
    /** The line's length in samples. */
    static constexpr int defaultLength = 188200;

    /** Builds a cleared line of lineLength samples with the given delay and feedback; the rate is nominal
        (44100 Hz) and the write position starts at 0. Any length above the delay gives the same output. */
    explicit TimeDelay (int initialDelaySamples = 0, double initialFeedback = 0.0, int nominalSampleRate = 44100,
                        int initialWriteIndex = 0, int lineLength = defaultLength);

    /** Writes one sample and returns the sample delaySamples steps old; also stored in lastOutput. */
    float step (float in) noexcept
    {
        if (delaySamples == 0)
        {
            lastOutput = in;
            return in;
        }

        writeIndex = (writeIndex + 1) % length;
        int read = writeIndex - delaySamples;
        if (read < 0)
            read += length;

        const float out = buffer[(std::size_t) read];
        lastOutput = out;
        buffer[(std::size_t) writeIndex] = (float) (feedback * out + in);
        return out;
    }

    /** Zeroes the whole buffer. */
    void clear() noexcept;

    int delaySamples = 0;
    double feedback = 0.0;
    double lastOutput = 0.0;
    int writeIndex = 0;
    int length = defaultLength;
    int sampleRate = 44100;
    std::vector<float> buffer;
};
