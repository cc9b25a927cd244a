#include "presets/QELMidiMappingsModel.h"

#include "presets/ModelFiles.h"

#include "core/PlatformPaths.h"

namespace juce
{
namespace
{
    const Identifier midiType ("midi");
    const Identifier mappingsType ("mappings");
    const Identifier mappingType ("mapping");
    const Identifier productAttribute ("product");
    const Identifier typeAttribute ("type");
    const Identifier signalAttribute ("signal");
    const Identifier data1Attribute ("data1");
    const Identifier numberAttribute ("number");
    const Identifier customValueAttribute ("custom_value");
    const Identifier momentaryAttribute ("is_momentary");

    ValueTree mappingToTree (const QELMidiMapping& mapping)
    {
        ValueTree tree (mappingType);
        tree.setProperty (typeAttribute, mapping.type, nullptr);
        tree.setProperty (signalAttribute, mapping.signal, nullptr);
        tree.setProperty (data1Attribute, mapping.data1, nullptr);
        tree.setProperty (numberAttribute, mapping.number, nullptr);
        tree.setProperty (customValueAttribute, mapping.custom_value, nullptr);
        tree.setProperty (momentaryAttribute, mapping.is_momentary, nullptr);
        return tree;
    }

    QELMidiMapping treeToMapping (const ValueTree& tree)
    {
        QELMidiMapping mapping;
        mapping.data1 = tree.getProperty (data1Attribute).toString();
        mapping.signal = (int) tree.getProperty (signalAttribute);
        mapping.number = (int) tree.getProperty (numberAttribute);
        mapping.type = (int) tree.getProperty (typeAttribute);
        mapping.custom_value = (int) tree.getProperty (customValueAttribute);
        mapping.is_momentary = (bool) tree.getProperty (momentaryAttribute);
        return mapping;
    }
} // namespace

QELMidiMappingsModel::QELMidiMappingsModel (String product, String brand, String mappingsExtension)
    : productName (std::move (product)), brandName (std::move (brand)), extension (std::move (mappingsExtension))
{
    mappings.ensureStorageAllocated (8);
}

QELMidiMappingsModel::~QELMidiMappingsModel()
{
    mappings.clear (true);
}

File QELMidiMappingsModel::getRootFolder() const
{
    return QEL::PlatformPaths::userFolder (brandName, productName).getChildFile ("MIDI");
}

File QELMidiMappingsModel::getDefaultMidiMappingsFile() const
{
    return getRootFolder().getChildFile ("Default." + extension);
}

ValueTree QELMidiMappingsModel::getValueTree() const
{
    ValueTree list (mappingsType);

    for (const auto* mapping : mappings)
        list.appendChild (mappingToTree (*mapping), nullptr);

    ValueTree root (midiType);
    root.setProperty (productAttribute, productName, nullptr);
    root.appendChild (list, nullptr);
    return root;
}

bool QELMidiMappingsModel::saveTo (const File& file) const
{
    return QEL::ModelFiles::writeTree (getValueTree(), file);
}

void QELMidiMappingsModel::loadFromFile (const File& file)
{
    if (! QEL::ModelFiles::isLoadable (file, extension))
        return;

    currentFile = file;

    if (const auto xml = parseXML (file))
        loadFromValueTree (ValueTree::fromXml (*xml));
}

void QELMidiMappingsModel::loadFromValueTree (const ValueTree& tree)
{
    mappings.clear (true);

    for (const auto& child : tree.getChildWithName (mappingsType))
        addNewMapping (treeToMapping (child), silent);

    announcements.post (Announcement::loaded);
}

void QELMidiMappingsModel::addNewMapping (const QELMidiMapping& mapping, NotificationType notification)
{
    auto* added = mappings.add (new QELMidiMapping (mapping));
    added->lastValue = -1;

    if (notification == notify)
        sendChangeNotification();
}

void QELMidiMappingsModel::removeMapping (int index)
{
    mappings.remove (index, true);
}

void QELMidiMappingsModel::sendChangeNotification()
{
    announcements.post (Announcement::changed);
}

void QELMidiMappingsModel::overwriteCurrentFile()
{
    if (currentFile.getFileName().isEmpty())
        currentFile = getDefaultMidiMappingsFile();

    if (currentFile.hasFileExtension (extension))
        saveTo (currentFile);
}

void QELMidiMappingsModel::announce (Announcement announcement)
{
    if (announcement == Announcement::loaded)
        listeners.call ([] (Listener& l) { l.onMappingsLoaded(); });
    else
        listeners.call ([] (Listener& l) { l.onMappingsChange(); });
}
} // namespace juce
