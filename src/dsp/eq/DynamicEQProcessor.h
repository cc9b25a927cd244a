#pragma once

#include "dsp/dynamics/QELAttRelEnvelope.h"
#include "dsp/base/QELProcessorBase.h"

#include <array>

namespace QEL
{
/** A level-dependent EQ band: a detector (a band-pass around the band, or the band's shape minus the input)
    drives a dB envelope per channel, and the band's gain moves from 0 dB towards range by one dB per dB of
    level above threshold. type 1 is a low shelf, 3 a high shelf, anything else a peak.

    All fields belong to the audio thread; the owner writes them between blocks (see StereoFilterProcessor_V3).
    Works on one or two channels. */
class DynamicEQProcessor : public juce::QELProcessorBase
{
public:
    DynamicEQProcessor();
    /** Nothing beyond the base. */
    ~DynamicEQProcessor() override = default;

    /** Prepares the base, the envelopes and the 0.05 s ramps, then designs every filter. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Runs each output channel, sample by sample, through processSpl. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** One sample of a channel (0 or 1) through detector, envelope and dynamic band. */
    float processSpl (float x, int sample, int channel) noexcept;
    /** Advances the frequency and Q ramps one step and redesigns the detector filters. */
    void updateStaticFilters() noexcept;
    /** Designs the dynamic band from frequency, q (as set) and dynamicGain, for both channels. */
    void updateDynamicFilters() noexcept;
    /** Sets filter states below JUCE's snap threshold to zero (the owner calls it once per block). */
    void snapToZero() noexcept;

    int type = 2;
    float frequency = 16.0f;
    float q = 0.707f;
    float threshold = -20.0f;
    /** The largest gain change in dB. */
    float range = 0.0f;
    float dynamicGain = 1.0f;
    float envelopeState[2] = { 1.0e-25f, 1.0e-25f };
    bool sidechain = false;
    bool shapedDetector = false;
    bool dirty = false;
    LinearRamp<float> smoothFrequency { 16.0f };
    LinearRamp<float> smoothQ { 0.707f };
    juce::QELAttRelEnvelope envelopes[2] { juce::QELAttRelEnvelope (0.1f), juce::QELAttRelEnvelope (0.1f) };

    using Filter = juce::dsp::IIR::Filter<float>;
    Filter dynamicFilters[2], shapeFilters[2], detectorHighPass[2], detectorLowPass[2];

private:
    struct DesignKey
    {
        int type;
        float frequency, q, gain;
        bool operator== (const DesignKey&) const = default;
    };

    static void assign (Filter (&filters)[2], const std::array<float, 6>& values) noexcept;
    std::array<float, 6> bandForm (int bandType, float f, float bandQ, float gain) const noexcept;

    DesignKey lastDynamicDesign { -1, 0.0f, 0.0f, 0.0f };
};
} // namespace QEL
