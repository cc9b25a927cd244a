#pragma once

#include "dsp/stereo/NarrowerProcessor.h"
#include "dsp/base/QELProcessorBase.h"
#include "dsp/stereo/QELStereoizerProcessor.h"

#include <atomic>

namespace QEL
{
/** One width control from 0 to 100: 0 sums to mono, below 50 narrows, 50 leaves the signal alone, above 50
    widens the part above the split frequency (60 Hz unless set) with the stereoizer. Mode changes take
    effect at the next block; only the amounts ramp (0.05 s). Handles one or two channels. */
class MonoStereoProcessor : public juce::QELProcessorBase
{
public:
    /** The processing the width selects. */
    enum Mode
    {
        unchanged = 0,
        narrow = 1,
        mono = 2,
        widen = 3
    };

    MonoStereoProcessor();
    /** Nothing beyond the base and its members. */
    ~MonoStereoProcessor() override = default;

    /** Prepares the base, the stereoizer and the narrower, sizes the scratch and designs the split filters. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the split filters' and the stereoizer's history. */
    void reset() override;
    /** Applies the current mode to out in place. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Sets the width (0 to 100) from any thread; the second value is not used. NaN changes nothing. */
    void setWidth (float width, float unused = 0.0f);

    /** Chooses the split between untouched lows and widened highs (60 Hz when not used) and designs the
        split filters at the current rate at once, under the filters' own locks. */
    void setSplit (bool shouldUseSplitFrequency, float newSplitFrequency);

    std::atomic<int> mode { unchanged };
    bool useSplitFrequency = false;
    float splitFrequency = 60.0f;
    juce::IIRFilter lowPass[2];
    QELStereoizerProcessor stereoizer;
    NarrowerProcessor narrower;

private:
    void designSplitFilters();
    void processMono (float* const* out, int numSamples, int numInputChannels, int numOutputChannels) noexcept;
    void processWiden (float* const* out, int numSamples, int numInputChannels, int numOutputChannels) noexcept;

    juce::AudioBuffer<float> lowScratch;
};
} // namespace QEL
