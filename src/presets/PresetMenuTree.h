#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace juce
{
/** One preset entry of a preset menu: its 1-based position in menu order and its file's full path. */
struct QELPreset
{
    int id = -1;
    String path;
};
} // namespace juce

namespace QEL
{
/** The menu building and stepping the preset bars share: a folder tree becomes nested
    sub-menus, every preset in it one entry numbered in menu order. */
struct PresetMenuTree
{
    /** How a bar fills a menu with one folder's tree (its own recursion). */
    using FolderFiller = std::function<void (const juce::File& folder, juce::PopupMenu& menu)>;

    /** Adds the children of `folder`, in the order `sort` gives: a folder as a sub-menu filled
        first by `fillFolder`, named by its display name and ticked when `current` lies inside
        it; a file that `isPreset` accepts through `addPreset`; other files not at all. */
    static void addChildren (const juce::File& folder, juce::PopupMenu& menu, const juce::File& current,
                             const std::function<void (juce::Array<juce::File>&)>& sort, const FolderFiller& fillFolder,
                             const std::function<bool (const juce::File&)>& isPreset, const FolderFiller& addPreset);

    /** Appends an entry for `file` and its menu item (item id = entry id + itemIdOffset),
        ticked when the file is `current` exactly. */
    static void addEntry (const juce::File& file, juce::PopupMenu& menu, juce::Array<juce::QELPreset>& entries,
                          const juce::File& current, int itemIdOffset = 0);

    /** The id of the last entry naming `file` exactly, -1 when none does. */
    static int findId (const juce::Array<juce::QELPreset>& entries, const juce::File& file);

    /** The entry a previous (next = false) or next step from the current file lands on,
        clamped to the list (no wrap-around); -1 when the current file is not listed. */
    static int stepIndex (const juce::Array<juce::QELPreset>& entries, const juce::File& current, bool next);
};
} // namespace QEL
