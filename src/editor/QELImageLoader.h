#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{
/** Finds images by name: first in a registry of in-memory encoded images, then as a file in a folder.
    Decoded images are kept in JUCE's ImageCache. A process-wide singleton, deleted at shutdown. */
class QELImageLoader : public DeletedAtShutdown
{
public:
    QELImageLoader() = default;
    ~QELImageLoader() override;

    /** The first registered image whose name matches (ignoring case); otherwise the file of that name in
        folder when folder is an existing path; otherwise an empty image. The flag has no effect. */
    Image loadImage (const String& name, bool unused, const String& folder) const;

    /** Registers encoded image data (not copied: it must outlive the loader) under a name. The product
        registers nothing; tests and embedders do. */
    void registerImageData (const String& name, const void* data, int sizeInBytes);

    JUCE_DECLARE_SINGLETON (QELImageLoader, false)

private:
    struct Entry
    {
        String name;
        const void* data = nullptr;
        int size = 0;
    };

    OwnedArray<Entry> registry;

    JUCE_DECLARE_NON_COPYABLE (QELImageLoader)
};
} // namespace juce
