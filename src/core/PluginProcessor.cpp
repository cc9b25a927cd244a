#include "core/PluginProcessor.h"

#include "core/Params.h"
#include "core/StateKeys.h"
#include "dsp/base/TimeUtils.h"
#include "editor/PluginEditor.h"

#include <algorithm>
#include <cmath>
#include <limits>

OrvaneTessaroAudioProcessor::OrvaneTessaroAudioProcessor()
{
    createAndAddParameters();

    presetManagerModel->extension = "orvane";
    presetManagerModel->defaultName = "Init";
    presetManagerModel->loadPreset (
        presetManagerModel->getRootPresetFolder().getChildFile ("Factory").getChildFile ("Easy Vocal Chain.orvane"),
        false);

    // What a host that asks before preparing reads; prepareToPlay sets the figure for its rate.
    updateLatency();
}

OrvaneTessaroAudioProcessor::~OrvaneTessaroAudioProcessor() = default;

juce::String OrvaneTessaroAudioProcessor::getProductId()
{
    return STATE_ID;
}

juce::AudioProcessorEditor* OrvaneTessaroAudioProcessor::createEditor()
{
    return new OrvaneTessaroAudioProcessorEditor (*this);
}

void OrvaneTessaroAudioProcessor::internalSetStateInformation (juce::ValueTree additionalData)
{
    QELAudioProcessorBase::internalSetStateInformation (additionalData);
}

void OrvaneTessaroAudioProcessor::internalSetPluginStateFromPreset (juce::File presetFile,
                                                                    juce::ValueTree additionalData)
{
    QELAudioProcessorBase::internalSetPluginStateFromPreset (presetFile, additionalData);
}

//==============================================================================
// The chain's own Bypass crossfade delays its dry side by the same latency, so switching
// the chain off keeps the output where the host expects it.
void OrvaneTessaroAudioProcessor::updateLatency()
{
    const int latency = tessaroProcessor.getTotalLatencyInSamples();
    tessaroProcessor.setReportedLatency (latency);
    reportLatency (latency);
}

void OrvaneTessaroAudioProcessor::prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock)
{
    QELAudioProcessorBase::prepareToPlay (newSampleRate, maximumExpectedSamplesPerBlock);

    const auto channels = juce::jmax (getTotalNumInputChannels(), getTotalNumOutputChannels());
    tessaroProcessor.prepare (
        { newSampleRate, (juce::uint32) juce::jmax (1, maximumExpectedSamplesPerBlock), (juce::uint32) channels });
    scratch.setSize (2, juce::jmax (1, maximumExpectedSamplesPerBlock));

    updateLatency();
}

void OrvaneTessaroAudioProcessor::reset()
{
    tessaroProcessor.reset();
}

// The parameter router and the audio thread both set the chain's switch from both flags; the audio
// thread checks it on every block, so a race between the two is mended within a block.
void OrvaneTessaroAudioProcessor::setChainBypass (bool bypassed)
{
    chainBypassed.store (bypassed);
    tessaroProcessor.setBypassSmooth (! (bypassed || hostBypassed.load()));
}

void OrvaneTessaroAudioProcessor::followBypass (bool hostBypass) noexcept
{
    hostBypassed.store (hostBypass);
    const bool active = ! (hostBypass || chainBypassed.load());
    if (active != tessaroProcessor.active.load())
        tessaroProcessor.setBypassSmooth (active);
}

void OrvaneTessaroAudioProcessor::followHostTempo()
{
    auto* playHead = getPlayHead();
    if (playHead == nullptr)
        return;

    double tempo = 120.0;
    if (const auto position = playHead->getPosition())
        if (const auto bpm = position->getBpm())
            tempo = *bpm;

    if (tempo != lastHostTempo)
    {
        lastHostTempo = tempo;
        tessaroProcessor.setTempo (tempo);
    }
}

void OrvaneTessaroAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    processHostBlock (buffer, false);
}

void OrvaneTessaroAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    processHostBlock (buffer, true);
}

// Host blocks larger than the prepared size are processed in chunks of the prepared
// size, so no buffer sized in prepare is ever overrun.
void OrvaneTessaroAudioProcessor::processHostBlock (juce::AudioBuffer<float>& buffer, bool hostBypass)
{
    juce::ScopedNoDenormals noDenormals;
    clearOutputsWithoutInput (buffer);

    const int n = buffer.getNumSamples();
    followBypass (hostBypass);
    followHostTempo();

    const int chunk = scratch.getNumSamples();
    if (n <= 0 || chunk <= 0)
    {
        const float* const* none = scratch.getArrayOfWritePointers();
        tessaroProcessor.process (none, scratch.getArrayOfWritePointers(), 0, getTotalNumInputChannels(),
                                  getTotalNumOutputChannels());
        return;
    }

    for (int start = 0; start < n; start += chunk)
        processChunk (buffer, start, juce::jmin (chunk, n - start));
}

namespace
{
// No early exit, so the loop runs vectorised; a NaN fails the comparison as an infinity does.
bool allFinite (const float* samples, int numSamples) noexcept
{
    bool finite = true;
    for (int i = 0; i < numSamples; ++i)
        finite &= std::abs (samples[i]) <= std::numeric_limits<float>::max();
    return finite;
}
} // namespace

void OrvaneTessaroAudioProcessor::processChunk (juce::AudioBuffer<float>& buffer, int start, int numSamples)
{
    const int ins = getTotalNumInputChannels();
    const int outs = juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels());
    const bool silent = buffer.hasBeenCleared();

    for (int ch = 0; ch < 2; ++ch)
    {
        if (silent || ins < 1)
            scratch.clear (ch, 0, numSamples);
        else
            scratch.copyFrom (ch, 0, buffer, juce::jmin (ch, ins - 1), start, numSamples);
    }

    // A NaN or an infinity from the host would stick in every filter and delay line: it enters as silence.
    for (auto* channel : { scratch.getWritePointer (0), scratch.getWritePointer (1) })
        if (! allFinite (channel, numSamples))
            std::replace_if (
                channel, channel + numSamples, [] (float x) { return ! std::isfinite (x); }, 0.0f);

    auto* const* channels = scratch.getArrayOfWritePointers();
    tessaroProcessor.process (channels, channels, numSamples, ins, outs);

    for (int ch = 0; ch < juce::jmin (outs, 2); ++ch)
        buffer.copyFrom (ch, start, scratch, ch, 0, numSamples);
}

//==============================================================================
namespace
{
using Range = juce::NormalisableRange<float>;

const Range percentRange { 0.0f, 100.0f, 0.1f };
const Range trimRange { -20.0f, 20.0f, 0.1f };
const Range frequencyRange { 20.0f, 22000.0f, 0.1f, 0.4f };
const Range eqGainRange { -15.0f, 15.0f, 0.1f };
const Range qRange { 0.1f, 10.0f, 0.01f };
const Range spreadRange { 0.0f, 200.0f, 1.0f };
const Range delayTimeRange { 0.0f, 2000.0f, 1.0f };

std::unique_ptr<juce::RangedAudioParameter> floatParam (const juce::String& id, const juce::String& name,
                                                        const Range& range, float defaultValue,
                                                        const juce::String& label)
{
    return std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, 1 }, name, range, defaultValue,
                                                        juce::AudioParameterFloatAttributes().withLabel (label));
}

std::unique_ptr<juce::RangedAudioParameter> boolParam (const juce::String& id, const juce::String& name,
                                                       bool defaultValue)
{
    return std::make_unique<juce::AudioParameterBool> (juce::ParameterID { id, 1 }, name, defaultValue);
}

std::unique_ptr<juce::RangedAudioParameter> choiceParam (const juce::String& id, const juce::String& name,
                                                         const juce::StringArray& choices, int defaultIndex)
{
    return std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { id, 1 }, name, choices, defaultIndex);
}
} // namespace

void OrvaneTessaroAudioProcessor::createAndAddParameters()
{
    using namespace Params;
    std::vector<std::unique_ptr<juce::RangedAudioParameter>> all;

    all.push_back (floatParam (paramMix, "Mix", percentRange, 100.0f, "%"));
    all.push_back (boolParam (paramBypass, "Bypass", false));

    all.push_back (boolParam (paramCompressPower, "Compress - Power", true));
    all.push_back (floatParam (paramCompressInput, "Compress - Input", trimRange, 0.0f, "dB"));
    all.push_back (floatParam (paramCompressCompression, "Compress - Compression", percentRange, 0.0f, "%"));
    all.push_back (floatParam (paramCompressOutput, "Compress - Output", trimRange, 0.0f, "dB"));
    all.push_back (boolParam (paramCompressSlow, "Compress - Slow", false));
    all.push_back (boolParam (paramCompressAuto, "Compress - Auto", true));

    all.push_back (boolParam (paramEnhancePower, "Enhance - Power", true));
    all.push_back (floatParam (paramEnhanceDeEss, "Enhance - De-Ess", percentRange, 0.0f, "%"));
    all.push_back (floatParam (paramEnhanceDeNoise, "Enhance - De-Noise", percentRange, 0.0f, "%"));
    all.push_back (floatParam (paramEnhanceAir, "Enhance - Air", percentRange, 0.0f, "%"));
    all.push_back (boolParam (paramEnhancePreComp, "Enhance - PreComp", false));

    all.push_back (boolParam (paramEQPower, "EQ - Power", true));
    all.push_back (floatParam (paramEQHighFreq, "EQ - High - Freq", frequencyRange, 5000.0f, "Hz"));
    all.push_back (floatParam (paramEQHighGain, "EQ - High - Gain", eqGainRange, 0.0f, "dB"));
    all.push_back (floatParam (paramEQHighQ, "EQ - High - Q", qRange, 0.707f, {}));
    all.push_back (floatParam (paramEQMidFreq, "EQ - Mid - Freq", frequencyRange, 1000.0f, "Hz"));
    all.push_back (floatParam (paramEQMidGain, "EQ - Mid - Gain", eqGainRange, 0.0f, "dB"));
    all.push_back (floatParam (paramEQMidQ, "EQ - Mid - Q", qRange, 0.707f, {}));
    all.push_back (floatParam (paramEQLowFreq, "EQ - Low - Freq", frequencyRange, 100.0f, "Hz"));
    all.push_back (floatParam (paramEQLowGain, "EQ - Low - Gain", eqGainRange, 0.0f, "dB"));
    all.push_back (floatParam (paramEQLowQ, "EQ - Low - Q", qRange, 0.707f, {}));
    all.push_back (boolParam (paramEQPre, "EQ - Pre", false));
    all.push_back (boolParam (paramEQAdLib, "EQ - AdLib", false));

    all.push_back (boolParam (paramMultiplyPower, "Multiply - Power", true));
    all.push_back (floatParam (paramMultiplySpread, "Multiply - Spread", spreadRange, 100.0f, "%"));
    all.push_back (floatParam (paramMultiplyOffset, "Multiply - Offset", percentRange, 0.0f, "%"));
    all.push_back (floatParam (paramMultiplyAmount, "Multiply - Amount", percentRange, 0.0f, "%"));
    all.push_back (floatParam (paramMultiplyLow, "Multiply - Low", percentRange, 0.0f, "%"));

    all.push_back (boolParam (paramSpacePower, "Space - Power", true));
    all.push_back (choiceParam (paramSpaceReverbType, "Space - Reverb - Type", reverbTypes, 0));
    all.push_back (floatParam (paramSpaceReverbTime, "Space - Reverb - Time", percentRange, 50.0f, "%"));
    all.push_back (floatParam (paramSpaceReverbAmount, "Space - Reverb - Amount", percentRange, 0.0f, "%"));
    all.push_back (boolParam (paramSpaceDelaySync, "Space - Delay - Sync", true));
    all.push_back (choiceParam (paramSpaceDelayType, "Space - Delay - Type", delayTypes, 0));
    all.push_back (floatParam (paramSpaceDelayTime, "Space - Delay - Time", delayTimeRange, 200.0f, "ms"));
    all.push_back (choiceParam (paramSpaceDelayNote, "Space - Delay - Note", qel::TimeUtils::getNoteNames(), 10));
    all.push_back (floatParam (paramSpaceDelayAmount, "Space - Delay - Amount", percentRange, 0.0f, "%"));
    all.push_back (floatParam (paramSpaceDelayFeedback, "Space - Delay - Feedback", percentRange, 50.0f, "%"));

    all.push_back (boolParam (paramGainPower, "Gain - Power", true));
    all.push_back (choiceParam (paramGainType, "Gain - Type", gainTypes, 0));
    all.push_back (floatParam (paramGainDrive, "Gain - Drive", percentRange, 0.0f, "%"));
    all.push_back (floatParam (paramGainMix, "Gain - Mix", percentRange, 100.0f, "%"));
    all.push_back (floatParam (paramGainGain, "Gain - Gain", trimRange, 0.0f, "dB"));
    all.push_back (boolParam (paramGainPreFx, "Gain - Pre Fx", false));
    all.push_back (boolParam (paramGainLimit, "Gain - Limit", false));

    juce::StringArray ids;
    for (auto& parameter : all)
    {
        ids.add (parameter->getParameterID());
        parameters.createAndAddParameter (std::move (parameter));
    }

    parameters.state = juce::ValueTree (STATE_ID);

    for (const auto& id : ids)
        parameters.addParameterListener (id, this);
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new OrvaneTessaroAudioProcessor();
}
