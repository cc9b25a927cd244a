#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/utility/SampleDelay.h"

#include <juce_dsp/juce_dsp.h>

#include <vector>

namespace QEL
{
/** A feed-forward compressor in decibels that delays the audio by a look-ahead time and fades every
    gain reduction in linearly (in dB) over that time, so the reduction is complete when the peak
    arrives. With threshold 0 dB, slope -1, no knee, instant attack and 6 ms release it is a brick-wall
    limiter at 0 dBFS with a latency of delayInSamples.

    Settings are set before prepare. Blocks larger than the prepared size are processed in pieces. */
class LookAheadCompressorProcessor : public juce::QELProcessorBase
{
public:
    LookAheadCompressorProcessor();
    ~LookAheadCompressorProcessor() override;

    /** Sizes the delay, the gain buffer and the work buffers and computes the coefficients. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Releases the envelope; the delayed audio and the gain buffer keep their contents. */
    void reset() override;
    /** Empties the delay and the gain buffer and releases the envelope, so a switch back on starts clean. */
    void clearBuffers() override;
    /** Limits out in place (in is copied to out first when they differ). */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    bool lookAheadEnabled = true;
    float lookAheadSeconds = 0.005f;
    int holdCounter = 0;
    int holdSamples = 0;
    float knee = 0.0f;
    float halfKnee = 0.0f;
    float thresholdDb = 0.0f;
    float attackSeconds = 0.0f;
    float releaseSeconds = 0.006f;
    float slope = -1.0f;
    float makeupDb = 0.0f;
    float envelope = 0.0f;
    float attackCoef = 1.0f;
    float releaseCoef = 0.0f;
    bool attackExact = false;
    bool releaseExact = false;
    int maxBlockSize = 0;
    float effectiveLookAheadSeconds = 0.005f;
    int delayInSamples = 0;
    std::vector<float> gainBuffer;
    int writePosition = 0;
    int lastBlockSize = 0;
    juce::AudioBuffer<float> work;

private:
    static float coefficientFor (float seconds, double rate, bool exact);
    void processPiece (float* const* out, int numSamples, int numChannels);
    void computeKey (float* const* out, int numSamples, int numChannels);
    void computeGains (int numSamples);
    void storeAndFadeIn (int numSamples);
    void readBackGains (int numSamples);
    bool restsThrough (int numSamples) const noexcept;
    void rest (float* const* out, int numSamples, int numChannels) noexcept;
    void noteWhetherSettled() noexcept;

    QEL::SampleDelay delay;       // the audio's look-ahead
    float restingKeyBound = 0.0f; // below it, a level asks for no gain reduction
    bool gainsSettled = true;     // every gain in gainBuffer is 0 dB
};
} // namespace QEL
