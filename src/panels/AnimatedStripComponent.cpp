#include "panels/AnimatedStripComponent.h"

namespace tessaro::gui
{
AnimatedStripComponent::AnimatedStripComponent (const juce::Image& image, int frames, Orientation stripOrientation,
                                                int fps)
    : strip (image), numFrames (frames), framesPerSecond (fps), orientation (stripOrientation)
{
    if (strip.isValid() && numFrames > 0)
    {
        const bool horizontal = orientation == Orientation::horizontal;
        frameWidth = horizontal ? strip.getWidth() / numFrames : strip.getWidth();
        frameHeight = horizontal ? strip.getHeight() : strip.getHeight() / numFrames;
    }
    setOpaque (false);
    if (framesPerSecond > 0)
        startTimer (1000 / framesPerSecond);
}

AnimatedStripComponent::~AnimatedStripComponent()
{
    stopTimer();
}

void AnimatedStripComponent::setCurrentFrame (int frame)
{
    currentFrame = frame;
    repaint();
}

void AnimatedStripComponent::paint (juce::Graphics& g)
{
    if (! strip.isValid() || frameWidth <= 0 || frameHeight <= 0)
        return;
    const bool horizontal = orientation == Orientation::horizontal;
    g.drawImage (strip, 0, 0, getWidth(), getHeight(), horizontal ? currentFrame * frameWidth : 0,
                 horizontal ? 0 : currentFrame * frameHeight, frameWidth, frameHeight);
}

void AnimatedStripComponent::step()
{
    if (! playing || numFrames < 2)
        return;

    currentFrame += direction == 0 ? 1 : -1;
    if (currentFrame < 0 || currentFrame >= numFrames)
    {
        const int first = direction == 0 ? 0 : numFrames - 1;
        const int last = direction == 0 ? numFrames - 1 : 0;
        if (looping)
            currentFrame = first;
        else
        {
            currentFrame = last;
            playing = false;
            if (onFinished)
                onFinished();
        }
    }
    repaint();
}
} // namespace tessaro::gui
