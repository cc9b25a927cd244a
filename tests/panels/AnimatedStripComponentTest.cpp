#include "panels/AnimatedStripComponent.h"

#include <gtest/gtest.h>

using tessaro::gui::AnimatedStripComponent;

namespace
{
/*  A 30 x 10 strip of three 10 x 10 frames: red, green, blue. */
juce::Image threeFrames()
{
    juce::Image image (juce::Image::ARGB, 30, 10, true, juce::SoftwareImageType());
    const juce::Colour colours[] = { juce::Colours::red, juce::Colours::lime, juce::Colours::blue };
    for (int i = 0; i < 3; ++i)
        image.clear ({ i * 10, 0, 10, 10 }, colours[i]);
    return image;
}

juce::Colour shown (AnimatedStripComponent& strip)
{
    juce::Image image (juce::Image::ARGB, 20, 20, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    strip.paintEntireComponent (g, true);
    return image.getPixelAt (10, 10);
}
} // namespace

TEST (AnimatedStrip, ShowsItsFrameStretchedAndLoopsForwards)
{
    AnimatedStripComponent strip (threeFrames(), 3, AnimatedStripComponent::Orientation::horizontal, 25);
    strip.setSize (20, 20);
    strip.setLooping (true);
    EXPECT_EQ (shown (strip), juce::Colours::red);

    strip.setPlaying (true);
    strip.step();
    EXPECT_EQ (shown (strip), juce::Colours::lime);
    strip.step();
    strip.step();
    EXPECT_EQ (strip.getCurrentFrame(), 0);
    EXPECT_TRUE (strip.isPlaying());
}

TEST (AnimatedStrip, WithoutLoopingStopsAtTheEndOnceInEitherDirection)
{
    for (int direction : { 0, 1 })
    {
        SCOPED_TRACE (direction);
        AnimatedStripComponent strip (threeFrames(), 3, AnimatedStripComponent::Orientation::horizontal, 25);
        int finished = 0;
        strip.onFinished = [&] { ++finished; };
        strip.setDirection (direction);
        strip.setCurrentFrame (direction == 0 ? 0 : 2);
        strip.setPlaying (true);
        for (int i = 0; i < 5; ++i)
            strip.step();
        EXPECT_EQ (strip.getCurrentFrame(), direction == 0 ? 2 : 0);
        EXPECT_FALSE (strip.isPlaying());
        EXPECT_EQ (finished, 1);
    }
}

TEST (AnimatedStrip, FrameSizesFollowTheOrientationAndAnInvalidPictureHasNone)
{
    AnimatedStripComponent across (threeFrames(), 3, AnimatedStripComponent::Orientation::horizontal, 25);
    EXPECT_EQ (across.getFrameSize(), juce::Rectangle<int> (10, 10));
    AnimatedStripComponent stacked (threeFrames(), 2, AnimatedStripComponent::Orientation::vertical, 25);
    EXPECT_EQ (stacked.getFrameSize(), juce::Rectangle<int> (30, 5));

    AnimatedStripComponent empty (juce::Image(), 90, AnimatedStripComponent::Orientation::horizontal, 25);
    empty.setSize (20, 20);
    EXPECT_EQ (empty.getFrameSize(), juce::Rectangle<int>());
    EXPECT_EQ (shown (empty), juce::Colours::transparentBlack);
}

TEST (AnimatedStrip, OneFrameNeverStepsAndAStoppedStripStaysPut)
{
    AnimatedStripComponent single (threeFrames(), 1, AnimatedStripComponent::Orientation::horizontal, 25);
    single.setPlaying (true);
    single.step();
    EXPECT_EQ (single.getCurrentFrame(), 0);

    AnimatedStripComponent stopped (threeFrames(), 3, AnimatedStripComponent::Orientation::horizontal, 25);
    stopped.setCurrentFrame (1);
    stopped.step();
    EXPECT_EQ (stopped.getCurrentFrame(), 1);
}

TEST (AnimatedStrip, ItsTimerRunsOnlyWhilePlaying)
{
    AnimatedStripComponent strip (threeFrames(), 3, AnimatedStripComponent::Orientation::horizontal, 25);
    EXPECT_FALSE (strip.isTicking());
    strip.setPlaying (true);
    EXPECT_TRUE (strip.isTicking());
    strip.setPlaying (false);
    EXPECT_FALSE (strip.isTicking());

    strip.setPlaying (true); // not looping: reaching the end stops the timer too
    for (int i = 0; i < 3; ++i)
        strip.step();
    EXPECT_FALSE (strip.isTicking());

    AnimatedStripComponent single (threeFrames(), 1, AnimatedStripComponent::Orientation::horizontal, 25);
    single.setPlaying (true);
    EXPECT_FALSE (single.isTicking());
}
