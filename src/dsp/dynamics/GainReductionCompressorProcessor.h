#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/base/QELProcessorBase.h"
#include "dsp/dynamics/GRIIRFilter.h"

#include <array>
#include <atomic>

/** A peak follower with attack, hold before release, and a gate that reads quiet levels as silence. */
class GREnvelopeFollower
{
public:
    /** Stores the times (ms) and the gate level (dB); prepare computes the coefficients. */
    void setup (double newAttackMs, double newReleaseMs, double newHoldMs, double newGateDb);
    /** Computes coefficients and hold length for the rate and clears the follower. */
    void prepare (int newSampleRate);
    /** Follows one non-negative level and returns the new output. */
    double process (double level) noexcept;

    double attackCoef = 1.0;
    double attackMs = 0.16905;
    double releaseCoef = 1.0;
    double releaseMs = 28.0035;
    int holdSamples = 0;
    double holdMs = 13.138125;
    int sampleRate = 44100;
    double output = 0.0;
    double gateLevel = 0.0;
    double gateDb = -96.0;
    double input = 0.0;
    double state = 0.0;
    int holdCounter = 0;
};

/** The "Slay" levelling compressor, one sample at a time: a low-shelved key plus an offset that the Slay
    amount shrinks drives a fast follower, and every level above -30 dB is scaled down towards it.

    setSlay may be called from any thread: the audio thread picks the new targets up at its next sample.
    The meter values gain, slayPosition and lastInputNonZero may be read from any thread. Channels 0 and 1. */
class GainReductionCompressorProcessor : public juce::QELProcessorBase
{
public:
    GainReductionCompressorProcessor();
    ~GainReductionCompressorProcessor() override;

    /** Sets the Slay amount, 0 to 100. */
    void setSlay (float slay);

    /** Sets the ramp lengths (100 ms), redesigns the key filters and clears the followers for the rate. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry path only. */
    void reset() override;
    /** Compresses one sample of channel 0 or 1 in place; the Slay ramps advance one step per call. */
    void processImpl (float* sample, int channel) override;
    /** Compresses one sample of each channel (at most two) in place, all at the same point of the Slay
        ramps, which advance one step: the channels move together whatever the block size. */
    void processFrame (float* const* samples, int numChannels);
    /** Picks up a pending Slay change, as the next processFrame would; true when the Slay ramps then stand
        still, so that a block may run through compressSteadyBlock. */
    bool prepareSteadyBlock() noexcept;
    /** Compresses numSamples frames of each channel (at most two) in place, with the Slay ramps standing
        still: every frame as processFrame would, with the per-frame steps that cannot change hoisted. */
    void compressSteadyBlock (float* const* samples, int numChannels, int numSamples) noexcept;
    using juce::QELProcessorBase::processImpl;

    double envelope = 0.0;
    std::atomic<double> gain { 1.0 };
    double key = 0.0;
    std::atomic<double> slayPosition { 1.0 };
    std::atomic<double> slayOffset { 1.0 };
    std::atomic<bool> lastInputNonZero { false };
    double threshold = 0.0316227766;
    /** Set by the owner for each block while the level it feeds this compressor glides on purpose (a control
        moving); like a Slay glide, it makes the gain follow its target over glideGainSeconds. */
    bool levelGliding = false;
    /** Time constant of the gain while a glide moves the level or the Slay amount: the near-instant attack
        would otherwise step the gain at every peak of a rising level, an audible buzz. */
    static constexpr double glideGainSeconds = 0.001;
    QEL::LinearRamp<float> offsetRamp { 1.0f };
    QEL::LinearRamp<float> slayRamp { 0.0f };
    std::array<GREnvelopeFollower, 2> followers;
    std::array<GRIIRFilter, 2> keyFilters;

private:
    void applyPendingSlay() noexcept;
    void compress (float* sample, int channel, double offset, bool gliding) noexcept;
    /** compressSteadyBlock for a stereo pair: both channels in the two lanes of vector registers, each
        lane with compress's arithmetic and its branches taken as selections. */
    void compressPairSteady (float* left, float* right, int numSamples, double offset, bool gliding) noexcept;
    /** The gain applied for a computed one: a one-pole follower of it while a glide runs, then the computed
        one plus a distance that decays to nothing, then the computed one itself. */
    double followGain (double computed, int channel, bool gliding) noexcept;

    std::array<double, 2> appliedGain { 1.0, 1.0 };
    std::array<double, 2> gainLag { 0.0, 0.0 }; // applied minus computed gain
    double glideCoefficient = 1.0;

    std::atomic<float> pendingSlay { 0.0f };
    std::atomic<bool> slayChanged { false };
};
