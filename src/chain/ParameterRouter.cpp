// The parameter router: the one place where a parameter value becomes a setting of
// the chain. It runs on whichever thread set the parameter, without a lock.
#include "core/Params.h"
#include "core/PluginProcessor.h"

namespace
{
using Processor = OrvaneTessaroAudioProcessor;
using Route = void (*) (Processor&, float);

struct Branch
{
    const juce::String* id;
    Route route;
};

bool on (float v) noexcept
{
    return v != 0.0f;
}

int choice (float v) noexcept
{
    return (int) v;
}

void switchOrder (Processor& p, std::atomic<bool>& flag, float v)
{
    flag.store (on (v));
    p.tessaroProcessor.updateModuleOrder();
}

// clang-format off
const Branch branches[] = {
    { &Params::paramMix,                 [] (Processor& p, float v) { p.tessaroProcessor.setMix (v / 100.0f); } },
    { &Params::paramBypass,              [] (Processor& p, float v) { p.setChainBypass (on (v)); } },

    { &Params::paramCompressPower,       [] (Processor& p, float v) { p.tessaroProcessor.compressProcessor.setBypassSmooth (on (v)); } },
    { &Params::paramCompressInput,       [] (Processor& p, float v) { p.tessaroProcessor.compressProcessor.setInputGain (v); } },
    { &Params::paramCompressCompression, [] (Processor& p, float v) { p.tessaroProcessor.compressProcessor.setCompression (v); } },
    { &Params::paramCompressOutput,      [] (Processor& p, float v) { p.tessaroProcessor.compressProcessor.setOutputGain (v); } },
    { &Params::paramCompressSlow,        [] (Processor& p, float v) { p.tessaroProcessor.compressProcessor.setSlow (on (v)); } },
    { &Params::paramCompressAuto,        [] (Processor& p, float v) { p.tessaroProcessor.compressProcessor.setAuto (on (v)); } },

    { &Params::paramEnhancePower,        [] (Processor& p, float v) { p.tessaroProcessor.enhanceProcessor.setBypassSmooth (on (v)); } },
    { &Params::paramEnhanceDeEss,        [] (Processor& p, float v) { p.tessaroProcessor.enhanceProcessor.setDeEss (v); } },
    { &Params::paramEnhanceDeNoise,      [] (Processor& p, float v) { p.tessaroProcessor.enhanceProcessor.setDeNoise (v); } },
    { &Params::paramEnhanceAir,          [] (Processor& p, float v) { p.tessaroProcessor.enhanceProcessor.setAir (v); } },
    { &Params::paramEnhancePreComp,      [] (Processor& p, float v) { switchOrder (p, p.tessaroProcessor.enhancePreComp, v); } },

    { &Params::paramEQPower,             [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setBypassSmooth (on (v)); } },
    { &Params::paramEQHighFreq,          [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setHighFreq (v); p.eqHighFreq.store (v); } },
    { &Params::paramEQHighGain,          [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setHighGain (v); p.eqHighGain.store (v); } },
    { &Params::paramEQHighQ,             [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setHighQ (v); p.eqHighQ.store (v); } },
    { &Params::paramEQMidFreq,           [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setMidFreq (v); p.eqMidFreq.store (v); } },
    { &Params::paramEQMidGain,           [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setMidGain (v); p.eqMidGain.store (v); } },
    { &Params::paramEQMidQ,              [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setMidQ (v); p.eqMidQ.store (v); } },
    { &Params::paramEQLowFreq,           [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setLowFreq (v); p.eqLowFreq.store (v); } },
    { &Params::paramEQLowGain,           [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setLowGain (v); p.eqLowGain.store (v); } },
    { &Params::paramEQLowQ,              [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setLowQ (v); p.eqLowQ.store (v); } },
    { &Params::paramEQPre,               [] (Processor& p, float v) { switchOrder (p, p.tessaroProcessor.eqPre, v); } },
    { &Params::paramEQAdLib,             [] (Processor& p, float v) { p.tessaroProcessor.eqProcessor.setAdLib (on (v)); } },

    { &Params::paramMultiplyPower,       [] (Processor& p, float v) { p.tessaroProcessor.multiplyProcessor.setBypassSmooth (on (v)); } },
    { &Params::paramMultiplySpread,      [] (Processor& p, float v) { p.tessaroProcessor.multiplyProcessor.setSpread (v); } },
    { &Params::paramMultiplyOffset,      [] (Processor& p, float v) { p.tessaroProcessor.multiplyProcessor.setOffset (v); } },
    { &Params::paramMultiplyAmount,      [] (Processor& p, float v) { p.tessaroProcessor.multiplyProcessor.setAmount (v); } },
    { &Params::paramMultiplyLow,         [] (Processor& p, float v) { p.tessaroProcessor.multiplyProcessor.setLow (v); } },

    { &Params::paramSpacePower,          [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setBypassSmooth (on (v)); } },
    { &Params::paramSpaceReverbType,     [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setReverbType (choice (v)); } },
    { &Params::paramSpaceReverbTime,     [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setReverbTime (v); } },
    { &Params::paramSpaceReverbAmount,   [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setReverbAmount (v); } },
    { &Params::paramSpaceDelaySync,      [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setDelaySync (on (v)); } },
    { &Params::paramSpaceDelayType,      [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setDelayType (choice (v)); } },
    { &Params::paramSpaceDelayTime,      [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setDelayTime (v); } },
    { &Params::paramSpaceDelayNote,      [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setDelayNote (choice (v)); } },
    { &Params::paramSpaceDelayAmount,    [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setDelayAmount (v); } },
    { &Params::paramSpaceDelayFeedback,  [] (Processor& p, float v) { p.tessaroProcessor.spaceProcessor.setDelayFeedback (v); } },

    { &Params::paramGainPower,           [] (Processor& p, float v) { p.tessaroProcessor.gainProcessor.setBypassSmooth (on (v)); } },
    { &Params::paramGainType,            [] (Processor& p, float v) { p.tessaroProcessor.gainProcessor.setType (choice (v)); } },
    { &Params::paramGainDrive,           [] (Processor& p, float v) { p.tessaroProcessor.gainProcessor.setDrive (v); } },
    { &Params::paramGainMix,             [] (Processor& p, float v) { p.tessaroProcessor.gainProcessor.setSaturationMix (v); } },
    { &Params::paramGainGain,            [] (Processor& p, float v) { p.tessaroProcessor.gainProcessor.setOutputGain (v); } },
    { &Params::paramGainPreFx,           [] (Processor& p, float v) { switchOrder (p, p.tessaroProcessor.gainPreFx, v); } },
    { &Params::paramGainLimit,           [] (Processor& p, float v) { p.tessaroProcessor.gainProcessor.setLimit (on (v)); } },
};
// clang-format on
} // namespace

void OrvaneTessaroAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    presetManagerModel->changed = true;

    for (const auto& branch : branches)
    {
        if (parameterID == *branch.id)
        {
            branch.route (*this, newValue);
            return;
        }
    }
}
