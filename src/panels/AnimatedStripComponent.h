#pragma once

#include "panels/ScaledFrames.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace tessaro::gui
{
/** Plays a film strip: one picture holding every frame side by side (or stacked), stepped by
    a timer that runs only while the strip plays. Frames are drawn from the shared copies scaled
    to the drawn size (ScaledFrames), so a step repaints the strip's own bounds with a copy. */
class AnimatedStripComponent : public juce::Component, private juce::Timer
{
public:
    /** How the frames lie in the picture. */
    enum class Orientation
    {
        horizontal,
        vertical
    };

    /** Takes the picture, its frame count and the rate at which it plays; stopped at frame 0. */
    AnimatedStripComponent (const juce::Image& strip, int numFrames, Orientation orientation, int framesPerSecond);
    /** The same for a picture loaded only while frames at the drawn size are being made from it: the
        component keeps its frame size, not its pixels. */
    AnimatedStripComponent (const ScaledFrames::Picture& strip, int numFrames, Orientation orientation,
                            int framesPerSecond);
    ~AnimatedStripComponent() override;

    /** Starts or stops stepping (and the timer with it); does not repaint. */
    void setPlaying (bool shouldPlay);
    /** Shows the given frame and repaints. */
    void setCurrentFrame (int frame);
    /** Wraps at the ends instead of stopping. */
    void setLooping (bool shouldLoop) noexcept { looping = shouldLoop; }
    /** 0 steps forwards, any other value backwards. */
    void setDirection (int newDirection) noexcept { direction = newDirection; }

    /** True while the timer steps frames. */
    bool isPlaying() const noexcept { return playing; }
    /** True while the timer runs: only while playing. */
    bool isTicking() const noexcept { return isTimerRunning(); }
    /** The frame shown. */
    int getCurrentFrame() const noexcept { return currentFrame; }
    /** The picture holding every frame (loaded again if nobody holds it). */
    juce::Image getPicture() const { return strip.load != nullptr ? strip.load() : juce::Image(); }
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

    ScaledFrames::Picture strip;
    int frameWidth = 0, frameHeight = 0;
    int numFrames = 0;
    int currentFrame = 0;
    int framesPerSecond = 0;
    Orientation orientation = Orientation::horizontal;
    int direction = 0;
    bool looping = false;
    bool playing = false;
    std::shared_ptr<ScaledFrames> scaledFrames;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AnimatedStripComponent)
};
} // namespace tessaro::gui
