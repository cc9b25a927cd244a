#include "QELLookAndFeel.h"

#include "QELImageLoader.h"
#include "QELSlider.h"

namespace juce
{
QELLookAndFeel::QELLookAndFeel (const String& imageName, int frames, bool, const char*, int, bool)
{
    auto* loader = QELImageLoader::getInstance();
    auto strip = loader->loadImage (imageName, false, {});
    auto stripOver = loader->loadImage (imageName, false, {});

    // A strip without frames is no strip.
    if (strip.isValid() && frames > 0)
    {
        knobStrip = strip;
        knobStripOver = stripOver.isValid() ? stripOver : strip;
        numFrames = frames;
        horizontalStrip = false;
        frameWidth = strip.getWidth();
        frameHeight = strip.getHeight() / frames;
    }

    setColour (TooltipWindow::textColourId, Colour (0xffffffff));
}

QELLookAndFeel::~QELLookAndFeel()
{
    trackImage = {};
    thumbImage = {};
    knobStripOver = {};
    knobStrip = {};
}

void QELLookAndFeel::drawBubble (Graphics& g, BubbleComponent&, const Point<float>&, const Rectangle<float>& body)
{
    const auto inner = body.reduced (0.1f);
    g.setColour (bubbleFillColour);
    g.setOpacity (bubbleFillOpacity);
    if (bubbleCornerSize > 0)
        g.fillRoundedRectangle (inner, (float) bubbleCornerSize);
    else
        g.fillRect (inner);

    g.setColour (bubbleOutlineColour);
    if (bubbleCornerSize > 0)
        g.drawRoundedRectangle (body, (float) bubbleCornerSize, bubbleOutlineThickness);
    else
        g.drawRect (body, bubbleOutlineThickness);
}

namespace
{
    /** The slider's thumb-size override, or fallback when it has none. */
    int thumbOverride (Slider& slider, bool width, int fallback)
    {
        if (auto* own = dynamic_cast<QELSlider*> (&slider))
        {
            const int value = width ? own->thumbWidth : own->thumbHeight;
            if (value != -1)
                return value;
        }
        return fallback;
    }
} // namespace

void QELLookAndFeel::drawLinearSliderBackground (Graphics& g, int x, int, int width, int height, float sliderPos, float,
                                                 float, Slider::SliderStyle, Slider& slider)
{
    if (! trackImage.isValid())
        return;

    const int half = thumbOverride (slider, true, thumbImage.isValid() ? thumbImage.getWidth() : 0) / 2;
    const float start = (float) (x + half + thumbInsetX);
    const float end = (float) (width - half - thumbInsetX);
    const float p = (sliderPos - (float) x) * (end - start) / (float) (width - x) + start;

    const auto scaled = trackImage.rescaled (width, height, Graphics::mediumResamplingQuality);
    const int filled = (int) p;
    g.drawImage (scaled, 0, 0, filled, height, 0, 0, filled, height);
}

void QELLookAndFeel::drawLinearSliderThumb (Graphics& g, int x, int y, int width, int height, float sliderPos, float,
                                            float, Slider::SliderStyle, Slider& slider)
{
    if (! thumbImage.isValid())
        return;

    int w = thumbImage.getWidth(), h = thumbImage.getHeight();
    int left = x, top = y;
    const auto style = slider.getSliderStyle();

    if (style == Slider::LinearHorizontal)
    {
        w = thumbOverride (slider, true, w);
        h = thumbOverride (slider, false, h);
        const int half = w / 2;
        const float start = (float) (x + half + thumbInsetX), end = (float) (width - half - thumbInsetX);
        left = (int) ((sliderPos - (float) x) * (end - start) / (float) (width - x) + start - (float) half);
        top = y + thumbInsetY;
    }
    else if (style == Slider::LinearVertical)
    {
        w = thumbOverride (slider, true, w);
        h = thumbOverride (slider, false, h);
        const int half = h / 2;
        const float start = (float) (y + half + thumbInsetY), end = (float) (height - half - thumbInsetY);
        top = (int) ((sliderPos - (float) y) * (end - start) / (float) (height - y) + start - (float) half);
        left = x + thumbInsetX;
    }
    else
    {
        const int half = thumbImage.getHeight() / 2;
        const float start = (float) (y + half), end = (float) (height - half);
        top = (int) ((sliderPos - (float) y) * (end - start) / (float) (height - y) + start - (float) half);
    }

    g.drawImage (thumbImage, left, top, w, h, 0, 0, thumbImage.getWidth(), thumbImage.getHeight());
}

int QELLookAndFeel::getFrameIndex (float sliderPos) const noexcept
{
    const float p = invertStrip ? 1.0f - sliderPos : sliderPos;
    const float exact = (float) (numFrames - 1) * p;
    int index = roundFrames ? (int) (p > 0.5f ? std::ceil (exact) : std::floor (exact)) : (int) exact;

    if (frameOffset != 0)
        index = jlimit (0, numFrames - 1, index + frameOffset);
    return index;
}

void QELLookAndFeel::drawRotarySlider (Graphics& g, int x, int y, int width, int height, float sliderPos,
                                       float startAngle, float endAngle, Slider& slider)
{
    if (numFrames <= 0)
    {
        LookAndFeel_V2::drawRotarySlider (g, x, y, width, height, sliderPos, startAngle, endAngle, slider);
        return;
    }

    const int index = getFrameIndex (sliderPos);
    const auto& strip = slider.isMouseOverOrDragging (false) ? knobStripOver : knobStrip;
    const auto area = horizontalStrip ? Rectangle<int> (index * frameWidth, 0, frameWidth, frameHeight)
                                      : Rectangle<int> (0, index * frameHeight, frameWidth, frameHeight);
    auto frame = strip.getClippedImage (area);

    auto* own = dynamic_cast<QELSlider*> (&slider);
    if (own != nullptr && own->disabledLook && (disabledEffect == 0 || disabledEffect == 1))
    {
        frame = frame.createCopy();
        frame.desaturate();
        if (disabledEffect == 1)
            frame.multiplyAllAlphas (0.3f);
    }

    g.drawImage (frame, Rectangle<int> (x, y, width, height).toFloat(), stripPlacement);
}

int QELLookAndFeel::getSliderThumbRadius (Slider&)
{
    return 0;
}

Font QELLookAndFeel::getSliderPopupFont (Slider&)
{
    return Font (popupFontHeight);
}

int QELLookAndFeel::getSliderPopupPlacement (Slider& slider)
{
    if (auto* own = dynamic_cast<QELSlider*> (&slider))
        return own->popupPlacement;
    return BubbleComponent::above;
}

Slider::SliderLayout QELLookAndFeel::getSliderLayout (Slider& slider)
{
    // The framework's standard layout; its thumb indent is this class's radius of 0.
    return LookAndFeel_V2::getSliderLayout (slider);
}
} // namespace juce
