#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace tessaro::test
{
/** The signals of the routing table and the figures a control must move them by, computed apart from the
    bundle: from the controls' formulas, or by running the product's own blocks in-process on the signal
    that reaches them in the chain (the Compress and Enhance modules at their defaults in front). */
struct RoutingFigures
{
    static constexpr double rate = 44100.0;

    /** A voice-like test signal: low, mid and air tones with sibilant bursts at 7.5 kHz (right at 0.9). */
    static juce::AudioBuffer<float> voice (int numSamples);

    /** A click of 0.5 at sample 1000 on both channels. */
    static juce::AudioBuffer<float> click (int numSamples);

    /** The level in dB of the tone at hz in channel 0 over [start, end). */
    static double toneDb (const juce::AudioBuffer<float>& buffer, double hz, int start, int end);

    /** The RMS level in dB of channel 0 over [start, end). */
    static double rmsDb (const juce::AudioBuffer<float>& buffer, int start, int end);

    /** The time in seconds a decay from `start` on takes to fall by 60 dB, fitted to the backward-integrated
        energy of channel 0 between -5 and -25 dB. */
    static double decaySeconds (const juce::AudioBuffer<float>& buffer, int start);

    // The tone moves at hz below are measured where the bundle measures them: on the second half of its
    // one-second render, whose output lags the input by `latency` samples.

    /** Compression 50 against 0: the product's Compress module in-process. */
    static double compressionMovesToneBy (double hz, int latency);
    /** De-Ess 100: the product's de-esser block at amount 1 behind the default Compress and Enhance. */
    static double deEssMovesToneBy (double hz, int latency);
    /** De-Noise 100: the product's gate block at -10 dB behind the default Compress and Enhance. */
    static double deNoiseMovesToneBy (double hz, int latency);
    /** Air 100: the product's Enhance module in-process behind the default Compress. */
    static double airMovesToneBy (double hz, int latency);
    /** Drive 100 with Vintage Tape against Drive 0: 0.1 atan (10 x) against atan (x). */
    static double driveMovesToneBy (double hz, int latency);
    /** Gain Mix 25 against 100 at Drive 100 with Vintage Tape: 0.75 x + 0.25 (0.1 atan (10 x)) against
        0.1 atan (10 x). */
    static double quarterMixMovesToneBy (double hz, int latency);

    /** The decay time (as decaySeconds measures it) of a click through the product's reverb holder running
        the Bright Room at a Reverb Time, in-process in 512-sample blocks over numSamples samples. */
    static double roomDecaySeconds (double percent, int numSamples);

    /** The Multiply module's wet level for an Amount: 2 (10^(percent / 100) - 1) / 9. */
    static double multiplyWetLevel (double percent);
};
} // namespace tessaro::test
