#pragma once

#include "dsp/base/QELProcessorBase.h"
#include "dsp/base/SwitchFade.h"

namespace tessaro::dsp
{
/** The EQ module's AdLib voice: a telephone-like band (350 Hz to 3 kHz) with presence peaks at 1.5 and
    2.5 kHz, a cut below 273 Hz and about -6 dB overall. Designed in prepareToPlay only.

    The switch fades the voice in and out itself, per sample over fadeSeconds with a raised-cosine gain,
    whatever the host's block size; the block as such stays on, and its filters run while the voice is
    off, so it fades in settled, never from silence. The switch may be set from any thread. */
class LofiProcessor : public juce::QELProcessorBase
{
public:
    LofiProcessor();

    /** Base preparation, then the five stages designed for both channels at the new rate; the voice stands
        at its switch. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Fades the voice in (true) or out (false), starting with the next block. */
    void setBypassSmooth (bool shouldBeActive) override;
    /** Switches the voice in or out at the next block, without a fade. */
    void setBypass (bool shouldBeActive) override;
    /** Runs the five stages and the output factor on one or two channels in place, mixed in by the fade. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;

    /** True when the voice is switched out and not fading (audio thread). */
    bool isVoiceOut() const noexcept { return ! active.load() && ! fade.isFading(); }

    static constexpr int numStages = 5;
    /** Length of the voice's fade in or out. */
    static constexpr double fadeSeconds = 0.02;

private:
    /** Four float lanes; the left and right channels run in the first two. */
    using Lanes = float __attribute__ ((vector_size (16)));
    using LaneMask = int __attribute__ ((vector_size (16)));

    /** One section of the voice: its normalised coefficients, as juce::IIRFilter keeps them, and the two
        state values of each channel in their lanes. */
    struct Stage
    {
        float c[5] = { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };
        Lanes lanes[5] {}; // c, each in every lane
        Lanes v1 {}, v2 {};
    };

    /** One channel through the five sections (juce::IIRFilter::processSingleSampleRaw each, the output
        snapped to zero below 1e-8), then the output factor. */
    float voice (float x, int channel) noexcept;
    /** Both channels at once, each lane with exactly the arithmetic of voice. */
    Lanes voicePair (Lanes x) noexcept;

    Stage stages[numStages];
    QEL::SwitchFade fade;
};
} // namespace tessaro::dsp
