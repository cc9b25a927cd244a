#include "panels/AnimatedStripComponent.h"

namespace tessaro::gui
{
AnimatedStripComponent::AnimatedStripComponent (const juce::Image& image, int frames, Orientation stripOrientation,
                                                int fps)
    : AnimatedStripComponent (ScaledFrames::held (image), frames, stripOrientation, fps)
{
}

AnimatedStripComponent::AnimatedStripComponent (const ScaledFrames::Picture& picture, int frames,
                                                Orientation stripOrientation, int fps)
    : strip (picture), numFrames (frames), framesPerSecond (fps), orientation (stripOrientation)
{
    const auto image = getPicture();
    if (image.isValid() && numFrames > 0)
    {
        const bool horizontal = orientation == Orientation::horizontal;
        frameWidth = horizontal ? image.getWidth() / numFrames : image.getWidth();
        frameHeight = horizontal ? image.getHeight() : image.getHeight() / numFrames;
    }
    setOpaque (false);
}

AnimatedStripComponent::~AnimatedStripComponent()
{
    stopTimer();
}

void AnimatedStripComponent::setPlaying (bool shouldPlay)
{
    playing = shouldPlay;
    if (! playing || framesPerSecond <= 0 || numFrames < 2)
        stopTimer();
    else if (! isTimerRunning()) // a running timer keeps its beat
        startTimer (1000 / framesPerSecond);
}

void AnimatedStripComponent::setCurrentFrame (int frame)
{
    currentFrame = frame;
    repaint();
}

void AnimatedStripComponent::paint (juce::Graphics& g)
{
    if (frameWidth <= 0 || frameHeight <= 0)
        return;
    ScaledFrames::draw (g, scaledFrames, strip, getFrameSize(), numFrames, orientation == Orientation::vertical,
                        currentFrame, getLocalBounds());
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
            setPlaying (false);
            if (onFinished)
                onFinished();
        }
    }
    repaint();
}
} // namespace tessaro::gui
