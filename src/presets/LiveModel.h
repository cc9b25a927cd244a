#pragma once

#include "presets/OrderedListenerList.h"

#include <juce_data_structures/juce_data_structures.h>

namespace juce
{
/** One scene of a Live Set: the preset it selects. */
struct Scene
{
    /** Full path of the scene's preset file; empty when unset. */
    String presetPath;
    /** Index of the scene in its group (0..5). */
    int id = 0;
};

/** One group of six scenes. */
struct SceneGroup
{
    /** Number of scenes in every group. */
    static constexpr int numScenes = 6;

    /** Builds a group with six empty scenes, ids 0..5. */
    explicit SceneGroup (int groupId);

    /** The six scenes, in index order. */
    OwnedArray<Scene> scenes;
    /** Index of the group in the Live Set (0..9). */
    int id = 0;
    /** Text the user gave the group. */
    String description { "Untitled group" };

    JUCE_DECLARE_NON_COPYABLE (SceneGroup)
};

/** A Live Set: ten groups of six scenes, each scene naming a preset file, with the
    active and browsed positions, the per-user Live folder and the current Live Set
    file. Used on the message thread; listeners are told synchronously when a scene
    is selected. */
class LiveModel
{
public:
    /** Hears scene selections. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** A scene was selected. */
        virtual void onSceneChange (int scene, int group) = 0;

        /** The Live Set changed as a whole. */
        virtual void onModelChange() {}
    };

    /** Number of groups in a Live Set. */
    static constexpr int numGroups = 10;

    /** Builds ten untitled groups with empty scenes, no scene selected and no current file. */
    LiveModel (String product, String brand, String liveSetExtension = "qelliveset");

    /** The per-user Live folder (not created). */
    File getRootFolder() const;

    /** Live folder / ("Default." + extension). */
    File getDefaultLiveSetFile() const;

    /** A new "live" tree holding every group and scene. */
    ValueTree getValueTree() const;

    /** Writes the Live Set as XML, creating the file and its folders; returns whether the write succeeded. */
    bool saveTo (const File& file) const;

    /** Makes an existing Live Set file current and loads its groups and scenes silently;
        other files are ignored. */
    void loadFromFile (const File& file);

    /** Takes descriptions and preset paths from the tree's "groups" child; positions,
        current file and listeners are left alone. */
    void loadFromValueTree (const ValueTree& tree);

    /** Selects a scene whose preset file exists, when forced or when it is not already
        active; with notify, tells the listeners. */
    void setScene (int group, int scene, bool notify, bool force);

    /** Saves to the current file (the default file when none is set) when it has the Live Set extension. */
    void overwriteCurrentFile();

    /** Adds a listener (not owned). */
    void addListener (Listener* listener) { listeners.add (listener); }

    /** Removes a listener. */
    void removeListener (Listener* listener) { listeners.remove (listener); }

    /** Group moved through by the Live MIDI controls. */
    int browsedGroup = 0;
    /** Active scene while the browsed group is the active one, else -1. */
    int browsedScene = -1;
    /** Product name; the last folder above "Live". */
    String productName;
    /** Brand name; the folder above the product folder. */
    String brandName;
    /** Extension, without dot, of a Live Set file. */
    String extension;
    /** The Live Set file last loaded or saved as current; empty at first. */
    File currentFile;
    /** Group of the selected scene. */
    int activeGroup = 0;
    /** Selected scene, -1 for none. */
    int activeScene = -1;
    /** Told about scene selections; not owned. */
    QEL::OrderedListenerList<Listener> listeners;
    /** The ten groups, in index order. */
    OwnedArray<SceneGroup> groups;

private:
    Scene* findScene (int group, int scene) const;
    void loadGroup (const ValueTree& groupTree);

    JUCE_DECLARE_NON_COPYABLE (LiveModel)
};
} // namespace juce
