#pragma once

namespace CloudSeed
{
/** The keys of a reverb channel's parameters, in the units the channel uses (see ReverbChannel). */
enum Parameter : int
{
    InputMix = 0,
    PreDelay,
    HighPass,
    LowPass,
    TapCount,
    TapLength,
    TapGain,
    TapDecay,
    DiffusionEnabled,
    DiffusionStages,
    DiffusionDelay,
    DiffusionFeedback,
    SingleLine,
    LineCount,
    LineDelay,
    LineDecay,
    LineDelayRight,
    LineDecayRight,
    LateDiffusionEnabled,
    LateDiffusionStages,
    LateDiffusionDelay,
    LateDiffusionFeedback,
    Reserved22,
    Reserved23,
    Reserved24,
    Reserved25,
    Reserved26,
    Reserved27,
    PostLowShelfGain,
    PostLowShelfFrequency,
    PostHighShelfGain,
    PostHighShelfFrequency,
    PostCutoffFrequency,
    EarlyDiffusionModAmount,
    EarlyDiffusionModRate,
    LineModAmount,
    LineModRate,
    LateDiffusionModAmount,
    LateDiffusionModRate,
    TapSeed,
    DiffusionSeed,
    DelaySeed,
    PostDiffusionSeed,
    CrossSeed,
    DryOut,
    PredelayOut,
    EarlyOut,
    MainOut,
    HiPassEnabled,
    LowPassEnabled,
    LowShelfEnabled,
    HighShelfEnabled,
    CutoffEnabled,
    LateStageTap,
    Interpolation,
    ModEnabled,
    Count
};

/** The side of a reverb channel. */
enum ChannelLR : int
{
    Left = 0,
    Right = 1
};
} // namespace CloudSeed
