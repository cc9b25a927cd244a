#include "panels/EQModuleComponent.h"

#include "core/Params.h"
#include "editor/CustomColours.h"
#include "panels/GuiUtils.h"

#include <BinaryData.h>

namespace tessaro::gui
{
EQModuleComponent::EQModuleComponent (juce::AudioProcessorValueTreeState& state,
                                      QELComponentInitializer* widgetInitializer,
                                      OrvaneTessaroAudioProcessor& productProcessor)
    : ModulePanel (state, widgetInitializer, productProcessor,
                   { "EQ", CustomColours::THEME_EQ_FILL, CustomColours::THEME_EQ_GLOW, Params::paramEQPower,
                     BinaryData::eq_off_png, BinaryData::eq_off_pngSize, BinaryData::eq_animation_strip_png,
                     BinaryData::eq_animation_strip_pngSize })
{
    using namespace Params;
    for (auto* id :
         { &paramEQHighGain, &paramEQHighFreq, &paramEQHighQ, &paramEQLowGain, &paramEQLowFreq, &paramEQLowQ })
        listenTo (*id);

    initKnobStyle (knobStyle);
    knobStyle.arcThicknessRatio = 0.3f;
    knobStyle.trackThicknessRatio = 1.0f;
    initButtonStyle (buttonStyle, 17.08f);

    // High, mid, then low: each view is fed once and its curves computed before it is first shown.
    struct Band
    {
        EQContainer& container;
        EQComponent& view;
        void (EQModuleComponent::*update)();
        std::unique_ptr<EQBandEditing>& editing;
        const juce::String &gain, &frequency, &q;
    };
    const Band bands[] = {
        { highContainer, highView, &EQModuleComponent::updateHighBands, highEditing, paramEQHighGain, paramEQHighFreq,
          paramEQHighQ },
        { midContainer, midView, &EQModuleComponent::updateMidBands, midEditing, paramEQMidGain, paramEQMidFreq,
          paramEQMidQ },
        { lowContainer, lowView, &EQModuleComponent::updateLowBands, lowEditing, paramEQLowGain, paramEQLowFreq,
          paramEQLowQ },
    };
    for (const auto& b : bands)
    {
        b.container.onBandUpdate = [this, update = b.update] { (this->*update)(); };
        b.container.view = &b.view;
        addAndMakeVisible (b.container);
        applyViewSettings (b.view);
        (this->*b.update)();
        b.container.addAndMakeVisible (b.view);
        b.view.recomputeCurves();
        b.editing = std::make_unique<EQBandEditing> (parameters, b.view, b.gain, b.frequency, b.q);
    }

    for (auto* knob : { &highQ, &midQ, &lowQ })
    {
        GuiUtils::initSlider (initializer, *knob, &knobStyle, this, {}, juce::Slider::RotaryVerticalDrag, { 0, -25 });
        knob->popupPlacement = juce::BubbleComponent::left;
        knob->popupOffset = { 3, 0 };
    }
    GuiUtils::initButton (preButton, this, "Pre", buttonStyle);
    GuiUtils::initButton (adLibButton, this, "Ad Lib", buttonStyle);
    for (auto* button : { &preButton, &adLibButton })
        button->setColour (juce::TextButton::textColourOnId, CustomColours::THEME_EQ_FILL);
    initCaption (highCaption, "High", &highQ);
    initCaption (midCaption, "Mid", &midQ);
    initCaption (lowCaption, "Low", &lowQ);

    using SliderAttachment = QEL::SliderAttachment;
    highQAttachment = std::make_unique<SliderAttachment> (parameters, paramEQHighQ, highQ);
    midQAttachment = std::make_unique<SliderAttachment> (parameters, paramEQMidQ, midQ);
    lowQAttachment = std::make_unique<SliderAttachment> (parameters, paramEQLowQ, lowQ);
    adLibAttachment = std::make_unique<QEL::ButtonAttachment> (parameters, paramEQAdLib, adLibButton);
    finishFrame();
}

EQModuleComponent::~EQModuleComponent()
{
    stopListening();
}

void EQModuleComponent::applyViewSettings (QELEQComponent& view)
{
    view.drawBackground = false;
    view.fillBands = false;
    view.bandsOnlyWhenMouseOver = false;
    view.showGrid = true;
    view.showGainLabels = false;
    view.showGainLines = true;
    view.showFrequencyLabels = false;
    view.drawBands = true;
    view.showFrequencyReadout = true;
    view.showGainReadout = false;
    view.gainLabelsOnRight = 1;
    view.showZeroLine = false;
    view.showQHandles = false;
    view.sizeScale = 7.0f;
    view.showUnits = true;
    view.qOnYAxis = false;
    view.actionModifiers = juce::ModifierKeys::ctrlModifier;
    view.lockFrequencyModifiers = juce::ModifierKeys::shiftModifier;
    view.lockGainModifiers = juce::ModifierKeys::shiftModifier | juce::ModifierKeys::altModifier;
}

void EQModuleComponent::updateLowBands()
{
    EQBandFeed::refresh (lowView, processor, EQBandSlot::low);
}

void EQModuleComponent::updateMidBands()
{
    EQBandFeed::refresh (midView, processor, EQBandSlot::mid);
}

void EQModuleComponent::updateHighBands()
{
    EQBandFeed::refresh (highView, processor, EQBandSlot::high);
}

void EQModuleComponent::ownParameterChanged (const juce::String& id, float v)
{
    using namespace Params;
    if (id == paramEQHighGain || id == paramEQHighFreq || id == paramEQHighQ)
    {
        (id == paramEQHighGain   ? dualHigh.highGain
         : id == paramEQHighFreq ? dualHigh.highFrequency
                                 : dualHigh.highQ) = v;
        dualHigh.updateBands();
    }
    else if (id == paramEQLowGain || id == paramEQLowFreq || id == paramEQLowQ)
    {
        (id == paramEQLowGain ? dualLow.lowGain : id == paramEQLowFreq ? dualLow.lowFrequency : dualLow.lowQ) = v;
        dualLow.updateBands();
    }
}

void EQModuleComponent::updateOwnBypassState (bool active)
{
    for (auto* dual : { &dualHigh, &dualLow })
    {
        dual->bypassed = ! active;
        dual->repaint();
    }
    // The containers' 33 ms repaint shows the curves' new look.
    for (auto* view : { &highView, &midView, &lowView })
        view->bypassed = ! active;
}

void EQModuleComponent::resized()
{
    ModulePanel::resized();

    const float w = (float) getWidth() / scale;
    const auto place = [this] (juce::Component& c, float x, float y, float width, float height) {
        c.setBounds (GuiUtils::enclosing ({ x, y, width, height }, scale));
    };

    const struct
    {
        EQContainer& container;
        EQComponent& view;
        juce::QELSlider& knob;
        juce::QELLabel& caption;
        float y;
    } rows[] = { { highContainer, highView, highQ, highCaption, 290.0f },
                 { midContainer, midView, midQ, midCaption, 405.0f },
                 { lowContainer, lowView, lowQ, lowCaption, 525.0f } };
    for (const auto& r : rows)
    {
        place (r.container, 10.0f, r.y, w - 20.0f, 72.0f);
        r.view.setBounds (r.container.getLocalBounds());
        place (r.knob, 120.0f, r.y + 72.0f, 34.0f, 34.0f);
        place (r.caption, 0.0f, r.y + 72.0f + 5.0f, w, 25.0f);
    }

    const float centre = (float) (((int) w - 84) / 2);
    place (preButton, centre - 42.25f - 10.0f, 631.0f, 84.5f, 57.0f);
    place (adLibButton, centre + 42.25f + 10.0f, 631.0f, 84.5f, 57.0f);
}
} // namespace tessaro::gui
