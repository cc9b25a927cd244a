#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <memory>

namespace QEL
{
/** One parameter's side of a control attachment: listens to the parameter and shows its value on the message
    thread, and sets it (with or without a gesture) for the control.

    A host's automation reaches parameter listeners on the audio thread. There the listener only stores the new
    value and raises a flag, both atomics; a timer on the message thread, shared by every link of the process,
    shows the latest value of each flagged link. This code posts nothing, allocates nothing and takes no lock on
    the audio thread (JUCE itself holds the parameter's listener lock around the call, which the message thread
    takes only while a listener is added or removed).
    A change made on the message thread itself (the control's own drag, a preset load) shows at once.

    Construct, use and destroy it on the message thread. Value changes are not recorded for undo. */
class ParameterLink : private juce::AudioProcessorParameter::Listener
{
public:
    /** Listens to `parameter`; `show` receives its plain (denormalised) value on the message thread. */
    ParameterLink (juce::RangedAudioParameter& parameter, std::function<void (float)> show);
    /** Stops listening; no call to `show` follows. */
    ~ParameterLink() override;

    /** Shows the parameter's current value now. */
    void showCurrentValue();
    /** Shows the latest value another thread set, if one arrived since the last call. */
    void showPendingValue();

    /** Opens a gesture, as the start of a drag does. */
    void beginGesture();
    /** Sets a plain value inside an open gesture, unless the parameter already holds it. */
    void setValueAsPartOfGesture (float plainValue);
    /** Sets a plain value wrapped in a gesture of its own, unless the parameter already holds it. */
    void setValueAsCompleteGesture (float plainValue);
    /** Closes the gesture. */
    void endGesture();

    /** The linked parameter. */
    juce::RangedAudioParameter& getParameter() const noexcept { return parameter; }

private:
    class Pump;

    void parameterValueChanged (int, float newValue) override;
    void parameterGestureChanged (int, bool) override {}

    juce::RangedAudioParameter& parameter;
    std::function<void (float)> show;
    std::atomic<float> latestValue { 0.0f };
    std::atomic<bool> pending { false };
    juce::SharedResourcePointer<Pump> pump;

    static_assert (std::atomic<float>::is_always_lock_free, "the audio thread stores values without a lock");

    JUCE_DECLARE_NON_COPYABLE (ParameterLink)
};

//==============================================================================
/** Keeps a slider and a parameter in step: the slider takes the parameter's range, default, and value text;
    a drag is one gesture; the parameter's changes from any thread move the slider. */
class SliderAttachment : private juce::Slider::Listener
{
public:
    /** Attaches `slider` to `parameter`. */
    SliderAttachment (juce::RangedAudioParameter& parameter, juce::Slider& slider);
    /** Attaches `slider` to the state's parameter with `parameterID`; an unknown ID leaves it unattached. */
    SliderAttachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::Slider& slider);
    /** Detaches from the slider and the parameter. */
    ~SliderAttachment() override;

    /** The attached parameter, or nullptr when unattached. */
    juce::RangedAudioParameter* getParameter() const noexcept
    {
        return link != nullptr ? &link->getParameter() : nullptr;
    }

private:
    void attach (juce::RangedAudioParameter& parameter);
    void show (float plainValue);
    void sliderValueChanged (juce::Slider*) override;
    void sliderDragStarted (juce::Slider*) override;
    void sliderDragEnded (juce::Slider*) override;

    juce::Slider& slider;
    std::unique_ptr<ParameterLink> link;
    bool ignoreCallbacks = false;

    JUCE_DECLARE_NON_COPYABLE (SliderAttachment)
};

//==============================================================================
/** Keeps a toggle button and a parameter in step: a click is one complete gesture (on at 1, off at 0); the
    parameter's changes from any thread set the toggle state (on from 0.5). */
class ButtonAttachment : private juce::Button::Listener
{
public:
    /** Attaches `button` to `parameter`. */
    ButtonAttachment (juce::RangedAudioParameter& parameter, juce::Button& button);
    /** Attaches `button` to the state's parameter with `parameterID`; an unknown ID leaves it unattached. */
    ButtonAttachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID, juce::Button& button);
    /** Detaches from the button and the parameter. */
    ~ButtonAttachment() override;

    /** The attached parameter, or nullptr when unattached. */
    juce::RangedAudioParameter* getParameter() const noexcept
    {
        return link != nullptr ? &link->getParameter() : nullptr;
    }

private:
    void attach (juce::RangedAudioParameter& parameter);
    void show (float plainValue);
    void buttonClicked (juce::Button*) override;

    juce::Button& button;
    std::unique_ptr<ParameterLink> link;
    bool ignoreCallbacks = false;

    JUCE_DECLARE_NON_COPYABLE (ButtonAttachment)
};

//==============================================================================
/** Keeps a combo box and a parameter in step: the box's item indexes spread evenly over the parameter's
    normalised range; a choice is one complete gesture; the parameter's changes from any thread select the
    nearest item. */
class ComboBoxAttachment : private juce::ComboBox::Listener
{
public:
    /** Attaches `box` to `parameter`; the box holds its items already. */
    ComboBoxAttachment (juce::RangedAudioParameter& parameter, juce::ComboBox& box);
    /** Attaches `box` to the state's parameter with `parameterID`; an unknown ID leaves it unattached. */
    ComboBoxAttachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID,
                        juce::ComboBox& box);
    /** Detaches from the box and the parameter. */
    ~ComboBoxAttachment() override;

    /** The attached parameter, or nullptr when unattached. */
    juce::RangedAudioParameter* getParameter() const noexcept
    {
        return link != nullptr ? &link->getParameter() : nullptr;
    }

private:
    void attach (juce::RangedAudioParameter& parameter);
    void show (float plainValue);
    void comboBoxChanged (juce::ComboBox*) override;

    juce::ComboBox& box;
    std::unique_ptr<ParameterLink> link;
    bool ignoreCallbacks = false;

    JUCE_DECLARE_NON_COPYABLE (ComboBoxAttachment)
};
} // namespace QEL
