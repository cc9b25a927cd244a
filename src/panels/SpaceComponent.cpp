#include "panels/SpaceComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"
#include "panels/PanelParts.h"

#include <BinaryData.h>

namespace tessaro::gui
{
SpaceComponent::SpaceComponent (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                                OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "SPACE", CustomColours::THEME_SPACE_FILL, CustomColours::THEME_SPACE_GLOW, Params::paramSpacePower,
                     BinaryData::space_off_png, BinaryData::space_off_pngSize, BinaryData::space_animation_strip_png,
                     BinaryData::space_animation_strip_pngSize })
{
    listenTo (Params::paramSpaceDelaySync);

    initKnobStyle (knobStyle);
    initKnobStyle (arcStyle);

    GuiUtils::initDrawableButton (syncButton, BinaryData::sync_icon_svg, juce::Colours::white,
                                  CustomColours::CONTROL_OUTLINE, CustomColours::THEME_SPACE_FILL,
                                  juce::Colour (0x4ce5eeff));
    syncButton.setClickingTogglesState (true);
    addAndMakeVisible (syncButton);

    delaySelector = std::make_unique<ComboBoxComponent> (parameters, processor, panelFont, Params::paramSpaceDelayType,
                                                         Params::delayTypes);
    reverbSelector = std::make_unique<ComboBoxComponent> (parameters, processor, panelFont,
                                                          Params::paramSpaceReverbType, Params::reverbTypes);
    addAndMakeVisible (*delaySelector);
    addAndMakeVisible (*reverbSelector);

    for (auto* knob : { &delayAmountKnob, &reverbAmountKnob })
        GuiUtils::initSlider (initializer, *knob, &knobStyle, this, "%", juce::Slider::RotaryVerticalDrag, { 0, -25 });
    for (auto [arc, suffix] : { std::pair { &delayTimeArc, " ms" }, std::pair { &delayNoteArc, "" },
                                std::pair { &delayFeedbackArc, "%" }, std::pair { &reverbTimeArc, "%" } })
        PanelParts::initArc (initializer, *arc, &arcStyle, this, suffix, 200.0f);

    initCaption (delayCaption, "Delay", &delayAmountKnob);
    initCaption (reverbCaption, "Reverb", &reverbAmountKnob);
    initCaption (delayTimeCaption, "Time", nullptr); // hidden by the Shift rules below
    initCaption (reverbTimeCaption, "Time", &reverbTimeArc);
    initCaption (feedbackCaption, "Feedback", nullptr);

    const auto attach = [this] (const juce::String& id, juce::QELSlider& slider)
    { return std::make_unique<juce::QELSlider::SliderAttachment> (parameters, id, slider); };
    delayTimeAttachment = attach (Params::paramSpaceDelayTime, delayTimeArc);
    delayNoteAttachment = attach (Params::paramSpaceDelayNote, delayNoteArc);
    delayAmountAttachment = attach (Params::paramSpaceDelayAmount, delayAmountKnob);
    delayFeedbackAttachment = attach (Params::paramSpaceDelayFeedback, delayFeedbackArc);
    reverbTimeAttachment = attach (Params::paramSpaceReverbTime, reverbTimeArc);
    reverbAmountAttachment = attach (Params::paramSpaceReverbAmount, reverbAmountKnob);
    syncAttachment = std::make_unique<QEL::ButtonAttachment> (parameters, Params::paramSpaceDelaySync, syncButton);

    delaySyncOn = parameters.getRawParameterValue (Params::paramSpaceDelaySync)->load() != 0.0f;
    finishFrame();
    updateDelayFeedbackState (false);
}

SpaceComponent::~SpaceComponent()
{
    stopListening();
}

void SpaceComponent::ownParameterChanged (const juce::String& parameterID, float newValue)
{
    if (parameterID != Params::paramSpaceDelaySync)
        return;
    delaySyncOn = newValue > 0.5f;
    updateDelayArcs(); // a Sync change while Shift shows the feedback arc leaves that arc alone in view
}

void SpaceComponent::updateDelayArcs()
{
    delayFeedbackArc.setVisible (feedbackShown);
    delayTimeArc.setVisible (! delaySyncOn && ! feedbackShown);
    delayNoteArc.setVisible (delaySyncOn && ! feedbackShown);
}

void SpaceComponent::updateDelayFeedbackState (bool showFeedback)
{
    feedbackShown = showFeedback;
    const auto* underMouse = juce::Desktop::getInstance().getMainMouseSource().getComponentUnderMouse();
    updateDelayArcs();
    feedbackCaption.setVisible (showFeedback && underMouse != &delayFeedbackArc);
    delayTimeCaption.setVisible (! showFeedback && underMouse != &delayTimeArc && underMouse != &delayNoteArc);
}

void SpaceComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    ModulePanel::modifierKeysChanged (modifiers);
    updateDelayFeedbackState (modifiers.isShiftDown());
}

juce::Label* SpaceComponent::delayCaptionFor (const juce::MouseEvent& e)
{
    const bool shift = e.mods.isShiftDown();
    if (! shift && (e.eventComponent == &delayTimeArc || e.eventComponent == &delayNoteArc))
        return &delayTimeCaption;
    if (shift && e.eventComponent == &delayFeedbackArc)
        return &feedbackCaption;
    return nullptr;
}

void SpaceComponent::mouseEnter (const juce::MouseEvent& e)
{
    ModulePanel::mouseEnter (e);
    if (auto* caption = delayCaptionFor (e))
        caption->setVisible (false);
}

void SpaceComponent::mouseExit (const juce::MouseEvent& e)
{
    ModulePanel::mouseExit (e);
    if (auto* caption = delayCaptionFor (e))
        caption->setVisible (true);
}

void SpaceComponent::updateOwnBypassState (bool active)
{
    arcStyle.arcThicknessRatio = 0.08f;
    for (auto* selector : { reverbSelector.get(), delaySelector.get() })
        selector->label.setColour (juce::Label::textColourId, PanelParts::textColour (active));
    syncButton.setEnabled (active);
}

void SpaceComponent::resized()
{
    ModulePanel::resized();
    const int w = (int) ((float) getWidth() / scale);
    const float knobX = (float) ((w - 100) / 2);
    const auto selectorUnder = [w] (juce::Component& caption)
    { return juce::Rectangle<int> ((w - 180) / 2, caption.getBottom() + 5, 180, 35); };

    PanelParts::place (reverbAmountKnob, { knobX, 300.0f, 100.0f, 100.0f }, scale);
    const auto reverb = reverbAmountKnob.getBounds();
    reverbTimeArc.setBounds (PanelParts::arcAround (reverb));
    reverbCaption.setBounds (PanelParts::captionUnder (reverb));
    reverbTimeCaption.setBounds (PanelParts::captionOver (reverbTimeArc.getBounds()));
    reverbSelector->setBounds (selectorUnder (reverbCaption));

    PanelParts::place (delayAmountKnob, { knobX, 535.0f, 100.0f, 100.0f }, scale);
    const auto delay = delayAmountKnob.getBounds();
    for (auto* arc : { &delayTimeArc, &delayNoteArc, &delayFeedbackArc })
        arc->setBounds (PanelParts::arcAround (delay));
    syncButton.setBounds (delay.getRight() - 10, delay.getY() + (delay.getHeight() - 30) / 2, 30, 30);
    delayCaption.setBounds (PanelParts::captionUnder (delay));
    delayTimeCaption.setBounds (PanelParts::captionOver (delayTimeArc.getBounds()));
    feedbackCaption.setBounds (PanelParts::captionOver (delayFeedbackArc.getBounds()));
    delaySelector->setBounds (selectorUnder (delayCaption));
}

void SpaceComponent::paintOverChildren (juce::Graphics& g)
{
    ModulePanel::paintOverChildren (g);
    GuiUtils::drawHorizontalGradientLine (g, (float) getWidth() - 20.0f, 480.0f);
}
} // namespace tessaro::gui
