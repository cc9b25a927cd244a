#include "editor/QELAudioProcessorEditorBase.h"

#include "core/QELAudioProcessorBase.h"

namespace
{
constexpr int tickIntervalMs = 33;
constexpr int resultShownMs = 1500;

const juce::Colour popupBackground { 0xdc2a2a2a };
const juce::Colour popupHighlight { 0xff464646 };
} // namespace

QELAudioProcessorEditorBase::QELAudioProcessorEditorBase (QELAudioProcessorBase* processor, const juce::String& company,
                                                          const juce::String& product, const juce::String&,
                                                          const juce::String&)
    : juce::AudioProcessorEditor (processor), processorBase (processor),
      pluginSettings (QEL::PluginSettings::fileFor (company, product)), dialogs (QEL::EditorDialogs::modal())
{
    setOpaque (true);
    addAndMakeVisible (mainContainer);

    // The shared views live hidden in the main container.
    mainContainer.addChildComponent (aboutBox);
    midiMappingsView.setModel (processorBase != nullptr ? processorBase->midiMappingsModel.get() : nullptr);
    mainContainer.addChildComponent (midiMappingsView);
    midiLearnOverlay.onCancel = [this]
    {
        if (processorBase != nullptr)
            processorBase->midiLearnActive = false;
    };
    mainContainer.addChildComponent (midiLearnOverlay);
    mainContainer.addChildComponent (calibration);
    mainContainer.addChildComponent (hintBubble);
    tempoBox.setHelpText ("Host BPM Sync");

    initializer = std::make_unique<QELComponentInitializer>();

    popupLookAndFeel.setColour (juce::PopupMenu::backgroundColourId, popupBackground);
    popupLookAndFeel.setColour (juce::PopupMenu::highlightedBackgroundColourId, popupHighlight);

    optionsMenu = std::make_unique<juce::PopupMenu>();
    optionsMenu->setLookAndFeel (&popupLookAndFeel);
    recreateOptionsMenu();

    sizeCombo.setLookAndFeel (&popupLookAndFeel);
    sizeCombo.onChange = [this] { setGuiSize (sizeCombo.getSelectedId()); };

    tooltipWindow.setOpaque (false);

    startTimer (tickIntervalMs);
}

QELAudioProcessorEditorBase::~QELAudioProcessorEditorBase()
{
    stopTimer();
    if (processorBase != nullptr)
        processorBase->editorVisible = false;
    juce::PopupMenu::dismissAllActiveMenus();

    // The popup look-and-feel goes before the menu and the combo that use it.
    optionsMenu->setLookAndFeel (nullptr);
    sizeCombo.setLookAndFeel (nullptr);
}

//==============================================================================
void QELAudioProcessorEditorBase::mouseDown (const juce::MouseEvent& e)
{
    if (e.getNumberOfClicks() == 2)
        resolveButtonDoubleClick (e.eventComponent);
}

void QELAudioProcessorEditorBase::mouseUp (const juce::MouseEvent& e)
{
    if (e.mods.isCtrlDown())
        resolveButtonDoubleClick (e.eventComponent);
}

void QELAudioProcessorEditorBase::visibilityChanged()
{
    if (processorBase != nullptr)
        processorBase->editorVisible = isVisible();
}

void QELAudioProcessorEditorBase::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void QELAudioProcessorEditorBase::resized()
{
    const float ls = layoutScale > 0.0f ? layoutScale : 1.0f;
    const juce::Rectangle<int> area (0, 0, juce::roundToInt ((float) mainContainer.viewWidth * ls),
                                     juce::roundToInt ((float) mainContainer.getDesignHeight() * ls));
    mainContainer.setBounds (area);
    midiMappingsView.setBounds (area);
    popupLookAndFeel.fontHeight = 25.0f * ls;
}

int QELAudioProcessorEditorBase::getControlParameterIndex (juce::Component&)
{
    return -1;
}

//==============================================================================
void QELAudioProcessorEditorBase::showHint (juce::Component*, juce::String) {}

void QELAudioProcessorEditorBase::cancelInputCalibration()
{
    if (processorBase != nullptr)
        processorBase->cancelInputCalibration();
}

void QELAudioProcessorEditorBase::timerCallback()
{
    updateUI();
}

void QELAudioProcessorEditorBase::onTempoChange (float bpm)
{
    if (processorBase != nullptr)
        processorBase->setTempo ((double) bpm);
}

juce::String QELAudioProcessorEditorBase::noteTextFor (int noteNumber)
{
    if (noteNumber < 0 || noteNumber > 127)
        return {};
    return "(" + juce::MidiMessage::getMidiNoteName (noteNumber, true, true, 3) + ")";
}

void QELAudioProcessorEditorBase::updateUI()
{
    if (processorBase != nullptr)
    {
        const bool learning = processorBase->midiLearnActive;
        if (learning && ! midiLearnOverlay.isVisible())
        {
            midiLearnOverlay.setBounds (mainContainer.getLocalBounds());
            midiLearnOverlay.toFront (false);
            midiLearnOverlay.setVisible (true);
            midiLearnOverlay.resultShown = false;
        }
        else if (! learning && midiLearnOverlay.isVisible() && ! midiLearnOverlay.isTimerRunning())
        {
            const auto& learned = processorBase->midiLearnMapping;
            const juce::StringArray signalNames { "CC", "PC", "Note" };
            midiLearnOverlay.signalName = juce::isPositiveAndBelow (learned.signal - 1, signalNames.size())
                                              ? signalNames[learned.signal - 1]
                                              : juce::String();
            midiLearnOverlay.number = learned.number;
            midiLearnOverlay.noteText =
                learned.signal == juce::QELMidiMapping::noteSignal ? noteTextFor (learned.number) : juce::String();
            midiLearnOverlay.resultShown = true;
            midiLearnOverlay.repaint();
            midiLearnOverlay.startTimer (resultShownMs);
        }
    }

    if (repaintEveryTick)
        repaint();
}

void QELAudioProcessorEditorBase::learnMidiMapping (const juce::QELMidiMapping& mapping)
{
    if (processorBase == nullptr)
        return;
    processorBase->midiLearnActive = true;
    processorBase->midiLearnMapping = mapping;
    processorBase->midiLearnReplaces = false;
}

//==============================================================================
void QELAudioProcessorEditorBase::setGuiSize (int id)
{
    const auto element = sizes[id];
    setPluginScale (element.scale, false);
    pluginSettings.getGuiTree().setProperty (juce::Identifier (pluginSettings.sizeKey), element.id, nullptr);
}

void QELAudioProcessorEditorBase::setPluginScale (float scale, bool force)
{
    if (useTransformScaling)
    {
        layoutScale = 1.0f;
        mainContainer.setTransform (juce::AffineTransform::scale (scale));
    }
    else
    {
        if (layoutScale == scale && ! force)
            return;
        layoutScale = scale;
        if (mainContainer.scale != scale)
        {
            mainContainer.scale = scale;
            mainContainer.internalSetPluginSize (scale);
        }
    }

    // Single precision, truncated: 1300 * 0.6f is a hair above 780 and gives 780.
    const int w = (int) ((float) mainContainer.viewWidth * scale);
    const int h = (int) ((float) mainContainer.getDesignHeight() * scale);
    setBounds (getX(), getY(), w, h);
}

//==============================================================================
juce::String QELAudioProcessorEditorBase::wrapperTypeName (int wrapperType)
{
    const juce::StringArray names { "Undefined",     "VST", "VST3",       "Audio Unit",
                                    "Audio Unit v3", "AAX", "Standalone", "Unity" };
    return juce::isPositiveAndBelow (wrapperType, names.size()) ? names[wrapperType] : juce::String ("Unknown");
}
