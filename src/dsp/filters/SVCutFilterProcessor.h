#pragma once

#include "dsp/filters/SVFProcessor.h"

#include <atomic>

namespace QEL
{
/** A high-cut/low-cut pair of state-variable filters. The high-pass runs only for a cut-off above
    minCutoff, the low-pass only below maxCutoff; each side fades in or out with its own on/off ramp.
    A new pair passes the signal unchanged.

    The cut-off setters may be called from any thread: the switch is handed over by the base, and the
    new cut-off reaches the filter at the start of the next block (or in prepare). */
template <typename SampleType> class SVCutFilterProcessor : public juce::QELProcessorBase
{
public:
    SVCutFilterProcessor();
    ~SVCutFilterProcessor() override;

    /** Prepares this block and both filters for the given processing set-up. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry paths and both filters' states. */
    void reset() override;
    /** Does nothing: the pair has no dry-signal work of its own. */
    void processDryImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                         int numOutputChannels) override;
    /** Runs the high-pass, then the low-pass, each through its own block entry, in place on out. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;

    /** Sets the high-pass cut-off in Hz; the high-pass runs only above minCutoff. */
    void setHighPassCutoff (float hz);
    /** Sets the low-pass cut-off in Hz; the low-pass runs only below maxCutoff. */
    void setLowPassCutoff (float hz);

    /** The high-pass cut-off in Hz. */
    std::atomic<float> highPassCutoff { 20.0f };
    /** The low-pass cut-off in Hz. */
    std::atomic<float> lowPassCutoff { 20000.0f };
    /** The high-pass runs only for a cut-off above this. */
    float minCutoff = 20.0f;
    /** The low-pass runs only for a cut-off below this. */
    float maxCutoff = 20000.0f;

    /** The high-pass side. */
    SVFProcessor<SampleType> highPass;
    /** The low-pass side. */
    SVFProcessor<SampleType> lowPass;

private:
    void applyPendingCutoffs();
    void applyCutoffs();

    std::atomic<bool> cutoffsChanged { false };
};
} // namespace QEL
