#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace juce
{
/** Two JUCE IIR filters (left, right) whose coefficient objects the owner installs; passes the signal
    unchanged until then. One or two channels. */
class QELStereoFilterProcessor : public QELProcessorBase
{
public:
    QELStereoFilterProcessor() = default;
    /** Nothing beyond the base. */
    ~QELStereoFilterProcessor() override = default;

    /** Prepares the base only; the filters keep their state. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry path and both filters' state. */
    void reset() override;
    /** One sample of a channel (0 or 1) through that channel's filter. */
    void processImpl (float* sample, int channel) override;
    /** Each output channel in place through its filter. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using QELProcessorBase::processImpl;

    /** Installs one coefficient object in both filters (call while no block is processed). */
    void setCoefficients (juce::dsp::IIR::Coefficients<float>::Ptr coefficients);

    juce::dsp::IIR::Filter<float> filters[2];
};
} // namespace juce
