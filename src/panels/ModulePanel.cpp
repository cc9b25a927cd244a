#include "panels/ModulePanel.h"

#include "core/Params.h"
#include "editor/CustomColours.h"
#include "editor/EmbeddedResources.h"
#include "panels/GuiUtils.h"

#include <BinaryData.h>

namespace tessaro::gui
{
namespace
{
    const juce::Colour dimmedText = CustomColours::TEXT_GENERIC.withAlpha ((juce::uint8) 0x80);
}

ModulePanel::ModulePanel (juce::AudioProcessorValueTreeState& state, QELComponentInitializer* widgetInitializer,
                          OrvaneTessaroAudioProcessor& productProcessor, const ModuleFrame& moduleFrame)
    : frame (moduleFrame), parameters (state), initializer (widgetInitializer), processor (productProcessor),
      panelFont (QEL::EmbeddedResources::montserratRegular())
{
    listenTo (Params::paramBypass);
    listenTo (frame.powerParameter);

    offImage.setImage (QEL::EmbeddedResources::image (frame.offImage, frame.offImageSize));
    offImage.setImagePlacement (juce::RectanglePlacement::stretchToFit);
    addChildComponent (offImage);

    // The strip is decoded only while frames at the drawn size are made from it (shared through JUCE's
    // image cache while that lasts); the face holds those frames, not the full-size strip.
    const auto* data = frame.animationStrip;
    const int size = frame.animationStripSize;
    animationStrip = std::make_unique<AnimatedStripComponent> (
        ScaledFrames::Picture { data, [data, size] { return QEL::EmbeddedResources::image (data, size); } }, 90,
        AnimatedStripComponent::Orientation::horizontal, 25);
    animationStrip->setDirection (0);
    animationStrip->setLooping (true);
    animationStrip->setCurrentFrame (0);
    addAndMakeVisible (*animationStrip);

    GuiUtils::initDrawableButton (powerButton, BinaryData::power_icon_svg, juce::Colours::white,
                                  CustomColours::CONTROL_OUTLINE, frame.fill, CustomColours::TEXT_GENERIC);
    powerButton.setClickingTogglesState (true);
    addAndMakeVisible (powerButton);

    GuiUtils::initLabel (titleLabel, this, frame.title, panelFont, 19.52f);
    titleLabel.setColour (juce::Label::textColourId, frame.fill);
}

ModulePanel::~ModulePanel()
{
    stopListening();
}

void ModulePanel::listenTo (const juce::String& parameterID)
{
    const int count = numListened.load();
    jassert (count < maxListened);
    if (count >= maxListened)
        return;

    listenedParameters[(size_t) count] = parameterID;
    numListened.store (count + 1, std::memory_order_release);
    parameters.addParameterListener (parameterID, this);
}

// Once removed, a listener is called no more (the parameter state calls and removes under one lock).
void ModulePanel::stopListening()
{
    const int count = numListened.load();
    for (int i = 0; i < count; ++i)
        parameters.removeParameterListener (listenedParameters[(size_t) i], this);
    numListened.store (0);
}

int ModulePanel::indexOfListened (const juce::String& parameterID) const noexcept
{
    const int count = numListened.load (std::memory_order_acquire);
    for (int i = 0; i < count; ++i)
        if (listenedParameters[(size_t) i] == parameterID)
            return i;
    return -1;
}

void ModulePanel::initKnobStyle (LookAndFeel& lnf)
{
    GuiUtils::initKnobStyle (lnf, frame.fill, frame.glow);
    controlLooks.push_back (&lnf);
    knobLooks.push_back (&lnf);
}

void ModulePanel::initButtonStyle (LookAndFeel& lnf, float fontHeight)
{
    lnf.setShouldRenderGlow (true, true, frame.glow);
    lnf.textButtonFontHeight = fontHeight;
    controlLooks.push_back (&lnf);
}

void ModulePanel::initCaption (juce::QELLabel& caption, const juce::String& text, juce::Component* knob)
{
    GuiUtils::initLabel (caption, this, text, panelFont, 17.08f);
    captions.emplace_back (knob, &caption);
}

void ModulePanel::finishFrame()
{
    powerAttachment = std::make_unique<QEL::ButtonAttachment> (parameters, frame.powerParameter, powerButton);
    setWantsKeyboardFocus (true);

    pluginActive = parameters.getRawParameterValue (Params::paramBypass)->load() < 0.5f;
    moduleActive = parameters.getRawParameterValue (frame.powerParameter)->load() > 0.5f;
    updateBypassState();
}

//==============================================================================
void ModulePanel::parameterChanged (const juce::String& parameterID, float newValue)
{
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        applyParameterChange (parameterID, newValue);
        return;
    }
    if (const int index = indexOfListened (parameterID); index >= 0)
        changes.post ({ index, newValue });
}

// Changes were lost while the hand-off was full: the parameters' values now stand for them.
void ModulePanel::applyCurrentValues()
{
    for (int i = 0; i < numListened.load(); ++i)
        if (auto* value = parameters.getRawParameterValue (listenedParameters[(size_t) i]))
            applyParameterChange (listenedParameters[(size_t) i], value->load());
}

void ModulePanel::applyParameterChange (const juce::String& parameterID, float newValue)
{
    if (parameterID == Params::paramBypass)
        pluginActive = newValue < 0.5f;
    else if (parameterID == frame.powerParameter)
        moduleActive = newValue > 0.5f;
    else
    {
        if (indexOfListened (parameterID) >= 0)
            ownParameterChanged (parameterID, newValue);
        return;
    }
    updateBypassState();
}

void ModulePanel::ownParameterChanged (const juce::String&, float) {}

void ModulePanel::updateOwnBypassState (bool) {}

void ModulePanel::updateBypassState()
{
    const bool active = isActive();
    const auto text = active ? CustomColours::TEXT_GENERIC : dimmedText;

    titleLabel.setColour (juce::Label::textColourId, active ? frame.fill : dimmedText);
    offImage.setVisible (! active);
    animationStrip->setVisible (active);
    for (auto* lnf : controlLooks)
        lnf->bypassed = ! active;
    for (auto* lnf : knobLooks)
        lnf->setColour (juce::TooltipWindow::textColourId, text);
    for (auto& caption : captions)
        caption.second->setColour (juce::Label::textColourId, text);
    updateOwnBypassState (active);
    repaint();
}

//==============================================================================
void ModulePanel::paint (juce::Graphics& g)
{
    if (! isActive())
        return;
    g.setGradientFill (juce::ColourGradient::vertical (frame.glow.withAlpha ((juce::uint8) 0), 0.0f,
                                                       frame.glow.withAlpha ((juce::uint8) 0x26), (float) getHeight()));
    g.fillAll();
}

void ModulePanel::paintOverChildren (juce::Graphics& g)
{
    GuiUtils::drawHorizontalGradientLine (g, (float) getWidth() - 20.0f, 268.0f);
}

void ModulePanel::resized()
{
    const auto place = [this] (juce::Component& c, float x, float y, float w, float h) {
        c.setBounds (GuiUtils::enclosing ({ x, y, w, h }, scale));
    };
    place (offImage, 0, 0, 200, 270);
    place (*animationStrip, 0, 0, 200, 270);
    place (powerButton, 10, 10, 20, 20);
    place (titleLabel, 0, 6, (float) getWidth() / scale, 25);
}

void ModulePanel::mouseEnter (const juce::MouseEvent& e)
{
    for (auto& caption : captions)
        if (caption.first != nullptr && caption.first == e.eventComponent)
            caption.second->setVisible (false);
}

void ModulePanel::mouseExit (const juce::MouseEvent& e)
{
    for (auto& caption : captions)
        if (caption.first != nullptr && caption.first == e.eventComponent)
            caption.second->setVisible (true);
}
} // namespace tessaro::gui
