#pragma once

#include "dsp/base/QELProcessorBase.h"

#include <atomic>
#include <utility>

namespace QEL
{
/** A dry/wet mixer with a ramped mix amount: in carries the dry signal, out the processed one.

    setMix may be called from any thread; the audio thread applies it at the start of the next block.
    Until prepare sets the ramp length, a new mix applies at once. */
class MixProcessor : public juce::QELProcessorBase
{
public:
    /** Linear crossfade: out * m + in * (1 - m). */
    static constexpr int linearLaw = 0;
    /** Equal-level crossfade: both at unity at m = 0.5, only one side falls on either side of it. */
    static constexpr int equalLevelLaw = 1;

    MixProcessor();
    ~MixProcessor() override;

    /** Sets the wet proportion (0 = all dry, 1 = all processed); applied at the start of the next block. */
    void setMix (float newMix);

    /** The base's preparation, then the mix ramp length for the rate; a running change ends at its target. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Mixes in (dry) into out (processed) by the ramped mix. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numOutputChannels) override;

    /** Length of a mix change in seconds. */
    float rampSeconds = 0.05f;
    /** linearLaw or equalLevelLaw; any other value mixes linearly. */
    int mixLaw = linearLaw;
    /** The wet proportion m (audio thread). */
    LinearRamp<float> mixRamp { 1.0f };

private:
    void applyPendingMix() noexcept;
    std::pair<float, float> gainsFor (float mix) const noexcept; // wet and dry gain
    void mixSample (const float* const* in, float* const* out, int index, int numChannels, float mix) const noexcept;
    void mixSteady (const float* const* in, float* const* out, int numSamples, int numChannels,
                    float mix) const noexcept;

    std::atomic<float> pendingMix { 1.0f };
    std::atomic<bool> mixChanged { false };
};
} // namespace QEL
