#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{
/** The makers' slider look-and-feel base: a translucent value bubble, linear tracks and thumbs drawn from
    images, rotary knobs drawn as frames of a film strip (or the V2 knob when there is no strip), no thumb
    indent, a 15-point popup font and the slider's own popup placement. */
class QELLookAndFeel : public LookAndFeel_V3
{
public:
    /** Looks the film strip up by name; only the name and the frame count are read. */
    QELLookAndFeel (const String& imageName = {}, int frames = 0, bool unused1 = false,
                    const char* unusedData = nullptr, int unusedSize = 0, bool unused2 = false);
    ~QELLookAndFeel() override;

    void drawBubble (Graphics&, BubbleComponent&, const Point<float>& tip, const Rectangle<float>& body) override;
    void drawLinearSliderBackground (Graphics&, int x, int y, int width, int height, float sliderPos, float minPos,
                                     float maxPos, Slider::SliderStyle, Slider&) override;
    void drawLinearSliderThumb (Graphics&, int x, int y, int width, int height, float sliderPos, float minPos,
                                float maxPos, Slider::SliderStyle, Slider&) override;
    void drawRotarySlider (Graphics&, int x, int y, int width, int height, float sliderPos, float startAngle,
                           float endAngle, Slider&) override;
    int getSliderThumbRadius (Slider&) override;
    Font getSliderPopupFont (Slider&) override;
    int getSliderPopupPlacement (Slider&) override;
    Slider::SliderLayout getSliderLayout (Slider&) override;

    /** The strip frame drawn for a slider position (0..1). */
    int getFrameIndex (float sliderPos) const noexcept;

    Colour bubbleOutlineColour { 0xffffff00 };
    Colour bubbleFillColour { 0xff000000 };
    float bubbleFillOpacity = 0.5f;
    float bubbleOutlineThickness = 1.0f;
    int bubbleCornerSize = 0;
    float popupFontHeight = 15.0f;
    int numFrames = 0;
    Image knobStrip;
    Image knobStripOver;
    bool horizontalStrip = false;
    int frameWidth = 0;
    int frameHeight = 0;
    Image thumbImage;
    bool invertStrip = false;
    int frameOffset = 0;
    Image trackImage;
    int thumbInsetX = 0;
    int thumbInsetY = 0;
    RectanglePlacement stripPlacement { RectanglePlacement::stretchToFit };
    bool roundFrames = false;
    int disabledEffect = 0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELLookAndFeel)
};
} // namespace juce
