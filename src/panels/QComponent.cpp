#include "panels/QComponent.h"

namespace QEL
{
QComponent::QComponent (juce::NormalisableRange<float> qRange)
    : range (qRange), lookAndFeel (std::make_unique<juce::QELLookAndFeel> (juce::String(), 0))
{
    slider.initialize (this, lookAndFeel.get(), juce::Slider::RotaryHorizontalDrag);
    slider.setPopupDisplayEnabled (false, false, nullptr);
    slider.popupEnabled = false;
    slider.doubleClickOpensTextEntry = false;

    juce::NormalisableRange<double> sliderRange (range.start, range.end, range.interval);
    sliderRange.skew = 0.5;
    slider.setNormalisableRange (sliderRange);
    slider.setValue (value, juce::sendNotificationAsync);
    slider.setMouseDragSensitivity (60);
    slider.setEnabled (true);
    slider.onValueChange = [this]
    {
        if (onChange)
            onChange();
    };
}

QComponent::~QComponent()
{
    slider.setLookAndFeel (nullptr);
}

void QComponent::mouseEnter (const juce::MouseEvent&)
{
    hovered = true;
}

void QComponent::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
}

void QComponent::resized()
{
    slider.setBounds (getLocalBounds());
}

juce::Colour QComponent::currentColour() const
{
    if (! enabled)
        return juce::Colour (0xff808080);
    return hovered ? colour.brighter (0.4f) : colour;
}

void QComponent::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    const float n = (float) (slider.getValue() - range.start) / (range.end - range.start);

    g.setColour (currentColour());
    if (side == 0)
    {
        const float x = h + n * (w - h);
        g.fillEllipse (x - h, 0.0f, h, h);
        g.drawLine (x, h / 2.0f, w, h / 2.0f, 1.0f);
    }
    else
    {
        const float x = (w - h) * (1.0f - n);
        g.fillEllipse (x, 0.0f, h, h);
        g.drawLine (0.0f, h / 2.0f, x, h / 2.0f, 1.0f);
    }
}
} // namespace QEL
