#include "panels/OverlayComponent.h"

namespace tessaro::gui
{
OverlayComponent::OverlayComponent()
{
    setInterceptsMouseClicks (false, false);
}

void OverlayComponent::paint (juce::Graphics& g)
{
    if (! g.reduceClipRegion (visibleRegion) || ! blur.blurredImage.isValid())
        return;
    g.drawImageAt (blur.blurredImage, 0, 0);
}

void OverlayComponent::resized()
{
    // The region only ever shows the open preset list's backdrop: a new size keeps it
    // inside the component and never turns a closed backdrop on.
    visibleRegion.clipTo (getLocalBounds());
}
} // namespace tessaro::gui
