#pragma once

#include "dsp/filters/AudioFilter.h"
#include "dsp/filters/ZVAFilter.h"

#include <cstdint>

namespace QEL
{
/** Settings of a class-B push-pull pair and of its waveshapers. */
struct ClassBValveParameters
{
    /** 1 selects the Poletti waveshapers, any other value the Pirkle ones. */
    std::uint32_t waveshaper = 0;
    double highPassFrequency = 10.0;
    double lowPassFrequency = 20480.0;
    double inputGain = 50.0;
    double outputGain = 0.53;
    double bias = -1.5;
    double conductionThreshold = 1.5;
    double dcShiftAmount = 0.5;
    double saturation = 1.2;
    double polettiDrive = 1.7;
    double softLimit = 23.6;
    double hardLimit = 0.5;
    double outputStageGain = 4.0;
    double outputStageLimit = 1.01;
    /** Read-back: the Pirkle tracker output of the positive half. */
    double dcLevelPositive = 0.0;
    /** Read-back: the Pirkle tracker output of the negative half. */
    double dcLevelNegative = 0.0;
};

/** A waveshaper of one channel of the pair: it holds settings and filters, and the pair drives them. */
class ClassBValveWaveshaperBase : public juce::QELProcessorBase
{
public:
    /** Takes the pair's settings. */
    virtual void setParameters (const ClassBValveParameters& p) = 0;
};

/** Poletti's rational saturation in two crossed lanes, each lane high-passed before its output curve. */
class ClassBValvePolettiWaveshaper : public ClassBValveWaveshaperBase
{
public:
    ClassBValvePolettiWaveshaper() = default;
    /** Nothing beyond the base and its members. */
    ~ClassBValvePolettiWaveshaper() override = default;

    /** Prepares the base and both lane filters as first-order high-passes at highPassFrequency. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Copies p; redesigns the lane filters when the high-pass frequency changed. */
    void setParameters (const ClassBValveParameters& p) override;

    /** The two lanes of the first curve for a driven sample d: gentle on one swing, hard on the other. */
    static std::pair<double, double> lanes (double d, const ClassBValveParameters& p) noexcept;
    /** One sample through both lanes and the output curves. */
    double shape (double d) noexcept;

    ClassBValveParameters parameters;
    AudioFilter laneFilters[2];
};

/** Pirkle's biased arctangent halves with grid conduction and a bias shift from the positive half's tracker. */
class ClassBValvePirkleWaveshaper : public ClassBValveWaveshaperBase
{
public:
    ClassBValvePirkleWaveshaper() = default;
    /** Nothing beyond the base and its members. */
    ~ClassBValvePirkleWaveshaper() override = default;

    /** Prepares the base and both trackers as first-order low-passes at 5 Hz. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Copies p. */
    void setParameters (const ClassBValveParameters& p) override;

    /** One sample through both halves; writes the tracker read-backs. */
    double shape (double d) noexcept;

    ClassBValveParameters parameters;
    ZVAFilter halfTrackers[2];
};

/** A push-pull pair in class B: input gain, a waveshaper per channel, a first-order high-pass, a
    second-order low-pass and the output gain. Double precision inside; one or two channels. */
class ClassBValvePair : public juce::QELProcessorBase
{
public:
    ClassBValvePair() = default;
    /** Nothing beyond the base and its members. */
    ~ClassBValvePair() override = default;

    /** Prepares the base, the four filters (designed at the new rate) and the waveshapers. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry path and the four filters; the waveshapers keep their state. */
    void reset() override;
    /** Saturates each channel in place, one channel after the other. */
    void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Takes new settings and hands them to every waveshaper. */
    void setParameters (const ClassBValveParameters& p);

    ClassBValveParameters parameters;
    ClassBValvePolettiWaveshaper polettiWaveshapers[2];
    ClassBValvePirkleWaveshaper pirkleWaveshapers[2];
    AudioFilter highPasses[2], lowPasses[2];

private:
    double processSample (double x, int channel) noexcept;
};
} // namespace QEL
