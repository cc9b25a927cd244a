#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/base/QELProcessorBase.h"

#include <atomic>
#include <vector>

namespace QEL
{
/** The 20 kHz low-pass of a chorus's tap sum: a second-order Butterworth low-pass (bilinear transform),
    designed in double and stored as floats under a spin lock, filtered in transposed direct form II
    with outputs within +-1e-8 set to zero. The audio thread reads the coefficients without the lock. */
struct ChorusLowPass
{
    /** Designs the filter for a cut-off (kept below the Nyquist frequency) at a sample rate; the states are kept. */
    void design (double cutoffHz, double sampleRate) noexcept;
    /** Filters one value. */
    float process (float v) noexcept;
    /** Zeroes the states. */
    void clear() noexcept { s1 = s2 = 0.0f; }

    juce::SpinLock lock;
    float b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    float s1 = 0, s2 = 0;
    bool ready = false;
};

/** The delay history, LFO and tap reading that both chorus models share. */
struct ChorusVoices
{
    /** Sizes the history for the longest sweep (clearing it), restarts the LFO and keeps the write position
        inside the history. */
    void prepare (float maxDelay, float maxDepth, double sampleRate);

    /** The weighted sum of the taps for one channel (0 is left) at write position w and LFO phase phi. */
    float tapSum (int channel, int w, float phi, int numVoices, bool stereoSpread, float baseDelay, float depth,
                  float voiceGain, double sampleRate) const noexcept;

    /** Clears the history and puts the write position and the LFO back at 0, as a new chorus starts. */
    void restart() noexcept;

    /** Linear read of a history channel at a fractional position. */
    float read (int historyChannel, double position) const noexcept;

    /** Stores the input sample of a channel at w (channel 1 serves every channel above it). */
    void write (int channel, int w, float x) noexcept { delayBuffer[(size_t) std::min (channel, 1)][(size_t) w] = x; }

    std::vector<float> delayBuffer[2] = { std::vector<float> (1), std::vector<float> (1) };
    int bufferLength = 1;
    int writeIndex = 0;
    float lfoPhase = 0.0f;
    double inverseRate = 1.0 / 44100.0;
};
} // namespace QEL

namespace juce
{
/** A multi-voice stereo chorus: numVoices - 1 taps of a short delay swept by a sine LFO, each with its own
    LFO phase and (with more than two voices) its own place between left and right, low-passed at 20 kHz
    and added to the dry signal. Processes channel by channel from the same LFO and write positions.

    The voice settings may be written from any thread; a block reads each once. */
class QELChorusModel1 : public QELProcessorBase
{
public:
    /** Designs the low-pass filters for 44100 Hz. */
    QELChorusModel1();
    ~QELChorusModel1() override;

    /** Sizes and clears the history, restarts the LFO and redesigns the low-pass filters for the rate. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** The base's reset; then the history, LFO, write position and filter states as a new chorus has them. */
    void reset() override;
    /** Adds the filtered tap sum to each channel in place. */
    void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels) override;
    using QELProcessorBase::processImpl;

    /** Sizes the history, with maxDepth. */
    float maxDelay = 0.05f;
    /** Sizes the history; upper end of the owner's depth control. */
    float maxDepth = 0.05f;
    /** Shortest tap delay in seconds. */
    std::atomic<float> baseDelay { 0.03f };
    /** Sweep in seconds added to baseDelay at the LFO's top. */
    std::atomic<float> depth { 0.02f };
    /** Gain of every tap. */
    std::atomic<float> voiceGain { 0.5f };
    /** LFO rate in Hz. */
    std::atomic<float> rateHz { 1.025f };
    /** Voices; the chorus reads numVoices - 1 taps, none below 2 voices. */
    std::atomic<int> numVoices { 3 };
    /** Spreads the taps between the channels when there are more than two voices. */
    std::atomic<bool> stereoSpread { true };
    /** Cut-off of the tap-sum low-pass in Hz. */
    float lowPassCutoff = 20000.0f;
    /** Level of the filtered tap sum added to the dry signal. */
    std::atomic<float> wetGain { 0.5f };

    /** History, LFO and write position. */
    QEL::ChorusVoices voices;
    /** Low-pass of the left tap sum. */
    QEL::ChorusLowPass lowPassL;
    /** Low-pass of every other channel's tap sum. */
    QEL::ChorusLowPass lowPassR;
};
} // namespace juce

namespace QEL
{
/** The same chorus with ramped rate, voice gain and depth, processed sample by sample across the channels.

    The setters may be called from any thread; the audio thread applies them at the start of a block. */
class Chorus_V2 : public juce::QELProcessorBase
{
public:
    Chorus_V2();
    ~Chorus_V2() override;

    /** Sizes and clears the history, restarts the LFO, sets the 0.05 s ramps and redesigns the low-pass filters. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Adds the filtered tap sum to each channel in place. */
    void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Sets the LFO rate target in Hz. */
    void setRate (float hz) noexcept { pendingRate.store (hz); }
    /** Sets the voice gain target. */
    void setVoiceGain (float gain) noexcept { pendingVoiceGain.store (gain); }
    /** Sets the depth target in seconds. */
    void setDepth (float seconds) noexcept { pendingDepth.store (seconds); }

    float minDelay = 0.01f;
    /** Sizes the history, with maxDepth. */
    float maxDelay = 0.05f;
    float minRate = 0.05f;
    float maxRate = 2.0f;
    float minDepth = 0.02f;
    float maxDepth = 0.05f;
    std::atomic<float> baseDelay { 0.03f };
    std::atomic<int> numVoices { 3 };
    std::atomic<bool> stereoSpread { true };
    float lowPassCutoff = 20000.0f;
    std::atomic<float> wetGain { 0.5f };

    QEL::ChorusVoices voices;
    QEL::ChorusLowPass lowPassL;
    QEL::ChorusLowPass lowPassR;

    /** LFO rate in Hz (audio thread). */
    LinearRamp<float> rate { 1.025f };
    /** Gain of every tap (audio thread). */
    LinearRamp<float> voiceGain { 0.5f };
    /** Sweep in seconds (audio thread). */
    LinearRamp<float> depth { 0.02f };

private:
    void applyPendingTargets() noexcept;

    std::atomic<float> pendingRate { 1.025f }, pendingVoiceGain { 0.5f }, pendingDepth { 0.02f };
};
} // namespace QEL
