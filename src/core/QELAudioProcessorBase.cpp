#include "core/QELAudioProcessorBase.h"

#include "core/StateKeys.h"

#include <cmath>

namespace
{
const juce::String productName { "Orvane Tessaro" };
const juce::String brandName { "Orvane" };

/** A path read from a file or a state: only an absolute path names a file. */
juce::File absoluteFileOrNone (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}
} // namespace

QELAudioProcessorBase::QELAudioProcessorBase()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, &undoManager)
{
    presetManagerModel = std::make_unique<juce::PresetManagerModel> (productName, brandName, "Default", "qelpreset",
                                                                     "QEL Collaborators", this);

    midiMappingsModel = std::make_unique<juce::QELMidiMappingsModel> (productName, brandName, "qelmidi");
    midiMappingsModel->addListener (this);

    liveModel = std::make_unique<juce::LiveModel> (productName, brandName, "qelliveset");
    liveModel->addListener (this);

    midiLearnMapping.number = -1;
}

QELAudioProcessorBase::~QELAudioProcessorBase()
{
    midiTasks.stop();
    liveModel->removeListener (this);
    midiMappingsModel->removeListener (this);
    liveModel.reset();
    midiMappingsModel.reset();
    presetManagerModel.reset();
}

const juce::String QELAudioProcessorBase::getName() const
{
    return productName;
}

void QELAudioProcessorBase::prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock)
{
    sampleRate = newSampleRate;
    samplesPerBlock = maximumExpectedSamplesPerBlock;
}

//==============================================================================
bool QELAudioProcessorBase::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    const auto in = layouts.getMainInputChannelSet();

    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;

    return in == out || (in == juce::AudioChannelSet::mono() && out == juce::AudioChannelSet::stereo());
}

void QELAudioProcessorBase::clearOutputsWithoutInput (juce::AudioBuffer<float>& buffer) const noexcept
{
    if (buffer.hasBeenCleared())
        return;

    const int ins = getTotalNumInputChannels();
    const int outs = juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels());
    for (int ch = ins; ch < outs; ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());
}

void QELAudioProcessorBase::reportLatency (int samples)
{
    reportedLatency.store (samples);
    setLatencySamples (samples);
}

void QELAudioProcessorBase::parameterChanged (const juce::String&, float)
{
    presetManagerModel->changed = true;
}

void QELAudioProcessorBase::setTempo (double) {}

void QELAudioProcessorBase::setInputMode (QEL::InputMode newMode)
{
    inputMode = newMode;
}

void QELAudioProcessorBase::onBeforeLoadingState (juce::ValueTree&) {}

void QELAudioProcessorBase::onReplacingStateForPreset (juce::ValueTree) {}

void QELAudioProcessorBase::onMappingsChange()
{
    if (midiMappingsEnabled && midiMappingsInState)
        saveCurrentMidiMappingsToState();
}

void QELAudioProcessorBase::onSceneChange (int scene, int group)
{
    const auto path = liveModel->groups[group]->scenes[scene]->presetPath;
    presetManagerModel->loadPreset (absoluteFileOrNone (path), false);
}

//==============================================================================
juce::ValueTree QELAudioProcessorBase::getOrCreateChildValueTree (const juce::String& id, juce::ValueTree parent)
{
    for (auto child : parent)
        if (child.getProperty ("id").toString() == id)
            return child;

    juce::ValueTree child ("PARAM");
    child.setProperty ("id", id, nullptr);
    if (parent.isValid())
        parent.appendChild (child, nullptr);
    return child;
}

void QELAudioProcessorBase::saveCurrentMidiMappingsToState (juce::ValueTree& tree)
{
    if (! (midiMappingsEnabled && midiMappingsInState))
        return;

    auto previous = tree.getChildWithName (MIDI_TAG);
    if (previous.isValid())
        tree.removeChild (previous, nullptr);

    juce::ValueTree midi (MIDI_TAG);
    auto mappings = midiMappingsModel->getValueTree();
    if (mappings.getNumChildren() > 0)
    {
        auto list = mappings.getChild (0);
        mappings.removeChild (list, nullptr);
        midi.appendChild (list, nullptr);
    }
    tree.appendChild (midi, nullptr);
}

void QELAudioProcessorBase::saveCurrentMidiMappingsToState()
{
    auto additionalData = getOrCreateChildValueTree (ADDITIONAL_DATA, parameters.state);
    saveCurrentMidiMappingsToState (additionalData);
}

//==============================================================================
void QELAudioProcessorBase::getStateInformation (juce::MemoryBlock& destData)
{
    auto copy = parameters.copyState();
    auto additionalData = getOrCreateChildValueTree (ADDITIONAL_DATA, copy);

    const auto orDefault = [] (const juce::File& current, const juce::File& fallback)
    { return (current.getFileName().isEmpty() ? fallback : current).getFullPathName(); };

    additionalData.setProperty (juce::LIVE_SCENE_PARAM, liveModel->activeScene, nullptr);
    additionalData.setProperty (juce::LIVE_SCENE_GROUP_PARAM, liveModel->activeGroup, nullptr);
    additionalData.setProperty (GUI_LAST_VIEW, guiLastView, nullptr);
    additionalData.setProperty (INPUT_MODE, inputMode, nullptr);
    additionalData.setProperty (PRESET_CHANGED,
                                presetManagerModel->changed ? PRESET_CHANGED_VALUE : PRESET_NOT_CHANGED_VALUE, nullptr);
    additionalData.setProperty (LAST_LIVE_SET_FILE,
                                orDefault (liveModel->currentFile, liveModel->getDefaultLiveSetFile()), nullptr);
    additionalData.setProperty (
        LAST_MIDI_MAPPINGS_FILE,
        orDefault (midiMappingsModel->currentFile, midiMappingsModel->getDefaultMidiMappingsFile()), nullptr);

    saveCurrentMidiMappingsToState (additionalData);
    internalGetStateInformation (additionalData);

    if (auto xml = copy.createXml())
        copyXmlToBinary (*xml, destData);

    if (liveEnabled)
        liveModel->overwriteCurrentFile();
    if (midiMappingsEnabled && ! midiMappingsInState)
        midiMappingsModel->overwriteCurrentFile();
}

void QELAudioProcessorBase::setStateInformation (const void* data, int sizeInBytes)
{
    constexpr juce::uint32 magic = 0x21324356; // "VC2!"

    if (data == nullptr || sizeInBytes < 9)
        return;

    const auto* bytes = static_cast<const char*> (data);
    if (juce::ByteOrder::littleEndianInt (bytes) != magic)
        return;

    const auto count = (juce::int32) juce::ByteOrder::littleEndianInt (bytes + 4);
    if (count <= 0)
        return;

    const auto available = juce::jmin ((int) count, sizeInBytes - 8);
    const auto* text = bytes + 8;
    const auto length = (int) (std::find (text, text + available, '\0') - text);

    auto xml = juce::parseXML (juce::String::fromUTF8 (text, length));
    if (xml == nullptr)
        return;

    applyRestoredTree (*xml);
    internalSetStateInformation (getOrCreateChildValueTree (ADDITIONAL_DATA, parameters.state));
}

// A restored tree whose root tag differs from ours only in letter case is accepted; its
// content moves into a tree of our own type so that later saves and presets carry the
// product's exact tag.
void QELAudioProcessorBase::applyRestoredTree (const juce::XmlElement& xml)
{
    const auto stateType = parameters.state.getType().toString();
    if (! xml.getTagName().equalsIgnoreCase (stateType))
        return;

    juce::ValueTree restored (parameters.state.getType());
    restored.copyPropertiesAndChildrenFrom (juce::ValueTree::fromXml (xml), nullptr);

    onBeforeLoadingState (restored);
    prepareIncomingParameters (restored);
    parameters.replaceState (restored);
}

// Prepares a tree from a file or a host for the parameter state. The parameter state
// gives a parameter without an element its default, but a state or preset that does not
// mention a parameter must leave it as it is: such parameters get an element holding
// their current value, in ascending ID order. A value that is not a finite number counts
// as no value, so the parameter takes its default instead of passing NaN to the chain. A toggle's
// value becomes exactly 0 or 1: JUCE 7's AudioParameterBool would keep and report a fraction.
void QELAudioProcessorBase::prepareIncomingParameters (juce::ValueTree& incoming)
{
    for (auto element : incoming)
    {
        if (! element.hasProperty ("value"))
            continue;

        const auto value = (double) element.getProperty ("value");
        if (! std::isfinite (value))
            element.removeProperty ("value", nullptr);
        else if (dynamic_cast<juce::AudioParameterBool*> (
                     parameters.getParameter (element.getProperty ("id").toString())))
            element.setProperty ("value", value >= 0.5 ? 1.0 : 0.0, nullptr);
    }

    juce::StringArray missing;
    for (auto* parameter : getParameters())
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
            if (! incoming.getChildWithProperty ("id", withId->paramID).isValid())
                missing.add (withId->paramID);

    std::sort (missing.begin(), missing.end(),
               [] (const juce::String& a, const juce::String& b) { return a.compare (b) < 0; });

    for (const auto& id : missing)
        if (auto* value = parameters.getRawParameterValue (id))
        {
            juce::ValueTree element ("PARAM");
            element.setProperty ("id", id, nullptr);
            element.setProperty ("value", value->load(), nullptr);
            incoming.appendChild (element, nullptr);
        }
}

void QELAudioProcessorBase::internalGetStateInformation (juce::ValueTree&) {}

void QELAudioProcessorBase::internalSetStateInformation (juce::ValueTree additionalData)
{
    const auto restoredPreset = absoluteFileOrNone (additionalData.getProperty (PRESET_PATH).toString());
    presetPath = restoredPreset.getFullPathName();
    if (restoredPreset.getFullPathName().isNotEmpty())
        presetManagerModel->currentPreset = restoredPreset;

    liveModel->loadFromFile (absoluteFileOrNone (additionalData.getProperty (LAST_LIVE_SET_FILE).toString()));
    liveModel->setScene ((int) additionalData.getProperty (juce::LIVE_SCENE_GROUP_PARAM),
                         (int) additionalData.getProperty (juce::LIVE_SCENE_PARAM), false, false);

    if (midiMappingsEnabled)
    {
        if (midiMappingsInState)
            midiMappingsModel->loadFromValueTree (additionalData.getChildWithName (MIDI_TAG));
        else
            midiMappingsModel->loadFromFile (
                absoluteFileOrNone (additionalData.getProperty (LAST_MIDI_MAPPINGS_FILE).toString()));
    }

    guiLastView = (int) additionalData.getProperty (GUI_LAST_VIEW);
    setInputMode ((QEL::InputMode) (int) additionalData.getProperty (INPUT_MODE));
    presetManagerModel->changed = additionalData.getProperty (PRESET_CHANGED).toString() == PRESET_CHANGED_VALUE;
}

//==============================================================================
// Preset content is taken from a flushed copy, so a value set just before the save
// is in the file.
std::unique_ptr<juce::XmlElement> QELAudioProcessorBase::getPluginState()
{
    getOrCreateChildValueTree (ADDITIONAL_DATA, parameters.state);

    auto xml = parameters.copyState().createXml();
    if (xml == nullptr)
        xml = std::make_unique<juce::XmlElement> (parameters.state.getType().toString());

    if (auto* additionalData = xml->getChildByAttribute ("id", ADDITIONAL_DATA))
    {
        for (const auto& key : { PRESET_PATH, PRESET_CHANGED, GUI_LAST_VIEW, INPUT_MODE, juce::LIVE_SCENE_GROUP_PARAM,
                                 juce::LIVE_SCENE_PARAM, LAST_LIVE_SET_FILE, LAST_MIDI_MAPPINGS_FILE })
            additionalData->removeAttribute (key);

        additionalData->setAttribute (PRESET_VERSION, CURRENT_PRESET_VERSION);
    }
    return xml;
}

void QELAudioProcessorBase::setPluginStateFromPreset (juce::File presetFile, bool keepParameters)
{
    if (! keepParameters)
    {
        // Only a preset of this product may replace the state: the store checks this
        // before calling, and so does the base for any other caller.
        auto xml = juce::parseXML (presetFile);
        if (xml == nullptr || xml->getTagName() != parameters.state.getType().toString())
            return;

        auto tree = juce::ValueTree::fromXml (*xml);
        onReplacingStateForPreset (tree);
        prepareIncomingParameters (tree);
        parameters.replaceState (tree);
    }

    internalSetPluginStateFromPreset (presetFile, getOrCreateChildValueTree (ADDITIONAL_DATA, parameters.state));
}

void QELAudioProcessorBase::internalSetPluginStateFromPreset (juce::File presetFile, juce::ValueTree additionalData)
{
    additionalData.setProperty (PRESET_PATH, presetFile.getFullPathName(), nullptr);
    additionalData.setProperty (PRESET_CHANGED, PRESET_NOT_CHANGED_VALUE, nullptr);

    if (midiMappingsEnabled && midiMappingsInState)
        midiMappingsModel->loadFromValueTree (additionalData.getChildWithName (MIDI_TAG));

    presetPath = presetFile.getFullPathName();
    presetManagerModel->changed = false;
}
