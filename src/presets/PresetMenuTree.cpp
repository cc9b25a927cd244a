#include "presets/PresetMenuTree.h"

#include "presets/PresetFiles.h"
#include "presets/PresetManagerRegexHelper.h"

namespace QEL
{
void PresetMenuTree::addChildren (const juce::File& folder, juce::PopupMenu& menu, const juce::File& current,
                                  const std::function<void (juce::Array<juce::File>&)>& sort,
                                  const FolderFiller& fillFolder, const std::function<bool (const juce::File&)>& isPreset,
                                  const FolderFiller& addPreset)
{
    auto children = PresetFiles::listChildren (folder);

    if (children.size() > 1)
        sort (children);

    for (const auto& child : children)
    {
        if (child.isDirectory())
        {
            juce::PopupMenu subMenu;
            fillFolder (child, subMenu);
            menu.addSubMenu (PresetManagerRegexHelper::sanitizeFolderName (child.getFileName()), subMenu, true, nullptr,
                             current.isAChildOf (child));
        }
        else if (isPreset (child))
        {
            addPreset (child, menu);
        }
    }
}

void PresetMenuTree::addEntry (const juce::File& file, juce::PopupMenu& menu, juce::Array<juce::QELPreset>& entries,
                               const juce::File& current, int itemIdOffset)
{
    const auto id = entries.size() + 1;
    entries.add ({ id, file.getFullPathName() });
    menu.addItem (id + itemIdOffset, file.getFileNameWithoutExtension(), true,
                  file.getFullPathName() == current.getFullPathName());
}

int PresetMenuTree::findId (const juce::Array<juce::QELPreset>& entries, const juce::File& file)
{
    int id = -1;

    for (const auto& entry : entries)
        if (entry.path == file.getFullPathName())
            id = entry.id;

    return id;
}

int PresetMenuTree::stepIndex (const juce::Array<juce::QELPreset>& entries, const juce::File& current, bool next)
{
    const auto id = findId (entries, current);

    if (id == -1 || entries.isEmpty())
        return -1;

    return juce::jlimit (0, entries.size() - 1, next ? id : id - 2);
}
} // namespace QEL
