#pragma once

#include "chain/TessaroProcessor.h"
#include "core/QELAudioProcessorBase.h"

#include <atomic>

/** The processor the host instantiates: the vocal chain on the makers' base. */
class OrvaneTessaroAudioProcessor : public QELAudioProcessorBase
{
public:
    OrvaneTessaroAudioProcessor();
    ~OrvaneTessaroAudioProcessor() override;

    //==============================================================================
    void prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    /** The host's bypass: the chain runs on and crossfades to its latency-aligned dry signal, as "Bypass" does. */
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void reset() override;

    juce::AudioProcessorEditor* createEditor() override;

    juce::String getProductId() override;

    /** The parameter router: turns every parameter change into settings of the chain. */
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    void internalSetStateInformation (juce::ValueTree additionalData) override;
    void internalSetPluginStateFromPreset (juce::File presetFile, juce::ValueTree additionalData) override;

    /** Creates the 47 host parameters and listens to each. */
    void createAndAddParameters();

    //==============================================================================
    // The EQ display cache: the last value of each EQ parameter, read by the editor.
    std::atomic<float> eqHighFreq { 5000.0f }, eqHighQ { 0.707f }, eqHighGain { 0.0f };
    std::atomic<float> eqMidFreq { 1000.0f }, eqMidQ { 0.707f }, eqMidGain { 0.0f };
    std::atomic<float> eqLowFreq { 100.0f }, eqLowQ { 0.707f }, eqLowGain { 0.0f };

    /** The tempo last handed to the chain; read and written by the audio thread only. */
    double lastHostTempo = 0.0;

    tessaro::dsp::TessaroProcessor tessaroProcessor;

    /** Reports the chain's total latency to the host and aligns the chain's dry paths with it. */
    void updateLatency();

    /** The product's own "Bypass": the chain crossfades to its dry signal while this or the host's bypass is on. */
    void setChainBypass (bool bypassed);

private:
    juce::AudioBuffer<float> scratch; // two channels of the prepared block size
    std::atomic<bool> chainBypassed { false };
    std::atomic<bool> hostBypassed { false }; // written by the audio thread only

    void processHostBlock (juce::AudioBuffer<float>& buffer, bool hostBypass);
    void followBypass (bool hostBypass) noexcept;

    void followHostTempo();
    void processChunk (juce::AudioBuffer<float>& buffer, int start, int numSamples);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OrvaneTessaroAudioProcessor)
};
