#pragma once

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>

namespace QEL
{
/** The editor's hint bubble: shows a text layout until its expiry time, then fades out, or hides at once
    after a counted mouse click. */
class BubbleMessageComponent : public juce::BubbleComponent, public juce::Timer
{
public:
    BubbleMessageComponent();
    ~BubbleMessageComponent() override;

    /** The layout's size + (20, 14), truncated. */
    void getContentSize (int& width, int& height) override;
    /** The layout in (10, 7, w - 20, h - 14), in the bubble's TooltipWindow text colour. */
    void paintContent (juce::Graphics& g, int width, int height) override;
    /** Hides after a click beyond mouseClickCounter, or fades out once expiryTime has passed. */
    void timerCallback() override;

    int fadeOutLengthMs = 150;
    int mouseClickCounter = 0;
    juce::TextLayout textLayout;
    juce::int64 expiryTime = 0;
    bool deleteAfterUse = false;

    /** Milliseconds for the expiry; Time::getMillisecondCounter when empty. */
    std::function<juce::int64()> clock;

private:
    juce::int64 now() const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BubbleMessageComponent)
};
} // namespace QEL
