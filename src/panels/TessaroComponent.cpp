#include "panels/TessaroComponent.h"

#include "editor/CustomColours.h"
#include "editor/EmbeddedResources.h"

#include <BinaryData.h>

namespace
{
using QEL::EmbeddedResources;

constexpr int headerHeight = 74;

struct ModuleLook
{
    const char* title;
    juce::Colour fill, glow;
};

const ModuleLook& moduleLook (int index)
{
    static const ModuleLook looks[] = {
        { "COMPRESS", CustomColours::THEME_COMP_FILL, CustomColours::THEME_COMP_GLOW },
        { "ENHANCE", CustomColours::THEME_ENHANCE_FILL, CustomColours::THEME_ENHANCE_GLOW },
        { "EQ", CustomColours::THEME_EQ_FILL, CustomColours::THEME_EQ_GLOW },
        { "MULTIPLY", CustomColours::THEME_MULTIPLY_FILL, CustomColours::THEME_MULTIPLY_GLOW },
        { "SPACE", CustomColours::THEME_SPACE_FILL, CustomColours::THEME_SPACE_GLOW },
        { "GAIN", CustomColours::THEME_GAIN_FILL, CustomColours::THEME_GAIN_GLOW },
    };
    return looks[index];
}

juce::Rectangle<int> moduleArea (int index)
{
    const int left = TessaroComponent::separators[index] + 1;
    return { left, headerHeight + 1, TessaroComponent::separators[index + 1] - left, 800 - headerHeight - 1 };
}
} // namespace

TessaroComponent::TessaroComponent (juce::AudioProcessorValueTreeState&, QELComponentInitializer*,
                                    QEL::PluginSettings& settings, OrvaneTessaroAudioProcessor&)
    : pluginSettings (settings),
      background (EmbeddedResources::image (BinaryData::background_png, BinaryData::background_pngSize)),
      orvaneLogo (EmbeddedResources::drawable (BinaryData::orvane_logo_svg, BinaryData::orvane_logo_svgSize)),
      tessaroLogo (EmbeddedResources::drawable (BinaryData::tessaro_logo_svg, BinaryData::tessaro_logo_svgSize)),
      titleFont (juce::Font (EmbeddedResources::montserratRegular()).withHeight (19.52f))
{
    const std::pair<const char*, int> stills[] = {
        { BinaryData::compress_off_png, BinaryData::compress_off_pngSize },
        { BinaryData::enhance_off_png, BinaryData::enhance_off_pngSize },
        { BinaryData::eq_off_png, BinaryData::eq_off_pngSize },
        { BinaryData::multiply_off_png, BinaryData::multiply_off_pngSize },
        { BinaryData::space_off_png, BinaryData::space_off_pngSize },
        { BinaryData::gain_off_png, BinaryData::gain_off_pngSize },
    };
    for (int i = 0; i < 6; ++i)
        moduleStills[i] = EmbeddedResources::image (stills[i].first, stills[i].second);

    const juce::Identifier animationKey (QEL::SETTINGS_ENABLE_ANIMATIONS);
    animationMode = (int) pluginSettings.getGuiTree().getProperty (animationKey, 1);
    pluginSettings.setGuiProperty (animationKey, animationMode);

    addAndMakeVisible (gainReductionMeter);
    addAndMakeVisible (deEssLamp);
    addAndMakeVisible (deNoiseLamp);
}

TessaroComponent::~TessaroComponent() = default;

void TessaroComponent::paint (juce::Graphics& g)
{
    g.drawImageAt (background, 0, 0);
    if (orvaneLogo != nullptr)
        orvaneLogo->drawAt (g, 24.0f, 31.0f, 1.0f);
    if (tessaroLogo != nullptr)
        tessaroLogo->drawWithin (g, { 582.0f, 26.0f, 136.0f, 23.0f }, juce::RectanglePlacement::centred, 1.0f);

    for (int i = 0; i < 6; ++i)
    {
        const auto area = moduleArea (i);
        const auto& look = moduleLook (i);
        g.setGradientFill (juce::ColourGradient (look.glow.withAlpha (0.0f), 0.0f, (float) area.getY(),
                                                 look.glow.withAlpha ((juce::uint8) 0x26), 0.0f,
                                                 (float) area.getBottom(), false));
        g.fillRect (area);

        g.setColour (CustomColours::TEXT_GENERIC);
        g.setFont (titleFont);
        g.drawText (look.title, area.withHeight (48), juce::Justification::centred, false);

        const auto picture = juce::Rectangle<int> (200, 270).withCentre ({ area.getCentreX(), area.getY() + 48 + 135 });
        g.drawImage (moduleStills[i], picture.toFloat(), juce::RectanglePlacement::centred);
    }

    for (int x : separators)
    {
        g.setGradientFill (juce::ColourGradient (CustomColours::CONTROL_OUTLINE.withAlpha (0.0f), 0.0f,
                                                 (float) headerHeight, CustomColours::CONTROL_OUTLINE, 0.0f, 800.0f,
                                                 false));
        g.fillRect (x, headerHeight, 1, 800 - headerHeight);
    }
}

void TessaroComponent::resized()
{
    const auto compress = moduleArea (0);
    gainReductionMeter.setBounds (compress.getRight() - 24, compress.getY() + 70, 8, 240);
    const auto enhance = moduleArea (1);
    deEssLamp.setBounds (enhance.getX() + 16, enhance.getY() + 330, 10, 10);
    deNoiseLamp.setBounds (enhance.getX() + 16, enhance.getY() + 350, 10, 10);

    if (sizeCombo != nullptr)
        sizeCombo->setBounds (1150, 22, 120, 30);
}
