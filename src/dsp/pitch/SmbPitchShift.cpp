#include "dsp/pitch/SmbPitchShift.h"

#include "dsp/pitch/ButterflyColumn.h"

#include <algorithm>
#include <cmath>

namespace juce
{
namespace
{
    constexpr double pi = 3.14159265358979323846;

    // atan2 of (y, x) with the vocoder's conventions: 0 when y is 0, ±π/2 when only x is 0.
    double phaseOf (double y, double x) noexcept
    {
        if (y == 0.0)
            return 0.0;
        if (x == 0.0)
            return (y > 0.0 ? 1.0 : -1.0) * pi / 2.0;
        return std::atan2 (y, x);
    }

    double hann (long k) noexcept
    {
        return -0.5 * std::cos (2.0 * pi * (double) k / (double) SmbPitchShift::frameSize) + 0.5;
    }
} // namespace

void SmbPitchShift::clearState() noexcept
{
    inputFifo.fill (0.0f);
    outputFifo.fill (0.0f);
    workspace.fill (0.0f);
    lastPhase.fill (0.0f);
    phaseSum.fill (0.0f);
    outputAccumulator.fill (0.0f);
    analysisFrequency.fill (0.0f);
    analysisMagnitude.fill (0.0f);
    initialised = 1;
}

void SmbPitchShift::restart() noexcept
{
    clearState();
    synthesisFrequency.fill (0.0f);
    synthesisMagnitude.fill (0.0f);
    rover = 0;
}

void SmbPitchShift::smbPitchShift (float pitchShift, long numSamples, long, long, float sampleRate, const float* input,
                                   float* output) noexcept
{
    if (initialised == 0)
        clearState();

    if (rover == 0)
        rover = latency;

    for (long i = 0; i < numSamples; ++i)
    {
        const float x = input[i];
        output[i] = outputFifo[(std::size_t) (rover - latency)];
        inputFifo[(std::size_t) rover] = x;
        ++rover;

        if (rover >= frameSize)
        {
            rover = latency;
            processFrame (pitchShift, sampleRate);
        }
    }
}

void SmbPitchShift::processFrame (float pitchShift, float sampleRate) noexcept
{
    constexpr long half = frameSize / 2;
    constexpr long step = frameSize / oversampling;
    const double binWidth = (double) sampleRate / (double) frameSize;
    const double expected = 2.0 * pi * (double) step / (double) frameSize;

    for (long k = 0; k < frameSize; ++k)
    {
        workspace[(std::size_t) (2 * k)] = (float) (inputFifo[(std::size_t) k] * hann (k));
        workspace[(std::size_t) (2 * k + 1)] = 0.0f;
    }

    smbFft (workspace.data(), -1);

    for (long k = 0; k <= half; ++k)
    {
        const double re = workspace[(std::size_t) (2 * k)];
        const double im = workspace[(std::size_t) (2 * k + 1)];
        const double magnitude = 2.0 * std::sqrt (re * re + im * im);
        const double phase = phaseOf (im, re);

        double d = phase - lastPhase[(std::size_t) k];
        lastPhase[(std::size_t) k] = (float) phase;
        d -= (double) k * expected;

        long q = (long) (d / pi);
        if (q >= 0)
            q += q & 1;
        else
            q -= q & 1;
        d -= pi * (double) q;
        d = (double) oversampling * d / (2.0 * pi);

        analysisMagnitude[(std::size_t) k] = (float) magnitude;
        analysisFrequency[(std::size_t) k] = (float) ((double) k * binWidth + d * binWidth);
    }

    std::fill (synthesisMagnitude.begin(), synthesisMagnitude.begin() + frameSize, 0.0f);
    std::fill (synthesisFrequency.begin(), synthesisFrequency.begin() + frameSize, 0.0f);

    for (long k = 0; k <= half; ++k)
    {
        const auto j = (long) ((float) k * pitchShift);
        if (j <= half)
        {
            synthesisMagnitude[(std::size_t) j] += analysisMagnitude[(std::size_t) k];
            synthesisFrequency[(std::size_t) j] = analysisFrequency[(std::size_t) k] * pitchShift;
        }
    }

    for (long k = 0; k <= half; ++k)
    {
        const double magnitude = synthesisMagnitude[(std::size_t) k];
        double d = synthesisFrequency[(std::size_t) k];
        d -= (double) k * binWidth;
        d /= binWidth;
        d = 2.0 * pi * d / (double) oversampling;
        d += (double) k * expected;

        const auto sum = (float) (phaseSum[(std::size_t) k] + d);
        const double phase = std::remainder ((double) sum, 2.0 * pi);
        phaseSum[(std::size_t) k] = (float) phase;

        workspace[(std::size_t) (2 * k)] = (float) (magnitude * std::cos (phase));
        workspace[(std::size_t) (2 * k + 1)] = (float) (magnitude * std::sin (phase));
    }

    for (long k = frameSize + 2; k < 2 * frameSize; ++k)
        workspace[(std::size_t) k] = 0.0f;

    smbFft (workspace.data(), 1);

    for (long k = 0; k < frameSize; ++k)
        outputAccumulator[(std::size_t) k] +=
            (float) (2.0 * hann (k) * workspace[(std::size_t) (2 * k)] / (double) (half * oversampling));

    std::copy (outputAccumulator.begin(), outputAccumulator.begin() + step, outputFifo.begin());
    std::copy (outputAccumulator.begin() + step, outputAccumulator.begin() + step + frameSize,
               outputAccumulator.begin());
    std::copy (inputFifo.begin() + step, inputFifo.begin() + step + latency, inputFifo.begin());
}

void SmbPitchShift::smbFft (float* buffer, long sign) noexcept
{
    constexpr long n = frameSize;

    for (long i = 2; i < 2 * n - 2; i += 2)
    {
        long j = 0;
        for (long mask = 2; mask < 2 * n; mask <<= 1)
        {
            if ((i & mask) != 0)
                ++j;
            j <<= 1;
        }

        if (i < j)
        {
            std::swap (buffer[i], buffer[j]);
            std::swap (buffer[i + 1], buffer[j + 1]);
        }
    }

    const auto stages = (long) (std::log ((double) n) / std::log (2.0) + 0.5);
    long le = 2;
    for (long stage = 0; stage < stages; ++stage)
    {
        le <<= 1;
        const long le2 = le >> 1;
        float ur = 1.0f, ui = 0.0f;
        const auto arg = (float) (pi / (double) (le2 >> 1));
        const float wr = std::cos (arg);
        const float wi = (float) sign * std::sin (arg);

        for (long j = 0; j < le2; j += 2)
        {
            QEL::butterflyColumn (buffer, n, le, le2, j, ur, ui);

            const float t = ur * wr - ui * wi;
            ui = ur * wi + ui * wr;
            ur = t;
        }
    }
}
} // namespace juce
