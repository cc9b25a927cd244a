#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/filters/SnappingIIRFilter.h"

#include <array>
#include <atomic>

namespace juce
{
/** A fixed band-limiting filter chain, run one sample at a time: a narrow telephone-like band
    (mode 0), the band with two presence peaks, a low cut and -6 dB (mode 1), or the band with a
    treble lift (mode 2). Any other mode passes the signal unchanged. Serves channels 0 and 1. */
class QELLoFiProcessor : public QELProcessorBase
{
public:
    /** The six filter stages, in the order the chains use them. */
    enum Stage
    {
        lowPassStage,
        highPassStage,
        lowPeakStage,
        highPeakStage,
        lowShelfStage,
        highShelfStage,
        numStages
    };

    /** Builds the chain designed for 44100 Hz. */
    QELLoFiProcessor();
    ~QELLoFiProcessor() override;

    /** Designs all twelve filters for the current sample rate; filter states are kept. */
    void updateFilters();

    /** The base's preparation, then updateFilters. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry path; filter states are kept. */
    void reset() override;
    /** Filters one sample of channel 0 or 1 in place. */
    void processImpl (float* sample, int channel) override;
    using QELProcessorBase::processImpl;

    /** Filters one sample of channel 0 or 1 in place. */
    void processImpl (float& sample, int channel) noexcept;

    /** The coefficients of a stage, as designed for the current rate. */
    static IIRCoefficients designStage (Stage stage, double rate) noexcept;

    /** Which chain runs: 0, 1 or 2; any other value passes the signal unchanged. */
    std::atomic<int> mode { 0 };

    /** Two filters per stage (channel 0, then channel 1), stage by stage; each filters as juce::IIRFilter does,
        inline. */
    std::array<QEL::SnappingIIRFilter, 2 * numStages> filters;

private:
    float runStage (Stage stage, int channel, float x) noexcept;
};
} // namespace juce
