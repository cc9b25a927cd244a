#include "panels/GuiUtils.h"

#include "editor/CustomColours.h"

namespace tessaro::gui
{
void GuiUtils::initSlider (QELComponentInitializer* initializer, juce::QELSlider& slider, LookAndFeel* lookAndFeel,
                           juce::Component* parent, const juce::String& suffix, juce::Slider::SliderStyle style,
                           juce::Point<int> popupOffset)
{
    jassert (initializer != nullptr && initializer->sliderSetup);
    initializer->sliderSetup (slider, parent, lookAndFeel, style);
    slider.addMouseListener (parent, false);
    slider.setTextValueSuffix (suffix);
    slider.setPopupDisplayEnabled (false, false, nullptr, 2000);

    slider.useHitBox = true;
    slider.hitBoxLeft = slider.hitBoxTop = slider.hitBoxRight = slider.hitBoxBottom = 0;
    slider.dragDistance = 250.0f;
    slider.popupPlacement = juce::BubbleComponent::below;
    slider.popupEnabled = true;
    slider.popupParent = parent;
    slider.popupOffset = popupOffset;
}

void GuiUtils::initKnobStyle (LookAndFeel& lnf, juce::Colour fill, juce::Colour glow)
{
    lnf.bubbleOutlineColour = juce::Colour (0x00ffffff);
    lnf.bubbleFillColour = juce::Colour (0x00ffffff);
    lnf.bubbleFillOpacity = 0.0f;
    lnf.bubbleOutlineThickness = 0.0f;
    lnf.bubbleCornerSize = 10;
    lnf.popupFontHeight = 17.08f;
    lnf.setColour (juce::ToggleButton::tickColourId, fill);
    lnf.setColour (juce::ToggleButton::tickDisabledColourId, CustomColours::CONTROL_OUTLINE);
    lnf.setColour (juce::Slider::textBoxTextColourId, juce::Colours::white);
    lnf.setColour (juce::Slider::rotarySliderOutlineColourId, CustomColours::CONTROL_OUTLINE);
    lnf.setColour (juce::Slider::rotarySliderFillColourId, fill);
    lnf.setShouldRenderGlow (true, true, glow);
    lnf.toggleOffFillColour = juce::Colours::white;
    lnf.setColour (juce::TooltipWindow::textColourId, CustomColours::TEXT_GENERIC);
}

void GuiUtils::initButton (juce::TextButton& button, juce::Component* parent, const juce::String& text,
                           LookAndFeel& lookAndFeel)
{
    button.setLookAndFeel (&lookAndFeel);
    button.setButtonText (text);
    button.setClickingTogglesState (true);
    button.setTriggeredOnMouseDown (true);
    button.addMouseListener (parent, false);
    for (int id : { juce::TextButton::buttonColourId, juce::TextButton::buttonOnColourId,
                    juce::TextButton::textColourOffId })
        button.setColour (id, CustomColours::CONTROL_OUTLINE);
    parent->addAndMakeVisible (button);
}

void GuiUtils::initLabel (juce::Label& label, juce::Component* parent, const juce::String& text, juce::Font font,
                          float height)
{
    label.setText (text, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    label.setFont (font.withHeight (height));
    label.setColour (juce::Label::textColourId, CustomColours::TEXT_GENERIC);
    label.setMinimumHorizontalScale (1.0f);
    label.setInterceptsMouseClicks (false, false);
    parent->addAndMakeVisible (label);
}

void GuiUtils::initDrawableButton (juce::DrawableButton& button, const char* svgText, juce::Colour sourceColour,
                                   juce::Colour offColour, juce::Colour onColour, juce::Colour disabledColour)
{
    const auto svg = juce::XmlDocument::parse (juce::String::fromUTF8 (svgText));
    auto off = svg != nullptr ? juce::Drawable::createFromSVG (*svg) : nullptr;
    if (off == nullptr)
        return;
    auto on = off->createCopy();
    auto disabled = off->createCopy();
    off->replaceColour (sourceColour, offColour);
    on->replaceColour (sourceColour, onColour);
    disabled->replaceColour (sourceColour, disabledColour);

    button.setImages (off.get(), off.get(), on.get(), disabled.get(), on.get(), on.get(), off.get(), disabled.get());
    button.setColour (juce::DrawableButton::backgroundColourId, juce::Colours::transparentBlack);
    button.setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
}

namespace
{
    void fillGradientBand (juce::Graphics& g, juce::Point<float> from, juce::Point<float> to,
                           juce::Rectangle<float> band)
    {
        const auto edge = CustomColours::TEXT_GENERIC.withAlpha ((juce::uint8) 0);
        juce::ColourGradient gradient (edge, from, edge, to, false);
        gradient.addColour (0.5, CustomColours::TEXT_GENERIC.withAlpha ((juce::uint8) 0x80));
        g.setGradientFill (gradient);
        g.fillRect (band);
    }
} // namespace

void GuiUtils::drawHorizontalGradientLine (juce::Graphics& g, float endX, float y)
{
    fillGradientBand (g, { 10.0f, y }, { endX, y }, { 10.0f, y, endX - 10.0f, 1.0f });
}

void GuiUtils::drawVerticalGradientLine (juce::Graphics& g, float x)
{
    fillGradientBand (g, { x, 74.0f }, { x, 780.0f }, { x, 74.0f, 1.0f, 706.0f });
}

juce::Rectangle<int> GuiUtils::enclosing (juce::Rectangle<float> r, float scale)
{
    return (r * scale).getSmallestIntegerContainer();
}
} // namespace tessaro::gui
