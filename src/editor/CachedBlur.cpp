#include "CachedBlur.h"

#include "StackBlur.h"

namespace melatonin
{
int CachedBlur::effectiveRadius (int requested) noexcept
{
    return juce::jlimit (2, stackBlur::maxRadius, requested);
}

void CachedBlur::update (const juce::Image& source)
{
    if (source == lastSource)
        return;

    lastSource = source;

    if (! source.isValid())
    {
        blurredImage = {};
        return;
    }

    // convertedToFormat returns the image itself when the format already matches, so copy then.
    blurredImage =
        source.getFormat() == juce::Image::ARGB ? source.createCopy() : source.convertedToFormat (juce::Image::ARGB);
    stackBlur::argb (blurredImage, effectiveRadius (radius));
}
} // namespace melatonin
