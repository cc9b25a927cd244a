#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace tessaro::gui
{
/** Plays a film strip: one picture holding every frame side by side (or stacked), stepped by
    a timer that runs for the component's whole life and does nothing while stopped. */
class AnimatedStripComponent : public juce::Component, private juce::Timer
{
public:
    /** How the frames lie in the picture. */
    enum class Orientation
    {
        horizontal,
        vertical
    };

    /** Takes the picture and its frame count, and starts the timer at framesPerSecond. */
    AnimatedStripComponent (const juce::Image& strip, int numFrames, Orientation orientation, int framesPerSecond);
    ~AnimatedStripComponent() override;

    /** Starts or stops stepping; does not repaint. */
    void setPlaying (bool shouldPlay) noexcept { playing = shouldPlay; }
    /** Shows the given frame and repaints. */
    void setCurrentFrame (int frame);
    /** Wraps at the ends instead of stopping. */
    void setLooping (bool shouldLoop) noexcept { looping = shouldLoop; }
    /** 0 steps forwards, any other value backwards. */
    void setDirection (int newDirection) noexcept { direction = newDirection; }

    /** True while the timer steps frames. */
    bool isPlaying() const noexcept { return playing; }
    /** The frame shown. */
    int getCurrentFrame() const noexcept { return currentFrame; }
    /** The size of one frame in the picture (0 x 0 for an invalid picture). */
    juce::Rectangle<int> getFrameSize() const noexcept { return { frameWidth, frameHeight }; }

    /** The current frame stretched over the component. */
    void paint (juce::Graphics& g) override;

    /** One timer tick: a step, a wrap or a stop, and a repaint while playing. */
    void step();

    /** Called when a run that does not loop reaches its end. */
    std::function<void()> onFinished;

private:
    void timerCallback() override { step(); }

    juce::Image strip;
    int frameWidth = 0, frameHeight = 0;
    int numFrames = 0;
    int currentFrame = 0;
    int framesPerSecond = 0;
    Orientation orientation = Orientation::horizontal;
    int direction = 0;
    bool looping = false;
    bool playing = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AnimatedStripComponent)
};
} // namespace tessaro::gui
