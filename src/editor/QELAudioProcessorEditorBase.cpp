#include "editor/QELAudioProcessorEditorBase.h"

#include "core/QELAudioProcessorBase.h"

namespace
{
constexpr int tickIntervalMs = 33;
constexpr int resultShownMs = 1500;
constexpr int hintShownMs = 500;
constexpr int hintTimerMs = 77;
constexpr float hintMaxWidth = 512.0f;

const juce::Colour popupBackground { 0xdc2a2a2a };
const juce::Colour popupHighlight { 0xff464646 };
} // namespace

QELAudioProcessorEditorBase::QELAudioProcessorEditorBase (QELAudioProcessorBase* processor, const juce::String& company,
                                                          const juce::String& product, const juce::String& version,
                                                          const juce::String& buildId)
    : juce::AudioProcessorEditor (processor), processorBase (processor),
      pluginSettings (QEL::PluginSettings::fileFor (company, product)), dialogs (QEL::EditorDialogs::modal())
{
    aboutBox.companyName = company;
    aboutBox.productName = product;
    aboutBox.version = version;
    aboutBox.buildId = buildId;

    setOpaque (true);
    addAndMakeVisible (mainContainer);

    // The generic preset bar keeps its menus current and serves the options menu's import;
    // it is never added to the face.
    if (processorBase != nullptr)
    {
        presetMenu = std::make_unique<juce::PresetMenuComponent> (processorBase->presetManagerModel.get(), processorBase);
        onImportPresets = [this] (const juce::Array<juce::File>& files) { presetMenu->importPresets (files); };
    }

    // The shared views live hidden in the main container.
    aboutBox.wrapperName = wrapperTypeName (processor != nullptr ? (int) processor->wrapperType : 0);
    mainContainer.addChildComponent (aboutBox);
    midiMappingsView.setModel (processorBase != nullptr ? processorBase->midiMappingsModel.get() : nullptr);
    mainContainer.addChildComponent (midiMappingsView);
    midiLearnOverlay.onCancel = [this]
    {
        if (processorBase != nullptr)
            processorBase->midiLearnActive = false;
    };
    mainContainer.addChildComponent (midiLearnOverlay);
    calibration.listener = this;
    mainContainer.addChildComponent (calibration);
    hintBubble.setColour (juce::BubbleComponent::backgroundColourId, juce::Colours::black);
    hintBubble.setColour (juce::BubbleComponent::outlineColourId, juce::Colours::white);
    mainContainer.addChildComponent (hintBubble);
    tempoBox.setTooltip ("Host BPM Sync");
    tempoBox.listener = this;

    initializer = std::make_unique<QELComponentInitializer>();
    initializer->sliderSetup = [this] (juce::QELSlider& slider, juce::Component* parent, juce::LookAndFeel* lnf,
                                       juce::Slider::SliderStyle style)
    { setupQELSlider (slider, parent, lnf, style); };
    initializer->buttonSetup = [this] (juce::QELSimpleImageButton& button, juce::Component* parent, juce::Image& normal,
                                       juce::Image& over, juce::Image& down)
    { setupImageButton (button, parent, normal, over, down); };

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

int QELAudioProcessorEditorBase::getControlParameterIndex (juce::Component& component)
{
    if (auto* parametrizable = dynamic_cast<juce::QELParametrizable*> (&component))
        if (auto* parameter = parametrizable->getParameter())
            return parameter->getParameterIndex();
    return -1;
}

//==============================================================================
void QELAudioProcessorEditorBase::setupQELSlider (juce::QELSlider& slider, juce::Component* parent,
                                                  juce::LookAndFeel* lookAndFeel, juce::Slider::SliderStyle style)
{
    slider.initialize (parent, lookAndFeel, style);
    slider.altClickResets = processor.wrapperType == juce::AudioProcessor::wrapperType_AAX;
    slider.contextMenuEnabled = contextMenusEnabled;
    slider.setOnParamMidiLearn (true, [this] (juce::QELMidiMapping mapping) { learnMidiMapping (mapping); });
}

void QELAudioProcessorEditorBase::setupImageButton (juce::QELSimpleImageButton& button, juce::Component* parent,
                                                    juce::Image& normal, juce::Image& over, juce::Image& down)
{
    const auto clear = juce::Colours::transparentBlack;
    button.setImages (true, true, true, normal, 1.0f, clear, over, 1.0f, clear, down, 1.0f, clear, 0.0f);
    if (normal.isValid())
    {
        button.setSize (normal.getWidth(), normal.getHeight());
        button.naturalSize = { normal.getWidth(), normal.getHeight() };
    }
    button.repaint();

    button.setVisible (true);
    if (parent != nullptr)
        parent->addAndMakeVisible (button);

    button.contextMenuEnabled = contextMenusEnabled;
    button.setOnParamMidiLearn (true, [this] (juce::QELMidiMapping mapping) { learnMidiMapping (mapping); });
    button.helpManager = this;
}

//==============================================================================
void QELAudioProcessorEditorBase::showHint (juce::Component* target, juce::String text)
{
    if (text.isEmpty() || target == nullptr)
        return;

    juce::AttributedString attributed;
    attributed.append (text, juce::Font ((float) mainContainer.getWidth() * 0.015f), juce::Colours::white);

    auto area = target->getBounds();
    if (auto* slider = dynamic_cast<juce::QELSlider*> (target))
    {
        area.setTop (juce::jmin (area.getY() + slider->hitBoxTop, area.getBottom()));
        area.setRight (area.getRight() + slider->hitBoxRight);
    }
    if (auto* parent = target->getParentComponent())
        area = mainContainer.getLocalArea (parent, area);

    hintBubble.textLayout.createLayoutWithBalancedLineLengths (attributed, hintMaxWidth);
    hintBubble.setPosition (area);
    hintBubble.setAlpha (1.0f);
    hintBubble.setVisible (true);
    const auto now = hintBubble.clock ? hintBubble.clock() : (juce::int64) juce::Time::getMillisecondCounter();
    hintBubble.expiryTime = now + hintShownMs;
    hintBubble.deleteAfterUse = false;
    hintBubble.mouseClickCounter = juce::Desktop::getInstance().getMouseButtonClickCounter() + 1048575;
    hintBubble.startTimer (hintTimerMs);
}

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
