#pragma once

#include "core/MessageThreadHandOff.h"
#include "presets/OrderedListenerList.h"
#include "presets/QELMidiMapping.h"

#include <juce_data_structures/juce_data_structures.h>

#include <memory>

namespace juce
{
/** The MIDI mappings of one plug-in instance, the per-user MIDI folder and the
    current mappings file. Converts the list to and from a "midi" value tree and an
    XML file. Used on the message thread; listeners hear about loads and changes on the
    message thread, later and in order, whichever thread announced them (the MIDI handler
    announces from the audio thread, through a hand-off that neither allocates nor locks). */
class QELMidiMappingsModel
{
public:
    /** Hears about mappings loaded or changed, on the message thread. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** A whole list was loaded. */
        virtual void onMappingsLoaded() {}

        /** A mapping was added or the list was changed. */
        virtual void onMappingsChange() = 0;
    };

    /** Whether a change is announced to the listeners. */
    enum NotificationType
    {
        notify = 0,
        silent = 1
    };

    /** Builds an empty model with no current file. */
    QELMidiMappingsModel (String product, String brand, String mappingsExtension = "qelmidi");

    /** Drops the list, last mapping first; calls still queued for this model are not delivered. */
    ~QELMidiMappingsModel();

    /** The per-user MIDI folder (not created). */
    File getRootFolder() const;

    /** MIDI folder / ("Default." + extension). */
    File getDefaultMidiMappingsFile() const;

    /** A new "midi" tree holding the list. */
    ValueTree getValueTree() const;

    /** Writes the list as XML, creating the file and its folders; returns whether the write succeeded. */
    bool saveTo (const File& file) const;

    /** Makes an existing mappings file current and loads its list; other files are ignored. */
    void loadFromFile (const File& file);

    /** Replaces the list with the mappings of the tree's "mappings" child, then posts onMappingsLoaded. */
    void loadFromValueTree (const ValueTree& tree);

    /** Appends a copy (its last value reset to -1); with notify, posts onMappingsChange. */
    void addNewMapping (const QELMidiMapping& mapping, NotificationType notification);

    /** Deletes the mapping at index (nothing for an index outside the list); posts nothing. */
    void removeMapping (int index);

    /** Posts onMappingsChange to every listener. */
    void sendChangeNotification();

    /** Saves to the current file (the default file when none is set) when it has the mappings extension. */
    void overwriteCurrentFile();

    /** Adds a listener (not owned). */
    void addListener (Listener* listener) { listeners.add (listener); }

    /** Removes a listener. */
    void removeListener (Listener* listener) { listeners.remove (listener); }

    /** Product name; the last folder above "MIDI". */
    String productName;
    /** Brand name; the folder above the product folder. */
    String brandName;
    /** Extension, without dot, of a mappings file. */
    String extension;
    /** The mappings file last loaded or saved as current; empty at first. */
    File currentFile;
    /** The mappings, in the order they were added. */
    OwnedArray<QELMidiMapping> mappings;
    /** Told about loads and changes; not owned. */
    QEL::OrderedListenerList<Listener> listeners;

private:
    /** What a queued announcement tells the listeners. */
    enum class Announcement
    {
        loaded,
        changed
    };

    void announce (Announcement announcement);

    /** Announcements on their way to the message thread; destroyed first, so none reaches a destroyed model. */
    QEL::MessageThreadHandOff<Announcement> announcements { [this] (Announcement a) { announce (a); } };

    JUCE_DECLARE_NON_COPYABLE (QELMidiMappingsModel)
};
} // namespace juce
