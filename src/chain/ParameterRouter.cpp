// The parameter router: the one place where a parameter value becomes a setting of
// the chain. It runs on whichever thread set the parameter, without a lock.
#include "core/Params.h"
#include "core/PluginProcessor.h"

bool OrvaneTessaroAudioProcessor::routeEqDisplay (const juce::String& parameterID, float newValue)
{
    using namespace Params;
    const std::pair<const juce::String&, std::atomic<float>&> cache[] = {
        { paramEQHighFreq, eqHighFreq }, { paramEQHighQ, eqHighQ }, { paramEQHighGain, eqHighGain },
        { paramEQMidFreq, eqMidFreq },   { paramEQMidQ, eqMidQ },   { paramEQMidGain, eqMidGain },
        { paramEQLowFreq, eqLowFreq },   { paramEQLowQ, eqLowQ },   { paramEQLowGain, eqLowGain },
    };

    for (const auto& [id, field] : cache)
    {
        if (parameterID == id)
        {
            field.store (newValue, std::memory_order_relaxed);
            return true;
        }
    }
    return false;
}

void OrvaneTessaroAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    using namespace Params;
    presetManagerModel->changed = true;

    if (routeEqDisplay (parameterID, newValue))
        return;

    if (parameterID == paramBypass)
        tessaroProcessor.setBypassSmooth (newValue == 0.0f);
    else if (parameterID == paramGainLimit)
        updateLatency();
}
