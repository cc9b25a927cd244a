#pragma once

#include "dsp/filters/BiquadFilter.h"
#include "dsp/dynamics/RiduziCompressorGainStage.h"

#include <vector>

namespace qel
{
/** Detector and gain computer of one channel of the character compressor, all in dB of reduction. */
class RiduziCompressorSideChain
{
public:
    /** Recomputes the attack, release and RMS coefficients from their times at the rate. */
    void updateCoefficients();
    /** Sets the knee width W (dB) with its half and double. */
    void setKnee (double widthDb);
    /** Sets the slope (1 - 1/R) and recomputes the make-up value. */
    void setSlope (double newSlope);
    /** The static curve without the slope: the overshoot with the knee's rounding. */
    double curve (double overDb) const noexcept;
    /** Recomputes makeupDb: half the static reduction at referenceDb. */
    void updateMakeup();
    /** Runs the gain computer, RMS smoothing and detector for one key level in dB. */
    void processLevel (double levelDb) noexcept;
    /** Steps the active gain stage once and returns its reduction in dB, minus makeupDb when asked. */
    double getGainReductionDb (bool withMakeup);
    /** Clears the detector, RMS and stage states. */
    void clearState();

    RiduziCompressorGainStage* externalStage = nullptr;
    RiduziCompressorGainStageFET fetStage;
    double sampleRate = 44100.0;
    double referenceDb = 0.0;
    double envelope = 0.0;
    double target = 0.0;
    double peak = 0.0;
    double makeupDb = 0.0;
    double rmsCoef = 0.0;
    double rmsState = 0.0;
    double rmsWindowMs = 10.0;
    int detectorType = 2;
    int stageType = 0;
    double thresholdDb = -12.0;
    double slope = 0.5;
    double knee = 0.0, halfKnee = 0.0, doubleKnee = 0.0;
    double attackMs = 10.0, attackCoef = 0.0;
    float holdMs = 0.0f;
    int holdCounter = 0;
    double releaseMs = 100.0, releaseCoef = 0.0;

private:
    void runDetector (double level) noexcept;
};

/** A multi-channel, stereo-linked character compressor in double precision whose key is, by default, the
    previous output (feedback). Per sample: keys for all channels, then level, gain computer and detector
    per channel, then the gain through each channel's gain stage.

    Everything runs on the audio thread (or in prepare); prepare re-initialises in place and only allocates
    when the channel count grows. */
template <typename SampleType> class RiduziCompressor
{
public:
    /** Builds a compressor for a channel count and an integer sample rate. */
    RiduziCompressor (int channels, int rate);

    /** Re-initialises for a channel count and rate: clears every state and keeps the settings. */
    void prepare (int channels, int rate);
    /** Compresses numSamples samples of the first activeChannels channels in place. */
    void process (double* const* channels, int activeChannels, int numSamples) noexcept;

    /** Sets the ratio R on every side chain (slope 1 - 1/R, make-up refreshed); R below 1 inverts. */
    void setRatio (double ratio);
    /** Switches the key high-pass and designs it; histories are cleared when it switches. */
    void setKeyHighPass (bool on, int hz);
    /** Switches the key low-pass and designs it; histories are cleared when it switches. */
    void setKeyLowPass (bool on, int hz);

    int numChannels = 0;
    int sampleRate = 44100;
    std::vector<RiduziCompressorSideChain> sideChains;
    std::vector<juce::frut::dsp::BiquadFilter> keyHighPass, keyLowPass;
    std::vector<double> inputs, keys, outputs;
    std::vector<double> gainReductionDb, gainReductionWithMakeupDb;
    double inputOffsetDb = 20.0;
    bool bypassed = false;
    bool keyFromInput = true;
    bool invert = false;
    int stereoLink = 100;
    double linkWeights[2] = { 0.5, 0.5 };
    double keyOffsetDb = 0.0;
    bool applyMakeup = false;
    double outputGain = 1.0;
    int mixPercent = 100;
    double wetGain = 1.0, dryGain = 0.0;
    bool keyFromGainReduction = false;
    bool keyHighPassOn = false, keyLowPassOn = false;
    bool listenKey = false;
    int keyHighPassHz = 0, keyLowPassHz = 15000;

private:
    void computeKeys (const double* const* channels, int sample, int activeChannels) noexcept;
    double linkedLevelDb (int channel, int activeChannels) const noexcept;
    void designKeyFilter (std::vector<juce::frut::dsp::BiquadFilter>& filters, bool highPass, int hz);
};
} // namespace qel
