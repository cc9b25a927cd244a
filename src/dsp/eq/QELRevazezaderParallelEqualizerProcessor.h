#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace juce
{
/** The focus copy of the parallel enhancer: a 600 Hz high shelf (Q 0.5) at gain, designed at prepare. */
class QELRevazezaderParallelEQFocusEngine : public QELProcessorBase
{
public:
    QELRevazezaderParallelEQFocusEngine() = default;
    /** Nothing beyond the base. */
    ~QELRevazezaderParallelEQFocusEngine() override = default;

    /** Prepares the base and designs both shelves. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Runs filter i over output channel i in place (one or two channels). */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using QELProcessorBase::processImpl;

    /** Linear shelf gain; takes effect at the next prepare. */
    float gain = 1.0f;
    juce::IIRFilter filters[2];
};

/** The clarity copy of the parallel enhancer: mode 0 a presence shelf at 1200 Hz (presenceChoice 0) or
    600 Hz (1), mode 2 an air shelf at 18 kHz when airChoice is 1; other settings leave the copy as it is.
    All shelves have Q 0.3 and the linear gain. */
class QELRevazezaderParallelEQClarityEngine : public QELProcessorBase
{
public:
    QELRevazezaderParallelEQClarityEngine() = default;
    /** Nothing beyond the base. */
    ~QELRevazezaderParallelEQClarityEngine() override = default;

    /** Prepares the base and designs every shelf. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Runs the chosen shelf over each output channel in place (one or two channels). */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using QELProcessorBase::processImpl;

    /** Designs the 600 Hz, 1200 Hz and 18 kHz shelves at gain for both channels. */
    void updateFilters();

    int presenceChoice = 0;
    int airChoice = 0;
    int mode = 0;
    float gain = 1.0f;
    juce::IIRFilter presence1200[2], presence600[2], air18k[2];
};

/** A parallel high-frequency enhancer: out = 0.33·clarity + (0.33·focus + 0.33·input), so with both engine
    gains at 1 the signal comes out at 0.99 times its level. One or two channels. */
class QELRevazezaderParallelEqualizerProcessor : public QELProcessorBase
{
public:
    QELRevazezaderParallelEqualizerProcessor() = default;
    /** Nothing beyond the base. */
    ~QELRevazezaderParallelEqualizerProcessor() override = default;

    /** Prepares the base, both engines and the scratch copies. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears every shelf's history. */
    void reset() override;
    /** Runs the two engines on copies and mixes them with the input into out. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    /** Does nothing. */
    void processImpl (juce::dsp::ProcessContextReplacing<float> context) override;
    using QELProcessorBase::processImpl;

    QELRevazezaderParallelEQFocusEngine focus;
    QELRevazezaderParallelEQClarityEngine clarity;

private:
    juce::AudioBuffer<float> focusCopy, clarityCopy;
};
} // namespace juce
