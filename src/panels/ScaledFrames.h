#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

namespace tessaro::gui
{
/** The frames of a picture (equal areas side by side or stacked; one frame for a still) resampled
    once to the pixel size they are drawn at, so that painting them is a plain copy instead of a
    rescale on every repaint. One set exists per picture, framing and size, shared by every
    component that draws it while any of them holds it; frames are made on first use. The whole
    picture is held only while frames are being made: once every frame exists, or after a short pause
    without a new one, the set lets it go and loads it again if a frame is still missing. Message
    thread only. */
class ScaledFrames : private juce::Timer
{
public:
    /** A picture the set can load again whenever it needs the whole of it. */
    struct Picture
    {
        /** The same for every request of the same picture (for an embedded one, its data). */
        const void* identity = nullptr;
        /** The whole picture, decoded or shared with whoever else holds it. */
        std::function<juce::Image()> load;
    };

    /** A picture that is already decoded and held by the caller. */
    static Picture held (const juce::Image& image);

    /** The shared set for these frames of the picture at width x height pixels. */
    static std::shared_ptr<ScaledFrames> get (const Picture& picture, int numFrames, bool vertical, int width,
                                              int height);
    /** The same for a picture held by the caller. */
    static std::shared_ptr<ScaledFrames> get (const juce::Image& source, int numFrames, bool vertical, int width,
                                              int height);

    /** Draws frame `index` of source stretched over `destination` (in g's coordinates). When g maps
        the destination to fewer pixels than a frame has, the frame comes from the shared set held in
        `cache` (replaced when the drawn size changed) and is copied pixel for pixel; otherwise it
        is resampled from source, as Graphics::drawImage does. */
    static void draw (juce::Graphics& g, std::shared_ptr<ScaledFrames>& cache, const juce::Image& source, int numFrames,
                      bool vertical, int index, juce::Rectangle<int> destination);
    /** The same for a picture loaded only when needed, whose whole frames are `frameSize` pixels. */
    static void draw (juce::Graphics& g, std::shared_ptr<ScaledFrames>& cache, const Picture& picture,
                      juce::Rectangle<int> frameSize, int numFrames, bool vertical, int index,
                      juce::Rectangle<int> destination);

    /** Frame `index` (clamped to the frames there are) at the set's size; made on first use. */
    const juce::Image& frame (int index);

    /** The pixel size of every frame of the set. */
    juce::Rectangle<int> getFrameSize() const noexcept { return { width, height }; }
    /** How many frames the set holds once all are made: for tests and benchmarks. */
    int getNumFramesMade() const noexcept;

    /** True while the set holds the whole picture: for tests and benchmarks. */
    bool holdsPicture() const noexcept { return source.isValid(); }

    /** Use get(). */
    ScaledFrames (const Picture& picture, int numFrames, bool vertical, int width, int height);
    /** Stops the release timer. */
    ~ScaledFrames() override;

    /** How long the whole picture is kept after the last frame was made while others are missing. */
    static constexpr int pictureHoldMs = 500;

private:
    juce::Rectangle<int> sourceArea (int index) const noexcept;
    void timerCallback() override;

    Picture picture;
    juce::Image source; // the whole picture, only while frames are being made
    int numFrames, width, height;
    bool vertical;
    int numMade = 0;
    std::vector<juce::Image> frames;
};
} // namespace tessaro::gui
