#include "dsp/reverb/ReverbPresets.h"

namespace QEL
{
using namespace CloudSeed;

// Normalized values are single-precision constants widened to double, except the 0.1 and 0.2 of preset 0
// written as doubles.
namespace
{
    const std::vector<ReverbPresets::Entry> preset0 {
        { InputMix, (double) 0.0f, std::nullopt },
        { HighPass, 0.1, std::nullopt },
        { TapLength, (double) 0.43999997f, 219.0 },
        { TapGain, (double) 0.88f, std::nullopt },
        { TapDecay, (double) 1.0f, std::nullopt },
        { DiffusionEnabled, (double) 1.0f, std::nullopt },
        { DiffusionStages, (double) 0.71428573f, 6.0 },
        { DiffusionDelay, 0.2, 28.0 },
        { DiffusionFeedback, (double) 0.6600002f, std::nullopt },
        { LateDiffusionEnabled, (double) 1.0f, std::nullopt },
        { LateDiffusionStages, (double) 0.42857143f, 4.0 },
        { LateDiffusionDelay, 0.2, 28.0 },
        { LateDiffusionFeedback, (double) 0.5949999f, std::nullopt },
        { PostLowShelfGain, (double) 0.8799999f, std::nullopt },
        { PostLowShelfFrequency, (double) 0.19499993f, std::nullopt },
        { PostHighShelfGain, (double) 0.875f, std::nullopt },
        { PostHighShelfFrequency, (double) 0.5900001f, std::nullopt },
        { PostCutoffFrequency, (double) 0.79999983f, std::nullopt },
        { EarlyDiffusionModAmount, (double) 0.13499999f, std::nullopt },
        { EarlyDiffusionModRate, (double) 0.29000008f, std::nullopt },
        { LineModAmount, (double) 0.18999995f, std::nullopt },
        { LineModRate, (double) 0.22999987f, std::nullopt },
        { LateDiffusionModAmount, (double) 0.12499999f, std::nullopt },
        { LateDiffusionModRate, (double) 0.2850001f, std::nullopt },
        { TapSeed, (double) 0.000485f, 485.0 },
        { DiffusionSeed, (double) 0.000208f, 208.0 },
        { DelaySeed, (double) 0.000335f, 335.0 },
        { PostDiffusionSeed, (double) 0.000372f, 372.0 },
        { CrossSeed, (double) 0.0f, std::nullopt },
        { DryOut, (double) 0.0f, std::nullopt },
        { PredelayOut, (double) 0.0f, std::nullopt },
        { EarlyOut, (double) 0.8599999f, std::nullopt },
        { MainOut, (double) 0.90500003f, std::nullopt },
        { HiPassEnabled, (double) 1.0f, std::nullopt },
        { LowShelfEnabled, (double) 0.0f, std::nullopt },
        { HighShelfEnabled, (double) 0.0f, std::nullopt },
        { CutoffEnabled, (double) 0.0f, std::nullopt },
        { LateStageTap, (double) 1.0f, std::nullopt },
        { Interpolation, (double) 1.0f, std::nullopt },
    };

    const std::vector<ReverbPresets::Entry> preset1 {
        { InputMix, (double) 0.0f, std::nullopt },
        { HighPass, (double) 0.0f, std::nullopt },
        { TapLength, (double) 1.0f, 500.0 },
        { TapGain, (double) 1.0f, std::nullopt },
        { TapDecay, (double) 0.71000004f, std::nullopt },
        { DiffusionEnabled, (double) 1.0f, std::nullopt },
        { DiffusionStages, (double) 1.0f, 8.0 },
        { DiffusionDelay, (double) 0.65999997f, 69.0 },
        { DiffusionFeedback, (double) 0.7600001f, std::nullopt },
        { LateDiffusionEnabled, (double) 1.0f, std::nullopt },
        { LateDiffusionStages, (double) 1.0f, 8.0 },
        { LateDiffusionDelay, (double) 0.71499956f, 74.0 },
        { LateDiffusionFeedback, (double) 0.7199998f, std::nullopt },
        { PostLowShelfGain, (double) 0.8799999f, std::nullopt },
        { PostLowShelfFrequency, (double) 0.19499993f, std::nullopt },
        { PostHighShelfGain, (double) 0.7200001f, std::nullopt },
        { PostHighShelfFrequency, (double) 0.52000016f, std::nullopt },
        { PostCutoffFrequency, (double) 0.7150002f, std::nullopt },
        { EarlyDiffusionModAmount, (double) 0.42f, std::nullopt },
        { EarlyDiffusionModRate, (double) 0.30500013f, std::nullopt },
        { LineModAmount, (double) 0.46499997f, std::nullopt },
        { LineModRate, (double) 0.3199998f, std::nullopt },
        { LateDiffusionModAmount, (double) 0.40999994f, std::nullopt },
        { LateDiffusionModRate, (double) 0.31500012f, std::nullopt },
        { TapSeed, (double) 0.000301f, 301.0 },
        { DiffusionSeed, (double) 0.000189f, 189.0 },
        { DelaySeed, (double) 0.000161f, 161.0 },
        { PostDiffusionSeed, (double) 0.000501f, 501.0 },
        { CrossSeed, (double) 0.0f, std::nullopt },
        { DryOut, (double) 0.0f, std::nullopt },
        { PredelayOut, (double) 0.0f, std::nullopt },
        { EarlyOut, (double) 0.0f, std::nullopt },
        { MainOut, (double) 0.95499974f, std::nullopt },
        { HiPassEnabled, (double) 0.0f, std::nullopt },
        { LowShelfEnabled, (double) 0.0f, std::nullopt },
        { HighShelfEnabled, (double) 0.0f, std::nullopt },
        { CutoffEnabled, (double) 1.0f, std::nullopt },
        { LateStageTap, (double) 1.0f, std::nullopt },
        { Interpolation, (double) 1.0f, std::nullopt },
    };

    const std::vector<ReverbPresets::Entry> preset2 {
        { InputMix, (double) 0.0f, std::nullopt },
        { HighPass, (double) 0.0f, std::nullopt },
        { TapLength, (double) 1.0f, 500.0 },
        { TapGain, (double) 0.0f, std::nullopt },
        { TapDecay, (double) 0.8650001f, std::nullopt },
        { DiffusionEnabled, (double) 1.0f, std::nullopt },
        { DiffusionStages, (double) 0.5714286f, 5.0 },
        { DiffusionDelay, (double) 0.71000004f, 73.0 },
        { DiffusionFeedback, (double) 0.5450003f, std::nullopt },
        { LateDiffusionEnabled, (double) 0.0f, std::nullopt },
        { LateDiffusionStages, (double) 0.2857143f, 3.0 },
        { LateDiffusionDelay, (double) 0.54499996f, 59.0 },
        { LateDiffusionFeedback, (double) 0.65999997f, std::nullopt },
        { PostLowShelfGain, (double) 0.5199999f, std::nullopt },
        { PostLowShelfFrequency, (double) 0.3149999f, std::nullopt },
        { PostHighShelfGain, (double) 0.8349999f, std::nullopt },
        { PostHighShelfFrequency, (double) 0.7050001f, std::nullopt },
        { PostCutoffFrequency, (double) 0.73499984f, std::nullopt },
        { EarlyDiffusionModAmount, (double) 0.825f, std::nullopt },
        { EarlyDiffusionModRate, (double) 0.40500048f, std::nullopt },
        { LineModAmount, (double) 0.63000005f, std::nullopt },
        { LineModRate, (double) 0.32f, std::nullopt },
        { LateDiffusionModAmount, (double) 0.6199999f, std::nullopt },
        { LateDiffusionModRate, (double) 0.30000022f, std::nullopt },
        { TapSeed, (double) 0.00115f, 1150.0 },
        { DiffusionSeed, (double) 0.000189f, 189.0 },
        { DelaySeed, (double) 0.000337f, 337.0 },
        { PostDiffusionSeed, (double) 0.000501f, 501.0 },
        { CrossSeed, (double) 0.0f, std::nullopt },
        { DryOut, (double) 0.94499975f, std::nullopt },
        { PredelayOut, (double) 0.0f, std::nullopt },
        { EarlyOut, (double) 0.725f, std::nullopt },
        { MainOut, (double) 0.60500014f, std::nullopt },
        { HiPassEnabled, (double) 0.0f, std::nullopt },
        { LowShelfEnabled, (double) 0.0f, std::nullopt },
        { HighShelfEnabled, (double) 1.0f, std::nullopt },
        { CutoffEnabled, (double) 0.0f, std::nullopt },
        { LateStageTap, (double) 1.0f, std::nullopt },
        { Interpolation, (double) 1.0f, std::nullopt },
    };

    const std::vector<ReverbPresets::Entry> preset3 {
        { InputMix, (double) 0.0f, std::nullopt },
        { HighPass, (double) 0.0f, std::nullopt },
        { TapLength, (double) 0.26499993f, 132.0 },
        { TapGain, (double) 0.695f, std::nullopt },
        { TapDecay, (double) 1.0f, std::nullopt },
        { DiffusionEnabled, (double) 1.0f, std::nullopt },
        { DiffusionStages, (double) 0.85714287f, 7.0 },
        { DiffusionDelay, (double) 0.57000005f, 61.0 },
        { DiffusionFeedback, (double) 0.7600001f, std::nullopt },
        { LateDiffusionEnabled, (double) 1.0f, std::nullopt },
        { LateDiffusionStages, (double) 0.5714286f, 5.0 },
        { LateDiffusionDelay, (double) 0.6949995f, 72.0 },
        { LateDiffusionFeedback, (double) 0.71499985f, std::nullopt },
        { PostLowShelfGain, (double) 0.8799999f, std::nullopt },
        { PostLowShelfFrequency, (double) 0.19499993f, std::nullopt },
        { PostHighShelfGain, (double) 0.7200001f, std::nullopt },
        { PostHighShelfFrequency, (double) 0.52000016f, std::nullopt },
        { PostCutoffFrequency, (double) 0.79999983f, std::nullopt },
        { EarlyDiffusionModAmount, (double) 0.13499999f, std::nullopt },
        { EarlyDiffusionModRate, (double) 0.2600001f, std::nullopt },
        { LineModAmount, (double) 0.05499993f, std::nullopt },
        { LineModRate, (double) 0.21499987f, std::nullopt },
        { LateDiffusionModAmount, (double) 0.17999963f, std::nullopt },
        { LateDiffusionModRate, (double) 0.3800001f, std::nullopt },
        { TapSeed, (double) 0.000301f, 301.0 },
        { DiffusionSeed, (double) 0.000189f, 189.0 },
        { DelaySeed, (double) 0.000161f, 161.0 },
        { PostDiffusionSeed, (double) 0.000501f, 501.0 },
        { CrossSeed, (double) 0.0f, std::nullopt },
        { DryOut, (double) 1.0f, std::nullopt },
        { PredelayOut, (double) 0.0f, std::nullopt },
        { EarlyOut, (double) 0.7f, std::nullopt },
        { MainOut, (double) 0.84499985f, std::nullopt },
        { HiPassEnabled, (double) 0.0f, std::nullopt },
        { LowShelfEnabled, (double) 1.0f, std::nullopt },
        { HighShelfEnabled, (double) 0.0f, std::nullopt },
        { CutoffEnabled, (double) 1.0f, std::nullopt },
        { LateStageTap, (double) 1.0f, std::nullopt },
        { Interpolation, (double) 1.0f, std::nullopt },
    };

} // namespace

const std::vector<ReverbPresets::Entry>& ReverbPresets::get (int preset)
{
    static const std::vector<Entry> none;
    switch (preset)
    {
        case 0: return preset0;
        case 1: return preset1;
        case 2: return preset2;
        case 3: return preset3;
        default: return none;
    }
}

std::optional<float> ReverbPresets::dryOut (int preset)
{
    if (preset == 2)
        return 0.94499975f;
    if (preset == 3)
        return 1.0f;
    return std::nullopt;
}
} // namespace QEL
