#include "panels/ScaledFrames.h"

#include <map>
#include <tuple>

namespace tessaro::gui
{
namespace
{
    using Key = std::tuple<const void*, int, bool, int, int>;

    /** Every set in use, by picture, framing and size; an entry outlives its set only until the
        next request for the same key. */
    std::map<Key, std::weak_ptr<ScaledFrames>>& registry()
    {
        static std::map<Key, std::weak_ptr<ScaledFrames>> sets;
        return sets;
    }

    void forgetExpiredSets()
    {
        auto& sets = registry();
        for (auto i = sets.begin(); i != sets.end();)
            i = i->second.expired() ? sets.erase (i) : std::next (i);
    }

    juce::Rectangle<int> frameSizeOf (const juce::Image& source, int numFrames, bool vertical) noexcept
    {
        if (! source.isValid() || numFrames <= 0)
            return {};
        return vertical ? juce::Rectangle<int> (source.getWidth(), source.getHeight() / numFrames)
                        : juce::Rectangle<int> (source.getWidth() / numFrames, source.getHeight());
    }
} // namespace

ScaledFrames::ScaledFrames (const Picture& source, int frameCount, bool stacked, int w, int h)
    : picture (source), numFrames (juce::jmax (1, frameCount)), width (w), height (h), vertical (stacked)
{
    frames.resize ((size_t) numFrames);
}

ScaledFrames::~ScaledFrames()
{
    stopTimer();
}

ScaledFrames::Picture ScaledFrames::held (const juce::Image& image)
{
    return { image.getPixelData(), [image] { return image; } };
}

std::shared_ptr<ScaledFrames> ScaledFrames::get (const Picture& picture, int numFrames, bool vertical, int width,
                                                 int height)
{
    const Key key { picture.identity, numFrames, vertical, width, height };
    auto& sets = registry();
    if (auto existing = sets[key].lock())
        return existing;

    forgetExpiredSets();
    auto made = std::make_shared<ScaledFrames> (picture, numFrames, vertical, width, height);
    sets[key] = made;
    return made;
}

std::shared_ptr<ScaledFrames> ScaledFrames::get (const juce::Image& source, int numFrames, bool vertical, int width,
                                                 int height)
{
    return get (held (source), numFrames, vertical, width, height);
}

void ScaledFrames::timerCallback()
{
    stopTimer();
    source = {};
}

juce::Rectangle<int> ScaledFrames::sourceArea (int index) const noexcept
{
    const auto size = frameSizeOf (source, numFrames, vertical);
    return vertical ? size.withY (index * size.getHeight()) : size.withX (index * size.getWidth());
}

const juce::Image& ScaledFrames::frame (int index)
{
    auto& made = frames[(size_t) juce::jlimit (0, numFrames - 1, index)];
    if (made.isValid())
        return made;

    if (! source.isValid() && picture.load != nullptr)
        source = picture.load();
    if (! source.isValid())
        return made;

    const auto area = source.getClippedImage (sourceArea (juce::jlimit (0, numFrames - 1, index)));
    made = area.getWidth() == width && area.getHeight() == height
               ? area.createCopy() // its own pixels, so that the whole picture can go
               : area.rescaled (width, height, juce::Graphics::highResamplingQuality);

    // Every frame made: the picture is needed no more. Otherwise it waits a little for the next frame.
    if (++numMade == numFrames)
    {
        stopTimer();
        source = {};
    }
    else
    {
        startTimer (pictureHoldMs);
    }
    return made;
}

int ScaledFrames::getNumFramesMade() const noexcept
{
    return numMade;
}

void ScaledFrames::draw (juce::Graphics& g, std::shared_ptr<ScaledFrames>& cache, const juce::Image& source,
                         int numFrames, bool vertical, int index, juce::Rectangle<int> destination)
{
    if (cache == nullptr || cache->picture.identity != source.getPixelData())
        draw (g, cache, held (source), frameSizeOf (source, numFrames, vertical), numFrames, vertical, index,
              destination);
    else
        draw (g, cache, cache->picture, frameSizeOf (source, numFrames, vertical), numFrames, vertical, index,
              destination);
}

void ScaledFrames::draw (juce::Graphics& g, std::shared_ptr<ScaledFrames>& cache, const Picture& picture,
                         juce::Rectangle<int> frameSize, int numFrames, bool vertical, int index,
                         juce::Rectangle<int> destination)
{
    if (frameSize.isEmpty() || destination.isEmpty())
        return;

    const float scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    const int w = juce::roundToInt ((float) destination.getWidth() * scale);
    const int h = juce::roundToInt ((float) destination.getHeight() * scale);
    if (w <= 0 || h <= 0 || w > frameSize.getWidth() || h > frameSize.getHeight())
    {
        // Enlarging would hold more pixels than the picture has: resample it as drawn.
        const int i = juce::jlimit (0, numFrames - 1, index);
        const auto source = picture.load != nullptr ? picture.load() : juce::Image();
        g.drawImage (source, destination.getX(), destination.getY(), destination.getWidth(), destination.getHeight(),
                     vertical ? 0 : i * frameSize.getWidth(), vertical ? i * frameSize.getHeight() : 0,
                     frameSize.getWidth(), frameSize.getHeight());
        return;
    }

    if (cache == nullptr || cache->picture.identity != picture.identity || cache->numFrames != numFrames ||
        cache->vertical != vertical || cache->width != w || cache->height != h)
        cache = get (picture, numFrames, vertical, w, h);

    // In device pixels, the frame lands on whole pixels: a copy, never a resample.
    juce::Graphics::ScopedSaveState state (g);
    g.addTransform (juce::AffineTransform::scale (1.0f / scale));
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    g.drawImageAt (cache->frame (index), juce::roundToInt ((float) destination.getX() * scale),
                   juce::roundToInt ((float) destination.getY() * scale));
}
} // namespace tessaro::gui
