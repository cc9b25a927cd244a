#include "QELTempoBoxComponent.h"

namespace juce
{
QELTempoBoxComponent::QELTempoBoxComponent()
{
    image.setName ({});
    image.addMouseListener (this, false);
    image.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (image);

    label.setText ("120", dontSendNotification);
    label.setJustificationType (Justification::centred);
    addAndMakeVisible (label);

    sliderLookAndFeel = std::make_unique<QELLookAndFeel> ("", 0);
    slider.initialize (this, sliderLookAndFeel.get(), Slider::RotaryVerticalDrag);
    slider.setPopupDisplayEnabled (false, false, nullptr, 2000);
    slider.setRange (1.0, 960.0, 1.0);
    slider.setValue (120.0, sendNotificationAsync);
    slider.onValueChange = [this] { tempoChanged(); };
}

QELTempoBoxComponent::~QELTempoBoxComponent()
{
    image.removeMouseListener (this);
    slider.setLookAndFeel (nullptr);
}

void QELTempoBoxComponent::tempoChanged()
{
    const double value = slider.getValue();
    label.setText (String ((int) value), sendNotification);
    if (listener != nullptr)
        listener->onTempoChange ((float) value);
    if (tempoCallback)
        tempoCallback ((float) value);
}

void QELTempoBoxComponent::mouseDoubleClick (const MouseEvent& e)
{
    if (e.eventComponent == this)
        slider.mouseDoubleClick (e);
}

void QELTempoBoxComponent::resized()
{
    const float s = scale;
    const auto picture = image.getImage();
    const float iw = picture.isValid() ? (float) picture.getWidth() : 0.0f;
    const float ih = picture.isValid() ? (float) picture.getHeight() : 0.0f;

    image.setBounds (0, roundToInt (-1.0f * s), roundToInt (iw * s), roundToInt (ih * s));
    const Rectangle<int> number (roundToInt (iw * s), roundToInt (17.0f * s), roundToInt (50.0f * s),
                                 roundToInt (30.0f * s));
    label.setBounds (number);
    slider.setBounds (number);

    const Font font (0.15f * (float) getWidth());
    if (label.getFont() != font)
        label.setFont (font);
}
} // namespace juce
