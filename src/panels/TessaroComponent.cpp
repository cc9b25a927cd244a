#include "panels/TessaroComponent.h"

#include "core/Params.h"
#include "core/PluginProcessor.h"
#include "editor/CustomColours.h"
#include "editor/EmbeddedResources.h"
#include "panels/GuiUtils.h"

#include <BinaryData.h>

namespace
{
using tessaro::gui::GuiUtils;

const juce::Identifier animationsKey (QEL::SETTINGS_ENABLE_ANIMATIONS);

std::unique_ptr<juce::Drawable> logo (const char* svg, int size)
{
    auto drawable = QEL::EmbeddedResources::drawable (svg, size);
    if (drawable != nullptr)
        drawable->setInterceptsMouseClicks (false, false);
    return drawable;
}

void initIconButton (juce::DrawableButton& button, const char* svg)
{
    GuiUtils::initDrawableButton (button, svg, juce::Colours::white, juce::Colours::white, juce::Colours::white,
                                  CustomColours::TEXT_GENERIC);
}

/** The size of a drawable's content, truncated to whole units. */
juce::Rectangle<int> sizeOf (const juce::Drawable* drawable)
{
    if (drawable == nullptr)
        return {};
    const auto bounds = drawable->getDrawableBounds();
    return { (int) bounds.getWidth(), (int) bounds.getHeight() };
}
} // namespace

TessaroComponent::TessaroComponent (juce::AudioProcessorValueTreeState& state,
                                    QELComponentInitializer* widgetInitializer, QEL::PluginSettings& pluginSettings,
                                    OrvaneTessaroAudioProcessor& productProcessor)
    : parameters (state), initializer (widgetInitializer), settings (pluginSettings), processor (productProcessor),
      compressPanel (state, widgetInitializer, productProcessor),
      enhancePanel (state, widgetInitializer, productProcessor), eqPanel (state, widgetInitializer, productProcessor),
      multiplyPanel (state, widgetInitializer, productProcessor),
      spacePanel (state, widgetInitializer, productProcessor), gainPanel (state, widgetInitializer, productProcessor),
      panelFont (QEL::EmbeddedResources::montserratRegular()), presetBar (productProcessor.presetManagerModel.get())
{
    GuiUtils::initKnobStyle (mixLookAndFeel, juce::Colour (0xb2e5eeff), CustomColours::CONTROL_OUTLINE);
    mixLookAndFeel.setShouldRenderGlow (false, false, juce::Colours::white);
    mixLookAndFeel.arcThicknessRatio = 0.3f;
    mixLookAndFeel.trackThicknessRatio = 1.0f;

    bypassLookAndFeel.setShouldRenderGlow (true, true, juce::Colour (0xffff0000));
    bypassLookAndFeel.textButtonFontHeight = 17.08f;

    initComponents();

    bypassAttachment = std::make_unique<QEL::ButtonAttachment> (parameters, Params::paramBypass, bypassButton);
    mixAttachment = std::make_unique<juce::QELSlider::SliderAttachment> (parameters, Params::paramMix, mixSlider);
    setWantsKeyboardFocus (true);

    // A stored mode this version does not know is taken as the default, so the Animation
    // button always shows one of its icons.
    const int stored = settings.getGuiTree().getProperty (animationsKey, (int) On);
    animationMode = stored >= Off && stored <= AlwaysOn ? stored : On;
    updateAnimationMode (animationMode);
}

TessaroComponent::~TessaroComponent()
{
    mixSlider.setLookAndFeel (nullptr);
    bypassButton.setLookAndFeel (nullptr);
}

std::array<tessaro::gui::ModulePanel*, 6> TessaroComponent::modulePanels() noexcept
{
    return { &compressPanel, &enhancePanel, &eqPanel, &multiplyPanel, &spacePanel, &gainPanel };
}

void TessaroComponent::initComponents()
{
    backgroundImage.setPicture (
        QEL::EmbeddedResources::image (BinaryData::background_png, BinaryData::background_pngSize));
    addAndMakeVisible (backgroundImage);

    brandLogo = logo (BinaryData::orvane_logo_svg, BinaryData::orvane_logo_svgSize);
    productLogo = logo (BinaryData::tessaro_logo_svg, BinaryData::tessaro_logo_svgSize);
    for (auto* drawable : { brandLogo.get(), productLogo.get() })
        if (drawable != nullptr)
            addAndMakeVisible (*drawable);

    GuiUtils::initButton (bypassButton, this, "Bypass", bypassLookAndFeel);
    bypassButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xffff8080));

    initIconButton (resizeButton, BinaryData::expand_icon_svg);
    resizeButton.addMouseListener (this, false);
    resizeButton.setDescription ("Resizes the plugin's GUI window.");
    resizeButton.onClick = [this]
    {
        if (resizeRequest)
            resizeRequest();
    };
    addAndMakeVisible (resizeButton);

    initIconButton (animationButton, BinaryData::anim_on_icon_svg);
    animationButton.addMouseListener (this, false);
    animationButton.setDescription ("Toggles the animation on/off.");
    animationButton.onClick = [this] { showAnimationMenu(); };
    addAndMakeVisible (animationButton);

    GuiUtils::initSlider (initializer, mixSlider, &mixLookAndFeel, this, "%", juce::Slider::RotaryVerticalDrag,
                          { 0, -22 });

    for (auto* panel : modulePanels())
    {
        panel->addMouseListener (this, true);
        addAndMakeVisible (*panel);
    }

    juce::Image clear (juce::Image::ARGB, 1, 1, true);
    overlay.blur.update (clear);
    overlay.repaint();
    addAndMakeVisible (overlay);

    initPresetBar();

    GuiUtils::initLabel (mixCaption, this, "Dry/Wet", panelFont, 17.08f);
    mixCaption.setColour (juce::Label::textColourId, CustomColours::TEXT_GENERIC.withAlpha ((juce::uint8) 0x80));
}

void TessaroComponent::initPresetBar()
{
    const auto setImages = [] (juce::DrawableButton& button, const char* svg, int size)
    {
        const auto normal = QEL::EmbeddedResources::drawable (svg, size);
        const auto over = QEL::EmbeddedResources::drawable (svg, size);
        const auto down = QEL::EmbeddedResources::drawable (svg, size);
        button.setImages (normal.get(), over.get(), down.get());
    };
    setImages (presetBar.previousButton, BinaryData::preset_previous_svg, BinaryData::preset_previous_svgSize);
    setImages (presetBar.nextButton, BinaryData::preset_next_svg, BinaryData::preset_next_svgSize);
    setImages (presetBar.saveButton, BinaryData::save_icon_svg, BinaryData::save_icon_svgSize);

    presetBarFont = juce::Font().withHeight (19.52f);
    presetBar.presetNameFont = presetBarFont;
    presetBar.presetNameLabel.setFont (presetBarFont);
    presetBar.resized();
    addAndMakeVisible (presetBar);
    presetBar.onPresetListVisibilityChanged = [this] (bool shown) { presetListVisibilityChanged (shown); };

    const juce::Colour light (0xffdbdcde), mid (0xff94959f), dark (0xff6a6d78);
    presetBar.presetNameLabel.setColour (juce::Label::textColourId, light);
    presetBar.frameColours = { dark, mid, light };

    auto& list = presetBar.presetList;
    list.outlineColour = dark;
    auto& rows = *list.listBoxModel;
    rows.selectedTextColour = light;
    rows.rowTextColour = mid;
    rows.selectedRowColour = juce::Colour (0x00ffffff);
    rows.recolour (*rows.filledStar, rows.filledStarColour, light);
    rows.recolour (*rows.emptyStar, rows.emptyStarColour, light);
    auto& scrollBar = list.listBox.getVerticalScrollBar();
    scrollBar.setColour (juce::ScrollBar::thumbColourId, light);
    scrollBar.setColour (juce::ScrollBar::trackColourId, mid);
}

juce::Component* TessaroComponent::presetList() noexcept
{
    return &presetBar.presetList;
}

//==============================================================================
void TessaroComponent::updateAnimationMode (int mode)
{
    if (mode < Off || mode > AlwaysOn)
        return;

    animationMode = mode;
    settings.setGuiProperty (animationsKey, mode);
    for (auto* panel : modulePanels())
    {
        auto& strip = *panel->animationStrip;
        if (mode == AlwaysOn)
            strip.setPlaying (true);
        else
        {
            strip.setPlaying (false);
            strip.setCurrentFrame (0);
        }
    }

    const char* icons[] = { BinaryData::anim_off_icon_svg, BinaryData::anim_on_icon_svg,
                            BinaryData::anim_always_on_icon_svg };
    initIconButton (animationButton, icons[mode]);
    placeAnimationButton();
}

void TessaroComponent::placeAnimationButton()
{
    const auto icon = sizeOf (animationButton.getNormalImage());
    const float y = animationMode == On ? 23.0f : 21.0f;
    animationButton.setBounds (
        GuiUtils::enclosing ({ 352.0f, y, (float) icon.getWidth(), (float) icon.getHeight() }, scale));
}

void TessaroComponent::showAnimationMenu()
{
    animationMenu.clear();
    const std::pair<const char*, int> items[] = { { "Off", Off }, { "On", On }, { "Always On", AlwaysOn } };
    for (const auto& [text, mode] : items)
        animationMenu.addItem (text, true, animationMode == mode, [this, m = mode] { updateAnimationMode (m); });
    animationMenu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&animationButton));
}

//==============================================================================
void TessaroComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void TessaroComponent::paintOverChildren (juce::Graphics& g)
{
    const float xs[] = { (float) compressPanel.getX() - 6.0f, (float) enhancePanel.getX() - 6.0f,
                         (float) eqPanel.getX() - 5.0f,       (float) multiplyPanel.getX() - 6.0f,
                         (float) spacePanel.getX() - 6.0f,    (float) gainPanel.getX() - 5.0f,
                         (float) gainPanel.getRight() + 6.0f };
    for (float x : xs)
        GuiUtils::drawVerticalGradientLine (g, x);
}

void TessaroComponent::resized()
{
    const auto place = [this] (juce::Component& c, float x, float y, float w, float h) {
        c.setBounds (GuiUtils::enclosing ({ x, y, w, h }, scale));
    };

    const auto background = backgroundImage.getImage().getBounds();
    place (backgroundImage, 0, 0, (float) background.getWidth(), (float) background.getHeight());
    overlay.setBounds (getLocalBounds());

    int logoY = 15;
    for (auto* drawable : { brandLogo.get(), productLogo.get() })
    {
        if (drawable != nullptr)
        {
            const auto size = sizeOf (drawable);
            drawable->setBounds ((getWidth() - size.getWidth()) / 2, logoY, size.getWidth(), size.getHeight());
        }
        logoY = 39;
    }

    const auto resizeIcon = sizeOf (resizeButton.getNormalImage());
    place (resizeButton, 325, 20, (float) resizeIcon.getWidth(), (float) resizeIcon.getHeight());
    placeAnimationButton();
    if (sizeSelector != nullptr)
        place (*sizeSelector, 330, 18, 200, 24);

    place (mixSlider, 1110, 0, 40, 40);
    const auto mix = mixSlider.getBounds();
    place (mixCaption, (float) mix.getX() - 20.0f, (float) mix.getBottom() - 10.0f, (float) mix.getWidth() + 40.0f, 25);
    place (bypassButton, 1180, 0, 110.5f, 61.25f);
    place (presetBar, 10, 10, 302, 35);

    place (compressPanel, 15, 74, 202, 706);
    place (enhancePanel, 227, 74, 202, 706);
    place (eqPanel, 438, 74, 202, 706);
    place (multiplyPanel, 650, 74, 202, 706);
    place (spacePanel, 862, 74, 202, 706);
    place (gainPanel, 1073, 74, 202, 706);
}

//==============================================================================
void TessaroComponent::mouseEnter (const juce::MouseEvent& e)
{
    if (e.eventComponent == &mixSlider)
    {
        mixCaption.setVisible (false);
        return;
    }
    if (animationMode != On || e.eventComponent == nullptr)
        return;

    tessaro::gui::ModulePanel* hovered = nullptr;
    for (auto* panel : modulePanels())
        if (e.eventComponent == panel || e.eventComponent->getParentComponent() == panel)
            hovered = panel;
    if (hovered == nullptr)
        return;

    for (auto* panel : modulePanels())
    {
        auto& strip = *panel->animationStrip;
        if (panel == hovered)
            strip.setPlaying (true);
        else if (strip.isPlaying() || strip.getCurrentFrame() != 0) // a strip at rest needs no repaint
        {
            strip.setPlaying (false);
            strip.setCurrentFrame (0);
        }
    }
}

void TessaroComponent::mouseExit (const juce::MouseEvent& e)
{
    if (e.eventComponent == &mixSlider)
        mixCaption.setVisible (true);
}

void TessaroComponent::mouseDown (const juce::MouseEvent& e)
{
    auto* list = presetList();
    if (e.eventComponent == &presetBar || list == nullptr || ! list->isVisible())
        return;
    list->setVisible (false);
    presetListVisibilityChanged (false);
    presetBar.repaint();
}

void TessaroComponent::presetListVisibilityChanged (bool shown)
{
    overlay.blur.update (createComponentSnapshot (getLocalBounds(), true, 1.0f));
    overlay.repaint();

    overlay.visibleRegion.clear();
    if (auto* list = presetList(); shown && list != nullptr)
    {
        const auto area = getLocalArea (list->getParentComponent(), list->getBounds()).reduced (2);
        if (! area.isEmpty())
            overlay.visibleRegion.add (area);
    }
    overlay.repaint();
}
