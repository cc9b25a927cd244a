#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/dynamics/QELAttRelEnvelope.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <limits>

namespace juce
{
/** A feed-forward, stereo-linked compressor working in decibels: hard or soft knee, attack / hold /
    release envelope with an optional slow release, an amount that scales the reduction, automatic
    make-up and a gain-reduction read-out for meters.

    Per-sample calls and setters run on the owner's thread; the scalar settings (threshold, ratio,
    knee, range, bypass) may also be written from the parameter thread, and getLastGRDB may be read
    from any thread. */
class QELCompressor final : public QELAttRelEnvelope
{
public:
    /** A compressor with attack 10 ms, release 100 ms, threshold 0 dB and ratio 1 (no compression). */
    QELCompressor();
    ~QELCompressor() override = default;

    /** As the base, and also the upper bound of the adaptive release. */
    void setSlowRelease (float ms) override;
    /** As the base; then designs the emphasis filters and sizes the amount ramp (50 ms). The key high- and
        low-pass keep their design. */
    void setSampleRate (double newSampleRate) override;

    /** Sets the threshold in dB. */
    virtual void setThresh (float decibels);
    /** Sets the output slope above the threshold (1/R: 1 = none, 0.25 = 4:1). */
    virtual void setRatio (float slope);
    /** Designs the key-path high-pass (Q 1) at the current rate; 0 or less takes it out of the key path. */
    virtual void setSCHP (float hz);
    /** Designs the key-path low-pass (Q 1) at the current rate; 0 or less takes it out of the key path. */
    virtual void setSCLP (float hz);
    /** Range 0 to 1: a reduction floor of -24 x dB and a ratio of 1 - 0.99 x. */
    virtual void setRange (float x);
    /** The threshold in dB. */
    virtual float getThresh() const;
    /** The slope above the threshold. */
    virtual float getRatio() const;
    /** The gain reduction of the last sample in dB (0 or negative); safe from any thread. */
    virtual float getLastGRDB() const;
    /** The key high-pass cutoff in Hz. */
    virtual float getSCHP() const;
    /** The key low-pass cutoff in Hz. */
    virtual float getSCLP() const;
    /** Puts the running state (envelope, key filters, makeup, the amount at 100) back as a new compressor has it. */
    virtual void reset();
    /** Releases all gain reduction at once. */
    virtual void initRuntime();
    /** Compresses out in place: two channels as a linked pair, any other count channel 0 only. */
    virtual void process (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                          int numOutputChannels);
    /** One mono sample keyed by itself. */
    virtual void processSingleSampleMono (float& sample);
    /** A mono block in place, each sample keyed by itself: processSingleSampleMono on every sample, with
        the per-sample steps inlined into one loop. */
    void processMonoBlock (float* samples, int numSamples);
    /** As processMonoBlock, each sample's amount target (amountRamp.setTargetValue) and threshold (setThresh)
        taken from the arrays first. */
    void processMonoBlock (float* samples, const float* amountTargets, const float* thresholds, int numSamples);
    /** One mono sample keyed by an external key. */
    virtual void processSingleSampleMono (float& sample, float key);
    /** One stereo pair keyed by itself. */
    virtual void processSingleSampleStereo (float& left, float& right);
    /** One stereo pair keyed by an external stereo key. */
    virtual void processSingleSampleStereo (float& left, float& right, float keyLeft, float keyRight);
    /** Filters copies of a and b through the key path and returns the larger magnitude. */
    virtual float getKeyLink (float a, float b);
    /** Runs a stereo key through the key high-pass, low-pass and emphasis sections that are in use. */
    virtual void processSidechainFilters (float& left, float& right);
    /** Applies the make-up gain when autoMakeup is set. */
    virtual void applyAutoMakeupGain (float& left, float& right);
    /** Compresses one stereo pair by a linked key level. */
    virtual void process (float& left, float& right, float key);

    /** Designs the eight emphasis sections for the rate. */
    void resetFilters (double newSampleRate);

    /** A key-path biquad in double precision, direct form I. */
    struct KeyFilter
    {
        /** Filters one sample. */
        double processSample (double x) noexcept;
        /** Sets the normalised coefficients (a0 divided out). */
        void setCoefficients (double b0, double b1, double b2, double a0, double a1, double a2) noexcept;

        double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };

    std::atomic<float> thresholdDb { 0.0f };
    std::atomic<float> ratio { 1.0f };
    std::atomic<float> lastGainReductionDb { 0.0f };
    float amount = 100.0f;
    float makeupDbSeen = 0.0f;   ///< the makeup of the last sample, in dB
    float makeupGainSeen = 1.0f; ///< its gain, reused while the makeup holds still
    std::atomic<bool> autoMakeup { false };
    bool limitAttackLag = false;
    std::atomic<float> makeupScale { 1.0f };
    std::atomic<bool> makeupFromThreshold { false };
    KeyFilter sidechainHighPass[2];
    float schpHz = 0.0f;
    KeyFilter sidechainLowPass[2];
    float sclpHz = 0.0f;
    std::atomic<float> knee { 0.0f };
    float envelope = 1.0e-25f;
    float maxReleaseMs = 100.0f;
    float minReleaseMs = 0.1f;
    bool autoRelease = false;
    float meanSquare = 1.0e-6f;
    float peakSquare = 1.0e-6f;
    float crestCoef = 3.6835670e-05f;
    float autoReleaseBase = 0.8843109f;
    bool adaptiveRelease = false;
    int emphasisMode = 0;
    juce::IIRFilterBase<juce::SpinLock> emphasisFilters[8];
    std::atomic<float> rangeDb { -100.0f };
    std::atomic<bool> bypassed { false };
    QEL::LinearRamp<float> amountRamp { 100.0f };

private:
    // The per-sample steps behind the public calls, inlined into them and into the block loop.
    float keyLinkOf (float a, float b) noexcept;
    void filterKey (float& left, float& right) noexcept;
    void makeUp (float& left, float& right) noexcept;
    void compressPair (float& left, float& right, float key) noexcept;
    void compressMono (float& sample) noexcept;

    float kneeTarget (float over, float kneeWidth, float slope, bool& belowThreshold) const noexcept;
    void updateCrestFactorRelease (float left, float right);
    void driftRelease (float target);
    void runEmphasis (float& left, float& right) noexcept;
    /** A key level below which the target is known to be 0 dB (below the knee), for a threshold and knee;
        recomputed only when they change. 0 where no level is known to be below. */
    float quietLevelFor (float threshold, float kneeWidth) noexcept;

    float quietThreshold = std::numeric_limits<float>::quiet_NaN();
    float quietKnee = std::numeric_limits<float>::quiet_NaN();
    float quietLevel = 0.0f;
};
} // namespace juce
