#include "presets/LiveModel.h"

#include "presets/ModelFiles.h"

#include "core/PlatformPaths.h"

namespace juce
{
namespace
{
    const Identifier liveType ("live");
    const Identifier groupsType ("groups");
    const Identifier groupType ("group");
    const Identifier sceneType ("scene");
    const Identifier productAttribute ("product");
    const Identifier idAttribute ("id");
    const Identifier descriptionAttribute ("description");
    const Identifier presetAttribute ("preset");

    /** A preset path read from a file: absolute paths are normalised, anything else is unset. */
    String readPresetPath (const String& text)
    {
        return File::isAbsolutePath (text) ? File (text).getFullPathName() : String();
    }

    /** True when a stored preset path names an existing file. */
    bool presetFileExists (const String& path)
    {
        return File::isAbsolutePath (path) && File (path).existsAsFile();
    }

    ValueTree groupToTree (const SceneGroup& group)
    {
        ValueTree tree (groupType);
        tree.setProperty (idAttribute, group.id, nullptr);
        tree.setProperty (descriptionAttribute, group.description, nullptr);

        for (const auto* scene : group.scenes)
        {
            ValueTree sceneTree (sceneType);
            sceneTree.setProperty (idAttribute, scene->id, nullptr);
            sceneTree.setProperty (presetAttribute, scene->presetPath, nullptr);
            tree.appendChild (sceneTree, nullptr);
        }

        return tree;
    }
} // namespace

SceneGroup::SceneGroup (int groupId) : id (groupId)
{
    for (int i = 0; i < numScenes; ++i)
        scenes.add (new Scene { {}, i });
}

LiveModel::LiveModel (String product, String brand, String liveSetExtension)
    : productName (std::move (product)), brandName (std::move (brand)), extension (std::move (liveSetExtension))
{
    for (int i = 0; i < numGroups; ++i)
        groups.add (new SceneGroup (i));
}

File LiveModel::getRootFolder() const
{
    return QEL::PlatformPaths::userFolder (brandName, productName).getChildFile ("Live");
}

File LiveModel::getDefaultLiveSetFile() const
{
    return getRootFolder().getChildFile ("Default." + extension);
}

ValueTree LiveModel::getValueTree() const
{
    ValueTree groupList (groupsType);

    for (const auto* group : groups)
        groupList.appendChild (groupToTree (*group), nullptr);

    ValueTree root (liveType);
    root.setProperty (productAttribute, productName, nullptr);
    root.appendChild (groupList, nullptr);
    return root;
}

bool LiveModel::saveTo (const File& file) const
{
    return QEL::ModelFiles::writeTree (getValueTree(), file);
}

void LiveModel::loadFromFile (const File& file)
{
    if (! QEL::ModelFiles::isLoadable (file, extension))
        return;

    currentFile = file;

    if (const auto xml = parseXML (file))
        loadFromValueTree (ValueTree::fromXml (*xml));
}

void LiveModel::loadFromValueTree (const ValueTree& tree)
{
    for (const auto& groupTree : tree.getChildWithName (groupsType))
        loadGroup (groupTree);
}

void LiveModel::loadGroup (const ValueTree& groupTree)
{
    auto* group = groups[(int) groupTree.getProperty (idAttribute)];

    if (group == nullptr)
        return;

    group->description = groupTree.getProperty (descriptionAttribute).toString();

    for (const auto& sceneTree : groupTree)
    {
        const int sceneId = sceneTree.getProperty (idAttribute);

        if (auto* scene = group->scenes[sceneId])
        {
            scene->presetPath = readPresetPath (sceneTree.getProperty (presetAttribute).toString());
            scene->id = sceneId;
        }
    }
}

Scene* LiveModel::findScene (int group, int scene) const
{
    if (auto* sceneGroup = groups[group])
        return sceneGroup->scenes[scene];

    return nullptr;
}

void LiveModel::setScene (int group, int scene, bool notify, bool force)
{
    const bool differs = scene != activeScene || group != activeGroup;
    const auto* target = findScene (group, scene);

    if (target == nullptr || ! presetFileExists (target->presetPath))
        return;

    if (! force && ! differs)
        return;

    activeGroup = browsedGroup = group;
    activeScene = browsedScene = scene;

    if (notify)
        listeners.call ([group, scene] (Listener& l) { l.onSceneChange (scene, group); });
}

void LiveModel::overwriteCurrentFile()
{
    if (currentFile.getFileName().isEmpty())
        currentFile = getDefaultLiveSetFile();

    if (currentFile.hasFileExtension (extension))
        saveTo (currentFile);
}
} // namespace juce
