#include "BubbleMessageComponent.h"

namespace QEL
{
BubbleMessageComponent::BubbleMessageComponent() = default;

BubbleMessageComponent::~BubbleMessageComponent()
{
    stopTimer();
}

juce::int64 BubbleMessageComponent::now() const
{
    return clock ? clock() : (juce::int64) juce::Time::getMillisecondCounter();
}

void BubbleMessageComponent::getContentSize (int& width, int& height)
{
    width = (int) (textLayout.getWidth() + 20.0f);
    height = (int) (textLayout.getHeight() + 14.0f);
}

void BubbleMessageComponent::paintContent (juce::Graphics& g, int width, int height)
{
    g.setColour (findColour (juce::TooltipWindow::textColourId, false));
    textLayout.draw (g, { 10.0f, 7.0f, (float) width - 20.0f, (float) height - 14.0f });
}

void BubbleMessageComponent::timerCallback()
{
    if (juce::Desktop::getInstance().getMouseButtonClickCounter() > mouseClickCounter)
    {
        stopTimer();
        setVisible (false);
    }
    else if (expiryTime != 0 && now() > expiryTime)
    {
        stopTimer();
        if (isShowing() && fadeOutLengthMs > 0)
            juce::Desktop::getInstance().getAnimator().fadeOut (this, fadeOutLengthMs);
        setVisible (false);
    }
    else
    {
        return;
    }

    if (deleteAfterUse)
        delete this;
}
} // namespace QEL
