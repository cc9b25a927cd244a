#pragma once

#include "editor/InvisibleSlider.h"
#include "editor/QELLookAndFeel.h"

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

namespace QEL
{
/** The small Q handle beside a selected EQ band: a dot on a line, dragged through an invisible slider that
    covers it. It reports value changes through onChange and knows nothing of bands or parameters.

    Left handle (side 0): the dot moves from the outer (left) end at the start of the range to the band side
    (right) at its end; the right handle mirrors it, its slider inverted so dragging outwards widens both. */
class QComponent : public juce::Component
{
public:
    /** Builds the handle for a Q range (the slider takes the range's ends and interval with skew 0.5). */
    explicit QComponent (juce::NormalisableRange<float> qRange);
    ~QComponent() override;

    /** Hover look on. */
    void mouseEnter (const juce::MouseEvent&) override;
    /** Hover look off. */
    void mouseExit (const juce::MouseEvent&) override;
    /** The dot and its line for the slider's value. */
    void paint (juce::Graphics& g) override;
    /** The slider covers the whole handle. */
    void resized() override;

    /** The colour the handle draws in now: grey when disabled, brightened while hovered. */
    juce::Colour currentColour() const;

    /** Called whenever the slider's value changes. */
    std::function<void()> onChange;
    /** Initial slider value. */
    float value = 0.707f;
    /** The Q range. */
    juce::NormalisableRange<float> range;
    /** The slider's look-and-feel; declared before the slider, so the slider goes first. */
    std::unique_ptr<juce::QELLookAndFeel> lookAndFeel;
    /** The drag surface. */
    juce::InvisibleSlider slider;
    /** Dot and line colour. */
    juce::Colour colour { 0xff328cb4 };
    /** Pointer over the handle. */
    bool hovered = false;
    /** 0 left handle, 1 right handle. */
    int side = 0;
    /** The band is enabled (grey when not). */
    bool enabled = true;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QComponent)
};
} // namespace QEL
