#pragma once

#include "dsp/reverb/ReverbParameter.h"

#include <optional>
#include <vector>

namespace QEL
{
/** The parameter lists from which the reverb engine is built. */
struct ReverbPresets
{
    /** One entry of a preset: a key, its normalized value and, for the integer keys (tap length, stage
        counts, diffusion delays, seeds), the channel value that goes with it. */
    struct Entry
    {
        CloudSeed::Parameter key;
        double normalized;
        std::optional<double> channelValue;
    };

    /** Number of presets. */
    static constexpr int count = 4;

    /** The entries of preset 0..3 in ascending key order; empty for any other number. */
    static const std::vector<Entry>& get (int preset);

    /** The normalized dry level that setUseAltMix (false) restores for a preset, if the preset keeps one. */
    static std::optional<float> dryOut (int preset);
};
} // namespace QEL
