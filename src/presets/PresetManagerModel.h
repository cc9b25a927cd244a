#pragma once

#include "core/PreseteableProcessor.h"
#include "presets/OrderedListenerList.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>

namespace juce
{
/** Knows where the preset files of a product live, which preset is current and
    whether the parameters moved since it was loaded. It holds no preset contents:
    a chosen file is handed to the processor, which replaces its state from it.

    Every operation runs on the message thread; only `changed` is also written by
    the parameter listener, on whatever thread moved a parameter. */
class PresetManagerModel
{
public:
    /** Hears every preset that was applied. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** Called after the processor took the preset's state, before it becomes current. */
        virtual void onPresetChange (File presetFile) = 0;
    };

    /** Builds the store; the current preset starts as the default preset of these names. */
    PresetManagerModel (String product, String brand, String defaultPresetName, String presetExtension,
                        String collaboratorsFolderName, PreseteableProcessor* owner);

    /** Folder above all presets of the product (not created). */
    File getRootPresetFolder() const;

    /** root / (defaultName + "." + extension). */
    File getDefaultPreset() const;

    /** True for an existing file with the preset extension whose XML root tag is the product id. */
    bool isQELPreset (const File& file) const;

    /** True for an existing file with the preset extension whose root's first attribute is "factory". */
    bool getIsFactoryPreset (const File& file) const;

    /** Applies a preset, tells the listeners and makes it current; a reload of the current
        preset only happens when forced. Files that are not presets are ignored. */
    void loadPreset (const File& file, bool force);

    /** Moves the current preset to newName in its folder (replacing a preset of that name)
        and loads it. Names that would leave the folder or hide the file are refused.
        Returns true when the file was moved. */
    bool renameCurrentPreset (const String& newName);

    /** Writes the processor's state over the current preset file; clears `changed`
        only when the write succeeded. Returns whether it did. */
    bool overwriteSelectedPresetWithProcessorState();

    /** Names of the folders directly inside root/"User", in file-system order. */
    StringArray getBankNames() const;

    /** root/"User"/bank (root/"User" for an empty name), created when missing. A name that
        would leave "User" is refused with an empty File. */
    File findOrCreateUserBankFolder (const String& bank) const;

    /** Adds a listener (not owned). */
    void addListener (Listener* listener) { listeners.add (listener); }

    /** Removes a listener. */
    void removeListener (Listener* listener) { listeners.remove (listener); }

    /** Last folder of the preset root. */
    String productName;
    /** Folder above the product folder. */
    String brandName;
    /** File name, without extension, of the default preset. */
    String defaultName;
    /** The extension, without dot, that marks a preset file of this product. */
    String extension;
    /** The preset last loaded or restored from a host state. */
    File currentPreset;
    /** True once a parameter moved after the current preset was applied. */
    std::atomic<bool> changed { false };
    /** Told about every applied preset; not owned. */
    QEL::OrderedListenerList<Listener> listeners;
    /** The processor that applies and supplies preset contents; not owned. */
    PreseteableProcessor* processor = nullptr;
    /** Name of the collaborators' folder under the root. */
    String collaboratorsFolder;
    /** Optional: called with every recognised preset handed to loadPreset, before the
        comparison with the current preset. */
    std::function<void (const File&)> loadHook;

private:
    bool hasPresetFileShape (const File& file) const;

    JUCE_DECLARE_NON_COPYABLE (PresetManagerModel)
};
} // namespace juce
