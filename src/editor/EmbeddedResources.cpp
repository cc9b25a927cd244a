#include "editor/EmbeddedResources.h"

#include <BinaryData.h>

namespace QEL
{
juce::Typeface::Ptr EmbeddedResources::typeface (const char* data, int size)
{
    if (data == nullptr || size <= 0)
        return nullptr;
    return juce::Typeface::createSystemTypefaceFor (data, (size_t) size);
}

juce::Image EmbeddedResources::image (const char* data, int size)
{
    return juce::ImageCache::getFromMemory (data, size);
}

std::unique_ptr<juce::Drawable> EmbeddedResources::drawable (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}

juce::Typeface::Ptr EmbeddedResources::montserratRegular()
{
    return typeface (BinaryData::MontserratRegular_ttf, BinaryData::MontserratRegular_ttfSize);
}

juce::Typeface::Ptr EmbeddedResources::montserratBold()
{
    return typeface (BinaryData::MontserratBold_ttf, BinaryData::MontserratBold_ttfSize);
}
} // namespace QEL
