#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/filters/DualFilter.h"
#include "dsp/filters/MultiFilter.h"
#include "dsp/filters/SnappingIIRFilter.h"
#include "dsp/stereo/QELStereoizerProcessor.h"
#include "dsp/utility/QELLoFiProcessor.h"

#include <array>
#include <atomic>
#include <vector>

namespace juce
{
/** A stereo echo of up to maxDelaySeconds: a tempo-syncable, gliding delay time read with a four-point
    cubic interpolator, a feedback loop that filters, colours and optionally saturates every repeat, a
    ping-pong routing and click-free routing changes. Processes in place one sample at a time.

    The routing, time and feedback settings are atomics: the parameter router writes them from any thread,
    and a block reads each once. */
class QELSuperDelayProcessor : public QELProcessorBase
{
public:
    /** Routing types: straight, ping-pong, rotating feedback. */
    enum Type
    {
        straight = 0,
        pingPong = 1,
        rotating = 2
    };

    QELSuperDelayProcessor();
    ~QELSuperDelayProcessor() override;

    /** Allocates and zeroes the lines, prepares the lo-fi stage and designs the 12 kHz tone filters. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry path and the loop filters' states; the lines keep their echoes. */
    void reset() override;
    /** Runs the echo in place on up to two input channels. */
    void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels) override;
    using QELProcessorBase::processImpl;
    /** Empties the lines and the loop's filter states (called when a crossfade to off ends): from now on a
        read of anything written before gives silence, and the lines are zeroed a slice per block, so no
        block clears more than 64 kB. */
    void clearBuffers() override;
    /** Stores the tempo; a tempo that is not positive keeps the last valid one. */
    void setTempo (double bpm) override;

    /** Zeroes both lines at ceil (maxDelaySeconds * rate) samples, rewinds them and sets the delay lengths to
        their targets. */
    void initBuffer();
    /** The delay time in seconds for the current time settings, tempo and modulation. */
    float getDelayTime() const noexcept;
    /** Four-point cubic Hermite read of a line at a position; positions wrap around the line. */
    static float getSample (const std::vector<float>& line, float position) noexcept;
    /** The same read at a position in double precision, so far into a long line the fraction keeps its
        resolution (a float position near 480000 resolves only 1/32 sample). */
    static float getSample (const std::vector<float>& line, double position) noexcept;

    float sampleTime = 0.0f;
    std::vector<float> bufferLeft, bufferRight;
    int writeIndex = 0;
    float delaySamplesLeft = 0.0f, delaySamplesRight = 0.0f;
    bool delaysInitialised = false;
    int currentType = straight;
    float typeFade = 1.0f;
    /** Whether the last block ran switched on: a block that switches on again fades the writing in. */
    bool wasOnLastBlock = true;
    float inputRotation = 0.0f;
    float feedbackRotation = 0.0f;
    MultiFilter lowPassFilter;
    MultiFilter highPassFilter;
    float saturationPrevious = 0.0f;
    DualFilter<TwoPoleFilter> saturationSmoother;
    float envelope = 0.0f;
    float lfoPhase = 0.0f;
    float driftState = 0.0f, driftAngle = 0.0f;
    int maxDelaySeconds = 10;
    float lowPassCutoff = 0.75f;
    float highPassCutoff = 0.001f;
    /** Share of the processed echo written back; the loop glides to a new value over feedbackRampSeconds. */
    std::atomic<float> feedback { 0.5f };
    /** Length of the loop's glide to a new feedback. */
    static constexpr double feedbackRampSeconds = 0.02;
    /** Stereo time offset: the left time is t^(1 + spread/2), the right t^(1 - spread/2). */
    std::atomic<float> spread { 0.0f };
    /** Target angle of the active rotation in radians. */
    std::atomic<float> rotationAngle { 0.0f };
    float driftRate = 1.0f;
    float driftDepth = 0.0f;
    float lfoRate = 2.0f;
    float lfoDepth = 0.0f;
    std::atomic<float> dryGain { 1.0f };
    std::atomic<float> wetGain { 0.5f };
    /** Saturation drive; 0 switches the stage off. */
    std::atomic<float> drive { 0.0f };
    float saturationBlend = 1.0f;
    float saturationSmoothing = 1.0f;
    float envelopeAttack = 10.0f, envelopeRelease = 10.0f;
    float duckAmount = 0.0f;
    int saturationPasses = 1;
    /** Delay time in seconds while noteIndex is 0. */
    std::atomic<float> freeTimeSeconds { 0.2f };
    /** Routing type asked for; the type in force follows it through a 10 ms fade. */
    std::atomic<int> requestedType { straight };
    /** 0: free time; 1 (one bar) to 19 ("1/64T"): a note value. */
    std::atomic<int> noteIndex { 0 };
    std::atomic<bool> lofiOn { false };
    std::atomic<bool> stereoizerOn { false };
    std::atomic<bool> clipOn { false };
    float clipDrive = 10.0f;
    /** The loop's 12 kHz tone low-pass per side; each filters as juce::IIRFilter does, inline. */
    std::array<QEL::SnappingIIRFilter, 2> toneFilters;
    QELLoFiProcessor lofi;
    ::QELStereoizerProcessor stereoizer;

private:
    struct Targets
    {
        float left = 0.0f, right = 0.0f;
    };

    Targets computeTargets (float spreadAmount) const noexcept;
    void zeroStaleSlice() noexcept;
    bool isStale (float delaySamples) const noexcept;
    void advanceDrift() noexcept;
    void saturate (float& wl, float& wr, float driveAmount) noexcept;

    /** The shortest delay the lines can read: the slot at writeIndex is written after the read, and the cubic
        read looks one sample ahead. */
    static constexpr float minDelaySamples = 2.0f;

    /** Samples per line zeroed in one block while a clear is spread out (2 lines of floats: 64 kB). */
    static constexpr int clearSliceSamples = 8192;

    /** A spread-out clear: the samples written since it began, counted from clearOrigin onwards, and the
        samples zeroed before clearOrigin are clean; everything older reads as silence until all is clean. */
    bool clearing = false;
    int clearOrigin = 0, writtenSinceClear = 0, zeroedBeforeOrigin = 0;

    /** The feedback the loop applies, one step per sample. */
    QEL::LinearRamp<float> feedbackRamp { 0.5f };

    std::atomic<double> validTempo { 120.0 };
    juce::Random driftRandom { 0x5eed };
};
} // namespace juce
