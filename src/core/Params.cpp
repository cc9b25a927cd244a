#include "core/Params.h"

namespace Params
{
const juce::String paramMix { "paramMix" };
const juce::String paramBypass { "paramBypass" };
const juce::String paramCompressPower { "paramCompressPower" };
const juce::String paramCompressInput { "paramCompressInput" };
const juce::String paramCompressCompression { "paramCompressCompression" };
const juce::String paramCompressOutput { "paramCompressOutput" };
const juce::String paramCompressSlow { "paramCompressSlow" };
const juce::String paramCompressAuto { "paramCompressAuto" };
const juce::String paramEnhancePower { "paramEnhancePower" };
const juce::String paramEnhanceDeEss { "paramEnhanceDeEss" };
const juce::String paramEnhanceDeNoise { "paramEnhanceDeNoise" };
const juce::String paramEnhanceAir { "paramEnhanceAir" };
const juce::String paramEnhancePreComp { "paramEnhancePreComp" };
const juce::String paramEQPower { "paramEQPower" };
const juce::String paramEQHighFreq { "paramEQHighFreq" };
const juce::String paramEQHighGain { "paramEQHighGain" };
const juce::String paramEQHighQ { "paramEQHighQ" };
const juce::String paramEQMidFreq { "paramEQMidFreq" };
const juce::String paramEQMidGain { "paramEQMidGain" };
const juce::String paramEQMidQ { "paramEQMidQ" };
const juce::String paramEQLowFreq { "paramEQLowFreq" };
const juce::String paramEQLowGain { "paramEQLowGain" };
const juce::String paramEQLowQ { "paramEQLowQ" };
const juce::String paramEQPre { "paramEQPre" };
const juce::String paramEQAdLib { "paramEQAdLib" };
const juce::String paramMultiplyPower { "paramMultiplyPower" };
const juce::String paramMultiplySpread { "paramMultiplySpread" };
const juce::String paramMultiplyOffset { "paramMultiplyOffset" };
const juce::String paramMultiplyAmount { "paramMultiplyAmount" };
const juce::String paramMultiplyLow { "paramMultiplyLow" };
const juce::String paramSpacePower { "paramSpacePower" };
const juce::String paramSpaceReverbType { "paramSpaceReverbType" };
const juce::String paramSpaceReverbTime { "paramSpaceReverbTime" };
const juce::String paramSpaceReverbAmount { "paramSpaceReverbAmount" };
const juce::String paramSpaceDelaySync { "paramSpaceDelaySync" };
const juce::String paramSpaceDelayType { "paramSpaceDelayType" };
const juce::String paramSpaceDelayTime { "paramSpaceDelayTime" };
const juce::String paramSpaceDelayNote { "paramSpaceDelayNote" };
const juce::String paramSpaceDelayAmount { "paramSpaceDelayAmount" };
const juce::String paramSpaceDelayFeedback { "paramSpaceDelayFeedback" };
const juce::String paramGainPower { "paramGainPower" };
const juce::String paramGainType { "paramGainType" };
const juce::String paramGainDrive { "paramGainDrive" };
const juce::String paramGainMix { "paramGainMix" };
const juce::String paramGainGain { "paramGainGain" };
const juce::String paramGainPreFx { "paramGainPreFx" };
const juce::String paramGainLimit { "paramGainLimit" };

const juce::StringArray reverbTypes { "Off", "Bright Room", "Dark Room", "Cathedral", "Outer Space" };
const juce::StringArray delayTypes { "Off", "Lofi", "Tape", "Modern", "Pong" };
const juce::StringArray gainTypes { "Off", "Vintage Tape", "Clean Tube", "Warm Tube", "Broken Tube" };
} // namespace Params
