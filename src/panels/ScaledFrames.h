#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

namespace tessaro::gui
{
/** The frames of a picture (equal areas side by side or stacked; one frame for a still) resampled
    once to the pixel size they are drawn at, so that painting them is a plain copy instead of a
    rescale on every repaint. One set exists per picture, framing and size, shared by every
    component that draws it while any of them holds it; frames are made on first use. Message
    thread only. */
class ScaledFrames
{
public:
    /** The shared set for these frames of source at width x height pixels. */
    static std::shared_ptr<ScaledFrames> get (const juce::Image& source, int numFrames, bool vertical, int width,
                                              int height);

    /** Draws frame `index` of source stretched over `destination` (in g's coordinates). When g maps
        the destination to fewer pixels than a frame has, the frame comes from the shared set held in
        `cache` (replaced when the drawn size changed) and is copied pixel for pixel; otherwise it
        is resampled from source, as Graphics::drawImage does. */
    static void draw (juce::Graphics& g, std::shared_ptr<ScaledFrames>& cache, const juce::Image& source, int numFrames,
                      bool vertical, int index, juce::Rectangle<int> destination);

    /** Frame `index` (clamped to the frames there are) at the set's size; made on first use. */
    const juce::Image& frame (int index);

    /** The pixel size of every frame of the set. */
    juce::Rectangle<int> getFrameSize() const noexcept { return { width, height }; }
    /** How many frames the set holds once all are made: for tests and benchmarks. */
    int getNumFramesMade() const noexcept;

    /** Use get(). */
    ScaledFrames (const juce::Image& source, int numFrames, bool vertical, int width, int height);

private:
    juce::Rectangle<int> sourceArea (int index) const noexcept;

    juce::Image source; // held, so that the picture outlives the frames made from it
    int numFrames, width, height;
    bool vertical;
    std::vector<juce::Image> frames;
};
} // namespace tessaro::gui
