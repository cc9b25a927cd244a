#pragma once

#include "dsp/base/LinearRamp.h"
#include "dsp/base/QELProcessorBase.h"
#include "dsp/filters/GlidingBiquad.h"

#include <atomic>

namespace tessaro::dsp
{
/** An EQ band that is a shelf for boosts and mild cuts and fades into a pass filter as its gain goes from
    -9 dB down to -15 dB: the low band pairs a low shelf with a high-pass, the high band a high shelf with a
    low-pass.

    The band settings may be written from any thread; the audio thread picks them up at the start of the
    next block and glides its frequency (on a log scale), Q (likewise) and gain (in dB) to them over
    glideSeconds. While gliding, both filters' coefficients are designed every glideStep samples and
    move between the designs sample by sample, so a step of any setting is heard as a short sweep, not
    a click. A band at rest runs exactly as a fixed pair of biquads. */
class ShelfPassFilterProcessor : public juce::QELProcessorBase
{
public:
    /** Which band the filter pair is. */
    enum Type
    {
        lowBand = 0,
        highBand = 1
    };

    ShelfPassFilterProcessor();

    /** Base preparation, filter states cleared and the filters designed for the new rate. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Clears the filter states. */
    void reset() override;
    /** Runs shelf and pass filter in parallel and blends them by the band gain. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Sets low or high band; takes effect with the next design. */
    void setType (int newType);
    /** Sets the corner of both filters in Hz. */
    void setFrequency (float hz);
    /** Sets the Q of both filters. */
    void setQ (float q);
    /** Sets the band gain in dB: the shelf gain and the shelf/pass blend. */
    void setGainDb (float gainDb);

    /** Asks the audio thread to design the filters again from the current settings. */
    void updateFilters() noexcept { filtersDirty.store (true, std::memory_order_release); }

    /** The band's response designed at 96 kHz in double precision, for drawing: the shelf and pass filters
        summed with the audio's blend weight (a fourth-order set while both sound). Safe on any thread. */
    juce::dsp::IIR::Coefficients<double>::Ptr computeMixedCoefficients() const;

    /** True when the band stands at 0 dB, not gliding, with no new setting waiting (audio thread): its
        filters then pass the signal as it is. */
    bool isFlat() const noexcept;

    /** The shelf/pass blend weight for a gain in dB: 0 at -9 dB and above, 1 at -15 dB and below. */
    static float blendWeight (float gainDb) noexcept;

    int getType() const noexcept { return type.load(); }
    float getFrequency() const noexcept { return frequency.load(); }
    float getQ() const noexcept { return quality.load(); }
    float getGainDb() const noexcept { return gainDb.load(); }
    float getGainFactor() const noexcept { return gainFactor.load(); }

    static constexpr float blendStart = -9.0f;
    static constexpr float blendEnd = -15.0f;

    /** Length of the glide to a new setting. */
    static constexpr double glideSeconds = 0.02;
    /** Samples between two designs while gliding. */
    static constexpr int glideStep = 16;

private:
    /** A band setting as the design takes it. */
    struct Settings
    {
        float hz, q, factor, db;
    };

    float glideScaleOf (float hz) const noexcept;
    float hzOfGlideScale (float value) const noexcept;
    Settings readSettings() const noexcept;
    Settings glideSettings() const noexcept;
    void followSettings() noexcept;
    void jumpToSettings() noexcept;
    bool glidesRunning() const noexcept;
    void designFilters (const Settings& settings, int numSteps) noexcept;
    int processGlide (float* const* out, int numSamples, int numChannels) noexcept;
    void processStill (float* const* out, int offset, int numSamples, int numChannels) noexcept;
    void processStillChannel (int ch, float* x, int numSamples) noexcept;
    void processStillPair (float* left, float* right, int numSamples) noexcept;

    std::atomic<int> type { lowBand };
    std::atomic<float> frequency { 1000.0f };
    std::atomic<float> quality { 0.707f };
    std::atomic<float> gainDb { 0.0f };
    std::atomic<float> gainFactor { 1.0f };
    std::atomic<bool> filtersDirty { true };

    QEL::LinearRamp<float> hzGlide { 0.0f }, qGlide { 0.0f }, dbGlide { 0.0f };
    Settings target { 1000.0f, 0.707f, 1.0f, 0.0f };
    bool playing = false; // a block has run since prepare or reset
    float appliedWeight = 0.0f, weightStep = 0.0f, weightTarget = 0.0f;
    QEL::GlidingBiquad shelf, pass;
};
} // namespace tessaro::dsp
