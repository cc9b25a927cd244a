#pragma once

#include "dsp/filters/AudioFilter.h"
#include "dsp/filters/ZVAFilter.h"

namespace QEL
{
/** Settings of a class-A valve stage. */
struct ClassAValveParameters
{
    double lowShelfFrequency = 100.0;
    double lowShelfGainDb = 0.0;
    double highPassFrequency = 10.0;
    double lowPassFrequency = 10000.0;
    double dcTrackerFrequency = 5.0;
    double clipPointPositive = 4.0;
    double clipPointNegative = -1.5;
    double conductionThreshold = 1.5;
    double dcShiftAmount = 0.0;
    double saturation = 2.0;
    double inputGain = 1.5;
    double outputGain = 1.0;
    bool invertOutput = true;
    /** Read-back: the bias shift of the last processed sample. */
    double dcOffset = 0.0;
    bool asymmetricClip = true;
};

/** Sets an AudioFilter's design when it differs from the wanted one (a Q of 0 or less becomes 0.707). */
void setAudioFilter (AudioFilter& filter, int algorithm, double fc, double boostCutDb);

/** One triode stage in class A: input gain, grid conduction, a bias shift that follows the slow negative
    swing, an asymmetric (or symmetric) clipper, then a high-pass, a low shelf and a low-pass, and the
    output gain with optional polarity inversion. Double precision inside; one or two channels. */
class ClassAValve : public juce::QELProcessorBase
{
public:
    /** A stage with the default settings; its filters are designed at prepare. */
    ClassAValve();
    /** Nothing beyond the base and its members. */
    ~ClassAValve() override = default;

    /** Prepares the base and every filter and designs them at the new rate. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry path and all eight filters. */
    void reset() override;
    /** Saturates each channel in place, one channel after the other. */
    void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Takes new settings, redesigning only the filters whose settings changed. */
    void setParameters (const ClassAValveParameters& p);

    /** The grid-conduction curve: positive samples above threshold are compressed. */
    static double gridConduction (double x, double threshold) noexcept;
    /** The clipper of the settings p applied to d. */
    static double clip (double d, const ClassAValveParameters& p) noexcept;
    /** The same clipper, given tanh (p.saturation) worked out beforehand. */
    static double clip (double d, const ClassAValveParameters& p, double tanhOfSaturation) noexcept;

    ClassAValveParameters parameters;
    ZVAFilter dcTrackers[2];
    AudioFilter lowShelves[2], highPasses[2], lowPasses[2];

private:
    double processSample (double x, int channel, double tanhOfSaturation) noexcept;
};
} // namespace QEL
