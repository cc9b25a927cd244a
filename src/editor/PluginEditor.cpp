#include "editor/PluginEditor.h"

#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"
#include "editor/BuildId.h"
#include "editor/CustomColours.h"

namespace CustomColours
{
const juce::Colour PRESET_UNSELECTED { 0x80e5eeff };
const juce::Colour TEXT_GENERIC { 0xffe5eeff };
const juce::Colour CONTROL_FILL_BYPASS { 0x80e5eeff };
const juce::Colour CONTROL_OUTLINE { 0x4ce5eeff };
const juce::Colour THEME_COMP_FILL { 0xff80d4ff };
const juce::Colour THEME_COMP_GLOW { 0xff00aaff };
const juce::Colour THEME_ENHANCE_FILL { 0xff80aaff };
const juce::Colour THEME_ENHANCE_GLOW { 0xff0055ff };
const juce::Colour THEME_EQ_FILL { 0xff8080ff };
const juce::Colour THEME_EQ_GLOW { 0xff0000ff };
const juce::Colour THEME_MULTIPLY_FILL { 0xffaa80ff };
const juce::Colour THEME_MULTIPLY_GLOW { 0xff5500ff };
const juce::Colour THEME_SPACE_FILL { 0xffd480ff };
const juce::Colour THEME_SPACE_GLOW { 0xffaa00ff };
const juce::Colour THEME_GAIN_FILL { 0xffff80ff };
const juce::Colour THEME_GAIN_GLOW { 0xffff00ff };
} // namespace CustomColours

namespace
{
const juce::String company { "Orvane" };
const juce::String productName { "Orvane Tessaro" };
const juce::String version { "1.0.0" };

constexpr int defaultSizeId = 3;

const QELAudioProcessorEditorBase::SizeElement sizeTable[] = {
    { 1, "Mini", 0.6f }, { 2, "Small", 0.7f }, { 3, "Medium", 0.8f }, { 4, "Large", 0.9f }, { 5, "Very Large", 1.0f },
};
} // namespace

OrvaneTessaroAudioProcessorEditor::OrvaneTessaroAudioProcessorEditor (OrvaneTessaroAudioProcessor& processorToEdit)
    : QELAudioProcessorEditorBase (&processorToEdit, company, productName, version,
                                   QEL::makeBuildId (__DATE__, __TIME__)),
      processor (processorToEdit),
      mainPanel (processorToEdit.parameters, initializer.get(), pluginSettings, processorToEdit)
{
    repaintEveryTick = false;
    useTransformScaling = true;

    for (const auto& size : sizeTable)
    {
        sizes[size.id] = size;
        sizeCombo.addItem (size.name, size.id);
    }

    contextMenusEnabled = false;
    mainContainer.viewWidth = 1300;
    mainContainer.viewHeight = 800;
    mainContainer.topBar.setVisible (false);
    mainContainer.bottomBar.setVisible (false);

    defaultLookAndFeel = std::make_unique<DefaultLookAndFeel>();

    mainPanel.resizeRequest = [this] { toggleSizeMenu(); };
    mainPanel.sizeSelector = &sizeCombo;
    sizeCombo.setLookAndFeel (nullptr);
    mainPanel.addChildComponent (sizeCombo);
    mainPanel.resized();
    mainPanel.addMouseListener (this, true);
    mainContainer.viewContainer.addAndMakeVisible (mainPanel);

    const auto manual = QEL::PlatformPaths::applicationFolder (aboutBox.companyName, processor.getName())
                            .getChildFile (processor.getName() + " Manual.pdf");
    aboutBox.manualPath = manual.getFullPathName();
    aboutBox.manualButton.setVisible (manual.existsAsFile());

    const int size = pluginSettings.getGuiTree().getProperty (juce::Identifier (pluginSettings.sizeKey), defaultSizeId);
    sizeCombo.setSelectedId (size, juce::sendNotification);
    setGuiSize (size);

    fillHelpMenu();

    juce::LookAndFeel::setDefaultLookAndFeel (defaultLookAndFeel.get());
    tooltipWindow.setMillisecondsBeforeTipAppears (2000);
}

OrvaneTessaroAudioProcessorEditor::~OrvaneTessaroAudioProcessorEditor()
{
    try
    {
        pluginSettings.saveSettings();
    }
    catch (...)
    {
    }
    mainPanel.removeMouseListener (this);
    // helpMenu, mainPanel and defaultLookAndFeel go in that order as members; deleting the
    // look-and-feel that is the default leaves JUCE's own default in force.
}

void OrvaneTessaroAudioProcessorEditor::toggleSizeMenu()
{
    if (! sizeCombo.isPopupActive())
    {
        sizeCombo.showPopup();
        return;
    }
    sizeCombo.hidePopup();
    juce::PopupMenu::dismissAllActiveMenus();
    sizeCombo.repaint();
}

void OrvaneTessaroAudioProcessorEditor::fillHelpMenu()
{
    helpMenu.clear();
    helpMenu.addItem ("Open manual", [this] { aboutBox.openManual(); });
    helpMenu.addSeparator();
    juce::PopupMenu::Item about (wrapperTypeName ((int) processor.wrapperType) + " 64-bit v" + version);
    about.setEnabled (false).setColour (juce::Colour (0xff808080));
    helpMenu.addItem (std::move (about));
}

void OrvaneTessaroAudioProcessorEditor::setupQELSlider (juce::QELSlider& slider, juce::Component* parent,
                                                        juce::LookAndFeel* lookAndFeel, juce::Slider::SliderStyle style)
{
    QELAudioProcessorEditorBase::setupQELSlider (slider, parent, lookAndFeel, style);

    auto& entry = slider.getTextEntry();
    entry.setSize (70, 30);
    entry.setFont (juce::Font (16.0f));
    entry.setJustification (juce::Justification::centred);

    slider.doubleClickOpensTextEntry = false;
    slider.doubleClickResets = true;
    slider.popupHideDelayMs = -1;
}

void OrvaneTessaroAudioProcessorEditor::resized()
{
    QELAudioProcessorEditorBase::resized();
    const float ls = layoutScale > 0.0f ? layoutScale : 1.0f;
    mainPanel.setBounds (0, 0, (int) std::ceil (1300.0f * ls), (int) std::ceil (800.0f * ls));
}

void OrvaneTessaroAudioProcessorEditor::updateUI()
{
    QELAudioProcessorEditorBase::updateUI();
    auto& chain = processor.tessaroProcessor;
    mainPanel.compressPanel.meter.setLevel (chain.compressProcessor.getMeterGain());
    mainPanel.enhancePanel.deEssLamp.setActive (chain.enhanceProcessor.isDeEssing());
    mainPanel.enhancePanel.deNoiseLamp.setActive (chain.enhanceProcessor.isDeNoising());
}
