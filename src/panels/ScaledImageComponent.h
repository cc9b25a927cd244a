#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace tessaro::gui
{
class ScaledFrames;

/** An ImageComponent whose picture is drawn stretched over its bounds from a copy scaled once to
    the drawn size and shared (ScaledFrames), so repainting any part of it copies pixels instead of
    resampling the picture. The placement is not used: the picture always fills the bounds. */
class ScaledImageComponent : public juce::ImageComponent
{
public:
    ScaledImageComponent();
    ~ScaledImageComponent() override;

    /** Shows a picture, and marks the component opaque when every pixel of it is, so that nothing
        behind it is painted. */
    void setPicture (const juce::Image& picture);

    /** The picture over the whole bounds, at full opacity. */
    void paint (juce::Graphics& g) override;

    /** True when the picture is valid and none of its pixels lets anything through. */
    static bool isFullyOpaque (const juce::Image& picture);

private:
    std::shared_ptr<ScaledFrames> scaled;
};
} // namespace tessaro::gui
