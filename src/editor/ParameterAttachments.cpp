#include "editor/ParameterAttachments.h"

#include <algorithm>
#include <vector>

namespace QEL
{
//==============================================================================
/** The message-thread timer that shows what other threads left in the links: one for every link of the process,
    alive while any link is. */
class ParameterLink::Pump : private juce::Timer
{
public:
    Pump() { startTimer (intervalMs); }
    ~Pump() override { stopTimer(); }

    void add (ParameterLink& link) { links.push_back (&link); }

    void remove (ParameterLink& link)
    {
        const auto found = std::find (links.begin(), links.end(), &link);
        if (found == links.end())
            return;
        if ((size_t) (found - links.begin()) < next)
            --next; // the walk in progress goes on with the link that moved into this place
        links.erase (found);
    }

    /** Any thread: some link holds a value to show. */
    void markPending() noexcept { anyPending.store (true, std::memory_order_release); }

    /** Message thread: shows the pending value of every link. Links may come and go while one shows its value
        (a control's listener can close a panel). */
    void showPendingValues()
    {
        if (! anyPending.exchange (false, std::memory_order_acq_rel))
            return;
        for (next = 0; next < links.size();)
            links[next++]->showPendingValue();
    }

private:
    static constexpr int intervalMs = 10;

    void timerCallback() override { showPendingValues(); }

    std::vector<ParameterLink*> links;
    size_t next = 0; // the walk's position in links
    std::atomic<bool> anyPending { false };

    JUCE_DECLARE_NON_COPYABLE (Pump)
};

//==============================================================================
ParameterLink::ParameterLink (juce::RangedAudioParameter& linkedParameter, std::function<void (float)> showValue)
    : parameter (linkedParameter), show (std::move (showValue))
{
    latestValue.store (parameter.getValue(), std::memory_order_relaxed);
    parameter.addListener (this);
    pump->add (*this);
}

ParameterLink::~ParameterLink()
{
    // Removing the listener waits for a call in progress on the audio thread (JUCE holds the parameter's
    // listener lock around it), so none runs once this returns.
    parameter.removeListener (this);
    pump->remove (*this);
}

// JUCE 7.0.5 calls parameter listeners on the thread that changed the value: under a host's automation that is
// the audio thread (the VST3 wrapper's process call). Its own attachments post a message from here; this one
// stores the value and raises flags, and the pump shows it. On the message thread the value shows at once, so a
// control that set it sees it snapped back to the parameter's range before its next event.
void ParameterLink::parameterValueChanged (int, float newValue)
{
    latestValue.store (newValue, std::memory_order_relaxed);

    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        pending.store (false, std::memory_order_relaxed);
        if (show)
            show (parameter.convertFrom0to1 (newValue));
        return;
    }

    pending.store (true, std::memory_order_release);
    pump->markPending();
}

void ParameterLink::showCurrentValue()
{
    const float value = parameter.getValue();
    latestValue.store (value, std::memory_order_relaxed);
    pending.store (false, std::memory_order_relaxed);
    if (show)
        show (parameter.convertFrom0to1 (value));
}

void ParameterLink::showPendingValue()
{
    if (pending.exchange (false, std::memory_order_acquire) && show)
        show (parameter.convertFrom0to1 (latestValue.load (std::memory_order_relaxed)));
}

void ParameterLink::beginGesture()
{
    parameter.beginChangeGesture();
}

void ParameterLink::setValueAsPartOfGesture (float plainValue)
{
    const float normalised = parameter.convertTo0to1 (plainValue);
    if (parameter.getValue() != normalised)
        parameter.setValueNotifyingHost (normalised);
}

void ParameterLink::setValueAsCompleteGesture (float plainValue)
{
    const float normalised = parameter.convertTo0to1 (plainValue);
    if (parameter.getValue() == normalised)
        return;

    beginGesture();
    parameter.setValueNotifyingHost (normalised);
    endGesture();
}

void ParameterLink::endGesture()
{
    parameter.endChangeGesture();
}

//==============================================================================
namespace
{
    /** The parameter's range for a slider, keeping the parameter's own mapping when the slider moves its ends. */
    juce::NormalisableRange<double> sliderRangeOf (const juce::RangedAudioParameter& parameter)
    {
        auto range = parameter.getNormalisableRange();

        auto from0To1 = [range] (double start, double end, double normalised) mutable
        {
            range.start = (float) start;
            range.end = (float) end;
            return (double) range.convertFrom0to1 ((float) normalised);
        };
        auto to0To1 = [range] (double start, double end, double plain) mutable
        {
            range.start = (float) start;
            range.end = (float) end;
            return (double) range.convertTo0to1 ((float) plain);
        };
        auto snap = [range] (double start, double end, double plain) mutable
        {
            range.start = (float) start;
            range.end = (float) end;
            return (double) range.snapToLegalValue ((float) plain);
        };

        juce::NormalisableRange<double> result { (double) range.start, (double) range.end, std::move (from0To1),
                                                 std::move (to0To1), std::move (snap) };
        result.interval = range.interval;
        result.skew = range.skew;
        result.symmetricSkew = range.symmetricSkew;
        return result;
    }
} // namespace

SliderAttachment::SliderAttachment (juce::RangedAudioParameter& parameter, juce::Slider& attachedSlider)
    : slider (attachedSlider)
{
    attach (parameter);
}

SliderAttachment::SliderAttachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID,
                                    juce::Slider& attachedSlider)
    : slider (attachedSlider)
{
    if (auto* parameter = state.getParameter (parameterID))
        attach (*parameter);
}

SliderAttachment::~SliderAttachment()
{
    if (link != nullptr)
        slider.removeListener (this);
}

void SliderAttachment::attach (juce::RangedAudioParameter& parameter)
{
    link = std::make_unique<ParameterLink> (parameter, [this] (float value) { show (value); });

    slider.valueFromTextFunction = [&parameter] (const juce::String& text)
    { return (double) parameter.convertFrom0to1 (parameter.getValueForText (text)); };
    slider.textFromValueFunction = [&parameter] (double value)
    { return parameter.getText (parameter.convertTo0to1 ((float) value), 0); };
    slider.setDoubleClickReturnValue (true, parameter.convertFrom0to1 (parameter.getDefaultValue()));
    slider.setNormalisableRange (sliderRangeOf (parameter));

    link->showCurrentValue();
    slider.valueChanged();
    slider.addListener (this);
}

void SliderAttachment::show (float plainValue)
{
    const juce::ScopedValueSetter<bool> quiet (ignoreCallbacks, true);
    slider.setValue (plainValue, juce::sendNotificationSync);
}

void SliderAttachment::sliderValueChanged (juce::Slider*)
{
    if (! ignoreCallbacks)
        link->setValueAsPartOfGesture ((float) slider.getValue());
}

void SliderAttachment::sliderDragStarted (juce::Slider*)
{
    link->beginGesture();
}

void SliderAttachment::sliderDragEnded (juce::Slider*)
{
    link->endGesture();
}

//==============================================================================
ButtonAttachment::ButtonAttachment (juce::RangedAudioParameter& parameter, juce::Button& attachedButton)
    : button (attachedButton)
{
    attach (parameter);
}

ButtonAttachment::ButtonAttachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID,
                                    juce::Button& attachedButton)
    : button (attachedButton)
{
    if (auto* parameter = state.getParameter (parameterID))
        attach (*parameter);
}

ButtonAttachment::~ButtonAttachment()
{
    if (link != nullptr)
        button.removeListener (this);
}

void ButtonAttachment::attach (juce::RangedAudioParameter& parameter)
{
    link = std::make_unique<ParameterLink> (parameter, [this] (float value) { show (value); });
    link->showCurrentValue();
    button.addListener (this);
}

void ButtonAttachment::show (float plainValue)
{
    const juce::ScopedValueSetter<bool> quiet (ignoreCallbacks, true);
    button.setToggleState (plainValue >= 0.5f, juce::sendNotificationSync);
}

void ButtonAttachment::buttonClicked (juce::Button*)
{
    if (! ignoreCallbacks)
        link->setValueAsCompleteGesture (button.getToggleState() ? 1.0f : 0.0f);
}

//==============================================================================
ComboBoxAttachment::ComboBoxAttachment (juce::RangedAudioParameter& parameter, juce::ComboBox& attachedBox)
    : box (attachedBox)
{
    attach (parameter);
}

ComboBoxAttachment::ComboBoxAttachment (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID,
                                        juce::ComboBox& attachedBox)
    : box (attachedBox)
{
    if (auto* parameter = state.getParameter (parameterID))
        attach (*parameter);
}

ComboBoxAttachment::~ComboBoxAttachment()
{
    if (link != nullptr)
        box.removeListener (this);
}

void ComboBoxAttachment::attach (juce::RangedAudioParameter& parameter)
{
    link = std::make_unique<ParameterLink> (parameter, [this] (float value) { show (value); });
    link->showCurrentValue();
    box.addListener (this);
}

void ComboBoxAttachment::show (float plainValue)
{
    const float normalised = link->getParameter().convertTo0to1 (plainValue);
    const int index = juce::roundToInt (normalised * (float) (box.getNumItems() - 1));
    if (index == box.getSelectedItemIndex())
        return;

    const juce::ScopedValueSetter<bool> quiet (ignoreCallbacks, true);
    box.setSelectedItemIndex (index, juce::sendNotificationSync);
}

void ComboBoxAttachment::comboBoxChanged (juce::ComboBox*)
{
    if (ignoreCallbacks)
        return;

    const int numItems = box.getNumItems();
    const float normalised = numItems > 1 ? (float) box.getSelectedItemIndex() / (float) (numItems - 1) : 0.0f;
    link->setValueAsCompleteGesture (link->getParameter().convertFrom0to1 (normalised));
}
} // namespace QEL
