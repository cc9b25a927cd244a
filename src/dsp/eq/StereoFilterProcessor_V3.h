#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/eq/DynamicEQProcessor.h"
#include "dsp/eq/FilterData.h"
#include "dsp/filters/GlidingBiquad.h"

#include <atomic>

namespace QEL
{
/** One parametric EQ band (see FilterData): seven types, four slopes, smoothed frequency, gain and Q,
    applied to every channel, to one side, to the mid or side signal, or to the transient or sustained share
    of the signal, statically or through the DynamicEQProcessor.

    setFilterData may be called from any thread: the record is handed over and takes effect at the start of
    the next processed block (or at prepare). The coefficients are designed on the audio thread, in place,
    while a smoothed value ramps and after every new record; a stage that was never designed passes the
    signal through. While the values ramp the stages run in direct form I (see GlidingBiquad), so the
    redesign on every sample sweeps the band without the clicks a changing transposed form makes.
    Works on one or two channels. */
class StereoFilterProcessor_V3 : public juce::QELProcessorBase
{
public:
    StereoFilterProcessor_V3();
    /** Nothing beyond the base and its members. */
    ~StereoFilterProcessor_V3() override = default;

    /** Prepares the base and the dynamic band, sets the ramp lengths and clears the followers. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the dry path, the first-stage filters and the followers. */
    void reset() override;
    /** Filters out in place, sample by sample, by channel mode. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Hands a new band record over to the audio thread and switches the band on or off with a crossfade. */
    void setFilterData (FilterData newData);

    /** One sample of a channel (0 or 1) through the band, honouring the split mode. */
    float processFilterPart (float x, int sample, int channel) noexcept;
    /** Advances the smoothed frequency, Q and gain one step and designs the band: a step of a glide while
        they ramp, otherwise at once. */
    void updateFilter() noexcept;

    /** Per-channel power follower of the split modes: y = p + c·(y - p) with p = x². */
    struct LevelFollower
    {
        float attackMs, releaseMs;
        float attackCoefficient = 0.0f, releaseCoefficient = 0.0f;
        double sampleRate = 44100.0;
        float state[2] = {};

        /** Sets the rate, recomputes the coefficients and clears the states. */
        void prepare (double newSampleRate) noexcept;
        /** Follows one power value of a channel and returns the new state. */
        float process (float power, int channel) noexcept;
    };

    /** Set while the band needs a new design (audio thread). */
    bool dirty = true;
    /** The record in use (audio thread). */
    FilterData filterData;
    /** The two cascaded sections, both channels each. */
    GlidingBiquad stage1, stage2;
    DynamicEQProcessor dynamicEQ;
    LinearRamp<float> smoothFrequency { 20.0f }, smoothGain { 1.0f }, smoothQ { 0.707f };
    /** The frequency of the last design: a frequency glide starts from it and follows its ramp's progress
        along a raised cosine, so the coefficients start and stop moving without a corner. */
    float designedFrequency = 20.0f;
    /** Ramp time of the smoothed values, read at prepare. */
    float rampSeconds = 0.05f;
    LevelFollower followers[3] { { 5.0f, 300.0f }, { 80.0f, 950.0f }, { 60.0f, 350.0f } };

private:
    void applyPendingData() noexcept;
    void applyData (const FilterData& data) noexcept;
    float processBand (float x, int sample, int channel) noexcept;
    bool processStillBlock (float* const* out, int numSamples, int channels) noexcept;
    static void runStill (GlidingBiquad& stage, int channel, float* x, int numSamples) noexcept;
    static void runStill (GlidingBiquad& stage, float* left, float* right, int numSamples) noexcept;
    bool designStages (float f, float q, float g, int numSteps) noexcept;
    bool isRamping() const noexcept;
    static float nextShaped (LinearRamp<float>& ramp, float start) noexcept;

    juce::SpinLock pendingLock;
    FilterData pendingData;
    std::atomic<bool> pendingDataWaiting { false };
    bool stage1Designed = false, stage2Designed = false;
    int stage1Order = 2, stage2Order = 2;
    bool moving = false;          // the current sample runs the stages in their moving form
    float frequencyStart = 20.0f; // where the running frequency glide began
};
} // namespace QEL
