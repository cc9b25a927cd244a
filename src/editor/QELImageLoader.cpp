#include "QELImageLoader.h"

namespace juce
{
JUCE_IMPLEMENT_SINGLETON (QELImageLoader)

QELImageLoader::~QELImageLoader()
{
    clearSingletonInstance();
    for (int i = registry.size(); --i >= 0;)
        registry.remove (i);
}

void QELImageLoader::registerImageData (const String& name, const void* data, int sizeInBytes)
{
    registry.add (new Entry { name, data, sizeInBytes });
}

Image QELImageLoader::loadImage (const String& name, bool, const String& folder) const
{
    for (auto* entry : registry)
    {
        if (! entry->name.equalsIgnoreCase (name))
            continue;

        const auto key = (int64) (pointer_sized_int) entry->data;
        auto cached = ImageCache::getFromHashCode (key);
        if (cached.isValid())
            return cached;

        if (entry->data == nullptr || entry->size <= 4)
            return {};

        auto image = ImageFileFormat::loadFrom (entry->data, (size_t) entry->size);
        if (image.isValid())
            ImageCache::addImageToCache (image, key);
        return image;
    }

    if (folder.isNotEmpty() && File::isAbsolutePath (folder) && File (folder).exists())
        return ImageCache::getFromFile (File (folder).getChildFile (name));

    return {};
}
} // namespace juce
