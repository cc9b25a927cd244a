#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/base/QELProcessorBase.h"
#include "dsp/dynamics/QELCompressor.h"
#include "dsp/eq/QELRevazezaderParallelEqualizerProcessor.h"
#include "dsp/eq/QELStereoFilterProcessor.h"
#include "dsp/filters/SVCutFilterProcessor.h"
#include "dsp/multiplier/SampleAndHoldProcessor.h"
#include "dsp/multiplier/VoiceDelayLine.h"
#include "dsp/pitch/PitchShifter.h"
#include "dsp/pitch/StftPitchShift.h"
#include "dsp/stereo/MonoStereoProcessor.h"
#include "dsp/stereo/QELStereoizerProcessor.h"
#include "dsp/utility/GainProcessor.h"
#include "dsp/utility/SampleDelay.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

/** Turns one voice into a stereo ensemble. The input, summed to mono and band-limited, feeds up to 18
    voices; each is detuned by a fraction of a semitone plus a slow random drift, delayed by its own few
    tens of milliseconds and panned to its own place. The voice bus is compressed, brightened, set in
    width, scaled by the wet level and added to the dry signal, which is delayed by the fixed latency of
    2048 samples. Two optional layers join it: a widened, high-passed copy of the dry signal (Spread above
    100 %) and a formant-keeping voice an octave down (Low).

    The drift is seeded per instance, so a given input always gives the same output.

    Threads: the four control setters may be called from any thread; they hand their values over through
    atomics that the audio thread applies at the start of the next block. setVoicesAmount, prepare and
    reset run while no block is being processed. */
class QelVocalMultiplierProcessor : public juce::QELProcessorBase
{
public:
    /** Voices the processor holds (all of them run, silent or not). */
    static constexpr int maxVoices = 18;
    /** The dry delay, which is the latency, in samples. */
    static constexpr int latencySamples = 2048;
    /** Capacity of every delay line in samples. */
    static constexpr int maxDelaySamples = 22000;

    /** Builds the multiplier with two voices, a wet level for Amount 50 %, the octave voice silent. */
    QelVocalMultiplierProcessor();
    ~QelVocalMultiplierProcessor() override;

    /** Sets the number of voices from an amount of 0 to 100 (n = trunc (17 amount / 100 + 1)), their base
        delays and gains, the level compensation and the single-voice gain. */
    void setVoicesAmount (float amount);

    /** Prepares every stage for the given processing set-up and builds fresh octave and single-voice shifters. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Puts every voice, delay, filter, shifter, drift and ramp back as prepare leaves them, in place. */
    void reset() override;
    /** Stores a tempo other than 0; nothing here depends on it. */
    void setTempo (double bpm) override;
    /** Passes out through the dry (latency) delay in place. */
    void processDryImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                         int numOutputChannels) override;
    /** Processes a block in place (in and out are the same channel arrays). */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    /** A block whose output nobody hears (the module switched off): the latency line and the controls
        run, in place; the voices, the octave voice and the widened copy rest and start again from silence. */
    void processResting (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels);
    /** processResting without the latency line, for an owner whose own dry path holds the same input and
        hands it to latencyDelay before the next processed block. */
    void restControls (int numSamples, int numOutputChannels);

    /** One sample of the timing ramps: offset scale, voice delays and the single-voice delay. */
    void updateTimingProcessorsStep();
    /** Designs the octave voice's 8 kHz low-passes at the current rate. */
    void updateFilters();

    /** Spread 0 to 200 %: up to 100 sets the voices' pan spread and the bus width (0 mono); above 100 the
        dry copy is widened and added. */
    void setSpread (float percent);
    /** Offset 0 to 100 %: scales every voice delay by 0.6 to 2. */
    void setOffset (float percent);
    /** Amount 0 to 100 %: the wet level, 0 to 2 on a decade curve. */
    void setAmount (float percent);
    /** Low 0 to 100 %: the octave voice's gain, 0 to 2. */
    void setLow (float percent);

    /** The latency in samples (2048 at every rate). */
    int getLatencyInSamples() const noexcept { return (int) latencyDelay.getDelay(); }

    /** Called after the latency has been set (at the end of construction, when already set then). */
    std::function<void()> onLatencyChanged;

    using DelayLine = juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Linear>;

    int voiceCount = 2;
    float driftHoldMs = 500.0f;
    QEL::GainProcessor octaveGain;
    QEL::SampleAndHoldProcessor singleDrift;
    std::array<QEL::SampleAndHoldProcessor, maxVoices> voiceDrift;
    QEL::SVCutFilterProcessor<float> voiceFeedFilter;
    QEL::MonoStereoProcessor widthStage;
    QEL::LinearRamp<float> driftDepth;
    QEL::LinearRamp<float> offsetScale;
    float spreadPercent = 100.0f;
    float currentOffsetScale = 0.0f;
    juce::QELStereoFilterProcessor stereoCopyHighPass;
    QELStereoizerProcessor stereoizer;
    std::array<juce::AudioBuffer<float>, maxVoices + 1> voiceBuffers;
    std::array<float, maxVoices> voicePitchOffsets {};
    float singleVoiceFactor = 0.0f;
    std::unique_ptr<stftpitchshift::StftPitchShift> singleVoiceShifter;
    std::array<QEL::PitchShifter<float, QEL::DLLinear>, maxVoices> voiceShifters;
    std::unique_ptr<stftpitchshift::StftPitchShift> octaveShifter;
    QEL::SampleDelay latencyDelay { maxDelaySamples };
    std::array<QEL::VoiceDelayLine, maxVoices> voiceDelays;
    QEL::VoiceDelayLine singleVoiceDelay { maxDelaySamples };
    DelayLine octaveDelay { maxDelaySamples };
    std::array<QEL::LinearRamp<float>, maxVoices> voiceGains;
    std::array<QEL::LinearRamp<float>, maxVoices> voicePans;
    QEL::LinearRamp<float> levelCompensation;
    QEL::LinearRamp<float> wetLevel;
    QEL::LinearRamp<float> stereoCopyGain;
    std::array<QEL::LinearRamp<float>, maxVoices> voiceDelayTimes;
    std::array<QEL::LinearRamp<float>, maxVoices> voiceDetunes;
    juce::QELCompressor voiceCompressor;
    juce::QELRevazezaderParallelEqualizerProcessor enhancer;
    juce::QELStereoFilterProcessor octavePreFilter, octavePostFilter;
    float singleVoiceGain = 0.0f;
    /** Fades the voices' feed in after they rested, so they start from silence without a step. */
    QEL::LinearRamp<float> voiceFeedFade { 1.0f };
    /** Fades the octave voice's input in after it rested, for the same reason. */
    QEL::LinearRamp<float> octaveFeedFade { 1.0f };

    /** Length of the fade-ins after a rest. */
    static constexpr double wakeFadeSeconds = 0.02;

private:
    static void fadeIn (QEL::LinearRamp<float>& fade, float* const* channels, int numChannels, int numSamples) noexcept;
    void applyControls();
    void endRamps() noexcept;
    void switchVoiceFeedFilterOff();
    void switchVoiceFeedFilterOn();
    void applySpread (float percent);
    void allocateScratch (int blockSize);
    void processChunk (float* const* out, int numSamples, int numInputChannels, int numOutputChannels);
    void processOctaveVoice (const float* const* input, int numSamples, int numChannels);
    void processDry (float* const* out, int numSamples, int numChannels);
    void processWidenedCopy (int numSamples, int numChannels);
    void processVoiceFeed (int numSamples, int numInputChannels, int numChannels);
    void processVoices (int numSamples, int numChannels);
    void restVoicePath (int numSamples, int numChannels);
    void restVoiceTaps (size_t voice, int numSamples) noexcept;
    void catchUpVoiceTaps (size_t voice) noexcept;
    float voiceRatio (size_t voice) noexcept;
    void enterVoicePathRest() noexcept;
    void restVoiceControls (int numSamples);
    void wakeVoicePath();
    void mixVoiceBus (float* const* out, int numSamples, int numChannels);
    void setVoiceDetuneTargets();
    void advanceDrift (int numSamples);
    void updatePitchOffsets() noexcept;
    void clearVoice (size_t voice);
    void silenceVoice (size_t voice);
    float voicePanTarget (int voice) const noexcept;
    bool timingIsMoving() const noexcept;
    void settleTiming();
    static void setDelayClamped (QEL::VoiceDelayLine& line, float& current, float samples);
    void recordTimingSteps (int numSamples);
    float* delayTrack (size_t line) noexcept;
    void startVoiceBus (float* left, float* right, int numSamples, int numChannels);
    void delayVoice (size_t voice, bool timingMoves, int numSamples) noexcept;
    void addVoice (size_t voice, float* left, float* right, int numSamples) noexcept;
    void addSingleVoice (float* left, float* right, bool timingMoves, int numSamples) noexcept;

    juce::AudioBuffer<float> dry, voiceFeed, octave, widened, voiceBus;
    std::vector<float> delayTracks; // per line, each sample's delay while the timing ramps move
    std::vector<double> singleVoiceFactors { 1.0 };
    const std::vector<double> octaveFactors { 0.5 };
    int latencyChannels = 0;
    std::array<float, maxVoices> voiceDelaySamples {};
    float singleVoiceDelaySamples = 0.0f;
    int scratchCapacity = 0;
    bool octaveVoiceRunning = false;
    bool widenedCopyRunning = false;
    std::array<bool, maxVoices> voiceResting {};
    std::array<int, maxVoices> pendingTapSamples {};   // samples a resting voice's taps still owe, at its ratio
    std::array<float, maxVoices> ratioPitchOffsets {}; // the pitch offsets the ratios below were computed for
    std::array<float, maxVoices> pitchOffsetRatios {}; // 2^(offset / 12) for those offsets
    bool voicePathResting = false;
    int detuneTargetsCount = -1; // the voice count and spread the detune and pan targets were last set for
    float detuneTargetsSpread = 0.0f;
    bool timingSettled = false; // the voice delays rest at their ramps' targets and have been set to them
    bool streaming = false;     // a block has run since prepare or reset
    int shifterChannels = 2;

    std::atomic<float> requestedSpread { 100.0f };
    std::atomic<float> requestedOffsetScale { 1.02f };
    std::atomic<float> requestedWetLevel;
    std::atomic<float> requestedLowGain { 0.0f };
    float appliedSpread = 100.0f;

    JUCE_DECLARE_NON_COPYABLE (QelVocalMultiplierProcessor)
};
