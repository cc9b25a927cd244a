#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/utility/SampleDelay.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <vector>

namespace juce
{
/** Base of every DSP block: processing context (rate, block size, channels, tempo), an on/off switch
    with a short linear crossfade between the unprocessed and the processed signal, and a dry path
    through a delay line.

    Owners call the non-virtual block entry process() once per block, normally in place (the same
    channel arrays as input and output). A block that is off and not ramping leaves the output as it
    was. Subclasses override whichever processImpl hook suits them; the coarser hooks fall through to
    the finer ones.

    setBypass, setBypassSmooth, setTempo and setDryPathLatency may be called from any thread: they store
    atomics, and the block entry applies a pending switch or latency change at the start of the next block.
    Everything else runs on the audio thread, or while no block is being processed (prepare). */
class QELProcessorBase
{
public:
    /** The largest dry path delay in samples. */
    static constexpr int maxDryPathLatency = 22000;

    /** Builds a block that is on, with gain 1 and no ramp. */
    QELProcessorBase();
    /** Frees the dry path storage. */
    virtual ~QELProcessorBase();

    /** Stores rate and block size, sizes the crossfade buffers and ends any ramp at its target. */
    virtual void prepareToPlay (double newSampleRate, int newSamplesPerBlock);
    /** Prepares the dry path for the given channels, stores the channel count, then calls prepareToPlay. */
    virtual void prepare (const juce::dsp::ProcessSpec& spec);
    /** Stores the largest block size the owner will pass; nothing else. */
    virtual void setSamplesPerBlock (int newSamplesPerBlock);
    /** Clears the dry path's history and ends any switch ramp at its target, as prepare leaves them. */
    virtual void reset();
    /** Block entry for a context: the steady and crossfade paths, without a dry path. */
    virtual void process (juce::dsp::ProcessContextReplacing<float> context);
    /** Stores the host tempo in BPM; 0 keeps the previous tempo. */
    virtual void setTempo (double bpm);
    /** Switches processing on (true) or off (false) at once, applied at the start of the next block; the crossfade
        gain jumps to the new state, so a later setBypassSmooth the other way fades. */
    virtual void setBypass (bool shouldBeActive);
    /** Switches processing on (true) or off (false) with a crossfade, applied at the start of the next block. */
    virtual void setBypassSmooth (bool shouldBeActive);
    /** The dry path: passes out's channels through the dry delay in place; in is not read. */
    virtual void processBypass (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                int numOutputChannels);
    /** A dry-signal hook for subclasses; the base does nothing and never calls it. */
    virtual void processDryImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                                 int numOutputChannels);
    /** Processes one sample of a channel in place; the base does nothing. */
    virtual void processImpl (float* sample, int channel);
    /** Processes a block in place, channel by channel, through the one-sample hook. */
    virtual void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels);
    /** The main processing hook; the base processes out in place and does not read in. */
    virtual void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                              int numOutputChannels);
    /** Processing hook of the context block entry; the base does nothing. */
    virtual void processImpl (juce::dsp::ProcessContextReplacing<float> context);
    /** Processing with a side chain; the base does nothing. */
    virtual void processWithSidechainImpl (const float* const* in, float* const* out, const float* const* sidechain,
                                           int numSamples, int numInputChannels, int numOutputChannels,
                                           int numSidechainChannels);
    /** Clears tails (delay lines, reverbs); called once when a crossfade to off ends. The base does nothing. */
    virtual void clearBuffers();
    /** What runs, on a copy of the block, while the block is off with a dry path and not fading: the base
        runs the whole processing so its state stays current. A block that can start again from rest
        overrides it to keep only what its switch-on crossfade needs, such as its own latency line. */
    virtual void processWhileOff (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels);

    /** Block entry: runs the processing, leaves out untouched, or crossfades, depending on the switch. */
    void process (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                  int numOutputChannels);

    /** Delays the dry path by the block's processing latency (0 to maxDryPathLatency samples) and keeps it
        running while the block is on, so on, off and the crossfade between them stay time-aligned. */
    void setDryPathLatency (int samples);
    /** Call before prepare when the block may be given a dry path latency after it is prepared: prepare then
        sizes the dry delay for the longest one it may be given, `samples` plus `seconds` at the prepared rate
        (see longestDryPathLatency). Without it, only a block prepared with a latency holds one, sized for
        that latency. */
    void reserveDryPath (int samples = maxDryPathLatency, float seconds = 0.0f) noexcept
    {
        dryPathReserved = true;
        reservedDryPathSamples = samples;
        reservedDryPathSeconds = seconds;
    }
    /** The longest dry path latency the block is prepared for at a rate: the reservation (its seconds widened
        to double, times the rate, floored) or the latency already set, whichever is longer, at most
        maxDryPathLatency. */
    int longestDryPathLatency (double rate) const noexcept;

    /** Gain of the processed signal reached by the crossfade so far (audio thread). */
    float getWetGain() const noexcept { return wetRamp.getCurrentValue(); }
    /** True while a crossfade is running (audio thread). */
    bool isRamping() const noexcept { return wetRamp.isSmoothing(); }
    /** True while the block is off and its crossfade has ended: a block then passes its input on, at most
        delayed by its dry path (audio thread). */
    bool isSteadyOff() const noexcept { return ! runningActive && ! wetRamp.isSmoothing(); }

    bool prepared = false;
    double sampleRate = 44100.0;
    double inverseSampleRate = 1.0 / 44100.0;
    int samplesPerBlock = 64;
    int numChannels = 2;
    std::atomic<bool> active { true };
    std::atomic<double> tempo { 120.0 };
    std::atomic<bool> keepDryPathRunning { false };
    /** While off, the processing runs on under the plain signal, so a switch back on fades in from its
        current state instead of from silence or from old audio. */
    std::atomic<bool> keepRunningWhenOff { false };
    /** Shapes the on/off crossfade as a raised cosine instead of a straight line: the same length, but no
        corner where it starts and ends, so a switch between signals that differ a lot adds no click. */
    bool smoothCrossfade = false;
    float rampTimes[2] = { 0.01f, 0.01f };
    QEL::LinearRamp<float> wetRamp { 1.0f };
    QEL::SampleDelay dryDelay { maxDryPathLatency };

protected:
    /** Inside processImpl: the block's input delayed by the dry path, when the dry path ran for this block
        (nullptr otherwise), so a subclass that also needs that signal reads it instead of delaying it again. */
    const float* const* dryPathBlock() const noexcept
    {
        return dryPathRan ? dryScratch.getArrayOfReadPointers() : nullptr;
    }

private:
    enum SwitchRequest
    {
        noSwitchRequest,
        switchOnRequest,
        switchOffRequest,
        setOnRequest,
        setOffRequest
    };

    void applyPendingRequests();
    void applyPendingSwitch();
    void applyDryPathLatency();
    void startSwitchRamp (bool switchOn);
    void prepareDryDelay (int channels, int blockSize, double rate);
    void allocateScratch (int channels, int blockSize);
    bool scratchFits (int numSamples, int numInputChannels, int numOutputChannels) const noexcept;
    void endRampWhenScratchMissing (int numSamples, int numInputChannels, int numOutputChannels);

    void processChunk (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                       int numOutputChannels);
    void processSteadyOn (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                          int numOutputChannels);
    void processSteadyOff (float* const* out, int numSamples, int numInputChannels, int numOutputChannels);
    void processRamp (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels);
    void processContextChunk (juce::dsp::ProcessContextReplacing<float> context);
    void processContextRamp (juce::dsp::ProcessContextReplacing<float> context);
    void clearBuffersWhenOffRampEnded();
    bool runsWhenOff() const noexcept;

    struct RampGains
    {
        float start = 1.0f;
        float end = 1.0f;
        bool smooth = false;
    };
    RampGains advanceRamp (int numSamples) noexcept;
    static void crossfadeChannel (float* dest, const float* dry, const float* wet, int numSamples,
                                  RampGains gains) noexcept;

    std::atomic<int> pendingSwitch { noSwitchRequest };
    bool runningActive = true; // the switch state the audio thread applies
    std::atomic<int> requestedDryLatency { 0 };
    int appliedDryLatency = 0;
    int dryDelayChannels = 0;
    bool runDryPath = false;
    bool dryPathRan = false; // dryScratch holds this block's dry path output
    bool dryPathReserved = false;
    int reservedDryPathSamples = 0;
    float reservedDryPathSeconds = 0.0f;

    juce::AudioBuffer<float> dryScratch, wetScratch;
    std::vector<const float*> chunkInputs;
    std::vector<float*> chunkOutputs;

    JUCE_DECLARE_NON_COPYABLE (QELProcessorBase)
};
} // namespace juce
