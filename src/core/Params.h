#pragma once

#include <juce_core/juce_core.h>

/** The identifiers of the 47 host parameters; each holds its own name. */
namespace Params
{
extern const juce::String paramMix;
extern const juce::String paramBypass;
extern const juce::String paramCompressPower;
extern const juce::String paramCompressInput;
extern const juce::String paramCompressCompression;
extern const juce::String paramCompressOutput;
extern const juce::String paramCompressSlow;
extern const juce::String paramCompressAuto;
extern const juce::String paramEnhancePower;
extern const juce::String paramEnhanceDeEss;
extern const juce::String paramEnhanceDeNoise;
extern const juce::String paramEnhanceAir;
extern const juce::String paramEnhancePreComp;
extern const juce::String paramEQPower;
extern const juce::String paramEQHighFreq;
extern const juce::String paramEQHighGain;
extern const juce::String paramEQHighQ;
extern const juce::String paramEQMidFreq;
extern const juce::String paramEQMidGain;
extern const juce::String paramEQMidQ;
extern const juce::String paramEQLowFreq;
extern const juce::String paramEQLowGain;
extern const juce::String paramEQLowQ;
extern const juce::String paramEQPre;
extern const juce::String paramEQAdLib;
extern const juce::String paramMultiplyPower;
extern const juce::String paramMultiplySpread;
extern const juce::String paramMultiplyOffset;
extern const juce::String paramMultiplyAmount;
extern const juce::String paramMultiplyLow;
extern const juce::String paramSpacePower;
extern const juce::String paramSpaceReverbType;
extern const juce::String paramSpaceReverbTime;
extern const juce::String paramSpaceReverbAmount;
extern const juce::String paramSpaceDelaySync;
extern const juce::String paramSpaceDelayType;
extern const juce::String paramSpaceDelayTime;
extern const juce::String paramSpaceDelayNote;
extern const juce::String paramSpaceDelayAmount;
extern const juce::String paramSpaceDelayFeedback;
extern const juce::String paramGainPower;
extern const juce::String paramGainType;
extern const juce::String paramGainDrive;
extern const juce::String paramGainMix;
extern const juce::String paramGainGain;
extern const juce::String paramGainPreFx;
extern const juce::String paramGainLimit;

/** Choice texts, shared by the parameters and the editor's selectors. */
extern const juce::StringArray reverbTypes;
extern const juce::StringArray delayTypes;
extern const juce::StringArray gainTypes;
} // namespace Params
