#include "panels/ScaledImageComponent.h"

#include "panels/ScaledFrames.h"

namespace tessaro::gui
{
ScaledImageComponent::ScaledImageComponent() = default;
ScaledImageComponent::~ScaledImageComponent() = default;

void ScaledImageComponent::setPicture (const juce::Image& picture)
{
    setImage (picture);
    setOpaque (isFullyOpaque (picture));
}

bool ScaledImageComponent::isFullyOpaque (const juce::Image& picture)
{
    if (! picture.isValid())
        return false;
    if (! picture.hasAlphaChannel())
        return true;
    const juce::Image::BitmapData pixels (picture, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.getPixelColour (x, y).getAlpha() != 0xff)
                return false;
    return true;
}

void ScaledImageComponent::paint (juce::Graphics& g)
{
    g.setOpacity (1.0f);
    ScaledFrames::draw (g, scaled, getImage(), 1, false, 0, getLocalBounds());
}
} // namespace tessaro::gui
