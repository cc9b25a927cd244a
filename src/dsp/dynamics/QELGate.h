#pragma once

#include "dsp/dynamics/QELAttRelEnvelope.h"

#include <atomic>
#include <limits>

namespace juce
{
/** A downward expander keyed by a linked stereo level: below the threshold the gain falls by
    (1 - ratio) dB per dB of shortfall, smoothed by the attack (opening), hold and release (closing)
    envelope in linear gain.

    Scalar settings may be written from the parameter thread; lastGainDb may be read from any thread. */
class QELGate : public QELAttRelEnvelope
{
public:
    /** A gate with attack 1 ms, release 100 ms, threshold 0 dB and ratio 1 (no attenuation). */
    QELGate();
    ~QELGate() override = default;

    /** Sets the threshold in dB (its linear level is 0 at -100 dB or below). */
    virtual void setThresh (float decibels);
    /** The threshold in dB. */
    virtual float getThresh() const;
    /** Closes the gate at once. */
    virtual void initRuntime();
    /** One mono sample keyed by itself (through the two-sample stereo form). */
    virtual void processSingleSampleMono (float& sample);
    /** One mono sample keyed by an external key. */
    virtual void processSingleSampleMono (float& sample, float key);
    /** One stereo pair keyed by itself. */
    virtual void processSingleSampleStereo (float& left, float& right);
    /** One stereo pair keyed by the larger magnitude of an external stereo key. */
    virtual void processSingleSampleStereo (float& left, float& right, float keyLeft, float keyRight);

    /** Gates one stereo pair by a key level. */
    void processKeyLinked (float& left, float& right, float key);

    std::atomic<float> thresholdDb { 0.0f };
    std::atomic<float> thresholdGain { 1.0f };
    float envelope = 1.0e-25f;
    std::atomic<float> ratio { 1.0f };
    std::atomic<float> rangeDb { -100.0f };
    std::atomic<float> lastGainDb { 0.0f };
    float meterGainSeen = std::numeric_limits<float>::quiet_NaN(); ///< the gain of the last read-out
    float meterDbSeen = 0.0f;                                      ///< its level in dB, reused while it holds
};

/** The gate keyed by a smoothed RMS level of both channels. */
class QELGateRms : public QELGate
{
public:
    /** As the gate, with a 5 ms RMS window. */
    QELGateRms() = default;

    /** As the gate, and also the window's rate. */
    void setSampleRate (double newSampleRate) override;
    /** Closes the gate and empties the RMS window. */
    void initRuntime() override;
    /** One stereo pair keyed by the RMS level of the pair. */
    void processSingleSampleStereo (float& left, float& right) override;
    using QELGate::processSingleSampleStereo;

    /** Sets the RMS window in milliseconds. */
    virtual void setWindow (float ms);
    /** The RMS window in milliseconds. */
    virtual float getWindow() const;

    QELEnvelopeDetector windowDetector { 5.0f, true };
    float meanSquare = 1.0e-25f;
};
} // namespace juce
