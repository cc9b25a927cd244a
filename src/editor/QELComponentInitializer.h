#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace juce
{
class QELSlider;
class QELSimpleImageButton;
} // namespace juce

/** The two set-up hooks every panel builds its sliders and image buttons with; the editor
    sets them, panels receive the structure as a raw pointer. */
struct QELComponentInitializer
{
    /** Sets up a parameter slider inside parent with a look-and-feel and a style. */
    std::function<void (juce::QELSlider&, juce::Component*, juce::LookAndFeel*, juce::Slider::SliderStyle)> sliderSetup;

    /** Sets up an image button inside parent with its normal, over and down images. */
    std::function<void (juce::QELSimpleImageButton&, juce::Component*, juce::Image&, juce::Image&, juce::Image&)>
        buttonSetup;
};
