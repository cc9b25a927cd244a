#pragma once

#include "core/MessageThreadHandOff.h"
#include "core/PreseteableProcessor.h"
#include "presets/LiveModel.h"
#include "presets/PresetManagerModel.h"
#include "presets/QELMidiMapping.h"
#include "presets/QELMidiMappingsModel.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>

namespace QEL
{
/** How the input is taken; stored and saved with the host state, read by nothing. */
enum InputMode : int
{
    InputModeMono = 0,
    InputModeStereo = 1
};
} // namespace QEL

/** The makers' common processor base: buses, parameter state, the preset, MIDI-mapping
    and Live Set models, host state and preset content. */
class QELAudioProcessorBase : public juce::AudioProcessor,
                              public juce::AudioProcessorValueTreeState::Listener,
                              public juce::PreseteableProcessor,
                              public juce::LiveModel::Listener,
                              public juce::QELMidiMappingsModel::Listener
{
public:
    QELAudioProcessorBase();
    ~QELAudioProcessorBase() override;

    //==============================================================================
    const juce::String getName() const override;
    void prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock) override;
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool hasEditor() const override { return true; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    /** Learns or applies MIDI mappings for one block of MIDI messages. */
    virtual void handleMidiEvents (juce::MidiBuffer& midiMessages);

    /** Called with the per-instance element of the state copy just before it is saved. */
    virtual void internalGetStateInformation (juce::ValueTree& additionalData);

    /** Applies the per-instance keys of a restored host state. */
    virtual void internalSetStateInformation (juce::ValueTree additionalData);

    /** Called when the user cancels the input calibration. */
    virtual void cancelInputCalibration() {}

    /** Marks the current preset as changed. */
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    /** The content of a preset file: the parameter tree without the per-instance keys. */
    std::unique_ptr<juce::XmlElement> getPluginState() override;

    /** Applies a preset file; with keepParameters only the preset is recorded. */
    void setPluginStateFromPreset (juce::File presetFile, bool keepParameters) override;

    /** Called with a preset's tree before it replaces the parameter state. */
    virtual void onReplacingStateForPreset (juce::ValueTree presetTree);

    /** Records the applied preset in the per-instance element. */
    virtual void internalSetPluginStateFromPreset (juce::File presetFile, juce::ValueTree additionalData);

    /** Called by the editor's tempo box. */
    virtual void setTempo (double newTempo);

    /** Copies the mappings into the live state when they travel in it. */
    void onMappingsChange() override;

    /** Loads the preset of a Live scene. */
    void onSceneChange (int scene, int group) override;

    /** Stores the input mode. */
    virtual void setInputMode (QEL::InputMode newMode);

    /** Called with a restored host-state tree before it replaces the parameter state. */
    virtual void onBeforeLoadingState (juce::ValueTree& restoredTree);

    //==============================================================================
    /** The first child of parent whose "id" is id, or a new "PARAM" child appended to it. */
    static juce::ValueTree getOrCreateChildValueTree (const juce::String& id, juce::ValueTree parent);

    /** Puts the mappings into a "midi" child of tree when they travel in the state. */
    void saveCurrentMidiMappingsToState (juce::ValueTree& tree);

    /** The same, on the per-instance element of the live parameter state. */
    void saveCurrentMidiMappingsToState();

    //==============================================================================
    juce::String presetPath;
    std::atomic<bool> editorVisible { false };
    double sampleRate = 44100.0;
    int samplesPerBlock = 1024;
    std::atomic<bool> midiLearnActive { false };
    juce::QELMidiMapping midiLearnMapping;
    std::atomic<bool> midiLearnReplaces { false };
    std::atomic<bool> midiLearnNoteFullValue { false };

    juce::UndoManager undoManager { 30000, 30 };
    juce::AudioProcessorValueTreeState parameters;

    std::unique_ptr<juce::PresetManagerModel> presetManagerModel;
    std::unique_ptr<juce::QELMidiMappingsModel> midiMappingsModel;
    std::unique_ptr<juce::LiveModel> liveModel;

    int guiLastView = -1;
    int inputMode = QEL::InputModeStereo;

    // Options of the makers' other products; this one never switches them on.
    bool liveEnabled = false;
    bool midiMappingsEnabled = false;
    bool midiMappingsInState = false;

    /** The latency last reported to the host; safe on the audio thread. */
    int getReportedLatency() const noexcept { return reportedLatency.load(); }

protected:
    /** Reports a latency to the host and publishes it to the audio thread. */
    void reportLatency (int samples);

    /** Clears the output channels that have no input. */
    void clearOutputsWithoutInput (juce::AudioBuffer<float>& buffer) const noexcept;

private:
    /** Work the MIDI handler leaves for the message thread: a Live scene to select in the group browsed when it
        runs, or the presets mapped to a note to load. */
    struct MidiTask
    {
        enum Kind
        {
            selectScene,
            loadNotePresets
        };
        Kind kind;
        int number; // the scene, or the note
    };

    std::atomic<int> reportedLatency { 0 };

    void handleNoteOn (int note, int velocity);
    void handleNoteOff (int note);
    void handleProgramChange (int program);
    void handleController (int controller, int value);
    void learnMapping (int signal, int number);
    void removeMappingsReplacedByLearning();
    juce::QELMidiMapping* findLastMapping (int signal, int number) const;
    void setMappedParameter (const juce::QELMidiMapping& mapping, int value);
    void setParameterNormalised (const juce::String& parameterID, float normalised);
    void runLiveControl (const juce::QELMidiMapping& mapping);
    void runMidiTask (const MidiTask& task);

    void applyRestoredTree (const juce::XmlElement& xml);
    void prepareIncomingParameters (juce::ValueTree& incoming);

    /** The MIDI handler's tasks on their way to the message thread; stopped before the models go. */
    QEL::MessageThreadHandOff<MidiTask> midiTasks { [this] (const MidiTask& task) { runMidiTask (task); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELAudioProcessorBase)
};
