#pragma once

#include "dsp/dynamics/GainReductionCompressorProcessor.h"
#include "dsp/utility/GainProcessor.h"

#include <atomic>

/** The Slay compressor block: input gain, the levelling compressor, a soft clipper driven +27 dB, then either
    an automatic gain that follows the Slay amount or a fixed output level, a dry/wet mix and an output gain
    stage. autoGain may be switched from any thread; the level fades from one to the other over
    autoFadeSeconds, the time the owner's trim stages take to fade in or out. */
class GainReductionProcessor : public juce::QELProcessorBase
{
public:
    GainReductionProcessor();
    ~GainReductionProcessor() override;

    /** Prepares the compressor and the output gain stage. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry paths of this block, the compressor and the output gain stage. */
    void reset() override;
    /** Compresses, clips and levels out in place; in is the dry signal of the mix. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** The soft clipper: t / (t^2 / 4 + 1), unity slope at 0 and a peak of 1 at t = 2. */
    static double softClip (double t) noexcept;
    /** The automatic gain after the clipper for a Slay amount: +2 dB at 0 falling to -8 dB at 50 and above. */
    static double autoGainFactor (double slay) noexcept;

    double mix = 1.0;
    double inputGain = 1.0;
    double drive = 22.387211385683397; // 10^1.35, +27 dB
    float outputLevel = 1.0f;
    std::atomic<bool> autoGain { false };
    static constexpr double autoFadeSeconds = 0.01;
    GainReductionCompressorProcessor compressor;
    QEL::GainProcessor outputGain;

private:
    /** autoGainFactor, recomputed only when the Slay amount moves. */
    double autoGainFactorFor (double slay) noexcept;

    /** The share of the automatic gain in the level for each sample of a block: 0 fixed, 1 automatic. */
    double autoShareAt (int sample, int numSamples) const noexcept;
    /** The level after the clipper at one sample of a block: the automatic gain, the fixed level or a blend. */
    double levelAt (int sample, int numSamples, double slay) noexcept;

    /** The block with the Slay ramps standing still, in chunks: the input gain, the compressor over the
        chunk, then the clipper, level and mix; each sample gets the same steps as in the per-frame loop. */
    void processSteady (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                        int channels) noexcept;
    /** The per-frame loop: the Slay ramps step with every frame. */
    void processGliding (const float* const* in, float* const* out, int numSamples, int numInputChannels, int channels,
                         bool compressorOn) noexcept;

    static constexpr int maxChannels = 2;
    static constexpr int steadyChunk = 256;

    QEL::LinearRamp<double> autoShare { 0.0 };
    double autoShareStart = 0.0, autoShareEnd = 0.0; // the share over the current block
    double slaySeen = 0.0;
    double autoGainSeen = autoGainFactor (0.0);
    float chunk[maxChannels][steadyChunk] = {}; // audio thread: the compressed chunk of processSteady
    double chunkLevel[steadyChunk] = {};        // audio thread: the level at each sample of that chunk
};
