#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace chain_test
{
/** A stereo sine of the given amplitude on both channels. */
inline juce::AudioBuffer<float> sine (double hz, double rate, int numSamples, float amplitude = 0.5f)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    for (int i = 0; i < numSamples; ++i)
    {
        const auto v = amplitude * (float) std::sin (juce::MathConstants<double>::twoPi * hz * i / rate);
        buffer.setSample (0, i, v);
        buffer.setSample (1, i, v);
    }
    return buffer;
}

/** A stereo buffer of silence with a single 1 at the given sample. */
inline juce::AudioBuffer<float> impulse (int numSamples, int at = 0)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    buffer.clear();
    buffer.setSample (0, at, 1.0f);
    buffer.setSample (1, at, 1.0f);
    return buffer;
}

/** Runs any block with the block entry, in place, in blocks of blockSize. */
template <typename Block>
void runInBlocks (Block& block, juce::AudioBuffer<float>& buffer, int blockSize, int numInputChannels = 2)
{
    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        const int n = juce::jmin (blockSize, buffer.getNumSamples() - start);
        float* channels[2] = { buffer.getWritePointer (0, start), buffer.getWritePointer (1, start) };
        block.process (channels, channels, n, numInputChannels, 2);
    }
}

/** The index of the first sample of largest magnitude on one channel. */
inline int peakIndex (const juce::AudioBuffer<float>& buffer, int channel = 0)
{
    int best = 0;
    for (int i = 1; i < buffer.getNumSamples(); ++i)
        if (std::abs (buffer.getSample (channel, i)) > std::abs (buffer.getSample (channel, best)))
            best = i;
    return best;
}

/** True when every sample of every channel is a number: a NaN slips through AudioBuffer::getMagnitude. */
inline bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (ch, i)))
                return false;
    return true;
}

/** The RMS level in dB of one channel from a sample on. */
inline float rmsDb (const juce::AudioBuffer<float>& buffer, int channel, int from)
{
    return juce::Decibels::gainToDecibels (buffer.getRMSLevel (channel, from, buffer.getNumSamples() - from), -200.0f);
}

/** The gain in dB a block applies to a sine, measured after the block has settled. */
template <typename Block> float sineGainDb (Block& block, double hz, double rate, int blockSize = 256)
{
    const int length = (int) rate; // one second; the last half is measured
    auto buffer = sine (hz, rate, length);
    runInBlocks (block, buffer, blockSize);
    const auto reference = sine (hz, rate, length);
    return rmsDb (buffer, 0, length / 2) - rmsDb (reference, 0, length / 2);
}

/** Energy above 8 kHz (4th-order Butterworth high-pass, both channels) per sample, in dB, of the loudest
    10 ms window from a sample on: what a listener hears as a click on a low tone. */
inline double loudestHighBandDb (const juce::AudioBuffer<float>& audio, int from, double rate)
{
    const int window = (int) (0.01 * rate);
    std::vector<double> energy ((size_t) audio.getNumSamples(), 0.0);
    for (int ch = 0; ch < audio.getNumChannels(); ++ch)
    {
        std::vector<double> x (audio.getReadPointer (ch), audio.getReadPointer (ch) + audio.getNumSamples());
        for (const auto& c :
             juce::dsp::FilterDesign<double>::designIIRHighpassHighOrderButterworthMethod (8000.0, rate, 4))
        {
            juce::dsp::IIR::Filter<double> filter (c);
            for (auto& v : x)
                v = filter.processSample (v);
        }
        for (size_t n = 0; n < x.size(); ++n)
            energy[n] += x[n] * x[n];
    }
    double loudest = 1.0e-30;
    for (int start = from; start + window <= audio.getNumSamples(); start += window / 4)
    {
        double sum = 0.0;
        for (int n = start; n < start + window; ++n)
            sum += energy[(size_t) n];
        loudest = std::max (loudest, sum / window);
    }
    return 10.0 * std::log10 (loudest);
}

/** A control stepped while a 440 Hz sine at -18 dBFS plays: the loudest high band after the step, in dB above
    the louder of the same block held at either setting (floored at -100 dB, rounding noise). The block is
    made and prepared by make; set applies one of the two settings. */
template <typename Make, typename Set>
double stepClickDb (Make make, Set set, int blockSize = 64, double rate = 44100.0)
{
    const int length = (int) rate, stepAt = length / 2 / blockSize * blockSize;
    const auto render = [&] (bool startAtB, bool step)
    {
        auto block = make();
        set (*block, startAtB);
        auto buffer = sine (440.0, rate, length, 0.125892541f);
        for (int start = 0; start < length; start += blockSize)
        {
            if (step && start == stepAt)
                set (*block, true);
            float* channels[2] = { buffer.getWritePointer (0, start), buffer.getWritePointer (1, start) };
            block->process (channels, channels, std::min (blockSize, length - start), 2, 2);
        }
        return buffer;
    };
    const double held = std::max ({ loudestHighBandDb (render (false, false), stepAt, rate),
                                    loudestHighBandDb (render (true, false), stepAt, rate), -100.0 });
    return std::max (loudestHighBandDb (render (false, true), stepAt, rate), -100.0) - held;
}
} // namespace chain_test
