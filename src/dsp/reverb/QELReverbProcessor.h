#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/base/QELProcessorBase.h"
#include "dsp/base/TimeUtils.h"
#include "dsp/dynamics/QELCompressor.h"
#include "dsp/dynamics/QELGate.h"
#include "dsp/filters/SVCutFilterProcessor.h"
#include "dsp/pitch/PitchShifterProcessor_V2.h"
#include "dsp/reverb/ReverbChannel.h"
#include "dsp/reverb/WetLowPass.h"
#include "dsp/stereo/MonoStereoProcessor.h"
#include "dsp/stereo/MonoizerProcessor.h"
#include "dsp/utility/QELBitcrusherProcessor.h"

#include <atomic>
#include <optional>

namespace QEL
{
/** The reverb engine behind the Space module's reverb modes: a stereo pair of reverb channels driven by
    normalized parameter values (converted through shared response tables), an input cross-mix, a wet
    chain (bitcrusher, wet cut, pitch shifter, width, mono low end), a fixed 20 kHz low-pass, optional
    wet compression, ducking and follow gating keyed by the dry input, tanh saturation and a smoothed
    wet/dry mix.

    Blocks are processed in chunks of at most chunkSizeFor (rate) samples (512 at 48 kHz, in proportion at other
    rates), and the late lines' feedback store is sized from that chunk, so the decay is the same whatever the
    host's block size.

    Threads: construction and prepareToPlay run while no block is processed; the setters and the modes'
    writes run on the router's thread while the audio thread processes. Every scalar they share is an
    atomic; the smoothers' targets are handed to the audio thread at the start of a block. */
class QELReverbProcessor : public juce::QELProcessorBase
{
public:
    /** The parameter preset an engine is built with (0 to 3; another value loads none). */
    enum Preset : int
    {
        preset0 = 0,
        preset1 = 1,
        preset2 = 2,
        preset3 = 3
    };

    /** Builds both channels, applies the preset and the common settings, and clears the channels. */
    explicit QELReverbProcessor (Preset preset);
    ~QELReverbProcessor() override;

    /** Prepares the channels, the wet chain, the dynamics and the smoothers for a rate; the host's block size does
        not matter. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** The largest chunk processed at once at a rate: 512 samples at 48 kHz, scaled with the rate. */
    static int chunkSizeFor (double sampleRate) noexcept;
    /** Puts the running state back as a newly built engine prepared at the current rate has it, in place:
        channel stores, positions and modulation phases, the wet chain, the dynamics and the smoothers (at their
        targets). Allocates and frees nothing. */
    void reset() override;
    /** Stores the tempo in BPM (0 keeps the previous one). */
    void setTempo (double bpm) override;
    /** One block: channels, wet chain, dynamics, saturation and mix. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Lists what the next `samples` samples read and write in blocks of up to blockSize: both channels and the
        block buffers (the engine object itself is its owner's to list). */
    void listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const;

    /** Early reflection level in percent (0..100), through the 2-decade response. */
    void setEarlyOut (float percent);
    /** Late level in percent (0..100), through the 2-decade response. */
    void setMainOut (float percent);
    /** Pre-delay in seconds, held within 0..0.99 s and used in whole milliseconds. */
    void setInternalPreDelayS (float seconds);
    /** Input tone in percent: 100 switches the input low-pass off, below it runs from 400 Hz to 20 kHz. */
    void setTone (float percent);
    /** Decay in percent: 0.05 s to 60 s with massive, half the range without. */
    void setSize (float percent);
    /** Pitch shift of the wet signal in semitone steps (linear factor: 0.5 at −12, 2 at +12); 0 fades the
        shifter out over one second. */
    void setPitch (float semitones);
    /** Line modulation rate in percent: 0 to 5 Hz through the 2-decade response. */
    void setMainDelayModRate (float percent);
    /** Line modulation depth in percent: 0 to 2.5 ms. */
    void setMainDelayModAmount (float percent);
    /** On: the channels pass no dry signal; off: the preset's own dry level (0 when it has none). */
    void setUseAltMix (bool useAltMix);

    /** Applies a normalized value to a key on both channels, converting it to channel units; the integer
        keys (counts, stages, diffusion delays, tap length, seeds) take the channel value given with it. A line
        or diffusion delay beyond the engine's limits (delayLimitsFor) is held at the end of its store. */
    void applyParameter (CloudSeed::Parameter key, double normalized, std::optional<double> integerValue = {});

    /** New target of the wet/dry mix in percent (0 dry only, 100 wet only). */
    void setMixTarget (float percent) { mixTarget.store (percent); }
    /** New target of the wet compressor's ratio (its output slope). */
    void setCompRatioTarget (float slope) { compRatioTarget.store (slope); }
    /** New target of the saturation drive gain (1 leaves the stage off). */
    void setDriveTarget (float gain) { driveTarget.store (gain); }
    /** The last target given to the mix, in percent. */
    float getMixTarget() const { return mixTarget.load(); }
    /** The last target given to the wet compressor's ratio. */
    float getCompRatioTarget() const { return compRatioTarget.load(); }
    /** The last target given to the saturation drive. */
    float getDriveTarget() const { return driveTarget.load(); }

    /** 0 or 1: with 0, setSize uses half the size it is given. */
    std::atomic<float> massive { 0.0f };
    /** The last size given to setSize, in percent. */
    std::atomic<float> size { 100.0f };
    /** The drive of the saturation stage this sample (audio thread). */
    float saturationDrive = 1.0f;
    float wetLowPassCutoff = 20000.0f;
    std::atomic<float> preDelaySeconds { 0.0f };
    std::atomic<qel::TimeUtils::TempoSyncTimes> preDelayNote { qel::TimeUtils::bar };
    std::atomic<bool> compOn { false };
    std::atomic<bool> duckOn { false };
    std::atomic<bool> followOn { false };
    std::atomic<bool> preDelaySync { false };
    /** The preset's normalized dry level, restored by setUseAltMix (false). */
    std::optional<float> presetDryOut;

    CloudSeed::ReverbController controller;
    juce::QELCompressor wetCompressor;
    juce::QELCompressor duckCompressors[2];
    juce::QELGate followGates[2];
    juce::QELBitcrusherProcessor bitcrusher;
    PitchShifterProcessor_V2 pitchShifter;
    MonoStereoProcessor monoStereo;
    MonoizerProcessor monoizer;
    SVCutFilterProcessor<float> wetCut;
    WetLowPass wetLowPass[2];

    /** Mix in percent, 50 ms ramps (audio thread). */
    LinearRamp<float> mixSmoother;
    /** The wet compressor's ratio, 10 ms ramps (audio thread). */
    LinearRamp<float> compRatioSmoother;
    /** The saturation drive gain, 10 ms ramps (audio thread). */
    LinearRamp<float> driveSmoother;

    /** The longest delays an engine built with a preset asks its channels for: its preset's diffusion delays and
        the common line delay (no control moves either once it is built), with the deepest modulation. */
    static CloudSeed::DelayLimits delayLimitsFor (Preset preset);

private:
    static double channelValue (CloudSeed::Parameter key, double normalized);
    void giveToChannels (CloudSeed::Parameter key, double value);
    void loadPreset (int preset);
    void applyCommonSettings();
    void takeSmootherTargets() noexcept;
    void processChunk (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                       int numOutputChannels);
    void runWetChain (int numSamples, int numInputChannels, int numOutputChannels);
    /** The wet compressor over the block (its ratio ramp advances every sample either way). */
    void compressWet (int numSamples, int numOutputChannels) noexcept;
    /** Duck, follow, saturation and the wet/dry mix over the block, from the low-passed wet signal. */
    void mixBlock (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                   int numOutputChannels) noexcept;
    /** One channel's saturation and mix with the mix and the drive held still. */
    static void mixStill (const float* dry, const float* wet, float* out, int numSamples, float t,
                          float drive) noexcept;

    std::atomic<float> mixTarget { 0.0f };
    std::atomic<float> compRatioTarget { 1.0f };
    std::atomic<float> driveTarget { 1.0f };
    juce::AudioBuffer<float> wetBuffers;
    int preparedBlockSize = 0;
    const Preset builtPreset;
};
} // namespace QEL
