#pragma once

#include "dsp/filters/DualFilter.h"

#include <array>
#include <memory>

namespace juce
{
/** Four stereo filters (one-, two-, four-pole and state-variable) of which one runs at a time; a change
    of kind crossfades from the old filter to the new one over 10 ms. */
class MultiFilter
{
public:
    /** Kinds, by index. */
    enum Kind
    {
        onePole,
        twoPole,
        fourPole,
        stateVariable,
        numKinds
    };

    /** Builds the four filters with zero state; the one-pole filter is selected. */
    MultiFilter();

    /** Filters one stereo sample in place; sampleTime is 1 / sample rate. */
    void Process (float sampleTime, float& left, float& right, float cutoff, bool highPass) noexcept;
    /** Selects a kind (0 to 3) and starts a crossfade when it differs from the current one; other values
        are ignored. */
    void setFilterType (int kind) noexcept;

    /** The four filters, by kind. */
    std::array<std::unique_ptr<DualFilterBase>, numKinds> filters;
    /** Index of the selected filter. */
    int current = onePole;
    /** Index of the filter being faded out; meaningful only while fading. */
    int previous = 5;
    /** True during a crossfade. */
    bool fading = false;
    /** Weight of the current filter during a crossfade. */
    float fade = 1.0f;
};
} // namespace juce
