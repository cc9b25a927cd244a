#pragma once

#include <utility>
#include <vector>

namespace tessaro::test
{
/** A parameter by ID and a plain value in its own unit (choices by index, toggles 0/1). */
using Setting = std::pair<const char*, float>;

/** The heaviest setting: every module on and working, the longest reverb, a tape echo, the limiter. */
inline const std::vector<Setting>& heaviestSettings()
{
    static const std::vector<Setting> settings {
        { "paramCompressCompression", 60.0f },
        { "paramEnhanceDeEss", 50.0f },
        { "paramEnhanceDeNoise", 30.0f },
        { "paramEnhanceAir", 50.0f },
        { "paramEQHighGain", 3.0f },
        { "paramEQMidGain", -3.0f },
        { "paramEQLowGain", 2.0f },
        { "paramMultiplyAmount", 50.0f },
        { "paramMultiplyLow", 50.0f },
        { "paramSpaceReverbType", 3.0f },
        { "paramSpaceReverbAmount", 50.0f },
        { "paramSpaceReverbTime", 80.0f },
        { "paramSpaceDelayType", 2.0f },
        { "paramSpaceDelayAmount", 40.0f },
        { "paramGainType", 1.0f },
        { "paramGainDrive", 40.0f },
        { "paramGainLimit", 1.0f },
    };
    return settings;
}
} // namespace tessaro::test
